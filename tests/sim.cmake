# Shared test support: the laser-sim process wrapper and the Qt application
# helper. Other areas link it with LIBS trevalon_testsupport.
add_library(trevalon_testsupport STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/support/SimProcess.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/SimProcess.h
  ${CMAKE_CURRENT_SOURCE_DIR}/support/QtApp.h)
target_include_directories(trevalon_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(trevalon_testsupport PUBLIC Qt6::Core Qt6::Network)
# Tests that start the simulator need it built first.
add_dependencies(trevalon_testsupport laser-sim)

trevalon_add_test(NAME sim_integration_test LABEL integration
  SOURCES integration/SimTransportTest.cpp
  LIBS trevalon_testsupport)

trevalon_add_test(NAME sim_unit_test LABEL unit
  SOURCES unit/SimLaserTest.cpp unit/SimControlTest.cpp
  LIBS trevalon_lasersim)
