# The laser object: pure logic as unit tests, the object itself against the
# simulated laser on ptys and over TCP.
trevalon_add_test(NAME laser_unit_test LABEL unit
  SOURCES unit/LaserConversionsTest.cpp unit/LaserStatusTest.cpp unit/LaserModelTest.cpp
  LIBS trevalon_laser)

trevalon_add_test(NAME laser_device_test LABEL integration
  SOURCES integration/LaserIdentifyTest.cpp integration/LaserCommandTest.cpp
          integration/LaserSimulatedDeviceTest.cpp
  LIBS trevalon_laser trevalon_testsupport TIMEOUT 240)
