# ImageMagick's own library is the reference of resample_* (its resize with the same filter).
find_package(PkgConfig REQUIRED)
pkg_check_modules(MAGICKCORE REQUIRED IMPORTED_TARGET MagickCore)
target_link_libraries(bench_imageformats_resample PRIVATE PkgConfig::MAGICKCORE)
