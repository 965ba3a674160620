# Tests of the program's own resources that need a QApplication: the firing
# clip and the help window.
trevalon_add_test(NAME app_clip_test LABEL gui
  SOURCES gui/LaserClipTest.cpp gui/HelpViewerTest.cpp
  MAIN support/GuiTestMain.cpp
  LIBS trevalon_app Qt6::Test)
