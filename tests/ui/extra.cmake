# The UI tests drive the Qt widgets behind the controls with synthetic events.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
if(TARGET test_ui)
  target_link_libraries(test_ui PRIVATE Qt6::Widgets)
endif()

# A small form to look at under Xvfb (not run by the tests).
add_executable(ui_demo ${CMAKE_CURRENT_SOURCE_DIR}/ui/demo/UiDemo.cpp)
target_link_libraries(ui_demo PRIVATE platform_ui)
target_include_directories(ui_demo PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(ui_demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
