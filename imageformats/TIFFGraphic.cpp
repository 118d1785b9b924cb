#include "imageformats/TIFFGraphic.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>
#include <zlib.h>

#include "imageformats/CCITTDecoders.h"
#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/LZ77Decoder.h"
#include "imageformats/LZWDecoders.h"
#include "imageformats/TIFFJPEGDecoder.h"
#include "imageformats/ThunderDecoder.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TTIFFGraphic)
IMPLEMENT_CLASS(TEPSGraphic)

namespace {

const char* const kTIFFName = "TIF/TIFF";
const char* const kEPSName = "EPS";

enum Tag : std::uint16_t {
    tgImageWidth = 256,
    tgImageLength = 257,
    tgBitsPerSample = 258,
    tgCompression = 259,
    tgPhotometric = 262,
    tgFillOrder = 266,
    tgStripOffsets = 273,
    tgSamplesPerPixel = 277,
    tgRowsPerStrip = 278,
    tgStripByteCounts = 279,
    tgXResolution = 282,
    tgYResolution = 283,
    tgPlanarConfig = 284,
    tgResolutionUnit = 296,
    tgPredictor = 317,
    tgColorMap = 320,
    tgTileWidth = 322,
    tgTileLength = 323,
    tgT4Options = 292,
    tgTileOffsets = 324,
    tgTileByteCounts = 325,
    tgExtraSamples = 338,
    tgJPEGTables = 347,
    tgYCbCrCoefficients = 529,
    tgYCbCrSubSampling = 530
};

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

// Refuses a variant with the message of an unsupported compression scheme.
[[noreturn]] void RaiseUnsupported(TRefusalReason reason)
{
    throw EImageRefused(reason, Format(gesUnsupportedFeature, gesCompressionScheme, kTIFFName));
}

} // namespace

// One read of a TIFF directory and, for a load, of the picture it
// describes: the directory's entries in tag order, the file's byte order and
// the bytes of the block being read. It lives as long as the read, so
// nothing of it stays with the picture.
class TTIFFGraphic::Load {
public:
    // `formatName` fills the messages of the directory's damage.
    Load(TTIFFGraphic& picture, const char* formatName)
        : picture_(picture), properties_(picture.FProperties), converter_(*picture.FConverter),
          start_(picture.FStartPosition), formatName_(formatName)
    { }

    // Reads the properties of image imageIndex from the TIFF data that starts
    // at the picture's start position.
    bool ReadProperties(TStream& stream, int imageIndex);
    // Decodes the picture the properties of image 0 describe.
    void Run(TStream& stream);

private:
    struct TIFDEntry {
        std::uint16_t Tag = 0;
        std::uint16_t DataType = 0;
        std::uint32_t DataLength = 0; // value count
        std::uint8_t Field[4] = {};   // the values, or their offset (file byte order)
    };

    bool FindTag(std::uint16_t tag, std::size_t& index) const;
    std::uint32_t GetValue(std::uint16_t tag, std::uint32_t defaultValue) const;
    float GetFloatValue(TStream& stream, std::uint16_t tag, float defaultValue) const;
    std::vector<std::uint32_t> GetValueList(TStream& stream, std::uint16_t tag) const;
    std::vector<float> GetFloatList(TStream& stream, std::uint16_t tag) const;
    bool ReadIFD(TStream& stream, std::uint32_t offset);
    std::uint32_t FieldValue(const TIFDEntry& entry, int index) const;
    std::uint32_t Read32(const std::uint8_t* bytes) const;
    std::uint16_t Read16(const std::uint8_t* bytes) const;
    void ReadColorMap(TStream& stream);
    std::unique_ptr<TDecoder> CreateDecoder(TStream& stream, std::uint32_t width);
    std::span<const std::uint8_t> BlockBytes(TStream& stream, std::uint32_t offset, std::uint32_t byteCount);
    std::size_t ReadBlock(TStream& stream, TDecoder* decoder, std::uint32_t offset, std::uint32_t byteCount,
                          std::span<std::uint8_t> block);
    bool DecodesIntoPicture(const TDecoder* decoder, std::uint32_t bytesPerLine);
    void ReadStrips(TStream& stream, std::uint32_t bytesPerLine);
    void ReadTiles(TStream& stream, std::uint32_t bytesPerLine);
    void UndoPredictor(std::uint8_t* row, std::uint32_t pixels) const;

