velmora_fuzz(fuzz_launcher_path
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_launcher_path.cpp
            ${CMAKE_SOURCE_DIR}/player/launcher/RuntimeLookup.cpp)
target_include_directories(fuzz_launcher_path PRIVATE ${CMAKE_SOURCE_DIR}/player/launcher)
