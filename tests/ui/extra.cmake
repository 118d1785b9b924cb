# A small form to look at under Xvfb (not run by the tests).
add_executable(ui_demo ${CMAKE_CURRENT_SOURCE_DIR}/ui/demo/UiDemo.cpp)
target_link_libraries(ui_demo PRIVATE platform_ui)
target_include_directories(ui_demo PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(ui_demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
