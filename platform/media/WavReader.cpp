#include "platform/media/WavReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/rtl/ByteOrder.h"

namespace media {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatMsAdpcm = 2;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatALaw = 6;
constexpr uint16_t kFormatMuLaw = 7;
constexpr uint16_t kFormatImaAdpcm = 0x11;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 8;
constexpr int kMaxSampleRate = 768000;

[[noreturn]] void Fail(const char* why) { throw EMediaError(std::string("Keine gültige WAV-Datei: ") + why); }

struct Chunk {
    const uint8_t* Data;
    size_t Size;
};

// The format chunk's fields, the extensible record resolved to its tag.
WavInfo ReadFormat(const Chunk& fmt)
{
    if (fmt.Size < 16)
        Fail("Formatblock zu kurz");
    const uint8_t* p = fmt.Data;
    uint16_t tag = rtl::GetLE16(p);
    WavInfo info;
    info.Channels = rtl::GetLE16(p + 2);
    info.SampleRate = static_cast<int>(std::min<uint32_t>(rtl::GetLE32(p + 4), kMaxSampleRate + 1));
    info.BlockAlign = rtl::GetLE16(p + 12);
    info.BitsPerSample = rtl::GetLE16(p + 14);
    const size_t extraSize = fmt.Size >= 18 ? std::min<size_t>(rtl::GetLE16(p + 16), fmt.Size - 18) : 0;
    const uint8_t* extra = p + 18;
    if (tag == kFormatExtensible) {
        if (extraSize < 22)
            Fail("erweitertes Format zu kurz");
        tag = rtl::GetLE16(extra + 6); // the first two bytes of the sub-format GUID
    }
    if (info.Channels < 1 || info.Channels > kMaxChannels)
        Fail("Kanalzahl");
    if (info.SampleRate < 1 || info.SampleRate > kMaxSampleRate)
        Fail("Abtastrate");
    if (info.BlockAlign < 1)
        Fail("Blockgröße");

    const int bytesPerSample = info.BitsPerSample / 8;
    auto requireFrameSize = [&](bool bitsOk) {
        if (!bitsOk || info.BitsPerSample % 8 != 0 || info.BlockAlign != bytesPerSample * info.Channels)
            Fail("Sample-Format");
    };
    switch (tag) {
    case kFormatPcm:
        info.Encoding = WavEncoding::Pcm;
        requireFrameSize(info.BitsPerSample >= 8 && info.BitsPerSample <= 32);
        break;
    case kFormatFloat:
        info.Encoding = WavEncoding::Float;
        requireFrameSize(info.BitsPerSample == 32 || info.BitsPerSample == 64);
        break;
    case kFormatALaw:
    case kFormatMuLaw:
        info.Encoding = tag == kFormatALaw ? WavEncoding::ALaw : WavEncoding::MuLaw;
        requireFrameSize(info.BitsPerSample == 8);
        break;
    case kFormatImaAdpcm: {
        info.Encoding = WavEncoding::ImaAdpcm;
        const int header = 4 * info.Channels;
        if (info.BitsPerSample != 4 || info.BlockAlign <= header || (info.BlockAlign - header) % header != 0)
            Fail("IMA-ADPCM-Block");
        info.SamplesPerBlock = 1 + (info.BlockAlign - header) * 2 / info.Channels;
        break;
    }
    case kFormatMsAdpcm: {
        info.Encoding = WavEncoding::MsAdpcm;
        const int header = 7 * info.Channels;
        if (info.BitsPerSample != 4 || info.BlockAlign <= header || extraSize < 4)
            Fail("MS-ADPCM-Block");
        info.SamplesPerBlock = 2 + (info.BlockAlign - header) * 2 / info.Channels;
        const size_t coefficients = rtl::GetLE16(extra + 2);
        if (coefficients < 1 || coefficients > 256 || 4 + coefficients * 4 > extraSize)
            Fail("MS-ADPCM-Koeffizienten");
        for (size_t i = 0; i < coefficients * 2; ++i)
            info.AdpcmCoefficients.push_back(rtl::GetLE16s(extra + 4 + 2 * i));
        break;
    }
    default: Fail("nicht unterstütztes Format");
    }
    return info;
}

// Frames in the data: whole frames, or whole blocks plus what a trailing
// short block still holds.
int64_t CountFrames(const WavInfo& info)
{
    const size_t blocks = info.DataSize / info.BlockAlign;
    const size_t rest = info.DataSize % info.BlockAlign;
    int64_t frames = static_cast<int64_t>(blocks) * info.SamplesPerBlock;
    if (info.Encoding == WavEncoding::ImaAdpcm && rest >= 4u * info.Channels)
        frames += 1 + static_cast<int64_t>((rest - 4 * info.Channels) / (4 * info.Channels)) * 8;
    if (info.Encoding == WavEncoding::MsAdpcm && rest >= 7u * info.Channels)
        frames += 2 + static_cast<int64_t>((rest - 7 * info.Channels) * 2 / info.Channels);
    return frames;
}

float ALawToFloat(uint8_t value)
{
    value ^= 0x55;
    const int exponent = (value >> 4) & 7;
    int magnitude = (value & 0x0F) << 4;
    magnitude += exponent == 0 ? 8 : 0x108;
    if (exponent > 1)
        magnitude <<= exponent - 1;
    return static_cast<float>((value & 0x80) ? magnitude : -magnitude) / 32768.0f;
}

float MuLawToFloat(uint8_t value)
{
    value = static_cast<uint8_t>(~value);
    const int exponent = (value >> 4) & 7;
    const int magnitude = (((value & 0x0F) << 3) + 0x84) << exponent;
    const int sample = magnitude - 0x84;
    return static_cast<float>((value & 0x80) ? -sample : sample) / 32768.0f;
}

float Clean(double value)
{
    if (!std::isfinite(value))
        return 0.0f;
    return static_cast<float>(std::clamp(value, -1.0, 1.0));
}

float DecodeSample(const WavInfo& info, const uint8_t* p)
{
    switch (info.Encoding) {
    case WavEncoding::ALaw: return ALawToFloat(*p);
    case WavEncoding::MuLaw: return MuLawToFloat(*p);
    case WavEncoding::Float:
        if (info.BitsPerSample == 32) {
            float value;
            std::memcpy(&value, p, sizeof value);
            return Clean(value);
        } else {
            double value;
            std::memcpy(&value, p, sizeof value);
            return Clean(value);
        }
    default: break;
    }
    switch (info.BitsPerSample) {
    case 8: return static_cast<float>(*p - 128) / 128.0f;
    case 16: return static_cast<float>(rtl::GetLE16s(p)) / 32768.0f;
    case 24: {
        auto value = static_cast<int32_t>(rtl::GetLE24(p));
        if (value & 0x800000)
            value -= 0x1000000;
        return static_cast<float>(value) / 8388608.0f;
    }
    default: return static_cast<float>(static_cast<double>(rtl::GetLE32s(p)) / 2147483648.0);
    }
}

const int kImaSteps[89] = {7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
                           25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
                           88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
                           307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
                           1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
                           3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
                           12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kImaIndexChange[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

struct ImaChannel {
    int Predictor;
    int Index;
    int16_t Next(int nibble)
    {
        const int step = kImaSteps[Index];
        int difference = step >> 3;
        if (nibble & 1)
            difference += step >> 2;
        if (nibble & 2)
            difference += step >> 1;
        if (nibble & 4)
            difference += step;
        Predictor += (nibble & 8) ? -difference : difference;
        Predictor = std::clamp(Predictor, -32768, 32767);
        Index = std::clamp(Index + kImaIndexChange[nibble], 0, 88);
        return static_cast<int16_t>(Predictor);
    }
};

// Decodes one IMA block of `size` bytes into interleaved samples; returns
// the frames decoded.
int64_t DecodeIma(const uint8_t* block, size_t size, int channels, std::vector<int16_t>& out)
{
    ImaChannel state[kMaxChannels];
    for (int c = 0; c < channels; ++c) {
        state[c] = {rtl::GetLE16s(block + 4 * c), std::min<int>(block[4 * c + 2], 88)};
        out[c] = static_cast<int16_t>(state[c].Predictor);
    }
    const size_t groups = (size - 4 * channels) / (4 * channels);
    const uint8_t* p = block + 4 * channels;
    for (size_t g = 0; g < groups; ++g) {
        for (int c = 0; c < channels; ++c) {
            for (int i = 0; i < 8; ++i) {
                const uint8_t byte = p[i / 2];
                const int nibble = (i % 2 == 0) ? (byte & 0x0F) : (byte >> 4);
                out[(1 + g * 8 + i) * channels + c] = state[c].Next(nibble);
            }
            p += 4;
        }
    }
    return 1 + static_cast<int64_t>(groups) * 8;
}

const int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

int64_t DecodeMsAdpcm(const uint8_t* block, size_t size, int channels, const std::vector<int16_t>& coefficients,
                      std::vector<int16_t>& out)
{
    const int coefficientPairs = static_cast<int>(coefficients.size() / 2);
    int c1[kMaxChannels], c2[kMaxChannels];
    int64_t delta[kMaxChannels];
    int s1[kMaxChannels], s2[kMaxChannels];
    for (int c = 0; c < channels; ++c) {
        const int predictor = block[c] < coefficientPairs ? block[c] : 0; // a bad index falls back to the first pair
        c1[c] = coefficients[2 * predictor];
        c2[c] = coefficients[2 * predictor + 1];
        delta[c] = rtl::GetLE16s(block + channels + 2 * c);
        s1[c] = rtl::GetLE16s(block + 3 * channels + 2 * c);
        s2[c] = rtl::GetLE16s(block + 5 * channels + 2 * c);
        out[c] = static_cast<int16_t>(s2[c]);
        out[channels + c] = static_cast<int16_t>(s1[c]);
    }
    const size_t nibbles = (size - 7 * channels) * 2;
    const uint8_t* p = block + 7 * channels;
    for (size_t n = 0; n < nibbles / channels * channels; ++n) {
        const int c = static_cast<int>(n % channels);
        const int nibble = (n % 2 == 0) ? (p[n / 2] >> 4) : (p[n / 2] & 0x0F);
        const int64_t predicted = (static_cast<int64_t>(s1[c]) * c1[c] + static_cast<int64_t>(s2[c]) * c2[c]) >> 8;
        const int signedNibble = nibble >= 8 ? nibble - 16 : nibble;
        const int sample = static_cast<int>(std::clamp<int64_t>(predicted + signedNibble * delta[c], -32768, 32767));
        s2[c] = s1[c];
        s1[c] = sample;
        delta[c] = std::clamp<int64_t>(kMsAdaptation[nibble] * delta[c] / 256, 16, 1 << 24);
        out[(2 + n / channels) * channels + c] = static_cast<int16_t>(sample);
    }
    return 2 + static_cast<int64_t>(nibbles / channels);
}

} // namespace

WavInfo ParseWav(const uint8_t* data, size_t size)
{
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        Fail("kein RIFF-WAVE-Kopf");
    // The RIFF length is often wrong in files written while recording; the
    // file's own size is what limits the chunks.
    size_t offset = 12;
    bool haveFormat = false;
    WavInfo info;
    while (offset + 8 <= size) {
        const uint8_t* header = data + offset;
        const size_t chunkSize = rtl::GetLE32(header + 4);
        const size_t available = size - offset - 8;
        if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat)
                Fail("Daten vor dem Formatblock");
            info.DataOffset = offset + 8;
            info.DataSize = std::min(chunkSize, available); // a cut recording keeps what it holds
            info.FrameCount = CountFrames(info);
            return info;
        }
        if (chunkSize > available)
            Fail("Block reicht über das Dateiende");
        if (std::memcmp(header, "fmt ", 4) == 0 && !haveFormat) {
            info = ReadFormat({header + 8, chunkSize});
            haveFormat = true;
        }
        offset += 8 + chunkSize + (chunkSize & 1);
    }
    Fail("kein Datenblock");
}

