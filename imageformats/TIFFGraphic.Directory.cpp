// TIFF directories: the entries, their values and the picture's properties.

#include "imageformats/TIFFGraphic.Load.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;
using namespace TIFF;

namespace {

int TypeSize(std::uint16_t type)
{
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7: return 1;
    case 3:
    case 8: return 2;
    case 4:
    case 9:
    case 11: return 4;
    case 5:
    case 10:
    case 12: return 8;
    default: return 0;
    }
}

TCompressionType CompressionOf(std::uint32_t value)
{
    switch (value) {
    case 1: return ctNone;
    case 2: return ctFaxRLE;
    case 3: return ctFax3;
    case 4: return ctFax4;
    case 5: return ctLZW;
    case 6: return ctOJPEG;
    case 7: return ctJPEG;
    case 8:
    case 32946: return ctLZ77;
    case 32766: return ctNext;
    case 32771: return ctFaxRLEW;
    case 32773: return ctPackedBits;
    case 32809: return ctThunderscan;
    default: return ctUnknown;
    }
}

// The most directory entries read; real files have a few dozen.
constexpr std::uint32_t kMaxEntries = 4096;

} // namespace

// ---- directory access ---------------------------------------------------------

std::uint32_t TTIFFGraphic::Load::Read32(const std::uint8_t* b) const
{
    return bigEndian_ ? rtl::GetBE32(b) : rtl::GetLE32(b);
}

std::uint16_t TTIFFGraphic::Load::Read16(const std::uint8_t* b) const
{
    return bigEndian_ ? rtl::GetBE16(b) : rtl::GetLE16(b);
}

bool TTIFFGraphic::Load::FindTag(std::uint16_t tag, std::size_t& index) const
{
    const auto at = std::lower_bound(ifd_.begin(), ifd_.end(), tag,
                                     [](const TIFDEntry& e, std::uint16_t t) { return e.Tag < t; });
    index = static_cast<std::size_t>(at - ifd_.begin());
    return at != ifd_.end() && at->Tag == tag;
}

// Value `index` of an entry whose values fit in its field.
std::uint32_t TTIFFGraphic::Load::FieldValue(const TIFDEntry& e, int index) const
{
    switch (TypeSize(e.DataType)) {
    case 1: return e.Field[index];
    case 2: return Read16(e.Field + 2 * index);
    default: return Read32(e.Field);
    }
}

std::uint32_t TTIFFGraphic::Load::GetValue(std::uint16_t tag, std::uint32_t defaultValue) const
{
    std::size_t i;
    if (!FindTag(tag, i))
        return defaultValue;
    const TIFDEntry& e = ifd_[i];
    if (e.DataLength != 1)
        return Read32(e.Field);
    switch (e.DataType) {
    case 1:
    case 3:
    case 4:
    case 8:
    case 9: return FieldValue(e, 0);
    default: return defaultValue;
    }
}

std::vector<std::uint32_t> TTIFFGraphic::Load::GetValueList(TStream& stream, std::uint16_t tag) const
{
    std::vector<std::uint32_t> list;
    std::size_t i;
    if (!FindTag(tag, i))
        return list;
    const TIFDEntry& e = ifd_[i];
    const int size = TypeSize(e.DataType);
    if (size == 0 || size > 4 || e.DataLength == 0)
        return list;
    const std::uint64_t bytes = std::uint64_t{e.DataLength} * static_cast<std::uint64_t>(size);
    if (bytes <= 4) {
        for (std::uint32_t k = 0; k < e.DataLength; ++k)
            list.push_back(FieldValue(e, static_cast<int>(k)));
        return list;
    }
    // Values at an offset: the file must hold them all.
    const std::int64_t at = start_ + Read32(e.Field);
    if (at + static_cast<std::int64_t>(bytes) > stream.Size())
        RaiseError(rrTruncated, gesStreamReadError, formatName_);
    std::vector<std::uint8_t> raw(bytes);
    stream.SetPosition(at);
    ReadOrFail(stream, raw.data(), static_cast<std::int64_t>(bytes), formatName_);
    list.reserve(e.DataLength);
    for (std::uint32_t k = 0; k < e.DataLength; ++k) {
        const std::uint8_t* v = raw.data() + std::size_t{k} * static_cast<std::size_t>(size);
        list.push_back(size == 1 ? *v : size == 2 ? Read16(v) : Read32(v));
    }
    return list;
}

float TTIFFGraphic::Load::GetFloatValue(TStream& stream, std::uint16_t tag, float defaultValue) const
{
    const std::vector<float> list = GetFloatList(stream, tag);
    return list.size() == 1 ? list[0] : defaultValue;
}

std::vector<float> TTIFFGraphic::Load::GetFloatList(TStream& stream, std::uint16_t tag) const
{
    std::vector<float> list;
    std::size_t i;
    if (!FindTag(tag, i))
        return list;
    const TIFDEntry& e = ifd_[i];
    if (e.DataType != 5 && e.DataType != 11) {
        for (std::uint32_t v : GetValueList(stream, tag))
            list.push_back(static_cast<float>(v));
        return list;
    }
    if (e.DataType == 11 && e.DataLength == 1) {
        const std::uint32_t bits = Read32(e.Field);
        float f;
        std::memcpy(&f, &bits, 4);
        list.push_back(f);
        return list;
    }
    if (e.DataType != 5 || e.DataLength > 16)
        return list;
    const std::int64_t at = start_ + Read32(e.Field);
    std::vector<std::uint8_t> raw(std::size_t{e.DataLength} * 8);
    if (at + static_cast<std::int64_t>(raw.size()) > stream.Size())
        return list;
    stream.SetPosition(at);
    ReadOrFail(stream, raw.data(), static_cast<std::int64_t>(raw.size()), formatName_);
    for (std::uint32_t k = 0; k < e.DataLength; ++k) {
        const std::uint32_t numerator = Read32(&raw[8 * k]), denominator = Read32(&raw[8 * k + 4]);
        list.push_back(denominator == 0 ? 0.0f : static_cast<float>(numerator) / static_cast<float>(denominator));
    }
    return list;
}

