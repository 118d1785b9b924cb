#include "imageformats/LZWDecoders.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned kTableSize = 4096;
constexpr unsigned kNoCode = kTableSize;

// Copies `count` bytes of earlier output to `out` in 16-byte blocks (fixed
// sizes need no library call); up to 15 bytes behind them change as well.
// Each block is read before it is written, and the bytes wanted lie before
// `out`, so they arrive whole even when the blocks reach into the copy.
void CopyInBlocks(std::uint8_t* out, const std::uint8_t* from, std::size_t count)
{
    for (std::size_t done = 0; done < count; done += 16) {
        std::uint8_t block[16];
        std::memcpy(block, from + done, 16);
        std::memcpy(out + done, block, 16);
    }
}

// The string table and the code-stream state shared by both variants; the
// variants differ in bit order and in when the code width grows.
//
// Every string of the table is a piece of the output already written (the
// previous string plus the first byte of the one after it), so an entry is
// kept as the place and length of that piece, and a code is expanded with
// one block copy from the output instead of a walk along its prefixes.
class LZWTable {
public:
    explicit LZWTable(unsigned clearCode) : clearCode_(clearCode) { Reset(); }

    void Reset()
    {
        freeCode_ = clearCode_ + 2;
        oldCode_ = kNoCode;
    }

    unsigned FreeCode() const { return freeCode_; }

    // Decodes one data code to `output` + `position` (at most `room` bytes are
    // written) and enters the new string. Returns the bytes written; codes
    // that name no string yet are skipped (0).
    int Expand(unsigned code, std::uint8_t* output, std::size_t position, int room)
    {
        if (code > freeCode_ || code == clearCode_ + 1 || room <= 0)
            return 0;
        std::uint8_t* out = output + position;
        if (oldCode_ == kNoCode) {
            if (code >= clearCode_)
                return 0; // the first code after a clear must be a root
            *out = static_cast<std::uint8_t>(code);
            Remember(code, position, 1);
            return 1;
        }
        std::size_t length;
        if (code < clearCode_) {
            length = 1;
            *out = static_cast<std::uint8_t>(code);
        } else if (code < freeCode_) {
            length = length_[code];
            if (length + 16 <= static_cast<std::size_t>(room)) {
                CopyInBlocks(out, output + offset_[code], length);
            } else {
                const std::size_t count = std::min<std::size_t>(length, static_cast<std::size_t>(room));
                std::memcpy(out, output + offset_[code], count);
                if (count < length)
                    return static_cast<int>(count);
            }
        } else {
            // The string being defined: the previous one and its own first byte.
            length = oldLength_ + 1;
            const std::size_t count = std::min<std::size_t>(oldLength_, static_cast<std::size_t>(room));
            if (oldLength_ + 16 <= static_cast<std::size_t>(room))
                CopyInBlocks(out, output + oldOffset_, oldLength_);
            else
                std::memcpy(out, output + oldOffset_, count);
            if (count < oldLength_ || length > static_cast<std::size_t>(room))
                return static_cast<int>(count);
            out[oldLength_] = output[oldOffset_];
        }
        if (freeCode_ < kTableSize) {
            offset_[freeCode_] = static_cast<std::uint32_t>(oldOffset_);
            length_[freeCode_] = static_cast<std::uint16_t>(oldLength_ + 1);
            ++freeCode_;
        }
        Remember(code, position, length);
        return static_cast<int>(length);
    }

private:
    void Remember(unsigned code, std::size_t position, std::size_t length)
    {
        oldCode_ = code;
        oldOffset_ = position;
        oldLength_ = length;
    }

    unsigned clearCode_;
    unsigned freeCode_ = 0;
    unsigned oldCode_ = kNoCode;
    std::size_t oldOffset_ = 0, oldLength_ = 0; // where the previous string was written
    std::uint32_t offset_[kTableSize];
    std::uint16_t length_[kTableSize];
};

// Codes packed most significant bit first (TIFF).
struct MsbFirst {
    static void Add(std::uint32_t& bits, int, std::uint8_t byte) { bits = (bits << 8) | byte; }
    static unsigned Take(std::uint32_t& bits, int count, int size)
    {
        return (bits >> (count - size)) & ((1u << size) - 1);
    }
};

// Codes packed least significant bit first (GIF).
struct LsbFirst {
    static void Add(std::uint32_t& bits, int count, std::uint8_t byte) { bits |= std::uint32_t{byte} << count; }
    static unsigned Take(std::uint32_t& bits, int, int size)
    {
        const unsigned code = bits & ((1u << size) - 1);
        bits >>= size;
        return code;
    }
};

// The code loop of both variants. `earlyChange` widens the codes one entry
// before the width is used up, as TIFF writers do. The loop is the hot spot
// of LZW pictures: aligned, its speed no longer moves with the size of the
// code linked before it (by up to 5 %). Clang has no such attribute.
#if defined(__clang__)
#define VISTELO_ALIGNED_LOOPS
#else
#define VISTELO_ALIGNED_LOOPS [[gnu::optimize("align-loops=32")]]
#endif
template <class BitOrder> VISTELO_ALIGNED_LOOPS int DecodeCodes(const std::uint8_t* in, int packedSize,
                                                                std::uint8_t* dest, int unpackedSize, unsigned rootBits,
                                                                bool earlyChange)
{
    const unsigned clear = 1u << rootBits, end = clear + 1;
    const int firstSize = static_cast<int>(rootBits) + 1;
    LZWTable table(clear);
    const std::uint8_t* const inEnd = in + std::max(packedSize, 0);
    std::uint8_t* out = dest;
    int room = std::max(unpackedSize, 0);
    std::uint32_t bits = 0;
    int bitCount = 0;
    int codeSize = firstSize;
    while (room > 0) {
        while (bitCount < codeSize && in < inEnd) {
            BitOrder::Add(bits, bitCount, *in++);
            bitCount += 8;
        }
        if (bitCount < codeSize)
            break;
        const unsigned code = BitOrder::Take(bits, bitCount, codeSize);
        bitCount -= codeSize;
        if (code == end)
            break;
        if (code == clear) {
            table.Reset();
            codeSize = firstSize;
            continue;
        }
        const int written = table.Expand(code, dest, static_cast<std::size_t>(out - dest), room);
        out += written;
        room -= written;
        // Once the table is full it stays so (no entries, no wider codes) until
        // the encoder sends a clear.
        const unsigned limit = (1u << codeSize) - (earlyChange ? 1 : 0);
        if (table.FreeCode() == limit && codeSize < 12)
            ++codeSize;
    }
    return static_cast<int>(out - dest);
}

} // namespace

int TTIFFLZWDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    return DecodeCodes<MsbFirst>(Source, PackedSize, Dest, UnpackedSize, 8, true);
}

int TGIFLZWDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    return DecodeCodes<LsbFirst>(Source, PackedSize, Dest, UnpackedSize, std::clamp<unsigned>(initialCodeSize_, 1, 11),
                                 false);
}
