# One helper per kind of target.

# warenkai_add_library(<name> SOURCES ... [DEPS ...])
# A static library of the program, with the repository root on its include path, so headers are
# included as "settings/settings.h". The alias warenkai::<name> is what other targets link.
function(warenkai_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(wk_${name} STATIC ${ARG_SOURCES})
    add_library(warenkai::${name} ALIAS wk_${name})
    target_include_directories(wk_${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(wk_${name} PUBLIC ${ARG_DEPS})
endfunction()

# warenkai_add_gtest(<name> SOURCES ... [DEPS ...] [ENV ...] [LABELS ...])
# A GoogleTest executable, each test case registered with ctest.
function(warenkai_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} warenkai::test_support GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        WARENKAI_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        WARENKAI_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    set(properties)
    if(ARG_ENV)
        list(APPEND properties ENVIRONMENT "${ARG_ENV}")
    endif()
    if(ARG_LABELS)
        list(APPEND properties LABELS "${ARG_LABELS}")
    endif()
    if(properties)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
