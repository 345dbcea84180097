# The timeline and painter over arbitrary movie bytes.
if(TARGET mc_view)
    velmora_fuzz(fuzz_render SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_render.cpp LIBS mc_view)
endif()
