# Tests of the window layer that need no laser: the toolbar layout and the
# burst arithmetic.
if(TARGET trevalon_app)
  trevalon_add_test(NAME app_unit_test LABEL unit
    SOURCES unit/CtrlMgrTest.cpp unit/BurstPlanTest.cpp
    MAIN support/GuiTestMain.cpp
    LIBS trevalon_app Qt6::Test)
endif()
