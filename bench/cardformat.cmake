add_executable(bench_make_card ${CMAKE_CURRENT_SOURCE_DIR}/bench_make_card.cpp)
velmora_warnings(bench_make_card)
target_link_libraries(bench_make_card PRIVATE cardformat benchmark::benchmark)
set_target_properties(bench_make_card PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
