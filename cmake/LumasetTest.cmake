# lumaset_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest program per component; each test case becomes its own ctest entry.
function(lumaset_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main lumaset_warnings)
    target_compile_definitions(${ARG_NAME} PRIVATE LUMASET_CORPUS_DIR="${LUMASET_CORPUS_DIR}"
                               LUMASET_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    gtest_discover_tests(${ARG_NAME} DISCOVERY_MODE PRE_TEST
                         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} DISCOVERY_TIMEOUT 60)
endfunction()
