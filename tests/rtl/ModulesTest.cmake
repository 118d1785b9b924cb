# Packages loaded and unloaded by ModulesTest.cpp. They sit beside test_rtl,
# in the program's folder, where LoadPackage looks for them by name.
function(rtl_test_package name source)
  add_library(${name} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/rtl/package/${source})
  target_link_libraries(${name} PRIVATE platform_rtl)
  # Without unique symbols dlclose really unloads, so every load starts afresh.
  target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
  set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(test_rtl ${name})
endfunction()

rtl_test_package(RtlTestPackage TestPackage.cpp)
rtl_test_package(RtlFailingPackage FailingPackage.cpp)
