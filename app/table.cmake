# runetally-table: the damage of every spell in a terminal. The logic sits in a library so that
# the tests can run it without a process; the executable only prints what it returns.
add_library(runetally_tablereport STATIC spellreport.cpp tablecommand.cpp)
target_include_directories(runetally_tablereport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(runetally_tablereport PUBLIC runetally_calc Qt6::Core runetally_identity)

add_executable(runetally-table tablemain.cpp)
target_link_libraries(runetally-table PRIVATE runetally_tablereport Qt6::Core)
