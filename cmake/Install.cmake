# Installing like a desktop game. `swarmbreak` on the PATH is a launcher
# script that runs the real binary (kept in libexec) from the player's own
# game folder under ${XDG_DATA_HOME:-~/.local/share}/swarmbreak, which holds
# links to the installed images/ and sounds/ and a real scores/ folder.
#
# The manual page, packaging/swarmbreak.6, goes to man6.
#
# Packagers may move things, for example to games/ and share/games/ (as
# debian/rules does):
#   -DSB_INSTALL_BINDIR=games -DSB_INSTALL_DATADIR=share/games/swarmbreak
# Relative paths are taken below the install prefix; the launcher finds the
# binary and the data relative to itself, so the installed tree can move.

set(SB_INSTALL_BINDIR "${CMAKE_INSTALL_BINDIR}" CACHE STRING
    "Where the swarmbreak launcher goes")
set(SB_INSTALL_LIBEXECDIR "${CMAKE_INSTALL_LIBEXECDIR}/swarmbreak" CACHE STRING
    "Where the game binary goes (the launcher runs it)")
set(SB_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/swarmbreak" CACHE STRING
    "Where the game's images/ and sounds/ go")
set(SB_RELEASE_DATE "2026-12-08" CACHE STRING "Release date shown in the AppStream metadata")

# The launcher's way to a folder: relative to its own location when both
# are below the prefix, else the absolute path.
function(sb_launch_path out dir)
  if(IS_ABSOLUTE "${dir}")
    set(path "'${dir}'")
  elseif(IS_ABSOLUTE "${SB_INSTALL_BINDIR}")
    set(path "'${CMAKE_INSTALL_PREFIX}/${dir}'")
  else()
    file(RELATIVE_PATH rel "/prefix/${SB_INSTALL_BINDIR}" "/prefix/${dir}")
    set(path "\"\$here/${rel}\"")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()
sb_launch_path(SB_LAUNCH_BIN "${SB_INSTALL_LIBEXECDIR}/swarmbreak")
sb_launch_path(SB_LAUNCH_DATA "${SB_INSTALL_DATADIR}")
configure_file(${CMAKE_SOURCE_DIR}/packaging/swarmbreak.in
               ${CMAKE_BINARY_DIR}/packaging/swarmbreak @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/org.swarmbreak.Swarmbreak.metainfo.xml
               ${CMAKE_BINARY_DIR}/packaging/org.swarmbreak.Swarmbreak.metainfo.xml @ONLY)

install(TARGETS swarmbreak RUNTIME DESTINATION "${SB_INSTALL_LIBEXECDIR}")
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/swarmbreak DESTINATION "${SB_INSTALL_BINDIR}")

# The art and sound made at build time by tools/assetgen.
install(DIRECTORY ${SB_GAME_DIR}/images ${SB_GAME_DIR}/sounds
        DESTINATION "${SB_INSTALL_DATADIR}")

install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.swarmbreak.Swarmbreak.desktop
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES ${CMAKE_BINARY_DIR}/packaging/org.swarmbreak.Swarmbreak.metainfo.xml
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(size 48x48 128x128)
  install(FILES ${SB_GAME_DIR}/icons/${size}/swarmbreak.png
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps")
endforeach()
install(FILES ${SB_GAME_DIR}/icons/scalable/swarmbreak.svg
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/swarmbreak.6 DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")

install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/docs/CONTROLS.md
        DESTINATION "${CMAKE_INSTALL_DOCDIR}" OPTIONAL)
