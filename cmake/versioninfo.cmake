# A Windows program's VERSIONINFO resource, from the project's version: the file as Explorer's
# Details tab and installers read it.
function(runetally_version_resource target program description)
    set(version_program ${program})
    set(version_description ${description})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/versioninfo.rc.in
                   ${CMAKE_CURRENT_BINARY_DIR}/${program}-version.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${program}-version.rc)
endfunction()
