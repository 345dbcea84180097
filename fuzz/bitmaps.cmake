# Bitmap decoding: the first byte picks the tag kind, the rest is its body.
velmora_fuzz(fuzz_bitmaps
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_bitmaps.cpp
    LIBS mc_bitmaps)
