# scripts/soak runs the main window under random faults; see Soak.cpp.
if(TARGET trevalon_app)
  add_executable(trevalon-soak ${CMAKE_CURRENT_SOURCE_DIR}/Soak.cpp)
  target_link_libraries(trevalon-soak PRIVATE trevalon_app Qt6::Test)
endif()
