# libpng is the reference reader of png_decode_*.
find_package(PNG REQUIRED)
target_link_libraries(bench_imageformats_png PRIVATE PNG::PNG)
