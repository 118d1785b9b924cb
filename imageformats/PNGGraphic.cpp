#include "imageformats/PNGGraphic.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "imageformats/GraphicStrings.h"
#include "imageformats/LZ77Decoder.h"
#include "platform/graphics/Color.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TPNGGraphic)

namespace {

const char* const kFormatName = "PNG";
const std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;

struct Header {
    std::uint32_t Width = 0, Height = 0;
    std::uint8_t BitDepth = 0, ColorType = 0, CompressionMethod = 0, FilterMethod = 0, InterlaceMethod = 0;

    static Header Parse(const std::uint8_t* b)
    {
        return {rtl::GetBE32(b), rtl::GetBE32(b + 4), b[8], b[9], b[10], b[11], b[12]};
    }
};

std::uint8_t Paeth(int a, int b, int c)
{
    const int e = a + b - c;
    const int da = std::abs(e - a), db = std::abs(e - b), dc = std::abs(e - c);
    if (da <= db && da <= dc)
        return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(db <= dc ? b : c);
}

struct Adam7Pass {
    std::uint32_t StartRow, StartColumn, RowStep, ColumnStep;
    std::uint8_t Mask;
};
constexpr Adam7Pass kAdam7[7] = {{0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88}, {0, 2, 4, 4, 0x22},
                                 {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55}, {1, 0, 2, 1, 0xFF}};

// Whether the chunk type is `type`, whatever the case of its letters.
bool IsChunk(const char* chunkType, const char* type)
{
    for (int i = 0; i < 4; ++i)
        if ((chunkType[i] & ~0x20) != (type[i] & ~0x20))
            return false;
    return true;
}

} // namespace

// One load: the chunk being read, the inflater and the row buffers, and what
// the chunks before the image data said. It lives as long as the load, so
// nothing of it stays with the picture.
class TPNGGraphic::Load {
public:
    Load(TPNGGraphic& picture, TStream& stream)
        : picture_(picture), properties_(picture.FProperties), converter_(*picture.FConverter), stream_(stream)
    { }
    // Reads the chunks from the signature's end on.
    void Run();

private:
    // The current chunk.
    bool IsChunk(const char* type) const { return ::IsChunk(chunkType_, type); }
    bool IsCritical() const { return (chunkType_[0] & 0x20) == 0; }
    void LoadAndSwapHeader();
    // After image data the file may end without IEND: then no chunk is current.
    void LoadHeaderIfAny();
    void ReadDataAndCheckCRC();
    void SkipChunk();

    // Fills count bytes of inflated data; false when the image data ends first.
    bool ReadRow(std::uint8_t* buffer, std::uint32_t count);
    void ApplyFilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous, std::uint32_t count);
    int SetupColorDepth(int colorType, int bitDepth);
    void ReadChunks();
    void LoadIDAT();
    void LoadPalette();
    void LoadBackgroundColor();
    void LoadTransparency();
    // A grey or RGB sample of bKGD/tRNS scaled to 0..255.
    std::uint8_t ScaledSample(const std::uint8_t* bigEndianSample) const;
    void FillBackground(std::uint32_t firstRow);
    // Returns the first row not delivered (the height when all were).
    std::uint32_t ReadPassRows(std::uint32_t startRow, std::uint32_t rowStep, std::uint32_t rowBytes, std::uint8_t mask,
                               bool reportProgress);

    TPNGGraphic& picture_;
    TImageProperties& properties_;
    TColorManager& converter_;
    TStream& stream_;
    std::unique_ptr<TLZ77Decoder> inflater_;
    std::int64_t chunkDataLeft_ = 0;
    std::vector<std::uint8_t> chunkData_;
    const std::uint8_t* chunkCursor_ = nullptr;
    std::uint32_t chunkLength_ = 0;
    char chunkType_[4] = {};
    std::uint32_t runningCRC_ = 0;
    int pixelBytes_ = 1;
    int colorType_ = 0, bitDepth_ = 0;
    bool dataEnded_ = false;
    bool noMoreChunks_ = false;
    TPaletteEntries palette_;         // as the bitmap takes it (target depth)
    std::vector<TColor> filePalette_; // the PLTE colours by file index
    bool havePalette_ = false;
    bool colorDepthSet_ = false;
    std::vector<std::uint8_t> rows_[2];
    bool hasTransparentColor_ = false;
    TColor transparentColor_ = 0;
    TColor backgroundColor_ = 0xFFFFFF;
};

