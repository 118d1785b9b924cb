#pragma once
// The JPEG glue of the image library: GetJPEGInfo, and libjpeg's errors
// raised as EImageRefused (rrJPEGData, "JPEG error #n", n being libjpeg's
// message code). libjpeg itself is reached through platform/graphics/Jpeg.h.

#include <cstdint>
#include <string>

class TStream;

namespace Jpg {

// Raises EImageRefused (rrJPEGData) with "JPEG error #code".
[[noreturn]] void RaiseJPEGError(int code);

// The picture size from the JPEG header at the stream's position. An empty
// stream is error #41 (empty input); a stream that ends later ends the
// header there.
void GetJPEGInfo(TStream& stream, std::uint32_t& width, std::uint32_t& height);
void GetJPEGInfo(const std::string& fileName, std::uint32_t& width, std::uint32_t& height);

} // namespace Jpg
