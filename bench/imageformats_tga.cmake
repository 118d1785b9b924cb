# ImageMagick's own library is the reference reader of tga_decode_*.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MAGICKCORE REQUIRED IMPORTED_TARGET MagickCore)
target_link_libraries(bench_imageformats_tga PRIVATE PkgConfig::MAGICKCORE)
