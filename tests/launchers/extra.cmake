# The launchers' units outside their mains are tested in test_launchers.
target_sources(test_launchers PRIVATE
  ${CMAKE_SOURCE_DIR}/launchers/autovane/AutorunCommand.cpp)

# The test player package finds its log in the test program by name.
set_target_properties(test_launchers PROPERTIES ENABLE_EXPORTS ON)

# Player packages loaded by the package interface tests, beside test_launchers
# where LoadPackage looks for them by name.
function(launchers_test_package name source)
  add_library(${name} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/launchers/package/${source})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE Kestrun)
  # Without unique symbols dlclose really unloads, so every load starts afresh.
  target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
  set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(test_launchers ${name})
endfunction()

launchers_test_package(LaunchersTestPlayer TestPlayer.cpp)
launchers_test_package(LaunchersNoPlayer NoPlayer.cpp)

target_sources(test_launchers PRIVATE
  ${CMAKE_SOURCE_DIR}/launchers/rollavin/PlayFromCommandLine.cpp)

# The run under Xvfb starts the real program with the real player package and
# writes its show with the editor's show writer.
add_dependencies(test_launchers Rollavin Player)
target_link_libraries(test_launchers PRIVATE editor_app)
target_compile_definitions(test_launchers PRIVATE ROLLAVIN_PROGRAM="$<TARGET_FILE:Rollavin>")

# The private X server is watched through Xlib.
find_package(X11 REQUIRED)
target_link_libraries(test_launchers PRIVATE X11::X11 X11::Xss)

# Shows that cannot be played go through Rollavin's start to the real player.
target_compile_definitions(test_launchers PRIVATE PLAYER_PACKAGE_FILE="$<TARGET_FILE:Player>")

# Rollavin under Xvfb plays the bundled demo with the standard logo.
add_dependencies(test_launchers demo_show standard_logo)
target_compile_definitions(test_launchers PRIVATE
  DEMO_SHOW="${VISTELO_BIN_DIR}/demo/Demo.vsf"
  DEMO_FIRST_PICTURE="${VISTELO_BIN_DIR}/demo/Abendhimmel.jpg"
  STANDARD_LOGO="${VISTELO_BIN_DIR}/Vistelo.jpg")
