#include "imageformats/PPMGraphic.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "imageformats/GraphicStrings.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TPPMGraphic)

namespace {

const char* const kFormatName = "PPM";
const char* const kInvalidFormatName = "PBM, PGM or PPM";

constexpr std::uint32_t kMaxNumber = 0x7FFFFFFF;
constexpr std::uint32_t kMaxSampleValue = 65535;

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool IsLineEnd(std::uint8_t c) { return c == '\r' || c == '\n'; }

bool IsBitmap(char kind) { return kind == '1' || kind == '4'; }
bool IsPlain(char kind) { return kind >= '1' && kind <= '3'; }
int ChannelsOf(char kind) { return kind == '3' || kind == '6' ? 3 : 1; }

// A sample of 0..maxValue as 0..255, rounded; values above the maximum are
// taken as the maximum.
std::uint8_t Scale(std::uint32_t value, std::uint32_t maxValue)
{
    if (maxValue == 255)
        return static_cast<std::uint8_t>(std::min<std::uint32_t>(value, 255));
    value = std::min(value, maxValue);
    return static_cast<std::uint8_t>((value * 255 + maxValue / 2) / maxValue);
}

TPaletteEntries GreyRamp(int count, bool inverted)
{
    TPaletteEntries palette;
    for (int i = 0; i < count; ++i) {
        const int level = i * 255 / (count - 1);
        palette.push_back(static_cast<std::uint32_t>(inverted ? 255 - level : level) * 0x010101u);
    }
    return palette;
}

} // namespace

bool TPPMGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    if (stream.Size() - position <= 10)
        return false;
    std::uint8_t magic[2];
    const bool complete = stream.Read(magic, 2) == 2;
    stream.SetPosition(position);
    return complete && magic[0] == 'P' && magic[1] >= '1' && magic[1] <= '6';
}

bool TPPMGraphic::FillBuffer()
{
    const std::int64_t got = stream_->Read(buffer_, kBufferSize);
    bufferSize_ = static_cast<int>(std::max<std::int64_t>(got, 0));
    index_ = 0;
    return bufferSize_ > 0;
}

std::uint8_t TPPMGraphic::GetChar()
{
    if (index_ == bufferSize_ && !FillBuffer())
        RaiseError(rrTruncated, gesStreamReadError, kFormatName);
    return buffer_[index_++];
}

void TPPMGraphic::GetBytes(std::uint8_t* out, std::size_t count)
{
    while (count > 0) {
        if (index_ == bufferSize_ && !FillBuffer())
            RaiseError(rrTruncated, gesStreamReadError, kFormatName);
        const std::size_t chunk = std::min<std::size_t>(count, static_cast<std::size_t>(bufferSize_ - index_));
        std::memcpy(out, buffer_ + index_, chunk);
        index_ += static_cast<int>(chunk);
        out += chunk;
        count -= chunk;
    }
}

std::uint8_t TPPMGraphic::CurrentChar()
{
    if (index_ == bufferSize_ && !FillBuffer())
        return 0;
    return buffer_[index_];
}

void TPPMGraphic::SkipSeparators()
{
    for (;;) {
        const std::uint8_t c = GetChar();
        if (c == '#') {
            while (!IsLineEnd(GetChar())) {
            }
        } else if (IsDigit(c)) {
            --index_; // GetChar just filled or advanced within this buffer
            return;
        }
    }
}

