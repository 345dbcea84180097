# Embedded video: arbitrary bytes as Sorenson Spark frames.
velmora_fuzz(fuzz_video
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_video.cpp
    LIBS mc_video)
