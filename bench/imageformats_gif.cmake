# giflib is the reference reader of gif_decode_*.
find_package(GIF REQUIRED)
target_link_libraries(bench_imageformats_gif PRIVATE GIF::GIF)
