# The main window against simulated lasers on ptys and over TCP, offscreen,
# with scripted dialogs.
trevalon_add_test(NAME app_window_test LABEL gui TIMEOUT 300
  SOURCES gui/WindowAccessTest.cpp
    gui/WindowDiscoveryTest.cpp
    gui/WindowPollTest.cpp
    gui/WindowFiringTest.cpp
    gui/WindowOutputTest.cpp
    gui/WindowPanelTest.cpp
    gui/WindowSettingsTest.cpp
  MAIN support/GuiTestMain.cpp
  LIBS trevalon_app trevalon_dialogs trevalon_testsupport Qt6::Test)
# The poll tests answer the command-line client of the mailbox.
add_dependencies(app_window_test trevalon-ipc)

# Under a decimal-comma locale (de_DE.UTF-8, which the test scripts
# generate) the window still shows, takes and sends numbers with a point,
# while settings files carry the user's separator.
add_test(NAME app_window_locale_test
  COMMAND app_window_test --gtest_filter=*NumbersUseAPoint*:*SettingsRoundTripInTheUserLocale*)
set_tests_properties(app_window_locale_test PROPERTIES LABELS gui TIMEOUT 120
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TREVALON_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};TREVALON_IPC_SUFFIX=_app_window_locale_test;LC_ALL=de_DE.UTF-8;GTEST_OUTPUT=xml:${TREVALON_TEST_RESULTS}/app_window_locale_test.xml")

# Faults of the line and the laser, met through the main window: ser2net as
# the relay, simulators that go away, and a mailbox client killed mid-lock.
trevalon_add_test(NAME app_fault_test LABEL gui TIMEOUT 300
  SOURCES gui/WindowFaultTest.cpp
  MAIN support/GuiTestMain.cpp
  LIBS trevalon_app trevalon_dialogs trevalon_testsupport Qt6::Test)
add_dependencies(app_fault_test ipc_peer)
target_compile_definitions(app_fault_test PRIVATE IPC_PEER_PATH="$<TARGET_FILE:ipc_peer>")
