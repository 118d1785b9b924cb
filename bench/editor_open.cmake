# The main window and the show writer are the editor's units.
target_link_libraries(bench_editor_open PRIVATE editor_app editor_controls)
