# The catalog, its loader and the main window are the editor's units;
# vipsthumbnail is the reference.
target_link_libraries(bench_editor_catalog PRIVATE editor_app editor_controls)
