# The script machine: arbitrary action blocks on a fake stage.
if(TARGET mc_avm1_fakestage)
    velmora_fuzz(fuzz_avm1
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_avm1.cpp
        LIBS mc_avm1_fakestage)
    # The XML text parser and the tree built from it.
    velmora_fuzz(fuzz_xml
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_xml.cpp
        LIBS mc_avm1_fakestage)
    # The built-ins with hostile arguments: every call ends within the script budget.
    velmora_fuzz(fuzz_avm1_builtins
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_avm1_builtins.cpp
        LIBS mc_avm1_fakestage)
    foreach(target fuzz_avm1 fuzz_xml fuzz_avm1_builtins)
        target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm1/tests)
    endforeach()
endif()
