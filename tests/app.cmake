# The program itself, started as a process: alone, and against a simulated
# laser (laser-sim comes with trevalon_testsupport from sim.cmake).
trevalon_add_test(NAME app_start_test LABEL integration TIMEOUT 240
  SOURCES integration/AppStartTest.cpp
  LIBS Qt6::Core trevalon_testsupport)
add_dependencies(app_start_test trevalon)
