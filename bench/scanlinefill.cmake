# The scanline filler against Qt's path filler on large turned fills.
if(TARGET mc_render)
    add_executable(bench_scanline_fill ${CMAKE_CURRENT_LIST_DIR}/bench_scanline_fill.cpp)
    velmora_warnings(bench_scanline_fill)
    target_link_libraries(bench_scanline_fill PRIVATE mc_render benchmark::benchmark)
endif()
