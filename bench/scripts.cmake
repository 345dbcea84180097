# Scripted playback: clips moved by their onEnterFrame handlers.
if(TARGET mc_view AND TARGET moviemaker)
    add_executable(bench_scripts ${CMAKE_CURRENT_LIST_DIR}/bench_scripts.cpp)
    velmora_warnings(bench_scripts)
    target_compile_definitions(bench_scripts PRIVATE VELMORA_BENCH_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    target_link_libraries(bench_scripts PRIVATE mc_view moviemaker benchmark::benchmark)
endif()
