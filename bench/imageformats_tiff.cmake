# libtiff is the reference reader of tiff_decode_*.
find_package(TIFF REQUIRED)
target_link_libraries(bench_imageformats_tiff PRIVATE TIFF::TIFF)
