# A Debian package of everything the install rules put in place (scripts/package).
# Its dependencies come from dpkg-shlibdeps, run over the programs themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tilsen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tilsen Multi Editor")
set(CPACK_PACKAGE_CONTACT "Tilsen Multi Editor authors <tilsen@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for Ultima Online multis")
set(CPACK_PACKAGE_DESCRIPTION
    "Builds and edits the multis of Ultima Online (houses, towers, boats) tile by tile
in an isometric OpenGL view, keeps them in .mlt files, imports and exports entries
of the client's multi.idx/multi.mul and MultiCollection.uop, and draws thumbnails
of .mlt files for file managers. mltool does the same in batches.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, not linked: Qt's X11 platform plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
