# A bitmap, a cursor and an animated cursor compiled into the test program as resources.
if(TARGET test_widgets)
  vistelo_embed_resources(test_widgets
    BITMAP CELLS ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/widgets/cells.bmp
    BITMAP "#7" ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/widgets/cells.bmp
    CURSOR SQUARE ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/widgets/square.cur
    ANICURSOR TURNING ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/widgets/square.ani)
endif()
