# The player package's units are tested in test_player from their sources.
target_sources(test_player PRIVATE
  ${CMAKE_SOURCE_DIR}/player/PlayerSetup.cpp
  ${CMAKE_SOURCE_DIR}/player/Show.cpp
  ${CMAKE_SOURCE_DIR}/player/PlayerInterface.cpp)
# Tests write their show files with the editor's show writer.
target_link_libraries(test_player PRIVATE editor_app)
include(${CMAKE_CURRENT_LIST_DIR}/dialogs.cmake)
