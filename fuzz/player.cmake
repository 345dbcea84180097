# The player's start-up, input and end sequence over arbitrary card bytes.
if(TARGET player_logic)
    velmora_fuzz(fuzz_player_startup
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_player_startup.cpp
        LIBS player_logic)
    target_include_directories(fuzz_player_startup PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endif()
