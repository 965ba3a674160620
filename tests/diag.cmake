trevalon_add_test(NAME diag_unit_test LABEL unit
  SOURCES unit/ExcMagicTest.cpp unit/PlatformTest.cpp unit/ProfileFileTest.cpp
    unit/LocaleNumbersTest.cpp
  LIBS trevalon_diag)
target_compile_definitions(diag_unit_test PRIVATE
  TREVALON_FILE_VERSION="${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
