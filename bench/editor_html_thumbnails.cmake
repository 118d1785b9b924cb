# The thumbnails are the HTML export's; ImageMagick's own library is the reference.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MAGICKCORE REQUIRED IMPORTED_TARGET MagickCore)
target_link_libraries(bench_editor_html_thumbnails PRIVATE editor_tools editor_app editor_controls PkgConfig::MAGICKCORE)
