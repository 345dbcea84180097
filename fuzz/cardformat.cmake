foreach(target fuzz_flash_header fuzz_card_note fuzz_card_extract fuzz_movie_body)
    velmora_fuzz(${target} SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${target}.cpp LIBS cardformat)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endforeach()
