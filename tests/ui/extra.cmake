# A small form to look at under Xvfb (not run by the tests).
add_executable(ui_demo ${CMAKE_CURRENT_SOURCE_DIR}/ui/demo/UiDemo.cpp)
target_link_libraries(ui_demo PRIVATE platform_ui)
target_include_directories(ui_demo PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(ui_demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

# A screen-saver service for the tests that keep the screen awake: it answers
# on a private session bus and records the calls.
pkg_check_modules(DBUS1 REQUIRED IMPORTED_TARGET dbus-1)
add_executable(ScreenSaverService ${CMAKE_SOURCE_DIR}/tests/support/ScreenSaverService.cpp)
target_link_libraries(ScreenSaverService PRIVATE PkgConfig::DBUS1)
set_target_properties(ScreenSaverService PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_dependencies(test_ui ScreenSaverService)
target_compile_definitions(test_ui PRIVATE SCREENSAVER_SERVICE_PROGRAM="$<TARGET_FILE:ScreenSaverService>")

# The wallpaper tests read the root window of a private X server.
find_package(X11 REQUIRED)
target_link_libraries(test_ui PRIVATE X11::X11)
