# The change runs the player's setter with the editor's show writer; the
# idle figure starts the wallpaper program itself.
find_package(X11 REQUIRED)
target_link_libraries(bench_wallpaper_change PRIVATE editor_app X11::X11)
add_dependencies(bench_wallpaper_change wallpaper)
target_compile_definitions(bench_wallpaper_change PRIVATE WALLPAPER_PROGRAM="$<TARGET_FILE:wallpaper>")
