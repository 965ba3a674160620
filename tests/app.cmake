trevalon_add_test(NAME app_start_test LABEL integration TIMEOUT 120
  SOURCES integration/AppStartTest.cpp
  LIBS Qt6::Core)
