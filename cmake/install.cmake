# Installs the Linux program as a desktop program (cmake --install), and packs the same files
# as a Debian package (cpack -G DEB). Names follow TOLLIVANE_APP_ID.
if(NOT UNIX OR NOT TARGET tollivane)
  return()
endif()
include(GNUInstallDirs)
set(linux ${PROJECT_SOURCE_DIR}/resources/linux)
set(icons ${PROJECT_SOURCE_DIR}/resources/icons)
set(docs ${CMAKE_INSTALL_DATADIR}/doc/tollivane)

# Debian's rules for man pages and changelogs: gzip -9, with no name or time stored.
foreach(file tollivane.1 changelog)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${file}.gz
    COMMAND sh -c "gzip -9 -n -c '${linux}/${file}' > '${CMAKE_BINARY_DIR}/${file}.gz'"
    DEPENDS ${linux}/${file} VERBATIM)
  list(APPEND compressed ${CMAKE_BINARY_DIR}/${file}.gz)
endforeach()
add_custom_target(tollivane_compressed_docs ALL DEPENDS ${compressed})

install(TARGETS tollivane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${linux}/${TOLLIVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${linux}/${TOLLIVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${icons}/${size}x${size}/${TOLLIVANE_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${icons}/scalable/${TOLLIVANE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_BINARY_DIR}/tollivane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${linux}/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${docs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tollivane)
set(CPACK_PACKAGE_VENDOR Tollivane)
set(CPACK_PACKAGE_CONTACT "Tollivane <tollivane@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without an X server (Wayland and no XWayland) the windows open through Qt's Wayland plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tollivane.example.org)
# CPack indents the lines after the first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "stopwatch drawn onto the game you play
Tollivane is a small stopwatch for people playing a full-screen game. It
sits beside the game, follows three global hotkeys (F5 start, F6 pause,
F7 stop unless you choose others) and, while it runs, draws the elapsed
time onto whatever window is in front, at a spot you choose.")
include(CPack)