bool TPNGGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    std::uint8_t bytes[8];
    const bool ok = stream.Size() - position >= 9 && stream.Read(bytes, 8) == 8 &&
        std::memcmp(bytes, kSignature, 8) == 0;
    stream.SetPosition(position);
    return ok;
}

bool TPNGGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    std::uint8_t start[8 + 8 + 13 + 4];
    if (stream.Read(start, sizeof start) != sizeof start || std::memcmp(start, kSignature, 8) != 0)
        return false;
    char chunkType[4];
    std::memcpy(chunkType, start + 12, 4);
    if (!IsChunk(chunkType, "IHDR") || rtl::GetBE32(start + 8) != 13)
        return false;
    const Header h = Header::Parse(start + 16);
    if (h.Width == 0 || h.Height == 0)
        return false;
    TImageProperties& p = FProperties;
    p.Options.Include(ioBigEndian);
    p.Width = h.Width;
    p.Height = h.Height;
    p.Compression = h.CompressionMethod == 0 ? ctLZ77 : ctUnknown;
    p.BitsPerSample = h.BitDepth;
    p.SamplesPerPixel = h.ColorType == 2 ? 3 : h.ColorType == 6 ? 4 : 1;
    switch (h.ColorType) {
    case 0: p.ColorScheme = csG; break;
    case 2: p.ColorScheme = csRGB; break;
    case 3: p.ColorScheme = csIndexed; break;
    case 4: p.ColorScheme = csGA; break;
    case 6: p.ColorScheme = csRGBA; break;
    default: p.ColorScheme = csUnknown; break;
    }
    p.BitsPerPixel = static_cast<std::uint8_t>(p.SamplesPerPixel * p.BitsPerSample);
    p.FilterMethod = h.FilterMethod;
    p.Interlaced = h.InterlaceMethod != 0;
    p.HasAlpha = p.ColorScheme == csGA || p.ColorScheme == csRGBA;
    // The file gamma, when a gAMA chunk comes before the image data.
    std::uint8_t chunk[8];
    while (stream.Read(chunk, 8) == 8) {
        const std::uint32_t length = rtl::GetBE32(chunk);
        std::memcpy(chunkType, chunk + 4, 4);
        if (IsChunk(chunkType, "IEND") || IsChunk(chunkType, "IDAT") || length > kMaxChunkLength)
            break;
        std::uint8_t gamma[4];
        if (IsChunk(chunkType, "gAMA") && length == 4 && stream.Read(gamma, 4) == 4) {
            p.Gamma = static_cast<float>(rtl::GetBE32(gamma)) / 100000.0f;
            break;
        }
        stream.Seek(std::int64_t{length} + 4, soFromCurrent);
    }
    return true;
}

// ---- chunks -----------------------------------------------------------------

void TPNGGraphic::Load::LoadAndSwapHeader()
{
    std::uint8_t header[8];
    ReadOrFail(stream_, header, 8, kFormatName);
    chunkLength_ = rtl::GetBE32(header);
    std::memcpy(chunkType_, header + 4, 4);
    // A length the file cannot hold is damage, not a reason to allocate.
    if (chunkLength_ > kMaxChunkLength || chunkLength_ > stream_.Size() - stream_.Position())
        RaiseError(rrTruncated, gesStreamReadError, kFormatName);
    runningCRC_ = static_cast<std::uint32_t>(crc32(0, header + 4, 4));
}

void TPNGGraphic::Load::LoadHeaderIfAny()
{
    noMoreChunks_ = stream_.Position() >= stream_.Size();
    if (noMoreChunks_)
        std::memset(chunkType_, 0, sizeof chunkType_);
    else
        LoadAndSwapHeader();
}

void TPNGGraphic::Load::ReadDataAndCheckCRC()
{
    chunkData_.resize(chunkLength_);
    ReadOrFail(stream_, chunkData_.data(), chunkLength_, kFormatName);
    std::uint8_t stored[4];
    ReadOrFail(stream_, stored, 4, kFormatName);
    runningCRC_ = static_cast<std::uint32_t>(crc32(runningCRC_, chunkData_.data(), chunkLength_));
    if (runningCRC_ != rtl::GetBE32(stored))
        RaiseError(rrChecksum, gesInvalidCRC, kFormatName);
}

