# The ActionScript 3 machine alone (its interpreter loop) and with the stage (sprites moved
# by their enterFrame listeners).
if(TARGET mc_view AND TARGET mc_avm2 AND TARGET moviemaker)
    add_executable(bench_avm2 ${CMAKE_CURRENT_LIST_DIR}/bench_avm2.cpp)
    velmora_warnings(bench_avm2)
    target_compile_definitions(bench_avm2 PRIVATE VELMORA_BENCH_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    target_include_directories(bench_avm2 PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm2/tests)
    target_link_libraries(bench_avm2 PRIVATE mc_view mc_avm2 moviemaker benchmark::benchmark)
endif()
