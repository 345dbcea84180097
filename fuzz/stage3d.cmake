# Stage3D programs: arbitrary bytes read as AGAL of either kind, and what is accepted run.
if(TARGET mc_stage3d)
    velmora_fuzz(fuzz_agal
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_agal.cpp
        LIBS mc_stage3d)
endif()
