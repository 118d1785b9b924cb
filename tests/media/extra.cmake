# Stand-in decoder modules for the tests of the decoder-module player (in
# test_core): complete, without one entry point, and one that refuses to
# create a decoder. They sit beside the test programs.
function(media_test_elamp_stub name)
  add_library(${name} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/media/stub/ElampStub.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE ${ARGN})
  target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".esp" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()

media_test_elamp_stub(ElampStub)
media_test_elamp_stub(ElampStubWithoutEQ ELAMP_STUB_OMIT_EQ)
media_test_elamp_stub(ElampStubInitFails ELAMP_STUB_INIT_FAILS)

# test_core is defined after this file; wire it up once the folder is done.
function(media_wire_core_tests)
  if(TARGET test_core)
    add_dependencies(test_core ElampStub ElampStubWithoutEQ ElampStubInitFails elamp)
    target_compile_definitions(test_core PRIVATE VISTELO_ELAMP_MODULE="$<TARGET_FILE:elamp>")
  endif()
endfunction()
cmake_language(DEFER CALL media_wire_core_tests)
