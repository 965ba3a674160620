# bench/poll sets the program beside this least Qt Widgets program of the
# same build; see that script.
add_executable(bench-minimal-qt ${CMAKE_CURRENT_SOURCE_DIR}/MinimalQt.cpp)
target_link_libraries(bench-minimal-qt PRIVATE Qt6::Widgets)

# The same poll without any window, for reference.
add_executable(bench-bare-poll ${CMAKE_CURRENT_SOURCE_DIR}/BarePoll.cpp)
target_link_libraries(bench-bare-poll PRIVATE trevalon_core)
