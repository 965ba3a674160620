# Tests of the window layer that need no laser: the toolbar layout.
trevalon_add_test(NAME app_unit_test LABEL unit
  SOURCES unit/CtrlMgrTest.cpp
  MAIN support/GuiTestMain.cpp
  LIBS trevalon_app Qt6::Test)
