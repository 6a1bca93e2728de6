# The Debian package (scripts/package, or cpack in the build tree).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <developers@tarnwick.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial loader for digital set-top boxes")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarnwick flashes program images (plain or gzip), databases and boot images into\n"
    "a set-top box through the box's resident loader over a serial line, pulls the\n"
    "box's database and memory windows (SDRAM, FLASH, EEPROM) back, lets an engineer\n"
    "inspect and edit memory in a hex viewer, and sends MP3 files and photos to the\n"
    "box's disk.\n"
    "\n"
    "The package holds the loader dialog (tarnwick), the same engine for scripts and\n"
    "production lines (tarnwick-cli), a simulated box loader for demonstrations and\n"
    "tests (tarnwick-boxsim) and the photo converter the transfers of photos need.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Runtime dependencies come from the shared libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
include(CPack)
