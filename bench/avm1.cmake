# The script machine: interpreter loop and per-frame handler calls.
if(TARGET mc_avm1_fakestage AND TARGET moviemaker)
    add_executable(bench_avm1 ${CMAKE_CURRENT_LIST_DIR}/bench_avm1.cpp)
    velmora_warnings(bench_avm1)
    target_include_directories(bench_avm1 PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm1/tests)
    target_link_libraries(bench_avm1 PRIVATE mc_avm1_fakestage moviemaker benchmark::benchmark)
endif()
