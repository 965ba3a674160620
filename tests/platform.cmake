# The operating-system layer: port map, folders, version blocks, settings
# files and numbers in the user's locale. The version blocks are read
# through the event log's reader (TExcMagic::VersionString), hence diag; the
# program's own block is compared with the version of this build.
trevalon_add_test(NAME platform_unit_test LABEL unit
  SOURCES unit/PlatformTest.cpp unit/ProfileFileTest.cpp unit/LocaleNumbersTest.cpp
  LIBS trevalon_platform trevalon_diag)
target_compile_definitions(platform_unit_test PRIVATE
  TREVALON_FILE_VERSION="${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
# That comparison reads the program, so the program is built first.
add_dependencies(platform_unit_test trevalon)