    TTIFFGraphic& picture_;
    TImageProperties& properties_;
    TColorManager& converter_;
    const std::int64_t start_;
    const char* const formatName_;
    std::vector<TIFDEntry> ifd_;
    std::vector<std::uint8_t> packed_; // the bytes of the block being read, unless the stream is in memory
    bool bigEndian_ = false;
};

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

// ---- loading --------------------------------------------------------------------

void TTIFFGraphic::Load::Run(TStream& stream)
{
    const TImageProperties& p = properties_;
    // Tiles and separate planes are not read: an empty or scrambled picture
    // would pass for a loaded one.
    if (p.PlanarConfig == 2 && p.SamplesPerPixel > 1)
        RaiseError(rrSeparatePlanes, gesUnsupportedImage, kTIFFName);
    const std::uint8_t bits = p.BitsPerSample;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
        RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
    // The horizontal predictor goes with LZW and deflate data only.
    if (p.Compression == ctNone)
        properties_.Predictor = 1;
    if (p.Predictor == 2 && bits != 8 && bits != 16)
        RaiseError(rrPredictor, gesUnsupportedImage, kTIFFName);
    picture_.ProgressStart(gesPreparing);

    TColorManager& c = converter_;
    c.SourceOptions = {};
    c.TargetOptions = {};
    if (bigEndian_)
        c.SourceOptions.Include(coNeedByteSwap);
    TColorScheme source = p.ColorScheme, target = source;
    std::uint8_t samples = p.SamplesPerPixel, targetSamples = samples;
    switch (source) {
    case csG:
        // Grey with an extra sample: the alpha is skipped.
        if (samples == 2)
            source = csGA, target = csIndexed, targetSamples = 1;
        else if (samples != 1)
            RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
        break;
    case csIndexed:
        if (samples != 1)
            RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
        break;
    case csRGB: target = csBGR; break;
    case csRGBA:
        target = csBGRA;
        if (samples != 4)
            RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
        break;
    case csCMYK: target = csBGR, targetSamples = 3; break;
    case csCIELab:
        target = csBGR;
        c.SourceOptions.Include(coLabByteRange);
        break;
    case csYCbCr:
        // Only one chroma pair per pixel is read; subsampled data is refused.
        // JPEG strips come out of the library as full colour rows.
        if (p.Compression != ctJPEG && (p.SubSampling.size() < 2 || p.SubSampling[0] != 1 || p.SubSampling[1] != 1))
            RaiseUnsupported(rrSubsampling);
        target = csBGR;
        break;
    default: RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
    }
    // Colour rows need whole bytes and exactly the samples their scheme names.
    const std::uint8_t needed = source == csRGBA || source == csCMYK ? 4 : target == csBGR ? 3 : samples;
    if ((target == csBGR || target == csBGRA) && (bits < 8 || samples != needed))
        RaiseError(rrColorFormat, gesInvalidColorFormat, kTIFFName);
    // The JPEG decoder delivers its colour rows blue first.
    if (p.Compression == ctJPEG && target == csBGR)
        source = csBGR;
    c.SetSourceColorScheme(source);
    c.SetTargetColorScheme(target);
    c.SetSourceSamplesPerPixel(samples == 2 && source == csGA ? 1 : samples);
    c.SetTargetSamplesPerPixel(targetSamples);
    c.SetSourceBitsPerSample(bits);
    // 2-bit samples land in a 4-bit picture, 16-bit ones in 8 bits.
    c.SetTargetBitsPerSample(static_cast<std::uint8_t>(bits == 16 ? 8 : bits == 2 ? 4 : bits));
    const TPixelFormat format = source == csGA ? pf8bit : c.GetPixelFormat(1);
    // A picture the file's data could never fill is damage, not a reason to
    // allocate (the factor is the most a scheme can expand its data).
    const std::uint64_t imageBytes = (std::uint64_t{p.BitsPerPixel} * p.Width + 7) / 8 * p.Height;
    const std::uint64_t expansion = p.Compression == ctNone ? 1 : p.Compression == ctPackedBits ? 64 : 4096;
    if (imageBytes / expansion > static_cast<std::uint64_t>(stream.Size()))
        RaiseError(rrDataTooShort, gesInvalidImage, kTIFFName);
    picture_.SetupBitmap(p.Width, p.Height, format, kTIFFName);

    if (target == csIndexed || target == csG) {
        if (source == csIndexed)
            ReadColorMap(stream);
        else
            picture_.SetPalette(c.CreateGrayscalePalette(p.Options.Contains(ioMinIsWhite)));
    }
    const std::uint64_t bytesPerLine = (std::uint64_t{p.BitsPerPixel} * p.Width + 7) / 8;
    picture_.ProgressEnd();
    picture_.ProgressStart(gesTransfering);
    properties_.BytesPerLine = static_cast<std::uint32_t>(bytesPerLine);
    if (p.Options.Contains(ioTiled))
        ReadTiles(stream, static_cast<std::uint32_t>(bytesPerLine));
    else
        ReadStrips(stream, static_cast<std::uint32_t>(bytesPerLine));
    picture_.ProgressEnd();
}

