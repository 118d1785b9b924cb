#pragma once
// TPPMGraphic reads the portable bitmap, grey map and pixel map formats,
// plain (text) and raw (binary).

#include <cstddef>
#include <cstdint>

#include "imageformats/FormatGraphic.h"

class TPPMGraphic : public TFormatGraphic {
    DECLARE_CLASS_META(TPPMGraphic, TFormatGraphic, TFormatGraphicMetaOf<TPPMGraphic>)

public:
    // "P1" to "P6" starts a stream of more than 10 bytes.
    static bool CanLoad(TStream& stream);

    bool ReadImageProperties(TStream& stream, int imageIndex) override;
    // A damaged or unsupported file raises EImageRefused.
    void LoadFromStream(TStream& stream) override;

private:
    static constexpr int kBufferSize = 4096;

    // The next byte; the stream read error when the stream has ended.
    std::uint8_t GetChar();
    // The next byte without taking it; 0 at the end of the stream.
    std::uint8_t CurrentChar();
    // The next `count` bytes; the stream read error when the stream ends first.
    void GetBytes(std::uint8_t* out, std::size_t count);
    // Skips to the next digit ("#" comments to their line end), reads the
    // number and takes the character after it.
    std::uint32_t GetNumber();
    // The next pixel of a plain bitmap: one "0" or "1", separators optional.
    std::uint8_t GetBit();
    void SkipSeparators();
    bool FillBuffer();

    void ReadHeader(TStream& stream);
    void ReadBitmapRows(std::uint32_t width, std::uint32_t height, bool plain);
    void ReadSampleRows(std::uint32_t width, std::uint32_t height, int channels, bool plain);
    void ReadByteRows(std::uint32_t width, std::uint32_t height, int channels);

    TStream* stream_ = nullptr;
    std::uint8_t buffer_[kBufferSize] = {};
    int bufferSize_ = 0;
    int index_ = 0;
    char kind_ = 0;
    std::uint32_t maxValue_ = 1;
};
