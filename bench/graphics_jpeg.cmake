# libjpeg-turbo called directly is the reference decoder of jpeg_decode_*.
target_link_libraries(bench_graphics_jpeg PRIVATE JPEG::JPEG)