void TTIFFGraphic::Load::ReadColorMap(TStream& stream)
{
    std::size_t entry;
    if (FindTag(tgColorMap, entry) && ifd_[entry].DataLength > 3 * 256)
        RaiseError(rrPalette, gesInvalidPalette, kTIFFName);
    const std::vector<std::uint32_t> map = GetValueList(stream, tgColorMap);
    if (map.empty())
        return;
    // Three planes of 2^bits entries; more than 256 colours do not fit a
    // palette picture.
    const std::size_t colors = map.size() / 3;
    if (map.size() % 3 != 0 || colors > 256 || colors < (std::size_t{1} << std::min<int>(properties_.BitsPerSample, 8)))
        RaiseError(rrPalette, gesInvalidPalette, kTIFFName);
    std::vector<std::uint16_t> planes(map.begin(), map.end());
    TPaletteEntries palette = converter_.CreateColorPalette(
        {planes.data(), planes.data() + colors, planes.data() + 2 * colors}, pfPlane16Triple,
        static_cast<std::uint32_t>(colors), false);
    picture_.SetPalette(palette);
}

void TTIFFGraphic::Load::UndoPredictor(std::uint8_t* row, std::uint32_t pixels) const
{
    const std::uint32_t samples = properties_.SamplesPerPixel;
    const std::uint32_t count = pixels * samples;
    if (properties_.BitsPerSample == 8 && samples == 3) {
        // RGB rows, the usual case: the running sums stay in registers, and so
        // does the row's end.
        std::uint8_t red = row[0], green = row[1], blue = row[2];
        for (std::uint8_t *pixel = row + 3, *const end = row + count; pixel < end; pixel += 3) {
            pixel[0] = red = static_cast<std::uint8_t>(red + pixel[0]);
            pixel[1] = green = static_cast<std::uint8_t>(green + pixel[1]);
            pixel[2] = blue = static_cast<std::uint8_t>(blue + pixel[2]);
        }
        return;
    }
    if (properties_.BitsPerSample == 8) {
        for (std::uint32_t i = samples; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - samples]);
        return;
    }
    // 16-bit samples add as words in the file's byte order.
    for (std::uint32_t i = samples; i < count; ++i) {
        std::uint8_t* s = row + 2 * i;
        const std::uint8_t* before = row + 2 * (i - samples);
        const std::uint16_t sum = static_cast<std::uint16_t>(Read16(s) + Read16(before));
        if (bigEndian_)
            rtl::PutBE16(s, sum);
        else
            rtl::PutLE16(s, sum);
    }
}

