# Tests of the custom controls. The widget tests need a QApplication before
# the first widget, so they are built here with a main of their own
# (support/GuiTestMain.cpp) instead of gtest_main, registered the same way
# as trevalon_add_test does.
function(trevalon_add_controls_gui_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES} support/GuiTestMain.cpp)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test GTest::gtest)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env "QT_QPA_PLATFORM=offscreen"
          "TREVALON_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
          "TREVALON_IPC_SUFFIX=_${T_NAME}")
  set_tests_properties(${T_NAME} PROPERTIES LABELS gui TIMEOUT ${T_TIMEOUT}
                       ENVIRONMENT "${env}")
endfunction()

if(TARGET trevalon_widgets)
  trevalon_add_test(NAME controls_unit_test LABEL unit
    SOURCES unit/FloatFormatTest.cpp
    LIBS trevalon_widgets)

  trevalon_add_controls_gui_test(NAME controls_gui_test
    SOURCES gui/KxAdjusterTest.cpp gui/ButtonControlsTest.cpp gui/IndicatorsTest.cpp
            gui/BoxTest.cpp gui/KxFormManagerTest.cpp
    LIBS trevalon_widgets)
endif()
