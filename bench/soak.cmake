# scripts/soak runs the main window under random faults; see Soak.cpp.
add_executable(trevalon-soak ${CMAKE_CURRENT_SOURCE_DIR}/Soak.cpp)
target_link_libraries(trevalon-soak PRIVATE trevalon_app trevalon_dialogs Qt6::Test)