// The decoder of the file's compression for blocks (strips or tiles) of
// `width` pixels a row; none for uncompressed data.
std::unique_ptr<TDecoder> TTIFFGraphic::Load::CreateDecoder(TStream& stream, std::uint32_t width)
{
    TImageProperties& p = properties_;
    std::unique_ptr<TDecoder> decoder;
    switch (p.Compression) {
    case ctNone: break;
    case ctPackedBits: decoder = std::make_unique<TPackbitsRLEDecoder>(); break;
    case ctLZW: decoder = std::make_unique<TTIFFLZWDecoder>(); break;
    case ctLZ77: decoder = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, true); break;
    case ctThunderscan: decoder = std::make_unique<TThunderDecoder>(width); break;
    case ctJPEG: {
        // The JPEG decoder checks each strip against the strip geometry.
        if (p.Options.Contains(ioTiled))
            RaiseUnsupported(rrTiledJPEG);
        const std::vector<std::uint32_t> tables = GetValueList(stream, tgJPEGTables);
        p.JPEGTables.assign(tables.begin(), tables.end());
        decoder = std::make_unique<TTIFFJPEGDecoder>(&p);
        break;
    }
    case ctFax3:
    case ctFaxRLE:
    case ctFaxRLEW: {
        const auto options = static_cast<std::int32_t>(GetValue(tgT4Options, 0));
        // Two-dimensional group 3 rows would decode to garbage passed off as a picture.
        if (p.Compression == ctFax3 && (options & 1) != 0)
            RaiseUnsupported(rrTwoDimensionalFax);
        const bool reversed = p.Options.Contains(ioReversed);
        if (p.Compression == ctFax3)
            decoder = std::make_unique<TCCITTFax3Decoder>(options, reversed, false, width);
        else
            decoder = std::make_unique<TCCITTMHDecoder>(options, reversed, p.Compression == ctFaxRLEW, width);
        break;
    }
    default: RaiseUnsupported(rrCompression);
    }
    if (decoder)
        decoder->DecodeInit();
    return decoder;
}

// The stored bytes of the block at `offset`; a byte count beyond the file is
// cut to what the file holds. A stream in memory lends its own bytes, which
// spares a copy of every block.
std::span<const std::uint8_t> TTIFFGraphic::Load::BlockBytes(TStream& stream, std::uint32_t offset,
                                                             std::uint32_t byteCount)
{
    const std::int64_t at = start_ + offset;
    const std::int64_t available = std::max<std::int64_t>(stream.Size() - at, 0);
    const auto count = static_cast<std::size_t>(std::min<std::int64_t>(byteCount, available));
    if (count == 0)
        return {};
    if (const auto* memory = dynamic_cast<const TCustomMemoryStream*>(&stream); memory && memory->Memory())
        return {memory->Memory() + at, count};
    packed_.resize(count);
    stream.SetPosition(at);
    ReadOrFail(stream, packed_.data(), static_cast<std::int64_t>(count), kTIFFName);
    return {packed_.data(), count};
}

// Reads (and decodes) the block at `offset` into `block`; returns the bytes
// filled.
std::size_t TTIFFGraphic::Load::ReadBlock(TStream& stream, TDecoder* decoder, std::uint32_t offset,
                                          std::uint32_t byteCount, std::span<std::uint8_t> block)
{
    const std::span<const std::uint8_t> stored = BlockBytes(stream, offset, byteCount);
    if (!decoder) {
        const std::size_t filled = std::min(stored.size(), block.size());
        std::copy_n(stored.data(), filled, block.data());
        return filled;
    }
    const std::uint8_t* source = stored.data();
    std::uint8_t* dest = block.data();
    return static_cast<std::size_t>(
        std::max(decoder->Decode(source, dest, static_cast<int>(stored.size()), static_cast<int>(block.size())), 0));
}

