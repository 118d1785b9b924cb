#include "imageformats/Jpg.h"

#include "imageformats/GraphicStrings.h"
#include "imageformats/Refusal.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace Jpg {

void RaiseJPEGError(int code)
{
    std::string text = GraphicStrings::gesJPEGError;
    text.replace(text.find("%d"), 2, std::to_string(code));
    throw EImageRefused(rrJPEGData, text);
}

void GetJPEGInfo(TStream& stream, std::uint32_t& width, std::uint32_t& height)
{
    try {
        gfx::ReadJpegSize(stream, width, height);
    } catch (const EJPEG& e) {
        RaiseJPEGError(e.LibraryCode);
    }
}

void GetJPEGInfo(const std::string& fileName, std::uint32_t& width, std::uint32_t& height)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    GetJPEGInfo(stream, width, height);
}

} // namespace Jpg
