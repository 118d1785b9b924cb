# The compilation assistant's copier is the editor's; cp is the reference.
target_link_libraries(bench_editor_cd_copy PRIVATE editor_tools editor_app editor_controls)
