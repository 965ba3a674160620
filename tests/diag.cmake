trevalon_add_test(NAME diag_unit_test LABEL unit
  SOURCES unit/ExcMagicTest.cpp unit/PlatformTest.cpp
  LIBS trevalon_diag)
