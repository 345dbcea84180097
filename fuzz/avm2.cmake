# The ActionScript 3 machine: arbitrary ABC blocks read, checked and run on a fake host.
if(TARGET mc_avm2)
    velmora_fuzz(fuzz_abc
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_abc.cpp
        LIBS mc_avm2)
    target_include_directories(fuzz_abc PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm2/tests)
endif()

# Its text built-ins: RegExp and the String methods taking one, escape and the URI coders.
if(TARGET mc_avm2)
    velmora_fuzz(fuzz_avm2_text
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_avm2_text.cpp
        LIBS mc_avm2)
    target_include_directories(fuzz_avm2_text PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm2/tests)
endif()

# Its AMF coders: arbitrary bytes read by ByteArray.readObject in both encodings.
if(TARGET mc_avm2)
    velmora_fuzz(fuzz_amf
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_amf.cpp
        LIBS mc_avm2)
    target_include_directories(fuzz_amf PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm2/tests)
endif()

# Every built-in class: constructed and its members read, written and called with hostile
# arguments, on a display tree in memory.
if(TARGET mc_avm2)
    velmora_fuzz(fuzz_avm2_builtins
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_avm2_builtins.cpp
        LIBS mc_avm2)
    target_include_directories(fuzz_avm2_builtins PRIVATE ${PROJECT_SOURCE_DIR}/moviecontrol/avm2/tests)
endif()
