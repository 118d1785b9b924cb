# picdecode: loads a picture through the picture loader and writes it as PPM
# (and its alpha as PGM). A test utility, built with the tests and not
# installed; the differential tests run it.
add_executable(picdecode ${CMAKE_CURRENT_SOURCE_DIR}/tools/picdecode.cpp)
target_link_libraries(picdecode PRIVATE Kestrun)
set_target_properties(picdecode PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
if(TARGET test_imageformats)
  add_dependencies(test_imageformats picdecode)
  target_compile_definitions(test_imageformats PRIVATE VISTELO_PICDECODE="$<TARGET_FILE:picdecode>")
endif()