bool TTIFFGraphic::Load::ReadIFD(TStream& stream, std::uint32_t offset)
{
    ifd_.clear();
    std::uint8_t countBytes[2];
    stream.SetPosition(start_ + offset);
    if (stream.Read(countBytes, 2) != 2)
        return false;
    const std::uint32_t count = Read16(countBytes);
    if (count > kMaxEntries || stream.Size() - stream.Position() < std::int64_t{count} * 12)
        return false;
    std::vector<std::uint8_t> raw(std::size_t{count} * 12);
    ReadOrFail(stream, raw.data(), static_cast<std::int64_t>(raw.size()), formatName_);
    ifd_.resize(count);
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::uint8_t* r = &raw[12 * k];
        TIFDEntry& e = ifd_[k];
        e.Tag = Read16(r);
        e.DataType = Read16(r + 2);
        e.DataLength = Read32(r + 4);
        std::memcpy(e.Field, r + 8, 4);
    }
    std::stable_sort(ifd_.begin(), ifd_.end(), [](const TIFDEntry& a, const TIFDEntry& b) { return a.Tag < b.Tag; });
    return true;
}

// ---- properties -----------------------------------------------------------------

bool TTIFFGraphic::Load::ReadProperties(TStream& stream, int imageIndex)
{
    std::uint8_t h[8];
    if (stream.Read(h, 8) != 8 || !((h[0] == 'I' && h[1] == 'I') || (h[0] == 'M' && h[1] == 'M')))
        return false;
    bigEndian_ = h[0] == 'M';
    TImageProperties& p = properties_;
    if (bigEndian_)
        p.Options.Include(ioBigEndian);
    p.Version = Read16(h + 2);
    p.FirstIFD = Read32(h + 4);
    if (p.Version != 42)
        return false;
    // Walk the chain to the wanted directory; a chain that loops ends the walk.
    std::uint32_t offset = p.FirstIFD;
    for (int index = 0; index < imageIndex; ++index) {
        if (!ReadIFD(stream, offset) || index > 1000)
            return false;
        std::uint8_t next[4];
        if (stream.Read(next, 4) != 4)
            return false;
        offset = Read32(next);
        if (offset == 0)
            return false;
    }
    if (!ReadIFD(stream, offset))
        return false;

    p.Width = GetValue(tgImageWidth, 0);
    p.Height = GetValue(tgImageLength, 0);
    if (p.Width == 0 || p.Height == 0)
        return false;
    p.RowsPerStrip = GetValueList(stream, tgRowsPerStrip);
    if (p.RowsPerStrip.empty() || p.RowsPerStrip[0] == 0xFFFFFFFF)
        p.RowsPerStrip = {p.Height};
    p.SamplesPerPixel = static_cast<std::uint8_t>(std::min<std::uint32_t>(GetValue(tgSamplesPerPixel, 1), 255));
    const std::vector<std::uint32_t> bits = GetValueList(stream, tgBitsPerSample);
    p.BitsPerSample = static_cast<std::uint8_t>(bits.empty() ? 1 : std::min<std::uint32_t>(bits[0], 255));
    p.BitsPerPixel = static_cast<std::uint8_t>(std::min(p.SamplesPerPixel * p.BitsPerSample, 255));
    p.TileWidth = GetValue(tgTileWidth, 0);
    p.TileLength = GetValue(tgTileLength, 0);
    if (p.TileWidth != 0 && p.TileLength != 0)
        p.Options.Include(ioTiled);
    const std::vector<std::uint32_t> extra = GetValueList(stream, tgExtraSamples);
    p.HasAlpha = !extra.empty() && std::all_of(extra.begin(), extra.end(), [](std::uint32_t v) { return v <= 2; });
    p.Compression = CompressionOf(GetValue(tgCompression, 0));
    const std::uint32_t photometric = GetValue(tgPhotometric, 0);
    switch (photometric) {
    case 0:
    case 1: p.ColorScheme = csG; break;
    case 2: p.ColorScheme = p.SamplesPerPixel < 4 ? csRGB : csRGBA; break;
    case 3: p.ColorScheme = csIndexed; break;
    case 5: p.ColorScheme = csCMYK; break;
    case 6: p.ColorScheme = csYCbCr; break;
    case 8: p.ColorScheme = csCIELab; break;
    default: p.ColorScheme = csUnknown; break;
    }
    if (photometric == 0)
        p.Options.Include(ioMinIsWhite);
    if (p.ColorScheme == csYCbCr) {
        const std::vector<std::uint32_t> sub = GetValueList(stream, tgYCbCrSubSampling);
        p.SubSampling = {static_cast<std::uint8_t>(sub.size() > 0 ? sub[0] : 2),
                         static_cast<std::uint8_t>(sub.size() > 1 ? sub[1] : 2)};
    }
    // Separate planes are the exception; a missing tag means interleaved.
    p.PlanarConfig = GetValue(tgPlanarConfig, 1);
    const float toInch = GetValue(tgResolutionUnit, 2) == 3 ? 2.54f : 1.0f;
    p.XResolution = GetFloatValue(stream, tgXResolution, 0) * toInch;
    p.YResolution = GetFloatValue(stream, tgYResolution, 0) * toInch;
    p.Predictor = GetValue(tgPredictor, 1);
    if (GetValue(tgFillOrder, 1) == 2)
        p.Options.Include(ioReversed);
    return true;
}
