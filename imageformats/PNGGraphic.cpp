#include "imageformats/PNGGraphic.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "imageformats/GraphicStrings.h"
#include "imageformats/LZ77Decoder.h"
#include "imageformats/WholeInflater.h"
#include "platform/graphics/Color.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TPNGGraphic)

namespace {

const char* const kFormatName = "PNG";
const std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;
// The most inflated image data taken in one piece; larger pictures are
// inflated row by row.
constexpr std::uint64_t MaxWholeImageData = std::uint64_t{1} << 28;

// The buffers of the whole image data, kept on the thread for the next
// picture: fresh memory costs a page fault every 4 kB when first written,
// which on virtual machines can take longer than inflating into it. Buffers
// larger than RetainedScratch go back when the load ends.
struct TScratch {
    static constexpr std::size_t RetainedScratch = std::size_t{32} << 20;
    std::vector<std::uint8_t> Joined;
    std::vector<std::uint8_t> Inflated;

    struct Release {
        TScratch& Scratch;
        ~Release()
        {
            if (Scratch.Joined.capacity() > RetainedScratch)
                Scratch.Joined = {};
            if (Scratch.Inflated.capacity() > RetainedScratch)
                Scratch.Inflated = {};
        }
    };
};

TScratch& ThreadScratch()
{
    thread_local TScratch scratch;
    return scratch;
}

struct Header {
    std::uint32_t Width = 0, Height = 0;
    std::uint8_t BitDepth = 0, ColorType = 0, CompressionMethod = 0, FilterMethod = 0, InterlaceMethod = 0;

    static Header Parse(const std::uint8_t* b)
    {
        return {rtl::GetBE32(b), rtl::GetBE32(b + 4), b[8], b[9], b[10], b[11], b[12]};
    }
};

// The Paeth predictor without branches: the distances of a + b - c to a, b
// and c are |b - c|, |a - c| and |a + b - 2c|.
inline int Paeth(int a, int b, int c)
{
    const int da = std::abs(b - c), db = std::abs(a - c), dc = std::abs(a + b - 2 * c);
    const int bc = db <= dc ? b : c;
    return da <= db && da <= dc ? a : bc;
}

// Undoes filter 1 to 4 of a row of `count` bytes whose pixels are D bytes;
// the bytes left of the first pixel count as zero.
template <int D>
void UndoFilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous, std::uint32_t count)
{
    const std::uint32_t head = std::min<std::uint32_t>(D, count);
    switch (filter) {
    case 1:
        for (std::uint32_t i = D; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - D]);
        break;
    case 2:
        for (std::uint32_t i = 0; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
        break;
    case 3:
        for (std::uint32_t i = 0; i < head; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + (previous[i] >> 1));
        for (std::uint32_t i = D; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - D] + previous[i]) >> 1));
        break;
    case 4:
        for (std::uint32_t i = 0; i < head; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
        for (std::uint32_t i = D; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + Paeth(row[i - D], previous[i], previous[i - D]));
        break;
    default: break;
    }
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
    // The rows of one pass (all rows when not interlaced).
    struct Pass {
        std::uint32_t StartRow, RowStep, RowBytes, Rows;
        std::uint8_t Mask;
        bool ReportProgress;
    };
    std::vector<Pass> Passes() const;
    // Returns the first row not delivered (the height when all were).
    std::uint32_t ReadPassRows(const Pass& pass);
    bool ReadWholeImageData(const std::vector<Pass>& passes);
    bool JoinImageData(std::vector<std::uint8_t>& joined);
    static bool KnownFilters(const std::uint8_t* inflated, const std::vector<Pass>& passes);
    void FilterAndConvert(const Pass& pass, std::uint32_t index, std::uint8_t* line, const std::uint8_t* previous);

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
    const std::vector<Pass> passes = Passes();
    std::uint32_t widest = 0;
    for (const Pass& pass : passes)
        widest = std::max(widest, pass.RowBytes);
    rows_[0].assign(std::size_t{widest} + 1, 0);
    rows_[1].assign(std::size_t{widest} + 1, 0);
    if (!ReadWholeImageData(passes)) {
        for (const Pass& pass : passes) {
            std::fill(rows_[0].begin(), rows_[0].end(), 0);
            std::fill(rows_[1].begin(), rows_[1].end(), 0);
            const std::uint32_t end = ReadPassRows(pass);
            // Plain rows get the background only where the data does not reach.
            if (!properties_.Interlaced)
                FillBackground(end);
        }
    }

    // The rest of the image data still passes the CRC test.
    while (!noMoreChunks_ && IsChunk("IDAT")) {
        ReadDataAndCheckCRC();
        LoadHeaderIfAny();
    }
}

