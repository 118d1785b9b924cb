#include "imageformats/LZWDecoders.h"

#include <algorithm>

namespace {

constexpr unsigned kTableSize = 4096;
constexpr unsigned kNoCode = kTableSize;

// The string table and the code-stream state shared by both variants; the
// variants differ in bit order and in when the code width grows.
class LZWTable {
 public:
  explicit LZWTable(unsigned clearCode) : clearCode_(clearCode) {
    for (unsigned i = 0; i < clearCode; ++i) {
      prefix_[i] = kNoCode;
      suffix_[i] = static_cast<std::uint8_t>(i);
    }
    Reset();
  }

  void Reset() {
    freeCode_ = clearCode_ + 2;
    oldCode_ = kNoCode;
  }

  unsigned FreeCode() const { return freeCode_; }
  unsigned ClearCode() const { return clearCode_; }

  // Decodes one data code into out (at most `room` bytes are written) and
  // enters the new string. Returns the bytes written; codes that name no
  // string yet are skipped (0).
  int Expand(unsigned code, std::uint8_t* out, int room) {
    if (code > freeCode_ || code == clearCode_ + 1) return 0;
    if (oldCode_ == kNoCode) {
      if (code >= clearCode_) return 0;  // the first code after a clear must be a root
      oldCode_ = code;
      firstByte_ = suffix_[code];
      if (room <= 0) return 0;
      *out = firstByte_;
      return 1;
    }
    unsigned top = 0;
    const unsigned inCode = code;
    if (code == freeCode_) {
      stack_[top++] = firstByte_;
      code = oldCode_;
    }
    while (code > clearCode_ && top < kTableSize) {
      stack_[top++] = suffix_[code];
      code = prefix_[code];
    }
    firstByte_ = suffix_[code];
    stack_[top++] = firstByte_;
    if (freeCode_ < kTableSize) {
      prefix_[freeCode_] = oldCode_;
      suffix_[freeCode_] = firstByte_;
      ++freeCode_;
    }
    oldCode_ = inCode;
    const int count = std::min(static_cast<int>(top), room);
    for (int i = 0; i < count; ++i) out[i] = stack_[top - 1 - i];
    return count;
  }

 private:
  unsigned clearCode_;
  unsigned freeCode_ = 0;
  unsigned oldCode_ = kNoCode;
  std::uint8_t firstByte_ = 0;
  std::uint32_t prefix_[kTableSize];
  std::uint8_t suffix_[kTableSize];
  std::uint8_t stack_[kTableSize + 1];
};

// Codes packed most significant bit first (TIFF).
struct MsbFirst {
  static void Add(std::uint32_t& bits, int, std::uint8_t byte) { bits = (bits << 8) | byte; }
  static unsigned Take(std::uint32_t& bits, int count, int size) {
    return (bits >> (count - size)) & ((1u << size) - 1);
  }
};

// Codes packed least significant bit first (GIF).
struct LsbFirst {
  static void Add(std::uint32_t& bits, int count, std::uint8_t byte) { bits |= std::uint32_t{byte} << count; }
  static unsigned Take(std::uint32_t& bits, int, int size) {
    const unsigned code = bits & ((1u << size) - 1);
    bits >>= size;
    return code;
  }
};

// The code loop of both variants. `earlyChange` widens the codes one entry
// before the width is used up, as TIFF writers do.
template <class BitOrder>
int DecodeCodes(const std::uint8_t* in, int packedSize, std::uint8_t* dest, int unpackedSize, unsigned rootBits,
                bool earlyChange) {
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
    if (bitCount < codeSize) break;
    const unsigned code = BitOrder::Take(bits, bitCount, codeSize);
    bitCount -= codeSize;
    if (code == end) break;
    if (code == clear) {
      table.Reset();
      codeSize = firstSize;
      continue;
    }
    const int written = table.Expand(code, out, room);
    out += written;
    room -= written;
    // Once the table is full it stays so (no entries, no wider codes) until
    // the encoder sends a clear.
    const unsigned limit = (1u << codeSize) - (earlyChange ? 1 : 0);
    if (table.FreeCode() == limit && codeSize < 12) ++codeSize;
  }
  return static_cast<int>(out - dest);
}

}  // namespace

int TTIFFLZWDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) {
  return DecodeCodes<MsbFirst>(Source, PackedSize, Dest, UnpackedSize, 8, true);
}

int TGIFLZWDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) {
  return DecodeCodes<LsbFirst>(Source, PackedSize, Dest, UnpackedSize,
                               std::clamp<unsigned>(initialCodeSize_, 1, 11), false);
}
