if(TARGET velmora_direct)
    add_executable(bench_card_startup ${CMAKE_CURRENT_SOURCE_DIR}/bench_card_startup.cpp)
    velmora_warnings(bench_card_startup)
    target_link_libraries(bench_card_startup PRIVATE cardformat benchmark::benchmark)
    target_compile_definitions(bench_card_startup PRIVATE
        VELMORA_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
        VELMORA_DIRECT_PLAYER="$<TARGET_FILE:velmora_direct>"
        VELMORA_SAMPLE_MOVIE="${CMAKE_SOURCE_DIR}/samples/greeting.swf")
    add_dependencies(bench_card_startup velmora_direct player_template bare_qt_window)
    target_compile_definitions(bench_card_startup PRIVATE
        VELMORA_BARE_QT_WINDOW="$<TARGET_FILE:bare_qt_window>")
endif()
# A window and nothing else, the measure of what any Qt program's start costs here.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(bare_qt_window ${CMAKE_CURRENT_SOURCE_DIR}/bare_qt_window.cpp)
velmora_warnings(bare_qt_window)
target_link_libraries(bare_qt_window PRIVATE Qt6::Widgets)
