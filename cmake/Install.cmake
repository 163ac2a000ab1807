# What `cmake --install` puts on a Linux system: both programs, the desktop entry, the icons,
# the AppStream metainfo, the man pages, the help pages and the shell completion.
include(GNUInstallDirs)

set(QUILLARY_APP_ID example.quillary.Quillary)

install(TARGETS quillary-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quillary)
  install(TARGETS quillary RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES resources/linux/${QUILLARY_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(resources/linux/${QUILLARY_APP_ID}.metainfo.xml
               ${CMAKE_CURRENT_BINARY_DIR}/${QUILLARY_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${QUILLARY_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES resources/quillary.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
  install(FILES resources/icons/quillary-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quillary.png)
endforeach()

foreach(page quillary quillary-cli)
  configure_file(docs/man/${page}.1 ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1 @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

file(GLOB QUILLARY_HELP_PAGES CONFIGURE_DEPENDS resources/help/*.html)
install(FILES ${QUILLARY_HELP_PAGES} DESTINATION ${CMAKE_INSTALL_DATADIR}/quillary/help)

install(FILES resources/completion/quillary-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
