# Embedded video: decoding speed of full-size VP6 frames.
add_executable(bench_video ${CMAKE_CURRENT_LIST_DIR}/bench_video.cpp)
velmora_warnings(bench_video)
target_include_directories(bench_video PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/video/tests)
target_link_libraries(bench_video PRIVATE mc_video benchmark::benchmark)
