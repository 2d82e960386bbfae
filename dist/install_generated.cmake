# Run by `cmake --install` (and cpack): the installed files that name the install prefix or
# are built at install time. Expects AVG_SOURCE_DIR, AVG_APP_ID and the GNUInstallDirs names.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(AVG_DEMO_DIR "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/games/avgplayer/demo")

set(desktop "${root}/${CMAKE_INSTALL_DATADIR}/applications/${AVG_APP_ID}.desktop")
message(STATUS "Installing: ${desktop}")
configure_file("${AVG_SOURCE_DIR}/dist/avgplayer.desktop.in" "${desktop}" @ONLY)

set(completions "${root}/${CMAKE_INSTALL_DATADIR}/bash-completion/completions")
file(MAKE_DIRECTORY "${completions}")
file(CREATE_LINK avgplayer "${completions}/avgpack" SYMBOLIC)
file(CREATE_LINK avgplayer "${completions}/avgscript" SYMBOLIC)

message(STATUS "Installing: ${root}/${CMAKE_INSTALL_DATADIR}/games/avgplayer/demo")
execute_process(COMMAND bash "${AVG_SOURCE_DIR}/demo/make_game.sh" "$ENV{DESTDIR}${AVG_DEMO_DIR}"
  COMMAND_ERROR_IS_FATAL ANY)
