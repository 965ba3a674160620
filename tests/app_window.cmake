# The main window against simulated lasers on ptys and over TCP, offscreen,
# with scripted dialogs.
if(TARGET trevalon_app)
  trevalon_add_test(NAME app_window_test LABEL gui TIMEOUT 300
    SOURCES gui/WindowDiscoveryTest.cpp
      gui/WindowPollTest.cpp
      gui/WindowFiringTest.cpp
      gui/WindowOutputTest.cpp
      gui/WindowSettingsTest.cpp
    MAIN support/GuiTestMain.cpp
    LIBS trevalon_app trevalon_testsupport Qt6::Test)
  # The poll tests answer the command-line client of the mailbox.
  if(TARGET trevalon-ipc)
    add_dependencies(app_window_test trevalon-ipc)
  endif()

  # Settings files carry the user's decimal separator: the round trip again
  # under a decimal-comma locale.
  add_test(NAME app_window_settings_locale_test
    COMMAND app_window_test --gtest_filter=*SettingsRoundTripInTheUserLocale*)
  set_tests_properties(app_window_settings_locale_test PROPERTIES LABELS gui TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TREVALON_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};TREVALON_IPC_SUFFIX=_app_window_settings_locale_test;LC_ALL=de_DE.UTF-8")
endif()
