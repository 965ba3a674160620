# The event log.
trevalon_add_test(NAME diag_unit_test LABEL unit
  SOURCES unit/ExcMagicTest.cpp
  LIBS trevalon_diag)
