#include "imageformats/TIFFGraphic.h"

#include <cstdint>

#include "imageformats/GraphicStrings.h"
#include "imageformats/TIFFGraphic.Load.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;
using namespace TIFF;

IMPLEMENT_CLASS(TTIFFGraphic)
IMPLEMENT_CLASS(TEPSGraphic)

namespace {

const char* const kEPSName = "EPS";

} // namespace

// ---- the reader -------------------------------------------------------------------

bool TTIFFGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    std::uint8_t h[8];
    const bool complete = stream.Size() - position >= 9 && stream.Read(h, 8) == 8;
    stream.SetPosition(position);
    if (!complete || !((h[0] == 'I' && h[1] == 'I') || (h[0] == 'M' && h[1] == 'M')))
        return false;
    const bool big = h[0] == 'M';
    const unsigned version = big ? rtl::GetBE16(h + 2) : rtl::GetLE16(h + 2);
    const std::uint32_t first = big ? rtl::GetBE32(h + 4) : rtl::GetLE32(h + 4);
    return version == 42 && first < stream.Size() - position;
}

bool TTIFFGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    FStartPosition = stream.Position();
    return ReadTIFFProperties(stream, imageIndex);
}

bool TTIFFGraphic::ReadTIFFProperties(TStream& stream, int imageIndex)
{
    return Load(*this, kTIFFName).ReadProperties(stream, imageIndex);
}

void TTIFFGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    LoadTIFF(stream, kTIFFName);
}

void TTIFFGraphic::LoadTIFF(TStream& stream, const char* formatName)
{
    FStartPosition = stream.Position();
    FProperties = TImageProperties{};
    Load load(*this, formatName);
    if (!load.ReadProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kTIFFName);
    load.Run(stream);
}

// ---- EPS ------------------------------------------------------------------------

namespace {

struct EPSHeader {
    bool Magic = false;
    std::uint32_t PreviewOffset = 0, PreviewLength = 0;
};

EPSHeader ReadEPSHeader(TStream& stream)
{
    std::uint8_t h[30];
    EPSHeader header;
    if (stream.Read(h, 30) != 30)
        return header;
    header.Magic = rtl::GetLE32(h) == 0xC6D3D0C5u;
    header.PreviewOffset = rtl::GetLE32(h + 20);
    header.PreviewLength = rtl::GetLE32(h + 24);
    return header;
}

} // namespace

bool TEPSGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    const bool enough = stream.Size() - position >= 31;
    const EPSHeader h = enough ? ReadEPSHeader(stream) : EPSHeader{};
    stream.SetPosition(position);
    return h.Magic && h.PreviewOffset > 30 && h.PreviewLength > 0;
}

bool TEPSGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    const EPSHeader h = ReadEPSHeader(stream);
    if (!h.Magic || h.PreviewOffset < 30)
        return false;
    stream.SetPosition(stream.Position() - 30 + h.PreviewOffset);
    FStartPosition = stream.Position();
    return ReadTIFFProperties(stream, imageIndex);
}

void TEPSGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    const std::int64_t start = stream.Position();
    const EPSHeader h = ReadEPSHeader(stream);
    if (!h.Magic)
        RaiseError(rrHeader, gesInvalidImage, kEPSName);
    if (h.PreviewOffset < 30 || h.PreviewLength == 0 || start + h.PreviewOffset >= stream.Size())
        RaiseError(rrNoImage, gesInvalidImage, kEPSName);
    stream.SetPosition(start + h.PreviewOffset);
    LoadTIFF(stream, kEPSName);
}
