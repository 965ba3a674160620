# Tests of the custom controls. The widget tests need a QApplication before
# the first widget, so they run with a main of their own.
trevalon_add_test(NAME controls_unit_test LABEL unit
  SOURCES unit/FloatFormatTest.cpp
  LIBS trevalon_widgets)

trevalon_add_test(NAME controls_gui_test LABEL gui
  SOURCES gui/KxAdjusterTest.cpp gui/ButtonControlsTest.cpp gui/IndicatorsTest.cpp
          gui/BoxTest.cpp gui/KxFormManagerTest.cpp gui/AnimateTest.cpp
  MAIN support/GuiTestMain.cpp
  LIBS trevalon_widgets Qt6::Test)
