# Shows are written with the editor's show writer; the root window and the
# real program are watched on a private X server and as processes.
target_link_libraries(test_wallpaper PRIVATE editor_app)
find_package(X11 REQUIRED)
target_link_libraries(test_wallpaper PRIVATE X11::X11)
add_dependencies(test_wallpaper wallpaper)
target_compile_definitions(test_wallpaper PRIVATE WALLPAPER_PROGRAM="$<TARGET_FILE:wallpaper>")
