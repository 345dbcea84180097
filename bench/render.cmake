# Load-to-first-frame and frames per second of the QPainter renderer: the sample, a busy
# generated movie, the corpus' heaviest cases, and a generated 5 MB movie.
if(TARGET mc_view AND TARGET moviemaker)
    foreach(bench bench_render bench_large_movie)
        add_executable(${bench} ${CMAKE_CURRENT_LIST_DIR}/${bench}.cpp)
        velmora_warnings(${bench})
        target_compile_definitions(${bench} PRIVATE VELMORA_BENCH_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
        target_link_libraries(${bench} PRIVATE mc_view moviemaker benchmark::benchmark)
    endforeach()
endif()