std::vector<TPNGGraphic::Load::Pass> TPNGGraphic::Load::Passes() const
{
    const std::uint32_t width = properties_.Width, height = properties_.Height;
    const std::uint64_t sampleBytes = static_cast<std::uint64_t>(bitDepth_ == 16 ? pixelBytes_ / 2 : pixelBytes_);
    auto rowBytesOf = [&](std::uint64_t pixels) {
        return static_cast<std::uint32_t>((pixels * static_cast<std::uint64_t>(bitDepth_) + 7) / 8 * sampleBytes);
    };
    if (!properties_.Interlaced)
        return {{0, 1, rowBytesOf(width), height, 0xFF, true}};
    std::vector<Pass> passes;
    for (int pass = 0; pass < 7; ++pass) {
        const Adam7Pass& a = kAdam7[pass];
        if (a.StartColumn >= width || a.StartRow >= height)
            continue;
        passes.push_back({a.StartRow, a.RowStep, rowBytesOf((width + a.ColumnStep - a.StartColumn - 1) / a.ColumnStep),
                          (height - a.StartRow + a.RowStep - 1) / a.RowStep, a.Mask, pass == 6});
    }
    return passes;
}

void TPNGGraphic::Load::FilterAndConvert(const Pass& pass, std::uint32_t index, std::uint8_t* line,
                                         const std::uint8_t* previous)
{
    const std::uint32_t row = pass.StartRow + index * pass.RowStep;
    ApplyFilter(line[0], line + 1, previous + 1, pass.RowBytes);
    converter_.ConvertRow({line + 1}, picture_.ScanLine(static_cast<int>(row)), properties_.Width, pass.Mask);
    if (pass.ReportProgress)
        picture_.ProgressRow(row, properties_.Height);
}

std::uint32_t TPNGGraphic::Load::ReadPassRows(const Pass& pass)
{
    int current = 0;
    for (std::uint32_t index = 0; index < pass.Rows; ++index) {
        std::uint8_t* line = rows_[current].data();
        // Rows the data does not reach keep the background.
        if (!ReadRow(line, pass.RowBytes + 1))
            return pass.StartRow + index * pass.RowStep;
        FilterAndConvert(pass, index, line, rows_[1 - current].data());
        current = 1 - current;
    }
    return properties_.Height;
}

// Whether every row of the inflated image data has a filter of PNG's five.
bool TPNGGraphic::Load::KnownFilters(const std::uint8_t* inflated, const std::vector<Pass>& passes)
{
    std::size_t at = 0;
    for (const auto& pass : passes)
        for (std::uint32_t index = 0; index < pass.Rows; ++index, at += std::size_t{pass.RowBytes} + 1)
            if (inflated[at] > 4)
                return false;
    return true;
}