// Packed 8-bit red-first rows are decoded straight into the picture and
// turned blue-first where they lie, while the strip is still in the cache:
// that spares the strip buffer and a copy of every row. It needs rows of the
// same bytes in file and picture, one after another in the picture.
bool TTIFFGraphic::Load::DecodesIntoPicture(const TDecoder* decoder, std::uint32_t bytesPerLine)
{
    const TImageProperties& p = properties_;
    const bool exchangeOnly = p.BitsPerSample == 8 &&
        ((p.ColorScheme == csRGB && p.SamplesPerPixel == 3) || (p.ColorScheme == csRGBA && p.SamplesPerPixel == 4));
    if (!decoder || !exchangeOnly || p.Compression == ctJPEG)
        return false;
    return p.Height == 1 || static_cast<std::size_t>(picture_.ScanLine(1) - picture_.ScanLine(0)) == bytesPerLine;
}

void TTIFFGraphic::Load::ReadStrips(TStream& stream, std::uint32_t bytesPerLine)
{
    TImageProperties& p = properties_;
    const std::vector<std::uint32_t> offsets = GetValueList(stream, tgStripOffsets);
    const std::vector<std::uint32_t> byteCounts = GetValueList(stream, tgStripByteCounts);
    if (offsets.empty() || byteCounts.size() < offsets.size())
        RaiseError(rrStripTable, gesInvalidImage, kTIFFName);
    const std::unique_ptr<TDecoder> decoder = CreateDecoder(stream, p.Width);
    const bool intoPicture = DecodesIntoPicture(decoder.get(), bytesPerLine);

    p.CurrentRow = 0;
    p.StripCount = static_cast<std::uint32_t>(offsets.size());
    std::vector<std::uint8_t> strip;
    for (p.CurrentStrip = 0; p.CurrentStrip < p.StripCount && p.CurrentRow < p.Height; ++p.CurrentStrip) {
        const std::uint32_t listed = p.RowsPerStrip[std::min<std::size_t>(p.CurrentStrip, p.RowsPerStrip.size() - 1)];
        // A strip never holds more rows than are left, whatever RowsPerStrip says.
        const std::uint32_t rows = std::min(std::max(listed, 1u), p.Height - p.CurrentRow);
        const std::size_t stripBytes = std::size_t{rows} * bytesPerLine;
        // Uncompressed rows are converted where they are stored; packed ones are
        // decoded into the picture or the strip buffer first. Only complete rows
        // are converted, so the strip buffer needs no clearing.
        const std::uint8_t* rowData;
        std::uint8_t* decoded = nullptr;
        std::size_t filled;
        if (decoder) {
            if (intoPicture) {
                decoded = picture_.ScanLine(static_cast<int>(p.CurrentRow));
            } else {
                strip.resize(stripBytes);
                decoded = strip.data();
            }
            filled = ReadBlock(stream, decoder.get(), offsets[p.CurrentStrip], byteCounts[p.CurrentStrip],
                               {decoded, stripBytes});
            rowData = decoded;
        } else {
            const std::span<const std::uint8_t> stored = BlockBytes(stream, offsets[p.CurrentStrip],
                                                                    byteCounts[p.CurrentStrip]);
            filled = std::min(stored.size(), stripBytes);
            rowData = stored.data();
        }
        // Rows the strip's data does not reach stay black; in the picture, the
        // decoder may have left bytes of them behind.
        const std::uint32_t complete = static_cast<std::uint32_t>(filled / bytesPerLine);
        if (intoPicture && complete < rows)
            std::fill(decoded + std::size_t{complete} * bytesPerLine, decoded + stripBytes, std::uint8_t{0});
        for (std::uint32_t r = 0; r < rows; ++r, ++p.CurrentRow) {
            if (r >= complete)
                continue;
            const std::uint8_t* row = rowData + std::size_t{r} * bytesPerLine;
            // The predictor goes with packed data only, which lies in writable memory.
            if (p.Predictor == 2)
                UndoPredictor(decoded + std::size_t{r} * bytesPerLine, p.Width);
            converter_.ConvertRow({row}, picture_.ScanLine(static_cast<int>(p.CurrentRow)), p.Width);
            picture_.ProgressRow(p.CurrentRow, p.Height);
        }
    }
    if (decoder)
        decoder->DecodeEnd();
}

