# Edit fields' html markup and style sheets, the text model and its measurement.
if(TARGET mc_render)
    velmora_fuzz(fuzz_html_text
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_html_text.cpp
        LIBS mc_render mc_stage)
endif()
