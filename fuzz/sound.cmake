# The sound layer: sound tag readers, decoders and the mixer on arbitrary bytes.
if(TARGET mc_audio)
    velmora_fuzz(fuzz_sound
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_sound.cpp
        LIBS mc_audio)
endif()
