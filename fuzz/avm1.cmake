# The script machine: arbitrary action blocks on a fake stage.
if(TARGET mc_avm1_fakestage)
    velmora_fuzz(fuzz_avm1
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_avm1.cpp
        LIBS mc_avm1_fakestage)
    target_include_directories(fuzz_avm1 PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm1/tests)
endif()

# The XML text parser and the tree built from it.
if(TARGET mc_avm1_fakestage)
    velmora_fuzz(fuzz_xml
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_xml.cpp
        LIBS mc_avm1_fakestage)
    target_include_directories(fuzz_xml PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm1/tests)
endif()
