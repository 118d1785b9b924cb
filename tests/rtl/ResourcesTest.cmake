# Resources compiled into the test program itself, and a small module with a
# resource of its own, loaded and unloaded by ResourcesTest.cpp.
vistelo_embed_resources(test_rtl
  RCDATA SAMPLE_TEXT ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/rtl/resource_text.txt
  Custom_Type Empty.Entry ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/rtl/resource_empty.txt)

add_library(rtl_resource_module MODULE ${CMAKE_CURRENT_SOURCE_DIR}/rtl/resource_module/ResourceModule.cpp)
target_link_libraries(rtl_resource_module PRIVATE platform_rtl)
# Without unique symbols dlclose really unloads the module.
target_compile_options(rtl_resource_module PRIVATE -fno-gnu-unique)
vistelo_embed_resources(rtl_resource_module
  RCDATA SAMPLE_TEXT ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/rtl/resource_module.bin)

add_dependencies(test_rtl rtl_resource_module)
target_compile_definitions(test_rtl PRIVATE
  RTL_RESOURCE_MODULE="$<TARGET_FILE:rtl_resource_module>"
  RTL_RESOURCE_MODULE_DATA="${CMAKE_CURRENT_SOURCE_DIR}/fixtures/rtl/resource_module.bin"
  RTL_RESOURCE_TEXT_DATA="${CMAKE_CURRENT_SOURCE_DIR}/fixtures/rtl/resource_text.txt")
