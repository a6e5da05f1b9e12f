# The header-only libraries, found through their packages' CMake files: nlohmann/json for
# character files and the tables' JSON, and CLI11 for runetally-table's options, which a page has
# none of. Each layer links the target it needs: runetally_json or runetally_cli11.
#
# A cross build finds the host's, whose include folder is the host's /usr/include: there the
# folder is searched only after the target's own system folders (-idirafter), so the host's C
# library can never shadow the target's.
if(CMAKE_CROSSCOMPILING)
    set(host_packages PATHS /usr/share/cmake NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
endif()
find_package(nlohmann_json 3.2 REQUIRED ${host_packages})
set(header_libraries nlohmann_json::nlohmann_json)
if(NOT EMSCRIPTEN)
    find_package(CLI11 CONFIG REQUIRED ${host_packages})
    list(APPEND header_libraries CLI11::CLI11)
endif()
if(CMAKE_CROSSCOMPILING)
    foreach(headers ${header_libraries})
        get_target_property(folders ${headers} INTERFACE_INCLUDE_DIRECTORIES)
        set_target_properties(${headers} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "")
        foreach(folder ${folders})
            target_compile_options(${headers} INTERFACE "SHELL:-idirafter ${folder}")
        endforeach()
    endforeach()
endif()
add_library(runetally_json INTERFACE)
target_link_libraries(runetally_json INTERFACE nlohmann_json::nlohmann_json)
if(TARGET CLI11::CLI11)
    add_library(runetally_cli11 INTERFACE)
    target_link_libraries(runetally_cli11 INTERFACE CLI11::CLI11)
endif()