WavSource::WavSource(std::vector<uint8_t> bytes)
    : bytes_(std::move(bytes)), info_(ParseWav(bytes_.data(), bytes_.size()))
{
    if (info_.Encoding == WavEncoding::ImaAdpcm || info_.Encoding == WavEncoding::MsAdpcm)
        blockSamples_.resize(static_cast<size_t>(info_.SamplesPerBlock) * info_.Channels);
}

AudioFormat WavSource::Format() const { return {info_.SampleRate, info_.Channels}; }

void WavSource::Rewind() { position_ = 0; }

size_t WavSource::Read(float* out, size_t frames)
{
    if (info_.SamplesPerBlock == 1)
        return ReadPlain(out, frames);
    return ReadAdpcm(out, frames);
}

size_t WavSource::ReadPlain(float* out, size_t frames)
{
    const size_t count = static_cast<size_t>(
        std::min<int64_t>(static_cast<int64_t>(frames), info_.FrameCount - position_));
    const int bytesPerSample = info_.BitsPerSample / 8;
    const uint8_t* frame = bytes_.data() + info_.DataOffset + static_cast<size_t>(position_) * info_.BlockAlign;
    for (size_t f = 0; f < count; ++f, frame += info_.BlockAlign)
        for (int c = 0; c < info_.Channels; ++c)
            *out++ = DecodeSample(info_, frame + c * bytesPerSample);
    position_ += static_cast<int64_t>(count);
    return count;
}