void TPNGGraphic::Load::SkipChunk()
{
    if (IsCritical())
        throw EImageRefused(rrCriticalChunk, gesUnknownCriticalChunk);
    ReadDataAndCheckCRC();
}

// ---- loading ------------------------------------------------------------------

void TPNGGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kFormatName);
    stream.SetPosition(FStartPosition + 8);
    ProgressStart(gesPreparing);
    // Decoder and buffers go with the load on every path.
    Load load(*this, stream);
    try {
        load.Run();
    } catch (...) {
        ProgressEnd();
        throw;
    }
    ProgressEnd();
}

void TPNGGraphic::Load::Run()
{
    LoadAndSwapHeader();
    ReadDataAndCheckCRC();
    const Header h = Header::Parse(chunkData_.data());
    colorType_ = h.ColorType;
    bitDepth_ = h.BitDepth;
    converter_.SourceOptions = TConvertOptions{coNeedByteSwap};
    converter_.TargetOptions = {};
    if (properties_.Compression != ctLZ77)
        throw EImageRefused(rrCompression, Format(gesUnsupportedFeature, gesCompressionScheme, kFormatName));
    if (h.FilterMethod != 0 || h.InterlaceMethod > 1)
        RaiseError(rrFilter, gesInvalidImage, kFormatName);
    inflater_ = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
    inflater_->DecodeInit();
    ReadChunks();
    inflater_->DecodeEnd();
}

void TPNGGraphic::Load::ReadChunks()
{
    bool imageRead = false;
    bool headerLoaded = false; // the chunk after the image data is already current
    for (;;) {
        if (!headerLoaded) {
            // A file cut after complete image data still shows its picture.
            if (imageRead && stream_.Position() >= stream_.Size())
                break;
            LoadAndSwapHeader();
        }
        headerLoaded = false;
        if (IsChunk("IDAT") && !imageRead) {
            picture_.ProgressEnd();
            LoadIDAT();
            imageRead = true;
            if (noMoreChunks_)
                break;
            headerLoaded = true;
            continue;
        }
        if (IsChunk("PLTE") && !imageRead) {
            LoadPalette();
        } else if (IsChunk("gAMA")) {
            ReadDataAndCheckCRC();
            if (chunkLength_ == 4 && !imageRead) {
                converter_.SetGamma(static_cast<float>(rtl::GetBE32(chunkData_.data())) / 100000.0f, 2.2f);
                converter_.TargetOptions.Include(coApplyGamma);
                properties_.Options.Include(ioUseGamma);
            }
        } else if (IsChunk("bKGD") && !imageRead) {
            LoadBackgroundColor();
        } else if (IsChunk("tRNS") && !imageRead) {
            LoadTransparency();
        } else if (IsChunk("IEND")) {
            break;
        } else {
            SkipChunk();
        }
    }
    if (!imageRead)
        RaiseError(rrNoImage, gesInvalidImage, kFormatName);
}

void TPNGGraphic::Load::LoadPalette()
{
    if (chunkLength_ % 3 != 0 || chunkLength_ / 3 > 256 || chunkLength_ == 0)
        RaiseError(rrPalette, gesInvalidPalette, kFormatName);
    ReadDataAndCheckCRC();
    if (colorType_ != 3)
        return; // a suggestion for true-colour displays
    SetupColorDepth(colorType_, bitDepth_);
    const std::uint32_t count = chunkLength_ / 3;
    filePalette_.assign(count, 0);
    for (std::uint32_t i = 0; i < count; ++i)
        filePalette_[i] = static_cast<TColor>(RGB(chunkData_[3 * i], chunkData_[3 * i + 1], chunkData_[3 * i + 2]));
    palette_ = converter_.CreateColorPalette({chunkData_.data()}, pfInterlaced8Triple, count, false);
    havePalette_ = true;
}

