if(VELMORA_SANITIZE OR VELMORA_FUZZ)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    if(VELMORA_FUZZ)
        list(APPEND _san -fsanitize=fuzzer-no-link
             -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/fuzz/coverage-ignore.txt)
    endif()
    add_compile_options(${_san})
    add_link_options(-fsanitize=address,undefined)
endif()
