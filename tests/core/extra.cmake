# The show-file writer lives in the editor's application library; the core
# tests write shows through it.
if(TARGET test_core)
  target_link_libraries(test_core PRIVATE editor_app)
endif()

# showdump: prints what the show and show-list readers make of a file, as
# JSON. A test utility, built with the tests and not installed.
add_executable(showdump ${CMAKE_CURRENT_SOURCE_DIR}/tools/showdump.cpp)
target_link_libraries(showdump PRIVATE Kestrun)
set_target_properties(showdump PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
if(TARGET test_core)
  add_dependencies(test_core showdump)
  target_compile_definitions(test_core PRIVATE VISTELO_SHOWDUMP="$<TARGET_FILE:showdump>")
endif()

# Icons and bitmaps the core units load from the test program's resources.
if(TARGET test_core)
  vistelo_embed_resources(test_core
    ICON RED16 ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/core/red16.ico
    GROUP_ICON "#101" ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/core/red16.ico
    BITMAP IL_FULL ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/core/imagelist16.bmp
    BITMAP IL_SMALL ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/core/imagelist8x6.bmp)
endif()
