find_package(GTest REQUIRED)
include(GoogleTest)

# velmora_test(NAME SOURCES... LIBS libs...): one GoogleTest executable beside the code it tests.
function(velmora_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/TestEnvironment.cpp)
    velmora_warnings(${name})
    # Only the environment file knows the source tree; tests read VELMORA_SOURCE_DIR. A define
    # on every test source would make their compiled objects differ between checkouts.
    set_property(SOURCE ${CMAKE_SOURCE_DIR}/cmake/TestEnvironment.cpp TARGET_DIRECTORY ${name}
                 PROPERTY COMPILE_DEFINITIONS VELMORA_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# velmora_fuzz(NAME SOURCE LIBS libs...): a libFuzzer target, built with VELMORA_FUZZ=ON.
function(velmora_fuzz name)
    cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
