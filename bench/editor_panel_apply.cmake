# The main window is one of the editor's units.
target_link_libraries(bench_editor_panel_apply PRIVATE editor_app editor_controls)
