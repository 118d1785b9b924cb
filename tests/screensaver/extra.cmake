# The screen saver's units are tested from their sources, with the playback
# window's units it shares and the launcher's translation of daemon command
# lines.
vistelo_collect_sources(screensaver_unit_srcs ${CMAKE_SOURCE_DIR}/screensaver)
target_sources(test_screensaver PRIVATE ${screensaver_unit_srcs}
  ${CMAKE_SOURCE_DIR}/player/SlideDisplay.cpp
  ${CMAKE_SOURCE_DIR}/player/ShowDevices.cpp
  ${CMAKE_SOURCE_DIR}/player/ShowSounds.cpp
  ${CMAKE_SOURCE_DIR}/screensaver/launcher/DaemonArguments.cpp)

# The saver under Xvfb: the real launcher and module, a show written with the
# editor's show writer, the private server watched through Xlib.
add_dependencies(test_screensaver slumbrix-launcher Slumbrix)
target_link_libraries(test_screensaver PRIVATE editor_app)
find_package(X11 REQUIRED)
target_link_libraries(test_screensaver PRIVATE X11::X11 X11::Xfixes)
target_compile_definitions(test_screensaver PRIVATE SLUMBRIX_LAUNCHER="$<TARGET_FILE:slumbrix-launcher>")
