# The SWF format reader: arbitrary bytes through loading, tag walking and shape geometry.
velmora_fuzz(fuzz_swf_reader
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_swf_reader.cpp
    LIBS mc_swf)
