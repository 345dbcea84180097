# Box blur cost at stage and full-HD sizes, by quality (passes).
if(TARGET mc_filters)
    add_executable(bench_filters ${CMAKE_CURRENT_LIST_DIR}/bench_filters.cpp)
    velmora_warnings(bench_filters)
    target_link_libraries(bench_filters PRIVATE mc_filters benchmark::benchmark)
endif()
