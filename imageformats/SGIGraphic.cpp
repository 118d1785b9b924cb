#include "imageformats/SGIGraphic.h"

#include <algorithm>
#include <cstring>

#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TSGIGraphic)

namespace {

const char* const kFormatName = "SGI";
const char* const kInvalidFormatName = "sgi, bw or rgb(a)";

constexpr int kHeaderSize = 512;
constexpr std::uint16_t kMagic = 474;
// Two bytes of packed data give at most one run of 127 samples.
constexpr std::int64_t kMostSamplesPerPackedByte = 64;

struct SgiHeader {
    std::uint16_t Magic = 0;
    std::uint8_t Storage = 0, BytesPerChannel = 0;
    std::uint16_t Dimension = 0, Width = 0, Height = 0, Channels = 0;

    static SgiHeader Parse(const std::uint8_t* b)
    {
        SgiHeader h;
        h.Magic = rtl::GetBE16(b);
        h.Storage = b[2];
        h.BytesPerChannel = b[3];
        h.Dimension = rtl::GetBE16(b + 4);
        h.Width = rtl::GetBE16(b + 6);
        h.Height = rtl::GetBE16(b + 8);
        h.Channels = rtl::GetBE16(b + 10);
        return h;
    }

    bool Valid() const
    {
        return Magic == kMagic && (BytesPerChannel == 1 || BytesPerChannel == 2) && Dimension >= 1 && Dimension <= 3;
    }
    // A one-dimensional image is a single row, a two-dimensional one grey.
    std::uint32_t Rows() const { return Dimension == 1 ? 1 : Height; }
    std::uint32_t ChannelCount() const { return Dimension < 3 ? 1 : Channels; }
};

bool ReadHeader(TStream& stream, SgiHeader& header)
{
    std::uint8_t bytes[kHeaderSize];
    if (stream.Read(bytes, kHeaderSize) != kHeaderSize)
        return false;
    header = SgiHeader::Parse(bytes);
    return true;
}

// The high byte of 16-bit samples (stored big-endian), the byte itself else.
std::uint8_t SampleAt(const std::vector<std::uint8_t>& channel, std::uint32_t x, int bytesPerChannel)
{
    return channel[static_cast<std::size_t>(x) * bytesPerChannel];
}

TPaletteEntries GreyRamp()
{
    TPaletteEntries ramp;
    for (std::uint32_t i = 0; i < 256; ++i)
        ramp.push_back(i * 0x010101u);
    return ramp;
}

} // namespace

bool TSGIGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    if (stream.Size() - position <= kHeaderSize)
        return false;
    SgiHeader h;
    const bool complete = ReadHeader(stream, h);
    stream.SetPosition(position);
    return complete && h.Valid();
}

bool TSGIGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    SgiHeader h;
    if (!ReadHeader(stream, h) || h.Magic != kMagic)
        return false;
    FProperties.Options = TImageOptions{ioBigEndian};
    FProperties.BitsPerSample = static_cast<std::uint8_t>(h.BytesPerChannel * 8);
    FProperties.Width = h.Width;
    FProperties.Height = h.Rows();
    FProperties.SamplesPerPixel = static_cast<std::uint8_t>(h.ChannelCount());
    FProperties.ColorScheme = h.ChannelCount() == 3 ? csRGB : h.ChannelCount() == 4 ? csRGBA : csIndexed;
    FProperties.BitsPerPixel = static_cast<std::uint8_t>(FProperties.BitsPerSample * FProperties.SamplesPerPixel);
    FProperties.Compression = h.Storage == 1 ? ctRLE : ctNone;
    return true;
}

void TSGIGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kInvalidFormatName);
    stream.SetPosition(FStartPosition);
    FProgressArea = Rect(0, 0, static_cast<int>(FProperties.Width), 1);
    ProgressStart(gesPreparing);

    SgiHeader h;
    ReadHeader(stream, h);
    if (!h.Valid() || h.ChannelCount() < 1 || h.ChannelCount() > 4)
        RaiseError(rrHeader, gesInvalidImage, kInvalidFormatName);
    bytesPerChannel_ = h.BytesPerChannel;
    channelCount_ = h.ChannelCount();
    const std::uint32_t width = h.Width, height = h.Rows();
    const std::int64_t rowEntries = std::int64_t{height} * channelCount_;
    const std::int64_t dataSize = stream.Size() - stream.Position();
    const std::int64_t samples = std::int64_t{width} * rowEntries;

    // Before anything is allocated: the planes, or the tables and the packed
    // rows, must fit in the stream.
    rowStart_.clear();
    rowSize_.clear();
    if (h.Storage == 1) {
        if (dataSize < rowEntries * 8 || samples > dataSize * kMostSamplesPerPackedByte)
            RaiseError(rrDataTooShort, gesStreamReadError, kFormatName);
        std::vector<std::uint8_t> tables(static_cast<std::size_t>(rowEntries * 8));
        ReadOrFail(stream, tables.data(), static_cast<std::int64_t>(tables.size()), kFormatName);
        for (std::int64_t i = 0; i < rowEntries; ++i) {
            rowStart_.push_back(rtl::GetBE32(&tables[static_cast<std::size_t>(4 * i)]));
            rowSize_.push_back(rtl::GetBE32(&tables[static_cast<std::size_t>(4 * (rowEntries + i))]));
        }
    } else if (dataSize < samples * bytesPerChannel_) {
        RaiseError(rrTruncated, gesStreamReadError, kFormatName);
    }

    const bool grey = channelCount_ < 3;
    SetupBitmap(width, height, grey ? pf8bit : channelCount_ == 4 ? pf32bit : pf24bit, kFormatName);
    if (grey)
        SetPalette(GreyRamp());
    ProgressEnd();
    ProgressStart(gesTransfering);

    std::vector<std::uint8_t> buffers[4];
    std::vector<std::uint8_t>* channels[4] = {};
    for (std::uint32_t c = 0; c < (grey ? 1u : channelCount_); ++c) {
        buffers[c].assign(static_cast<std::size_t>(width) * bytesPerChannel_, 0);
        channels[c] = &buffers[c];
    }
    for (std::uint32_t n = 0; n < height; ++n) {
        ReadAndDecode(stream, n, channels);
        std::uint8_t* target = ScanLine(static_cast<int>(height - 1 - n));
        if (grey) {
            for (std::uint32_t x = 0; x < width; ++x)
                target[x] = SampleAt(buffers[0], x, bytesPerChannel_);
        } else {
            const int pixelBytes = channelCount_ == 4 ? 4 : 3;
            for (std::uint32_t x = 0; x < width; ++x) {
                std::uint8_t* pixel = target + static_cast<std::size_t>(x) * pixelBytes;
                pixel[0] = SampleAt(buffers[2], x, bytesPerChannel_);
                pixel[1] = SampleAt(buffers[1], x, bytesPerChannel_);
                pixel[2] = SampleAt(buffers[0], x, bytesPerChannel_);
                if (pixelBytes == 4)
                    pixel[3] = SampleAt(buffers[3], x, bytesPerChannel_);
            }
        }
        ProgressRow(n, height);
    }
    ProgressEnd();
}

void TSGIGraphic::ReadAndDecode(TStream& stream, std::uint32_t row, std::vector<std::uint8_t>* channels[4])
{
    const std::uint32_t height = FProperties.Height;
    const std::int64_t rowBytes = std::int64_t{FProperties.Width} * bytesPerChannel_;
    std::vector<std::uint8_t> packed;
    for (std::uint32_t c = 0; c < 4; ++c) {
        if (channels[c] == nullptr)
            continue;
        std::uint8_t* target = channels[c]->data();
        const std::size_t entry = static_cast<std::size_t>(row) + std::size_t{c} * height;
        if (FProperties.Compression != ctRLE) {
            stream.SetPosition(FStartPosition + kHeaderSize + static_cast<std::int64_t>(entry) * rowBytes);
            ReadOrFail(stream, target, rowBytes, kFormatName);
            continue;
        }
        const std::int64_t start = FStartPosition + rowStart_[entry];
        const std::int64_t size = rowSize_[entry];
        if (start + size > stream.Size())
            RaiseError(rrTruncated, gesStreamReadError, kFormatName);
        packed.resize(static_cast<std::size_t>(size));
        stream.SetPosition(start);
        ReadOrFail(stream, packed.data(), size, kFormatName);
        TSGIRLEDecoder decoder(static_cast<std::uint8_t>(bytesPerChannel_ * 8));
        const std::uint8_t* source = packed.data();
        const int written = decoder.Decode(source, target, static_cast<int>(size), static_cast<int>(rowBytes));
        if (written < rowBytes)
            RaiseError(rrCompressedData, gesStreamReadError, kFormatName);
    }
}
