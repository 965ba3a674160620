# The main window against simulated lasers on ptys and over TCP, offscreen,
# with scripted dialogs.
if(TARGET trevalon_app)
  trevalon_add_test(NAME app_window_test LABEL gui TIMEOUT 300
    SOURCES gui/WindowDiscoveryTest.cpp
      gui/WindowPollTest.cpp
      gui/WindowFiringTest.cpp
      gui/WindowOutputTest.cpp
    MAIN support/GuiTestMain.cpp
    LIBS trevalon_app trevalon_testsupport Qt6::Test)
  # The poll tests answer the command-line client of the mailbox.
  if(TARGET trevalon-ipc)
    add_dependencies(app_window_test trevalon-ipc)
  endif()
endif()
