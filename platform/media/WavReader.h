#pragma once

// Our own reader of RIFF WAVE files: integer PCM of 8, 16, 24 and 32 bits,
// IEEE float, A-law, mu-law, IMA ADPCM and Microsoft ADPCM, also in the
// extensible format record. Every chunk is checked against the bytes the
// file holds before it is used.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/media/AudioSource.h"

namespace media {

enum class WavEncoding { Pcm, Float, ALaw, MuLaw, ImaAdpcm, MsAdpcm };

struct WavInfo {
    WavEncoding Encoding = WavEncoding::Pcm;
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    int BlockAlign = 0;                     // bytes per frame, or per compressed block
    int SamplesPerBlock = 1;                // frames per block (1 for uncompressed kinds)
    size_t DataOffset = 0;                  // where the samples start in the file
    size_t DataSize = 0;                    // sample bytes, cut to what the file holds
    std::vector<int16_t> AdpcmCoefficients; // Microsoft ADPCM pairs
    int64_t FrameCount = 0;
};

// Reads the header of the file's bytes; EMediaError when they are no WAVE
// file this reader can play or a chunk runs past the end.
WavInfo ParseWav(const uint8_t* data, size_t size);

// Decodes a WAVE file held in memory.
class WavSource : public AudioSource {
public:
    explicit WavSource(std::vector<uint8_t> bytes);

    AudioFormat Format() const override;
    size_t Read(float* out, size_t frames) override;
    void Rewind() override;
    int64_t LengthFrames() const override { return info_.FrameCount; }
    const WavInfo& Info() const { return info_; }

private:
    size_t ReadPlain(float* out, size_t frames);
    size_t ReadAdpcm(float* out, size_t frames);
    void DecodeBlock(int64_t block);

    std::vector<uint8_t> bytes_;
    WavInfo info_;
    int64_t position_ = 0; // next frame
    std::vector<int16_t> blockSamples_;
    int64_t decodedBlock_ = -1;
    int64_t blockFrames_ = 0; // frames in the decoded block
};

} // namespace media
