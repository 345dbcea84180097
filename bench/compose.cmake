# Composing a card movie from many large photos and a whole song (cardtool compose, timed).
if(TARGET composer AND TARGET cardtool)
    add_executable(bench_compose ${CMAKE_CURRENT_SOURCE_DIR}/bench_compose.cpp)
    velmora_warnings(bench_compose)
    target_link_libraries(bench_compose PRIVATE composer Qt6::Gui)
    add_dependencies(bench_compose cardtool)
endif()
