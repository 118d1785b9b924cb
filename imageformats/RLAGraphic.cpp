#include "imageformats/RLAGraphic.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <string>
#include <vector>

#include "imageformats/GraphicCompression.h"
#include "imageformats/GraphicStrings.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TRLAGraphic)

namespace {

const char* const kFormatName = "RLA";

constexpr int kHeaderSize = 740;
constexpr int kRevision = 0xFFFE;

// A text field up to its first zero byte.
std::string Text(const std::uint8_t* p, int size)
{
    const auto* end = std::find(p, p + size, std::uint8_t{0});
    return {reinterpret_cast<const char*>(p), reinterpret_cast<const char*>(end)};
}

// The header's numeric fields in host order.
struct RlaHeader {
    int ActiveLeft = 0, ActiveRight = 0, ActiveBottom = 0, ActiveTop = 0;
    int Channels = 0, Mattes = 0, Revision = 0, ChannelBits = 0;
    std::string Gamma, ChannelKind;

    static RlaHeader Parse(const std::uint8_t* b)
    {
        RlaHeader h;
        h.ActiveLeft = rtl::GetBE16s(b + 8);
        h.ActiveRight = rtl::GetBE16s(b + 10);
        h.ActiveBottom = rtl::GetBE16s(b + 12);
        h.ActiveTop = rtl::GetBE16s(b + 14);
        h.Channels = rtl::GetBE16s(b + 20);
        h.Mattes = rtl::GetBE16s(b + 22);
        h.Revision = rtl::GetBE16(b + 26);
        h.Gamma = Text(b + 28, 16);
        h.ChannelKind = Text(b + 580, 32);
        std::transform(h.ChannelKind.begin(), h.ChannelKind.end(), h.ChannelKind.begin(),
                       [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
        h.ChannelBits = rtl::GetBE16s(b + 658);
        return h;
    }

    bool KnownKind() const { return ChannelKind == "rgb" || ChannelKind == "xyz"; }
};

bool ReadHeader(TStream& stream, RlaHeader& header)
{
    std::uint8_t bytes[kHeaderSize];
    if (stream.Read(bytes, kHeaderSize) != kHeaderSize)
        return false;
    header = RlaHeader::Parse(bytes);
    return true;
}

// The gamma text as a number, read the same in every locale; 1 when it is
// none or not positive.
float ParseGamma(const std::string& text)
{
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(*begin)))
        ++begin;
    float value = 0;
    const auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && value > 0 ? value : 1.0f;
}

} // namespace

bool TRLAGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    if (stream.Size() - position <= kHeaderSize)
        return false;
    RlaHeader h;
    const bool complete = ReadHeader(stream, h);
    stream.SetPosition(position);
    return complete && h.Revision == kRevision && h.KnownKind();
}

bool TRLAGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    RlaHeader h;
    if (!ReadHeader(stream, h) || !h.KnownKind())
        return false;
    FProperties.Options = TImageOptions{ioBigEndian};
    FProperties.SamplesPerPixel = static_cast<std::uint8_t>(std::clamp(h.Channels + (h.Mattes == 1 ? 1 : 0), 0, 255));
    FProperties.BitsPerSample = static_cast<std::uint8_t>(std::clamp(h.ChannelBits, 0, 255));
    FProperties.BitsPerPixel = static_cast<std::uint8_t>(FProperties.SamplesPerPixel * FProperties.BitsPerSample);
    if (h.ChannelKind == "rgb")
        FProperties.ColorScheme = h.Mattes <= 0 ? csRGB : csRGBA;
    FProperties.HasAlpha = FProperties.ColorScheme == csRGBA;
    FProperties.Gamma = ParseGamma(h.Gamma);
    FProperties.Compression = ctRLE;
    FProperties.Width = static_cast<std::uint32_t>(std::max(h.ActiveRight - h.ActiveLeft + 1, 0));
    FProperties.Height = static_cast<std::uint32_t>(std::abs(h.ActiveBottom - h.ActiveTop) + 1);
    FProperties.BottomUp = h.ActiveBottom < h.ActiveTop;
    return true;
}

void TRLAGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    if (!ReadImageProperties(stream, 0))
        RaiseError(rrHeader, gesInvalidImage, kFormatName);
    stream.SetPosition(FStartPosition + kHeaderSize);
    const std::uint32_t width = FProperties.Width, height = FProperties.Height;
    FProgressArea = Rect(0, 0, static_cast<int>(width), 1);
    ProgressStart(gesTransfering);
    if (FProperties.ColorScheme == csUnknown)
        RaiseError(rrColorConversion, gesConversionUnsupported, kFormatName);
    // The channel buffers hold one byte a sample.
    if (FProperties.BitsPerSample == 0 || FProperties.BitsPerSample > 8)
        RaiseError(rrColorFormat, gesInvalidColorFormat, kFormatName);
    const int planes = FProperties.ColorScheme == csRGBA ? 4 : 3;

    TColorManager& converter = *FConverter;
    converter.SetSourceSamplesPerPixel(static_cast<std::uint8_t>(planes));
    converter.SetTargetSamplesPerPixel(static_cast<std::uint8_t>(planes));
    converter.SetSourceBitsPerSample(8);
    converter.SetTargetBitsPerSample(8);
    converter.SetSourceColorScheme(FProperties.ColorScheme);
    converter.SetTargetColorScheme(planes == 4 ? csBGRA : csBGR);
    converter.SourceOptions = {};
    converter.TargetOptions = {};
    if (FProperties.Gamma != 1.0f) {
        converter.SetGamma(FProperties.Gamma, 2.2f);
        converter.TargetOptions.Include(coApplyGamma);
        FProperties.Options.Include(ioUseGamma);
    }

    // Before anything is allocated: the row offsets, and at least a length
    // word per channel row, must be in the stream.
    const std::int64_t dataSize = stream.Size() - stream.Position();
    if (width == 0 || dataSize < std::int64_t{height} * (4 + 2 * planes))
        RaiseError(rrDataTooShort, gesStreamReadError, kFormatName);
    std::vector<std::uint8_t> table(std::size_t{height} * 4);
    ReadOrFail(stream, table.data(), static_cast<std::int64_t>(table.size()), kFormatName);
    SetupBitmap(width, height, converter.GetPixelFormat(1), kFormatName);

    std::vector<std::uint8_t> channels[4];
    for (int c = 0; c < planes; ++c)
        channels[c].assign(width, 0);
    std::vector<std::uint8_t> packed;
    TRLADecoder decoder;
    for (std::uint32_t n = 0; n < height; ++n) {
        stream.SetPosition(FStartPosition + rtl::GetBE32(&table[4 * std::size_t{n}]));
        for (int c = 0; c < planes; ++c) {
            std::uint8_t lengthBytes[2];
            ReadOrFail(stream, lengthBytes, 2, kFormatName);
            const int length = rtl::GetBE16(lengthBytes);
            packed.resize(static_cast<std::size_t>(length));
            ReadOrFail(stream, packed.data(), length, kFormatName);
            const std::uint8_t* source = packed.data();
            std::uint8_t* dest = channels[c].data();
            if (decoder.Decode(source, dest, length, static_cast<int>(width)) < static_cast<int>(width))
                RaiseError(rrCompressedData, gesStreamReadError, kFormatName);
        }
        const void* sources[4] = {channels[0].data(), channels[1].data(), channels[2].data(), channels[3].data()};
        const std::uint32_t row = FProperties.BottomUp ? height - 1 - n : n;
        converter.ConvertRow(sources, planes, ScanLine(static_cast<int>(row)), width);
        ProgressRow(n, height);
    }
    ProgressEnd();
}
