# Communication channels: pure logic, then the real channel against the
# simulated laser on a pty, over TCP and through ser2net.
# (trevalon_testsupport and laser-sim come from sim.cmake.)
trevalon_add_test(NAME comm_unit_test LABEL unit
  SOURCES unit/CommTraceTextTest.cpp unit/CommReplyTest.cpp unit/CommManagerTest.cpp
  LIBS trevalon_comm TIMEOUT 60)

# A second process that opens ports the way the program does.
add_executable(comm-port-probe integration/CommPortProbe.cpp)
target_link_libraries(comm-port-probe PRIVATE trevalon_comm)
set_target_properties(comm-port-probe PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

trevalon_add_test(NAME comm_serial_test LABEL integration
  SOURCES integration/CommSerialTest.cpp integration/CommDeviceTest.cpp
  LIBS trevalon_comm trevalon_testsupport TIMEOUT 180)
add_dependencies(comm_serial_test comm-port-probe)

trevalon_add_test(NAME comm_network_test LABEL integration
  SOURCES integration/CommNetworkTest.cpp integration/CommRelayTest.cpp
  LIBS trevalon_comm trevalon_testsupport Qt6::Test TIMEOUT 240)
