#pragma once
// The glue between libjpeg and the program: a data source and destination
// over a TStream, an error manager that turns every library error into
// EInvalidGraphic ("JPEG error #n", warnings dropped), and GetJPEGInfo.
//
// libjpeg is C: an error cannot be thrown through its frames. The error
// manager jumps back to the guard that started the library call, and the
// guard throws once the library's frames are gone.

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>

#include <jpeglib.h>

class TStream;

namespace Jpg {

// The library's error manager plus the place to jump back to.
struct TJPEGErrorManager {
  jpeg_error_mgr Manager{};
  std::jmp_buf Jump{};
};

// Fills in the handlers (error exit jumps back, messages are dropped) and
// returns the manager to attach to a decompression or compression record.
jpeg_error_mgr* jpeg_std_error(TJPEGErrorManager& errorManager);

// Raises EInvalidGraphic with "JPEG error #code".
[[noreturn]] void RaiseJPEGError(int code);

// Runs body(context) guarded: a library error inside it raises
// EInvalidGraphic after the jump back. `body` must not own objects with
// destructors, since the jump skips them.
void Guarded(TJPEGErrorManager& errorManager, void (*body)(void* context), void* context);

// A source reading the stream in 4096-byte blocks. An empty stream is the
// library's "empty input" error; a stream that ends later is completed with
// an end-of-image marker. Installing twice reuses the first record.
void jpeg_stdio_src(j_decompress_ptr cinfo, TStream& stream);
// A destination writing 4096-byte blocks; a short write is the library's
// file-write error.
void jpeg_stdio_dest(j_compress_ptr cinfo, TStream& stream);

// The picture size from the JPEG header at the stream's position.
void GetJPEGInfo(TStream& stream, std::uint32_t& width, std::uint32_t& height);
void GetJPEGInfo(const std::string& fileName, std::uint32_t& width, std::uint32_t& height);

}  // namespace Jpg
