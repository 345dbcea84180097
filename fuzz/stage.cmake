# The player's own ActionScript 1/2 classes on a real stage: constructed and their members
# read, written and called with hostile arguments, with frames played and painted between.
if(TARGET mc_stage AND TARGET moviemaker)
    velmora_fuzz(fuzz_avm1_stage_builtins
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_avm1_stage_builtins.cpp
        LIBS mc_stage moviemaker)
endif()
