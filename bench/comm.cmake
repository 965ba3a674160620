# bench/exchange drives this binary and a pyserial script against the same
# simulated laser; see that script.
add_executable(bench-exchange ${CMAKE_CURRENT_SOURCE_DIR}/ExchangeBench.cpp)
target_link_libraries(bench-exchange PRIVATE trevalon_comm)
trevalon_embed_version(bench-exchange)