std::uint32_t TPPMGraphic::GetNumber()
{
    SkipSeparators();
    std::uint32_t value = 0;
    for (std::uint8_t c = GetChar(); IsDigit(c); c = CurrentChar() ? GetChar() : 0) {
        if (value > kMaxNumber / 10)
            RaiseError(rrNumber, gesInvalidImage, kInvalidFormatName);
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

std::uint8_t TPPMGraphic::GetBit()
{
    SkipSeparators();
    return GetChar() == '1' ? 1 : 0;
}

// The magic, then width, height and (except for bitmaps) the maximum sample
// value, as numbers anywhere on the following lines or on the magic's own.
void TPPMGraphic::ReadHeader(TStream& stream)
{
    stream_ = &stream;
    bufferSize_ = index_ = 0;
    kind_ = 0;
    if (GetChar() != 'P')
        return;
    const std::uint8_t kind = GetChar();
    if (kind < '1' || kind > '6')
        return;
    kind_ = static_cast<char>(kind);
    FProperties.Width = GetNumber();
    FProperties.Height = GetNumber();
    maxValue_ = IsBitmap(kind_) ? 1 : GetNumber();
    FProperties.SamplesPerPixel = static_cast<std::uint8_t>(ChannelsOf(kind_));
    FProperties.BitsPerSample = IsBitmap(kind_) ? 1 : 8;
    FProperties.BitsPerPixel = static_cast<std::uint8_t>(FProperties.SamplesPerPixel * FProperties.BitsPerSample);
    FProperties.ColorScheme = ChannelsOf(kind_) == 3 ? csRGB : csIndexed;
}

bool TPPMGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    FProperties.Compression = ctNone;
    try {
        ReadHeader(stream);
    } catch (const EInvalidGraphic&) {
        kind_ = 0;
    }
    return kind_ != 0;
}

void TPPMGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kInvalidFormatName);
    stream.SetPosition(FStartPosition);
    FProgressArea = Rect(0, 0, static_cast<int>(FProperties.Width), 1);
    ProgressStart(gesTransfering);
    ReadHeader(stream);
    if (maxValue_ == 0 || maxValue_ > kMaxSampleValue)
        RaiseError(rrSampleRange, gesInvalidImage, kInvalidFormatName);
    // Raw data starts after the single white-space character that ends the
    // header; GetNumber has taken it already.

    const std::uint32_t width = FProperties.Width, height = FProperties.Height;
    const int channels = ChannelsOf(kind_);
    const int sampleBytes = maxValue_ > 255 ? 2 : 1;
    // Before anything is allocated: every pixel needs at least a bit (raw
    // bitmaps), its sample bytes (raw maps) or a character (plain files).
    const std::int64_t left = stream.Size() - stream.Position() + (bufferSize_ - index_);
    const std::int64_t leastBytes = IsPlain(kind_) ? std::int64_t{width} * height * (IsBitmap(kind_) ? 1 : channels)
        : IsBitmap(kind_)                          ? (std::int64_t{width} + 7) / 8 * height
                                                   : std::int64_t{width} * height * channels * sampleBytes;
    if (left < leastBytes)
        RaiseError(rrTruncated, gesStreamReadError, kFormatName);

    if (IsBitmap(kind_)) {
        SetupBitmap(width, height, pf1bit, kFormatName);
        SetPalette(GreyRamp(2, true));
        ReadBitmapRows(width, height, IsPlain(kind_));
    } else {
        SetupBitmap(width, height, channels == 3 ? pf24bit : pf8bit, kFormatName);
        if (channels == 1)
            SetPalette(GreyRamp(256, false));
        ReadSampleRows(width, height, channels, IsPlain(kind_));
    }
    // The stream ends behind the picture, not behind the read-ahead.
    stream.Seek(index_ - bufferSize_, soFromCurrent);
    ProgressEnd();
}

void TPPMGraphic::ReadBitmapRows(std::uint32_t width, std::uint32_t height, bool plain)
{
    const std::uint32_t rowBytes = (width + 7) / 8;
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = ScanLine(static_cast<int>(y));
        if (plain) {
            std::memset(row, 0, rowBytes);
            for (std::uint32_t x = 0; x < width; ++x)
                row[x / 8] |= static_cast<std::uint8_t>(GetBit() << (7 - x % 8));
        } else {
            GetBytes(row, rowBytes);
        }
        ProgressRow(y, height);
    }
}

void TPPMGraphic::ReadSampleRows(std::uint32_t width, std::uint32_t height, int channels, bool plain)
{
    if (!plain && maxValue_ <= 255) {
        ReadByteRows(width, height, channels);
        return;
    }
    auto sample = [&]() -> std::uint8_t {
        if (plain)
            return Scale(GetNumber(), maxValue_);
        std::uint32_t value = GetChar();
        if (maxValue_ > 255)
            value = value << 8 | GetChar();
        return Scale(value, maxValue_);
    };
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = ScanLine(static_cast<int>(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            if (channels == 1) {
                row[x] = sample();
            } else {
                const std::uint8_t red = sample(), green = sample(), blue = sample();
                row[3 * x] = blue;
                row[3 * x + 1] = green;
                row[3 * x + 2] = red;
            }
        }
        ProgressRow(y, height);
    }
}

// Binary samples of one byte: whole rows at a time, scaled through a table
// and put in blue-green-red order in place.
void TPPMGraphic::ReadByteRows(std::uint32_t width, std::uint32_t height, int channels)
{
    std::uint8_t scale[256];
    for (std::uint32_t v = 0; v < 256; ++v)
        scale[v] = Scale(v, maxValue_);
    const bool identity = maxValue_ == 255;
    const std::size_t rowBytes = std::size_t{width} * static_cast<std::size_t>(channels);
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = ScanLine(static_cast<int>(y));
        GetBytes(row, rowBytes);
        if (channels == 3) {
            for (std::size_t i = 0; i < rowBytes; i += 3)
                std::swap(row[i], row[i + 2]);
        }
        if (!identity)
            for (std::size_t i = 0; i < rowBytes; ++i)
                row[i] = scale[row[i]];
        ProgressRow(y, height);
    }
}
