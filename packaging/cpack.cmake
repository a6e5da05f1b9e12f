# The Debian package: runetally_<version>_amd64.deb, its dependencies read off the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME runetally)
set(CPACK_PACKAGE_VENDOR "The Runetally developers")
set(CPACK_PACKAGE_CONTACT "The Runetally developers <developers@runetally.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Spell damage calculator for an online role-playing game")
set(CPACK_PACKAGE_DESCRIPTION
    "Runetally works out how much damage each of the game's 41 spells deals for the character's level, intelligence, wisdom and elemental powers and the target's elemental resist. runetally-table prints them all in a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# System Info starts this tool on Linux desktops.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS hardinfo)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://runetally.example/)
set(CPACK_STRIP_FILES ON)
include(CPack)
