# The player package's units are tested in test_player from their sources.
target_sources(test_player PRIVATE
  ${CMAKE_SOURCE_DIR}/player/PlayerSetup.cpp)
