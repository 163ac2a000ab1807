# A Debian package of what the install rules install: quillary_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillary)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillary developers")
set(CPACK_PACKAGE_CONTACT "The Quillary developers <developers@quillary.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "keep one collection of bookmarks and move it between your web browsers")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillary keeps one collection of bookmarks, a tree of folders and bookmarks, imports the
bookmarks of the browsers on the machine and of backup files, merges every source into the
collection without losing anything, and exports the collection back into the browsers.
It comes as a desktop program and as the quillary-cli command.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quillary.example/)
# The libraries the programs link come from dpkg-shlibdeps; the window also loads Qt's platform
# plugins and its SVG image plugin, which no program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
include(CPack)