std::uint8_t TPNGGraphic::Load::ScaledSample(const std::uint8_t* sample) const
{
    const std::uint32_t value = rtl::GetBE16(sample);
    if (bitDepth_ == 16)
        return static_cast<std::uint8_t>(value * 255 / 65535);
    if (bitDepth_ == 8)
        return static_cast<std::uint8_t>(value);
    // Grey samples of 1, 2 and 4 bits stretch over 0..255 like the grey palette.
    const std::uint32_t maximum = (1u << bitDepth_) - 1;
    return static_cast<std::uint8_t>(std::min(value, maximum) * 255 / maximum);
}

void TPNGGraphic::Load::LoadBackgroundColor()
{
    ReadDataAndCheckCRC();
    const std::uint8_t* d = chunkData_.data();
    if ((colorType_ == 0 || colorType_ == 4) && chunkLength_ >= 2) {
        const int grey = ScaledSample(d);
        backgroundColor_ = RGB(grey, grey, grey);
    } else if ((colorType_ == 2 || colorType_ == 6) && chunkLength_ >= 6) {
        backgroundColor_ = RGB(ScaledSample(d), ScaledSample(d + 2), ScaledSample(d + 4));
    } else if (colorType_ == 3 && chunkLength_ >= 1 && d[0] < filePalette_.size()) {
        // The index names a colour of the file's palette.
        backgroundColor_ = filePalette_[d[0]];
    }
}

void TPNGGraphic::Load::LoadTransparency()
{
    ReadDataAndCheckCRC();
    const std::uint8_t* d = chunkData_.data();
    if (colorType_ == 0 && chunkLength_ >= 2) {
        const int grey = ScaledSample(d);
        transparentColor_ = RGB(grey, grey, grey);
        hasTransparentColor_ = true;
    } else if (colorType_ == 2 && chunkLength_ >= 6) {
        transparentColor_ = RGB(ScaledSample(d), ScaledSample(d + 2), ScaledSample(d + 4));
        hasTransparentColor_ = true;
    }
}

int TPNGGraphic::Load::SetupColorDepth(int colorType, int bitDepth)
{
    TColorManager& c = converter_;
    auto packed = [](int d) { return d == 1 || d == 2 || d == 4 || d == 8; };
    struct Setup {
        TColorScheme Source, Target;
        std::uint8_t Samples, TargetBits;
        int PixelBytes;
    };
    Setup s{};
    bool valid = false;
    switch (colorType) {
    case 0:
        valid = packed(bitDepth) || bitDepth == 16;
        s = {csG, csG, 1,
             static_cast<std::uint8_t>(bitDepth == 2        ? 4
                                           : bitDepth == 16 ? 8
                                                            : bitDepth),
             (bitDepth + 7) / 8};
        break;
    case 2:
        valid = bitDepth == 8 || bitDepth == 16;
        s = {csRGB, csBGR, 3, 8, bitDepth * 3 / 8};
        break;
    case 3:
        valid = packed(bitDepth);
        s = {csIndexed, csIndexed, 1, static_cast<std::uint8_t>(bitDepth == 2 ? 4 : bitDepth), 1};
        break;
    case 4:
        valid = bitDepth == 8 || bitDepth == 16;
        s = {csGA, csIndexed, 1, 8, bitDepth * 2 / 8};
        break;
    case 6:
        valid = bitDepth == 8 || bitDepth == 16;
        s = {csRGBA, csBGRA, 4, 8, bitDepth * 4 / 8};
        break;
    default: break;
    }
    if (!valid)
        RaiseError(rrColorFormat, gesInvalidColorFormat, kFormatName);
    c.SetSourceColorScheme(s.Source);
    c.SetTargetColorScheme(s.Target);
    c.SetSourceSamplesPerPixel(s.Samples);
    c.SetTargetSamplesPerPixel(s.Samples);
    c.SetSourceBitsPerSample(static_cast<std::uint8_t>(bitDepth));
    c.SetTargetBitsPerSample(s.TargetBits);
    pixelBytes_ = s.PixelBytes;
    colorDepthSet_ = true;
    return s.PixelBytes;
}

// ---- image data ---------------------------------------------------------------

