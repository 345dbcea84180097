# Pixel Bender kernels: arbitrary bytes read as bytecode, and what is accepted run per pixel.
if(TARGET mc_shader)
    velmora_fuzz(fuzz_pbj
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_pbj.cpp
        LIBS mc_shader)
endif()
