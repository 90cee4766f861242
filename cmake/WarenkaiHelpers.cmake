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
# A GoogleTest executable, each test case registered with ctest. In the Windows build the program is
# one ctest entry (see warenkai_windows_test).
function(warenkai_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} warenkai::test_support GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        WARENKAI_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        WARENKAI_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    if(WIN32)
        add_test(NAME ${name} COMMAND ${name})
        warenkai_windows_test(${name} ENV ${ARG_ENV} LABELS ${ARG_LABELS})
        return()
    endif()
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

# warenkai_windows_test(<test> [ENV ...] [LABELS ...])
# Properties of a ctest entry that runs a Windows program. Under wine (cross build) the entry needs
# the fixture "wine" of tests/CMakeLists.txt, which keeps one wine server up in the build folder's own
# prefix for the whole run, and tools/wine-run.sh (the emulator) is told that prefix.
# Test programs are single ctest entries here instead of one entry per test case: listing the cases
# would run every program under wine at build time, or at the start of ctest before the fixture has
# warmed the prefix, through a pipe that a starting wine server would hold open.
function(warenkai_windows_test test)
    cmake_parse_arguments(ARG "" "" "ENV;LABELS" ${ARGN})
    set(environment ${ARG_ENV})
    if(WARENKAI_WINEPREFIX)
        list(APPEND environment WARENKAI_WINEPREFIX=${WARENKAI_WINEPREFIX})
        set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine)
    endif()
    if(environment)
        set_tests_properties(${test} PROPERTIES ENVIRONMENT "${environment}")
    endif()
    if(ARG_LABELS)
        set_tests_properties(${test} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
