#include "editor/controls/JPEGCompressionWord.h"

#include "platform/graphics/Jpeg.h"

#include <algorithm>
#include <array>
#include <optional>

namespace JPEGCompressionWord {

void SetJPEGCompressionWord(TJPEGImage& JPEG, TJPEGCompressionWord Word)
{
    JPEG.CompressionQuality = QualityOf(Word);
    JPEG.ProgressiveEncoding = ProgressiveOf(Word);
}

TJPEGCompressionWord GetJPEGCompressionWord(const TJPEGImage& JPEG)
{
    return MakeJPEGCompressionWord(JPEG.CompressionQuality, JPEG.ProgressiveEncoding);
}

} // namespace JPEGCompressionWord

namespace JPEGCompressionWord {

namespace {

// The standard luminance and chrominance tables of baseline JPEG, in the
// zig-zag order a DQT segment stores them.
constexpr std::array<std::uint8_t, 64> LuminanceZigZag = {
    16, 11,  12, 14, 12, 10, 16,  14,  13,  14, 18, 17,  16,  19,  24,  40,  26, 24,  22,  22, 24, 49,
    35, 37,  29, 40, 58, 51, 61,  60,  57,  51, 56, 55,  64,  72,  92,  78,  64, 68,  87,  69, 55, 56,
    80, 109, 81, 87, 95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};
constexpr std::array<std::uint8_t, 64> ChrominanceZigZag = {
    17, 18, 18, 24, 21, 24, 47, 26, 26, 47, 99, 66, 56, 66, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// A standard table scaled to a quality as the encoder scales it for
// baseline files (every value 1..255).
std::array<std::uint16_t, 64> ScaledTable(const std::array<std::uint8_t, 64>& base, int quality)
{
    quality = std::clamp(quality, 1, 100);
    const long scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    std::array<std::uint16_t, 64> table{};
    for (size_t i = 0; i < 64; ++i)
        table[i] = static_cast<std::uint16_t>(std::clamp((base[i] * scale + 50) / 100, 1L, 255L));
    return table;
}

// What the header of a JPEG stream says about its compression.
struct StreamSettings {
    std::array<std::optional<std::array<std::uint16_t, 64>>, 4> Tables;
    std::optional<bool> Progressive;
};

// Reads the quantisation tables of one DQT segment; false when it is damaged.
bool ReadTables(const std::uint8_t* segment, std::size_t length, StreamSettings& settings)
{
    std::size_t at = 0;
    while (at < length) {
        const int precision = segment[at] >> 4;
        const int slot = segment[at] & 0x0F;
        const std::size_t valueSize = precision == 0 ? 1 : 2;
        ++at;
        if (precision > 1 || slot > 3 || length - at < 64 * valueSize)
            return false;
        std::array<std::uint16_t, 64> table{};
        for (size_t i = 0; i < 64; ++i, at += valueSize)
            table[i] = valueSize == 1 ? segment[at] : static_cast<std::uint16_t>(segment[at] << 8 | segment[at + 1]);
        settings.Tables[static_cast<size_t>(slot)] = table;
    }
    return true;
}

bool IsFrameMarker(std::uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the segments before the first scan; nullopt when the stream is no
// JPEG or its header is damaged.
std::optional<StreamSettings> ReadStreamSettings(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return std::nullopt;
    StreamSettings settings;
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return std::nullopt;
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) // end of image, start of scan
            return settings;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(data[at + 2] << 8 | data[at + 3]);
        if (length < 2 || length > size - at - 2)
            return std::nullopt;
        const std::uint8_t* segment = data + at + 4;
        if (marker == 0xDB && !ReadTables(segment, length - 2, settings))
            return std::nullopt;
        if (IsFrameMarker(marker))
            settings.Progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace

bool IsCompressedWith(const std::uint8_t* Data, std::size_t Size, TJPEGCompressionWord Word)
{
    const std::optional<StreamSettings> settings = ReadStreamSettings(Data, Size);
    if (!settings || !settings->Progressive || *settings->Progressive != ProgressiveOf(Word))
        return false;
    const auto& luminance = settings->Tables[0];
    const auto& chrominance = settings->Tables[1];
    if (!luminance || *luminance != ScaledTable(LuminanceZigZag, QualityOf(Word)))
        return false;
    return !chrominance || *chrominance == ScaledTable(ChrominanceZigZag, QualityOf(Word));
}

} // namespace JPEGCompressionWord
