# The IPC mailbox: the messenger within one process, and real processes
# (a test peer, the command-line client, the Python example) meeting in it.
trevalon_add_test(NAME ipc_unit_test LABEL unit
  SOURCES unit/IpcMessengerTest.cpp
  LIBS trevalon_ipc TIMEOUT 60)

add_executable(ipc_peer integration/IpcPeer.cpp)
target_link_libraries(ipc_peer PRIVATE trevalon_ipc)
set_target_properties(ipc_peer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

trevalon_add_test(NAME ipc_integration_test LABEL integration
  SOURCES integration/IpcProcessTest.cpp integration/IpcClientTest.cpp
  LIBS trevalon_ipc TIMEOUT 120)
add_dependencies(ipc_integration_test ipc_peer trevalon-ipc)
target_compile_definitions(ipc_integration_test PRIVATE
  IPC_PEER_PATH="$<TARGET_FILE:ipc_peer>"
  IPC_CLIENT_PATH="$<TARGET_FILE:trevalon-ipc>"
  IPC_EXAMPLE_PATH="${PROJECT_SOURCE_DIR}/tools/trevalon-ipc/example.py")
