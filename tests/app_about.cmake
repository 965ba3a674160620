# The about box and the Help menu's new-version check, through the main
# window, offscreen with scripted dialogs.
trevalon_add_test(NAME app_about_test LABEL gui TIMEOUT 120
  SOURCES gui/AboutBoxTest.cpp
  MAIN support/GuiTestMain.cpp
  LIBS trevalon_app trevalon_dialogs trevalon_testsupport Qt6::Test)
# Carries the block every program carries: the box shows its version.
trevalon_embed_version(app_about_test)
target_compile_definitions(app_about_test PRIVATE
  TREVALON_FILE_VERSION="${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
