# What the program does with a laser below any window: the burst arithmetic
# and its rounding, and the settings files.
trevalon_add_test(NAME session_unit_test LABEL unit
  SOURCES unit/BurstPlanTest.cpp unit/LaserSettingsTest.cpp
  LIBS trevalon_session)
