# Rollavin and its player package are started under Xvfb; the shows are
# written by the editor's show writer and the screen is read through Xlib
# (shared memory, from libXext, where the server offers it).
find_package(X11 REQUIRED)
add_dependencies(bench_player_start Rollavin Player)
target_link_libraries(bench_player_start PRIVATE editor_app X11::X11 X11::Xext)
target_compile_definitions(bench_player_start PRIVATE ROLLAVIN_PROGRAM="$<TARGET_FILE:Rollavin>")
