# ImageMagick's own library is the reference reader of pnm_decode_* and pcx_decode_*.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MAGICKCORE REQUIRED IMPORTED_TARGET MagickCore)
target_link_libraries(bench_imageformats_pnm PRIVATE PkgConfig::MAGICKCORE)
