# Drag-and-drop tests feed the Qt widgets behind the controls synthetic drag
# events and read the clipboard and MIME data directly.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
if(TARGET test_widgets)
  target_link_libraries(test_widgets PRIVATE Qt6::Widgets)
endif()
