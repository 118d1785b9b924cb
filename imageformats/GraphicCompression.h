#pragma once
// Decoders for the compression schemes the picture readers meet. A reader
// creates the decoder its header names, feeds it packed bytes and receives
// unpacked bytes. Every decoder is bounded on both sides: it never reads more
// than PackedSize bytes nor writes more than UnpackedSize units, and stops
// quietly at whichever end comes first.

#include <cstdint>
#include <string>
#include <utility>

#include "imageformats/Refusal.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

// A compressed stream that cannot be decoded. A refused picture, so that the
// callers of a picture load see it as a damaged file.
class EGraphicCompression : public EImageRefused {
public:
    explicit EGraphicCompression(std::string message, TRefusalReason reason = rrCompressedData)
        : EImageRefused(reason, std::move(message))
    { }
};

namespace GraphicCompression {
[[noreturn]] void RaiseCompressionError(const char* message, TRefusalReason reason = rrCompressedData);
}

class TDecoder : public TObject {
public:
    // Source and Dest point at the packed and the output bytes; a decoder
    // moves them on where it says so. UnpackedSize counts bytes (pixels for the
    // Truevision decoder). Returns the units written.
    virtual int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) = 0;
    virtual void DecodeEnd() { }
    virtual void DecodeInit() { }
    // Only the Truevision decoder encodes; the others leave BytesStored alone.
    virtual void Encode(const std::uint8_t* Source, std::uint8_t* Dest, std::uint32_t Count, std::uint32_t& BytesStored)
    {
        (void)Source, (void)Dest, (void)Count, (void)BytesStored;
    }
    virtual void EncodeInit() { }
    virtual void EncodeEnd() { }
};

// Truevision run-length packets of 1..128 pixels. A packet may run on past
// the pixels asked for: the rest is kept and continues the next call, so
// packets that cross row ends decode right. Source is moved past the bytes
// consumed.
class TTargaRLEDecoder : public TDecoder {
public:
    explicit TTargaRLEDecoder(std::uint32_t ColorDepth);
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
    void DecodeInit() override { pendingPixels_ = 0; }
    // Worst case: one header byte per pixel plus the pixels.
    void Encode(const std::uint8_t* Source, std::uint8_t* Dest, std::uint32_t Count,
                std::uint32_t& BytesStored) override;

private:
    std::uint32_t colorDepth_;
    int pixelSize_;
    int pendingPixels_ = 0;   // pixels of the current packet not yet written
    bool pendingRun_ = false; // the current packet repeats runPixel_
    std::uint8_t runPixel_[4] = {};
};

// Bytes of the output room after the written ones may change.
class TPackbitsRLEDecoder : public TDecoder {
public:
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
};

class TPCXRLEDecoder : public TDecoder {
public:
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
};

// One SGI row of 8 or 16-bit samples (16-bit samples stay in file byte order).
class TSGIRLEDecoder : public TDecoder {
public:
    explicit TSGIRLEDecoder(std::uint8_t SampleSize) : sampleSize_(SampleSize) { }
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;

private:
    std::uint8_t sampleSize_;
};

// One CUT line; Source ends behind the line's terminating zero.
class TCUTRLEDecoder : public TDecoder {
public:
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
};

class TPSPRLEDecoder : public TDecoder {
public:
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
};

class TRLADecoder : public TDecoder {
public:
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
};
