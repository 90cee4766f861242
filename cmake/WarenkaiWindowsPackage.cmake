# The Windows package: `cpack` in the build folder makes warenkai-<version>-win64.zip with the program
# and LIESMICH.txt side by side, to be unpacked into the folder the program will live in.

# LIESMICH.txt is kept as UTF-8 in docs/ and shipped like the program's other text files: Windows-1252
# with CR LF. The conversion fails on a character Windows-1252 does not have.
set(liesmich_utf8 ${CMAKE_BINARY_DIR}/package/LIESMICH.utf8.txt)
set(liesmich ${CMAKE_BINARY_DIR}/package/LIESMICH.txt)
configure_file(${PROJECT_SOURCE_DIR}/docs/LIESMICH.txt ${liesmich_utf8} @ONLY NEWLINE_STYLE CRLF)
find_program(WARENKAI_ICONV iconv REQUIRED)
execute_process(
    COMMAND ${WARENKAI_ICONV} -f UTF-8 -t WINDOWS-1252 -o ${liesmich} ${liesmich_utf8}
    RESULT_VARIABLE iconv_result
    ERROR_VARIABLE iconv_error)
if(NOT iconv_result EQUAL 0)
    message(FATAL_ERROR "docs/LIESMICH.txt cannot be written in Windows-1252: ${iconv_error}")
endif()

install(TARGETS warenkai RUNTIME DESTINATION .)
install(FILES ${liesmich} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME warenkai)
set(CPACK_PACKAGE_FILE_NAME warenkai-${PROJECT_VERSION}-win64)
# The files at the top of the archive: a new version unpacked over the program folder replaces the
# program and LIESMICH.txt and leaves Einstellungen.ini and the CSV files alone.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
