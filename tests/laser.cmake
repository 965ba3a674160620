# The laser object: pure logic as unit tests, the object itself against the
# simulated laser on a pty (and through TCP).
if(TARGET trevalon_laser)
  trevalon_add_test(NAME laser_unit_test LABEL unit
    SOURCES unit/LaserConversionsTest.cpp unit/LaserStatusTest.cpp unit/LaserModelTest.cpp
    LIBS trevalon_laser)
endif()
