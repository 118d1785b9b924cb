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

# Two programs of their own, run by test_media: one reports which sound
# libraries a fresh process has mapped as it uses each kind of sound, the
# other what each use gives when the libraries cannot be opened.
function(media_test_probe probe source define)
  add_executable(${probe} ${CMAKE_CURRENT_SOURCE_DIR}/media/probe/${source})
  target_include_directories(${probe} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${probe} PRIVATE platform_media ${CMAKE_DL_LIBS})
  set_target_properties(${probe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(test_media ${probe})
  target_compile_definitions(test_media PRIVATE ${define}="$<TARGET_FILE:${probe}>")
endfunction()

media_test_probe(media_sound_library_probe SoundLibraryProbe.cpp VISTELO_SOUND_LIBRARY_PROBE)
media_test_probe(media_missing_sound_library_probe MissingSoundLibraryProbe.cpp VISTELO_MISSING_SOUND_LIBRARY_PROBE)
