# Load-to-first-frame and frames per second of the QPainter renderer.
if(TARGET mc_render AND TARGET mc_swfwriter)
    add_executable(bench_render ${CMAKE_CURRENT_SOURCE_DIR}/bench_render.cpp)
    velmora_warnings(bench_render)
    target_link_libraries(bench_render PRIVATE mc_render mc_swfwriter benchmark::benchmark)
endif()
