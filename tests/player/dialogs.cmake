# The player's dialogs and wallpaper setter, tested from their sources with
# the resources they load.
file(GLOB player_dialog_srcs CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/player/LogoForm.cpp
  ${CMAKE_SOURCE_DIR}/player/PlayerAbout.cpp
  ${CMAKE_SOURCE_DIR}/player/CommentsBox.cpp
  ${CMAKE_SOURCE_DIR}/player/AskRepeat.cpp
  ${CMAKE_SOURCE_DIR}/player/ChooseVistelo.cpp
  ${CMAKE_SOURCE_DIR}/player/SpeedChg.cpp
  ${CMAKE_SOURCE_DIR}/player/WinBackground.cpp)
target_sources(test_player PRIVATE ${player_dialog_srcs})
vistelo_embed_resources(test_player BITMAP BigQuestion ${CMAKE_SOURCE_DIR}/player/resources/BigQuestion.bmp)
# The chooser tests write shows with the editor's show writer.
target_link_libraries(test_player PRIVATE editor_app)
# The dialog tests drive the toolkit's widgets directly.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
target_link_libraries(test_player PRIVATE Qt6::Widgets)
