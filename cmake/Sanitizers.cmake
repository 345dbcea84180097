if(VELMORA_SANITIZE OR VELMORA_FUZZ)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    if(VELMORA_FUZZ)
        # Relative to the build folder (where the compiler runs), so that compiler caches hit
        # across checkouts at different paths.
        file(RELATIVE_PATH _ignore ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/fuzz/coverage-ignore.txt)
        list(APPEND _san -fsanitize=fuzzer-no-link -fsanitize-coverage-ignorelist=${_ignore})
    endif()
    # Sanitizer metadata and assertions keep source file names as text: written relative to
    # the tree, no binary names the folder it was built in, with or without a compiler cache.
    list(APPEND _san -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
    add_compile_options(${_san})
    add_link_options(-fsanitize=address,undefined)
endif()
