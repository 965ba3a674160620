# The terminal window against simulated lasers on ptys and through ser2net,
# alone and opened from the main window, offscreen, with scripted dialogs.
trevalon_add_test(NAME app_terminal_test LABEL gui TIMEOUT 240
  SOURCES gui/TerminalTest.cpp
  MAIN support/GuiTestMain.cpp
  LIBS trevalon_app trevalon_terminal trevalon_dialogs trevalon_testsupport Qt6::Test)
