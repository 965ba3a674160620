# trevalon_add_test(NAME name LABEL unit|integration|gui SOURCES ... LIBS ...
#                   [TIMEOUT s] [MAIN source])
# One GoogleTest executable registered with CTest as one test per executable,
# carrying its label and time-out. MAIN replaces gtest_main by a main of the
# test's own (widget tests need a QApplication first). The binaries land in
# build/tests.
#
# Every GoogleTest executable writes its results to
# ${TREVALON_TEST_RESULTS}/<test>.xml, one file per CTest test, so that
# scripts/check-skips finds the cases that were skipped rather than run.
set(TREVALON_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)

function(trevalon_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT;MAIN" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES} ${T_MAIN})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest)
  if(NOT T_MAIN)
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env "QT_QPA_PLATFORM=offscreen"
          "TREVALON_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
          "TREVALON_IPC_SUFFIX=_${T_NAME}"
          "GTEST_OUTPUT=xml:${TREVALON_TEST_RESULTS}/${T_NAME}.xml")
  set_tests_properties(${T_NAME} PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
                       ENVIRONMENT "${env}")
endfunction()
