#pragma once
// Decoders for one-dimensional fax data in TIFF files: group 3 with
// end-of-line codes (TCCITTFax3Decoder) and modified Huffman rows without
// them, byte or word aligned (TCCITTMHDecoder). Runs are found by walking
// code trees of the T.4 white and black codes one bit at a time. The output
// is one bit a pixel, most significant bit first, 1 for black; every row
// starts on a byte. Two-dimensional coding is not decoded.

#include <cstdint>

#include "imageformats/GraphicCompression.h"

class TCCITTDecoder : public TDecoder {
public:
    // Options: the T.4/T.6 options word of the file (kept for the reader).
    // SwapBits: the data's bytes hold their first bit in the least
    // significant place. WordAligned: compressed rows start on 16-bit words.
    TCCITTDecoder(std::int32_t Options, bool SwapBits, bool WordAligned, std::uint32_t Width);

    std::int32_t Options() const { return options_; }

protected:
    // Code values besides run lengths.
    static constexpr int kEndOfLine = -1;
    static constexpr int kInvalidCode = -2;
    static constexpr int kEndOfData = -3;

    // Reading: source bytes, bit by bit.
    void StartReading(const std::uint8_t* source, int size);
    bool AtEnd() const { return byte_ >= size_; }
    int NextBit();
    // Drops the rest of a partly read byte (and, for word alignment, a byte
    // that would start a row on an odd position).
    void AlignRow();
    // One run length of the current colour (make-up codes summed up to their
    // terminating code), kEndOfLine, kInvalidCode, or kEndOfData.
    int FindCode(bool white);

    // Writing: rows of (Width + 7) / 8 bytes.
    void StartWriting(std::uint8_t* dest, int size);
    bool OutputFull() const { return rowStart_ + rowBytes_ > outSize_; }
    // Writes a run of the colour, cut at the row's end; true when the row is
    // complete.
    bool FillRun(int length, bool white);
    void EndRow();
    int RowsWritten() const { return rowStart_ / rowBytes_; }
    bool RowStarted() const { return column_ > 0; }

    std::uint32_t width_;
    int rowBytes_;

private:
    std::int32_t options_;
    bool swapBits_;
    bool wordAligned_;
    const std::uint8_t* source_ = nullptr;
    int size_ = 0, byte_ = 0, bit_ = 0; // bit_: bits of source_[byte_] already read
    std::uint8_t* dest_ = nullptr;
    int outSize_ = 0, rowStart_ = 0;
    std::uint32_t column_ = 0;
};

// Group 3, one-dimensional: every row is preceded by an end-of-line code
// (possibly after fill bits). Returns the bytes of the rows decoded.
class TCCITTFax3Decoder : public TCCITTDecoder {
public:
    using TCCITTDecoder::TCCITTDecoder;
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;

private:
    void SkipToEndOfLine();
};

// Modified Huffman rows without end-of-line codes, each starting on a byte
// (or, word aligned, on an even byte of the strip). Returns the bytes of the
// rows decoded.
class TCCITTMHDecoder : public TCCITTDecoder {
public:
    using TCCITTDecoder::TCCITTDecoder;
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
};
