# The player package's units are tested in test_player from their sources
# (every unit of the folder, so a new one needs no list edit), with the
# resources they load.
vistelo_collect_sources(player_unit_srcs ${CMAKE_SOURCE_DIR}/player)
target_sources(test_player PRIVATE ${player_unit_srcs})
vistelo_embed_resources(test_player BITMAP BigQuestion ${CMAKE_SOURCE_DIR}/player/resources/BigQuestion.bmp)
# Tests write their show files with the editor's show writer.
target_link_libraries(test_player PRIVATE editor_app)
# The standard logo is drawn by the build beside the programs.
add_dependencies(test_player standard_logo)
target_compile_definitions(test_player PRIVATE STANDARD_LOGO_FOLDER="${VISTELO_BIN_DIR}/")

# The recording screen-saver service on a private session bus.
add_dependencies(test_player ScreenSaverService)
target_compile_definitions(test_player PRIVATE SCREENSAVER_SERVICE_PROGRAM="$<TARGET_FILE:ScreenSaverService>")
