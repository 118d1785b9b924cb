# The saver and Rollavin are started under Xvfb on the same show, written by
# the editor's show writer; the saver's settings go to a private registry file.
find_package(X11 REQUIRED)
add_dependencies(bench_screensaver_start slumbrix-launcher Slumbrix Rollavin Player)
target_sources(bench_screensaver_start PRIVATE ${CMAKE_SOURCE_DIR}/screensaver/ScreenSaverSetup.cpp)
target_link_libraries(bench_screensaver_start PRIVATE editor_app X11::X11)
target_compile_definitions(bench_screensaver_start PRIVATE
  SLUMBRIX_LAUNCHER="$<TARGET_FILE:slumbrix-launcher>"
  ROLLAVIN_PROGRAM="$<TARGET_FILE:Rollavin>")
