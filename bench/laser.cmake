# bench/identify starts the simulated laser and drives this binary; see that script.
add_executable(bench-identify ${CMAKE_CURRENT_SOURCE_DIR}/IdentifyBench.cpp)
target_link_libraries(bench-identify PRIVATE trevalon_laser)
trevalon_embed_version(bench-identify)
