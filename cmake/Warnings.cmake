# Warnings for the project's own targets; third-party headers come in as system includes.
function(velmora_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    # GCC 12 reports overlapping copies and out-of-bounds offsets inside libstdc++'s own
    # string and copy helpers once they are inlined (GCC 12 regressions such as bug 105329):
    # noise about the library, not about our code. Clang, which builds the checked and
    # sanitized tree, keeps both warnings on.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict -Wno-array-bounds)
    endif()
endfunction()
