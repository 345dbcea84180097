# The trace input files of cardtool: arbitrary bytes as a JSON list of events.
if(TARGET mc_stage)
    find_package(Qt6 REQUIRED COMPONENTS Core)
    velmora_fuzz(fuzz_input_script
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_input_script.cpp
                ${CMAKE_SOURCE_DIR}/tools/cardtool/InputScript.cpp
        LIBS mc_stage Qt6::Core)
    target_include_directories(fuzz_input_script PRIVATE ${CMAKE_SOURCE_DIR}/tools/cardtool)
endif()
