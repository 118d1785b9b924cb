# The shows are written by the editor's show writer.
target_link_libraries(bench_core_showload PRIVATE editor_app)
