# The builder's docking rules over arbitrary layouts and message sequences.
if(TARGET builder_core)
    velmora_fuzz(fuzz_docking
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_docking.cpp
        LIBS builder_core)
endif()
