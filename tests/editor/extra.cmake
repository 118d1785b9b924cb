# The editor's units are object libraries: linked by name, not through
# editor_tools, so that their objects reach the test program.
target_link_libraries(test_editor PRIVATE editor_tools editor_app editor_controls)
include(${CMAKE_SOURCE_DIR}/editor/tools/resources/Resources.cmake)
vistelo_embed_tool_resources(test_editor)

# The run under Xvfb starts the real editor, which plays through the real
# player package, and reads the saved show back with showdump.
add_dependencies(test_editor Vistelo Player showdump)
target_compile_definitions(test_editor PRIVATE VISTELO_PROGRAM="$<TARGET_FILE:Vistelo>"
                                               VISTELO_SHOWDUMP="$<TARGET_FILE:showdump>")
find_package(X11 REQUIRED)
# The drag-and-drop run moves and presses the pointer as the mouse would.
target_link_libraries(test_editor PRIVATE X11::X11 X11::Xtst)

# The CD folder under Xvfb is made from this build's program folder: the
# player's run-time set and the start program must all be there.
add_dependencies(test_editor Rollavin Autovane elamp standard_logo)
target_compile_definitions(test_editor PRIVATE VISTELO_BIN_DIR_PATH="${VISTELO_BIN_DIR}")
