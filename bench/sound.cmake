# Decoding and mixing cost of a movie's sound: an MP3 stream with four event sounds.
if(TARGET mc_playback AND TARGET moviemaker)
    add_executable(bench_sound ${CMAKE_CURRENT_LIST_DIR}/bench_sound.cpp)
    velmora_warnings(bench_sound)
    target_compile_definitions(bench_sound PRIVATE VELMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_link_libraries(bench_sound PRIVATE mc_playback moviemaker benchmark::benchmark)
endif()
