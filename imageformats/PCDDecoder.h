#pragma once
// TPCDDecoder applies the Huffman-coded corrections that the higher Photo-CD
// resolutions store on top of an upsampled lower resolution. The corrections
// are read from a stream in 2048-byte sectors; the planes are changed in
// place, each pixel moved by a signed correction and clamped to a byte.

#include <cstdint>
#include <vector>

#include "imageformats/GraphicCompression.h"

class TStream;

class TPCDDecoder : public TDecoder {
public:
    // The stream stands at the correction data; it is not owned.
    explicit TPCDDecoder(TStream& stream) : stream_(stream) { }

    // Source points at an array of three plane pointers (luma, first and
    // second chroma). PackedSize is the row length in pixels of the resolution
    // being corrected, UnpackedSize its number of rows. The luma plane holds
    // PackedSize x UnpackedSize bytes, each chroma plane PackedSize x
    // ceil(UnpackedSize / 2): corrections beyond a plane are dropped. Dest is
    // not used. Ends quietly at the end row, at a code longer than 16 bits or
    // at plane code 1; data running out raises the stream read error.
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;

private:
    struct Code {
        std::uint32_t Bits = 0; // the code at the top of a 32-bit word
        std::uint32_t Mask = 0; // covers the code's length
        int Length = 0;
        std::int8_t Correction = 0;
    };
    using Table = std::vector<Code>;

    void Consume(int bits);
    std::uint8_t NextByte();
    bool ReadTable(Table& table);
    void Synchronise();
    bool AtSync() const { return (register_ >> 8) == 0xFFFFFE; }

    TStream& stream_;
    std::uint8_t sector_[2048] = {};
    int sectorUsed_ = 0, sectorFill_ = 0;
    std::uint32_t register_ = 0; // the next bits, from the top
    int validBits_ = 32;
};