// Tiles are gathered a band (one row of tiles) at a time into full picture
// rows, which are then converted like the rows of a strip. Tile widths are
// multiples of 16 pixels, so every tile starts on a whole byte of its row.
void TTIFFGraphic::Load::ReadTiles(TStream& stream, std::uint32_t bytesPerLine)
{
    TImageProperties& p = properties_;
    const std::uint32_t tileWidth = p.TileWidth, tileLength = p.TileLength;
    const std::uint64_t tileRowBytes = (std::uint64_t{p.BitsPerPixel} * tileWidth + 7) / 8;
    const std::uint64_t tileBytes = tileRowBytes * tileLength;
    // The TIFF rule on tile sizes keeps the column offsets whole bytes.
    // A tile no data of the file could fill is damage, not a reason to allocate.
    if (tileWidth % 16 != 0 || tileLength % 16 != 0 || tileBytes > static_cast<std::uint64_t>(MaxPixelBytes) ||
        tileBytes / 4096 > static_cast<std::uint64_t>(stream.Size()))
        RaiseError(rrTileSize, gesInvalidImage, kTIFFName);
    const std::uint32_t across = static_cast<std::uint32_t>((std::uint64_t{p.Width} + tileWidth - 1) / tileWidth);
    const std::uint32_t down = static_cast<std::uint32_t>((std::uint64_t{p.Height} + tileLength - 1) / tileLength);
    const std::vector<std::uint32_t> offsets = GetValueList(stream, tgTileOffsets);
    const std::vector<std::uint32_t> byteCounts = GetValueList(stream, tgTileByteCounts);
    if (offsets.size() < std::uint64_t{across} * down || byteCounts.size() < offsets.size())
        RaiseError(rrTileTable, gesInvalidImage, kTIFFName);
    const std::unique_ptr<TDecoder> decoder = CreateDecoder(stream, tileWidth);

    std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileBytes));
    std::vector<std::uint8_t> band(std::size_t{bytesPerLine} * std::min(tileLength, p.Height));
    p.CurrentRow = 0;
    for (std::uint32_t ty = 0; ty < down; ++ty) {
        const std::uint32_t rows = std::min(tileLength, p.Height - ty * tileLength);
        std::fill(band.begin(), band.end(), 0);
        for (std::uint32_t tx = 0; tx < across; ++tx) {
            const std::size_t index = std::size_t{ty} * across + tx;
            std::fill(tile.begin(), tile.end(), 0);
            ReadBlock(stream, decoder.get(), offsets[index], byteCounts[index], tile);
            const std::uint64_t column = tileRowBytes * tx;
            const std::size_t copy = static_cast<std::size_t>(
                std::min<std::uint64_t>(tileRowBytes, bytesPerLine - column));
            for (std::uint32_t r = 0; r < rows; ++r) {
                std::uint8_t* from = tile.data() + r * tileRowBytes;
                if (p.Predictor == 2)
                    UndoPredictor(from, tileWidth);
                std::copy_n(from, copy, band.data() + std::size_t{r} * bytesPerLine + column);
            }
        }
        for (std::uint32_t r = 0; r < rows; ++r, ++p.CurrentRow) {
            converter_.ConvertRow({band.data() + std::size_t{r} * bytesPerLine},
                                  picture_.ScanLine(static_cast<int>(p.CurrentRow)), p.Width);
            picture_.ProgressRow(p.CurrentRow, p.Height);
        }
    }
    if (decoder)
        decoder->DecodeEnd();
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
