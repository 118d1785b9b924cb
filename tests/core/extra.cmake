# The show-file writer lives in the editor's application library; the core
# tests write shows through it.
if(TARGET test_core)
  target_link_libraries(test_core PRIVATE editor_app)
endif()
