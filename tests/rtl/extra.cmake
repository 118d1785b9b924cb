# Test-only targets of the run-time layer. Each unit that needs some keeps
# them in its own tests/rtl/<Unit>Test.cmake; this file includes all of them.
file(GLOB rtl_test_extras CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/rtl/*Test.cmake)
list(SORT rtl_test_extras)
foreach(extra IN LISTS rtl_test_extras)
  include(${extra})
endforeach()