// The image data inflated in one piece, which is several times faster than
// row by row. It is taken only when it is one sound stream that ends with the
// last image data chunk and holds exactly the picture's rows; otherwise the
// stream is put back and the rows are read one by one, with their handling of
// short and damaged data.
bool TPNGGraphic::Load::ReadWholeImageData(const std::vector<Pass>& passes)
{
    std::uint64_t total = 0;
    for (const Pass& pass : passes)
        total += (std::uint64_t{pass.RowBytes} + 1) * pass.Rows;
    if (total == 0 || total > MaxWholeImageData)
        return false;
    const std::int64_t dataStart = stream_.Position();
    const std::uint32_t length = chunkLength_;
    const std::uint32_t crc = runningCRC_;
    TScratch& scratch = ThreadScratch();
    const TScratch::Release release{scratch};
    std::vector<std::uint8_t>& joined = scratch.Joined;
    std::vector<std::uint8_t>& inflated = scratch.Inflated;
    std::optional<TWholeInflater::TResult> result;
    if (JoinImageData(joined)) {
        inflated.resize(static_cast<std::size_t>(total));
        result = TWholeInflater().Inflate(joined, inflated);
    }
    // A row of an unknown filter is damage the row-by-row path reports in its turn.
    const bool sound = result && result->Written == total && result->Consumed == joined.size() &&
        KnownFilters(inflated.data(), passes);
    if (!sound) {
        stream_.SetPosition(dataStart);
        chunkLength_ = length;
        runningCRC_ = crc;
        return false;
    }
    LoadHeaderIfAny();
    const std::uint8_t* zeros = rows_[0].data();
    std::uint8_t* line = inflated.data();
    for (const Pass& pass : passes) {
        const std::uint8_t* previous = zeros;
        for (std::uint32_t index = 0; index < pass.Rows; ++index, line += pass.RowBytes + 1) {
            FilterAndConvert(pass, index, line, previous);
            previous = line;
        }
    }
    return true;
}

// Reads the data of the image data chunks from the current one on into
// `joined`, checking their CRCs, up to the header of the next other chunk.
// False, raising nothing, where the chunks are damaged or cut short.
bool TPNGGraphic::Load::JoinImageData(std::vector<std::uint8_t>& joined)
{
    const std::int64_t size = stream_.Size();
    std::uint32_t length = chunkLength_;
    std::uint32_t crc = runningCRC_;
    // The chunks lie within the rest of the stream: one allocation holds them.
    joined.clear();
    joined.reserve(static_cast<std::size_t>(size - stream_.Position()));
    for (;;) {
        if (std::int64_t{length} + 4 > size - stream_.Position())
            return false;
        const std::size_t at = joined.size();
        joined.resize(at + length);
        std::uint8_t stored[4];
        if (stream_.Read(joined.data() + at, length) != length || stream_.Read(stored, 4) != 4 ||
            static_cast<std::uint32_t>(crc32(crc, joined.data() + at, length)) != rtl::GetBE32(stored))
            return false;
        if (stream_.Position() >= size)
            return true;
        std::uint8_t header[8];
        if (stream_.Read(header, 8) != 8)
            return false;
        if (!::IsChunk(reinterpret_cast<const char*>(header + 4), "IDAT")) {
            stream_.Seek(-8, soFromCurrent);
            return true;
        }
        length = rtl::GetBE32(header);
        if (length > kMaxChunkLength || length > size - stream_.Position())
            return false;
        crc = static_cast<std::uint32_t>(crc32(0, header + 4, 4));
    }
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
    if (filter > 4)
        // No such filter: the data is damaged.
        RaiseError(rrFilter, gesCompression, kFormatName);
    // The distance to the byte on the left is a constant of the loops for the
    // usual pixel sizes, which keeps the running values in registers.
    switch (pixelBytes_) {
    case 1: UndoFilter<1>(filter, row, previous, count); break;
    case 2: UndoFilter<2>(filter, row, previous, count); break;
    case 3: UndoFilter<3>(filter, row, previous, count); break;
    case 4: UndoFilter<4>(filter, row, previous, count); break;
    case 6: UndoFilter<6>(filter, row, previous, count); break;
    default: UndoFilter<8>(filter, row, previous, count); break;
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
