# GoogleTest for a cross build: Debian ships no GoogleTest for mingw, so it is built here from the
# sources of Debian's googletest package (/usr/src/googletest) and offered under the names that
# find_package(GTest) gives on Linux: GTest::gtest, GTest::gtest_main, GTest::gmock, GTest::gmock_main.

set(WARENKAI_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target system")
if(NOT EXISTS ${WARENKAI_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${WARENKAI_GOOGLETEST_SOURCE}: install Debian's googletest package")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "GoogleTest is only built for the tests, not installed" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "The tests use GoogleMock" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)

# Our warnings (and -Werror) are for our code, not for GoogleTest's: a subdirectory starts with the
# compile options its parent has when it is added.
get_directory_property(warenkai_compile_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${WARENKAI_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${warenkai_compile_options}")

foreach(gtest_library gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${gtest_library})   # GoogleTest 1.12 names them itself
        add_library(GTest::${gtest_library} ALIAS ${gtest_library})
    endif()
endforeach()