void TPNGGraphic::Load::LoadIDAT()
{
    picture_.ProgressStart(gesTransfering);
    if (colorType_ == 3 && !havePalette_)
        RaiseError(rrPalette, gesInvalidPalette, kFormatName);
    if (!colorDepthSet_)
        SetupColorDepth(colorType_, bitDepth_);
    const std::uint32_t width = properties_.Width, height = properties_.Height;
    // Deflate packs at most 1032 bytes into one: a picture the rest of the file
    // could never fill is damage, not a reason to allocate.
    const std::uint64_t imageBytes =
        (std::uint64_t{width} * bitDepth_ * (pixelBytes_ * 8 / std::max(bitDepth_, 8)) + 7) / 8 * height;
    const std::uint64_t left = static_cast<std::uint64_t>(
        std::max<std::int64_t>(stream_.Size() - stream_.Position(), 0));
    if (imageBytes / 1032 > left + chunkLength_)
        RaiseError(rrDataTooShort, gesInvalidImage, kFormatName);
    picture_.SetupBitmap(width, height, converter_.GetPixelFormat(1), kFormatName);
    if (colorType_ == 3)
        picture_.SetPalette(palette_);
    else if (colorType_ == 0 || colorType_ == 4)
        picture_.SetPalette(converter_.CreateGrayscalePalette(false));
    // Interlaced passes leave holes until the last one: fill first. Plain
    // rows get the background only where the data does not reach.
    if (properties_.Interlaced)
        FillBackground(0);
    if (hasTransparentColor_) {
        picture_.SetTransparentColor(transparentColor_);
        picture_.SetTransparent(true);
    }

    // The current chunk is the first IDAT; ReadRow takes its data.
    chunkDataLeft_ = 0;
    dataEnded_ = false;
    const std::uint64_t sampleBytes = static_cast<std::uint64_t>(bitDepth_ == 16 ? pixelBytes_ / 2 : pixelBytes_);
    auto rowBytesOf = [&](std::uint64_t pixels) {
        return static_cast<std::uint32_t>((pixels * static_cast<std::uint64_t>(bitDepth_) + 7) / 8 * sampleBytes);
    };
    const std::uint32_t rowBytes = rowBytesOf(width);
    rows_[0].assign(std::size_t{rowBytes} + 1, 0);
    rows_[1].assign(std::size_t{rowBytes} + 1, 0);

    if (!properties_.Interlaced) {
        FillBackground(ReadPassRows(0, 1, rowBytes, 0xFF, true));
    } else {
        for (int pass = 0; pass < 7; ++pass) {
            const Adam7Pass& a = kAdam7[pass];
            if (a.StartColumn >= width || a.StartRow >= height)
                continue;
            const std::uint32_t passBytes = rowBytesOf((width + a.ColumnStep - a.StartColumn - 1) / a.ColumnStep);
            std::fill(rows_[0].begin(), rows_[0].end(), 0);
            std::fill(rows_[1].begin(), rows_[1].end(), 0);
            ReadPassRows(a.StartRow, a.RowStep, passBytes, a.Mask, pass == 6);
        }
    }

    // The rest of the image data still passes the CRC test.
    while (!noMoreChunks_ && IsChunk("IDAT")) {
        ReadDataAndCheckCRC();
        LoadHeaderIfAny();
    }
}

std::uint32_t TPNGGraphic::Load::ReadPassRows(std::uint32_t startRow, std::uint32_t rowStep, std::uint32_t rowBytes,
                                              std::uint8_t mask, bool reportProgress)
{
    const std::uint32_t height = properties_.Height, width = properties_.Width;
    int current = 0;
    for (std::uint32_t row = startRow; row < height; row += rowStep) {
        std::uint8_t* line = rows_[current].data();
        const std::uint8_t* previous = rows_[1 - current].data();
        // Rows the data does not reach keep the background.
        if (!ReadRow(line, rowBytes + 1))
            return row;
        ApplyFilter(line[0], line + 1, previous + 1, rowBytes);
        converter_.ConvertRow({line + 1}, picture_.ScanLine(static_cast<int>(row)), width, mask);
        current = 1 - current;
        if (reportProgress)
            picture_.ProgressRow(row, height);
    }
    return height;
}

