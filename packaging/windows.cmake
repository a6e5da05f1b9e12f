# The Windows package: runetally-<version>-win64.zip, both programs with the README and the
# licence in one folder. The programs link everything statically and need nothing installed.
install(TARGETS runetally runetally-table RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME runetally)
set(CPACK_PACKAGE_VENDOR "The Runetally developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Spell damage calculator for an online role-playing game")
set(CPACK_PACKAGE_FILE_NAME runetally-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)

if(RUNETALLY_TESTS)
    # Builds the ZIP and reads back what it holds.
    add_test(NAME windows_zip_holds_both_programs
             COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/windows_zip_test.sh ${CMAKE_BINARY_DIR}
                     runetally-${PROJECT_VERSION}-win64 ${CMAKE_OBJDUMP} ${PROJECT_VERSION})
endif()