void WavSource::DecodeBlock(int64_t block)
{
    const size_t start = static_cast<size_t>(block) * info_.BlockAlign;
    const size_t size = std::min<size_t>(info_.BlockAlign, info_.DataSize - start);
    const uint8_t* data = bytes_.data() + info_.DataOffset + start;
    if (info_.Encoding == WavEncoding::ImaAdpcm)
        blockFrames_ = DecodeIma(data, size, info_.Channels, blockSamples_);
    else
        blockFrames_ = DecodeMsAdpcm(data, size, info_.Channels, info_.AdpcmCoefficients, blockSamples_);
    decodedBlock_ = block;
}

size_t WavSource::ReadAdpcm(float* out, size_t frames)
{
    size_t written = 0;
    while (written < frames && position_ < info_.FrameCount) {
        const int64_t block = position_ / info_.SamplesPerBlock;
        if (block != decodedBlock_)
            DecodeBlock(block);
        const int64_t inBlock = position_ - block * info_.SamplesPerBlock;
        const int64_t take = std::min<int64_t>(blockFrames_ - inBlock, static_cast<int64_t>(frames - written));
        if (take <= 0)
            break;
        const int16_t* samples = blockSamples_.data() + inBlock * info_.Channels;
        for (int64_t i = 0; i < take * info_.Channels; ++i)
            *out++ = static_cast<float>(samples[i]) / 32768.0f;
        written += static_cast<size_t>(take);
        position_ += take;
    }
    return written;
}

} // namespace media
