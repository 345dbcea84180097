# Embedded video: arbitrary bytes as Sorenson Spark frames.
velmora_fuzz(fuzz_video
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_video.cpp
    LIBS mc_video)

# Embedded video: arbitrary bytes as VP6 frames, with and without alpha.
velmora_fuzz(fuzz_video_vp6
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_video_vp6.cpp
    LIBS mc_video)
