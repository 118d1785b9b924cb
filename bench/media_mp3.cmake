# The reference decodes with the MPEG audio library directly; the music
# fixture is read from the source tree.
pkg_check_modules(BENCH_MPG123 REQUIRED IMPORTED_TARGET libmpg123)
target_link_libraries(bench_media_mp3 PRIVATE PkgConfig::BENCH_MPG123)
target_compile_definitions(bench_media_mp3 PRIVATE VISTELO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
