# Version strings, version numbers and the new-version check; the check runs
# against an HTTP server inside the test on 127.0.0.1.
trevalon_add_test(NAME version_unit_test LABEL unit TIMEOUT 60
  SOURCES unit/VersionTest.cpp
  LIBS trevalon_version)
# Carries the block every program carries, so it can read its own.
trevalon_embed_version(version_unit_test)
target_compile_definitions(version_unit_test PRIVATE
  TREVALON_FILE_VERSION="${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

trevalon_add_test(NAME version_check_test LABEL integration TIMEOUT 60
  SOURCES integration/VersionCheckTest.cpp
  LIBS trevalon_version Qt6::Network)
