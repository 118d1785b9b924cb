# The editor's show writer is measured against the show reader.
target_link_libraries(bench_editor_save PRIVATE editor_app)
