# The movie writer: builder calls chosen by the input must give well-framed movies.
if(TARGET moviemaker)
    velmora_fuzz(fuzz_swf_writer
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_swf_writer.cpp
        LIBS moviemaker)
endif()
