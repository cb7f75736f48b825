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

# The AppStream data: this version's release entry, and the addresses only when given.
set(METAINFO_HOMEPAGE "")
if(TOLLIVANE_HOMEPAGE)
  set(METAINFO_HOMEPAGE "  <url type=\"homepage\">${TOLLIVANE_HOMEPAGE}</url>\n")
endif()
set(METAINFO_SCREENSHOTS "")
if(TOLLIVANE_SCREENSHOTS_URL)
  string(APPEND METAINFO_SCREENSHOTS "  <screenshots>\n")
  foreach(shot "main-window|The main window at rest, beside the game"
               "main-window-hotkeys|Choosing the start, pause and stop hotkeys by pressing them"
               "main-window-position|Placing the clock on the game's screen"
               "about-window|The About window")
    string(REPLACE "|" ";" shot "${shot}")
    list(GET shot 0 name)
    list(GET shot 1 caption)
    set(type "")
    if(name STREQUAL "main-window")
      set(type " type=\"default\"")
    endif()
    string(APPEND METAINFO_SCREENSHOTS "    <screenshot${type}>\n      <caption>${caption}</caption>\n"
           "      <image>${TOLLIVANE_SCREENSHOTS_URL}/${name}.png</image>\n    </screenshot>\n")
  endforeach()
  string(APPEND METAINFO_SCREENSHOTS "  </screenshots>\n")
endif()
configure_file(${linux}/${TOLLIVANE_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${TOLLIVANE_APP_ID}.metainfo.xml @ONLY)

install(TARGETS tollivane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package) also drops the compilers' names and versions, as Debian does.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tollivane\" COMMAND_ERROR_IS_FATAL ANY)
endif()")
install(FILES ${linux}/${TOLLIVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${TOLLIVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
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
set(CPACK_PACKAGE_VENDOR "The Tollivane developers")
set(CPACK_PACKAGE_CONTACT "${TOLLIVANE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without an X server (Wayland and no XWayland) the windows open through Qt's Wayland plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(TOLLIVANE_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TOLLIVANE_HOMEPAGE})
endif()
# CPack indents the lines after the first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "stopwatch drawn onto the game you play
Tollivane is a small stopwatch for people playing a full-screen game. It
sits beside the game, follows three global hotkeys (F5 start, F6 pause,
F7 stop unless you choose others) and, while it runs, draws the elapsed
time onto whatever window is in front, at a spot you choose.")
# Every file in the package carries the source's time unless SOURCE_DATE_EPOCH says otherwise.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/cpack_source_date.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${TOLLIVANE_SOURCE_DATE_EPOCH})
endif()
")
include(CPack)