bool TPNGGraphic::Load::ReadRow(std::uint8_t* buffer, std::uint32_t count)
{
    std::uint8_t* dest = buffer;
    std::uint32_t remaining = count;
    while (remaining > 0) {
        if (dataEnded_)
            return false;
        if (chunkDataLeft_ == 0) {
            if (noMoreChunks_ || !IsChunk("IDAT")) {
                dataEnded_ = true;
                return false;
            }
            ReadDataAndCheckCRC();
            chunkCursor_ = chunkData_.data();
            chunkDataLeft_ = chunkLength_;
            LoadHeaderIfAny();
            continue;
        }
        const std::uint8_t* source = chunkCursor_;
        std::uint8_t* out = dest;
        inflater_->Decode(source, out, static_cast<int>(chunkDataLeft_), static_cast<int>(remaining));
        const bool progressed = source != chunkCursor_ || out != dest;
        chunkDataLeft_ -= source - chunkCursor_;
        chunkCursor_ = source;
        remaining -= static_cast<std::uint32_t>(out - dest);
        dest = out;
        const int result = inflater_->ZLibResult();
        if (result == Z_STREAM_END) {
            // Data behind the end of the stream in the same chunk is damage; a
            // stream that ends inside a row ends the picture there.
            if (remaining == 0 && chunkDataLeft_ > 0)
                RaiseError(rrExtraData, gesExtraCompressedData, kFormatName);
            dataEnded_ = true;
            return remaining == 0;
        }
        if (result != Z_OK || !progressed)
            RaiseError(rrCompressedData, gesCompression, kFormatName);
    }
    return true;
}

void TPNGGraphic::Load::ApplyFilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous,
                                    std::uint32_t count)
{
    const std::uint32_t d = static_cast<std::uint32_t>(pixelBytes_);
    switch (filter) {
    case 0: break;
    case 1:
        for (std::uint32_t i = d; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - d]);
        break;
    case 2:
        for (std::uint32_t i = 0; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
        break;
    case 3:
        for (std::uint32_t i = 0; i < count; ++i) {
            const int left = i >= d ? row[i - d] : 0;
            row[i] = static_cast<std::uint8_t>(row[i] + ((left + previous[i]) >> 1));
        }
        break;
    case 4:
        for (std::uint32_t i = 0; i < count; ++i) {
            const int left = i >= d ? row[i - d] : 0, upperLeft = i >= d ? previous[i - d] : 0;
            row[i] = static_cast<std::uint8_t>(row[i] + Paeth(left, previous[i], upperLeft));
        }
        break;
    default:
        // No such filter: the data is damaged.
        RaiseError(rrFilter, gesCompression, kFormatName);
    }
}

// Rows from firstRow on in the background colour; palette pictures take the
// nearest palette entry.
void TPNGGraphic::Load::FillBackground(std::uint32_t firstRow)
{
    const int r = GetRValue(backgroundColor_), g = GetGValue(backgroundColor_), b = GetBValue(backgroundColor_);
    const int width = picture_.Width(), height = picture_.Height();
    if (firstRow >= static_cast<std::uint32_t>(height))
        return;
    const TPixelFormat format = picture_.PixelFormat();
    std::vector<std::uint8_t> row;
    if (format == pf24bit || format == pf32bit) {
        const int bytes = format == pf24bit ? 3 : 4;
        row.resize(static_cast<std::size_t>(width) * bytes);
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &row[static_cast<std::size_t>(x) * bytes];
            p[0] = static_cast<std::uint8_t>(b);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(r);
            if (bytes == 4)
                p[3] = 255;
        }
    } else {
        const TPaletteEntries& palette = picture_.Palette();
        int best = 0, bestDistance = 1 << 30;
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const int dr = static_cast<int>(palette[i] >> 16 & 0xFF) - r,
                      dg = static_cast<int>(palette[i] >> 8 & 0xFF) - g, db = static_cast<int>(palette[i] & 0xFF) - b;
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance)
                bestDistance = distance, best = static_cast<int>(i);
        }
        const int bits = format == pf1bit ? 1 : format == pf4bit ? 4 : 8;
        std::uint8_t pattern = 0;
        for (int shift = 0; shift < 8; shift += bits)
            pattern = static_cast<std::uint8_t>(pattern | best << shift);
        row.assign((static_cast<std::size_t>(width) * bits + 7) / 8, pattern);
    }
    for (int y = static_cast<int>(firstRow); y < height; ++y)
        std::memcpy(picture_.ScanLine(y), row.data(), row.size());
}
