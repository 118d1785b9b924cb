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

}  // namespace

int TTIFFLZWDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) {
  constexpr unsigned kClear = 256, kEnd = 257;
  LZWTable table(kClear);
  const std::uint8_t* in = Source;
  const std::uint8_t* const inEnd = Source + std::max(PackedSize, 0);
  std::uint8_t* out = Dest;
  int room = std::max(UnpackedSize, 0);
  std::uint32_t bits = 0;
  int bitCount = 0;
  int codeSize = 9;
  while (room > 0) {
    while (bitCount < codeSize && in < inEnd) {
      bits = (bits << 8) | *in++;
      bitCount += 8;
    }
    if (bitCount < codeSize) break;
    const unsigned code = (bits >> (bitCount - codeSize)) & ((1u << codeSize) - 1);
    bitCount -= codeSize;
    if (code == kEnd) break;
    if (code == kClear) {
      table.Reset();
      codeSize = 9;
      continue;
    }
    const int written = table.Expand(code, out, room);
    out += written;
    room -= written;
    // The width grows one code early: with entry 511 next, codes are 10 bits.
    if (table.FreeCode() + 1 == (1u << codeSize) && codeSize < 12) ++codeSize;
  }
  return static_cast<int>(out - Dest);
}

int TGIFLZWDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) {
  const unsigned initialSize = std::clamp<unsigned>(initialCodeSize_, 1, 11);
  const unsigned clear = 1u << initialSize, end = clear + 1;
  LZWTable table(clear);
  const std::uint8_t* in = Source;
  const std::uint8_t* const inEnd = Source + std::max(PackedSize, 0);
  std::uint8_t* out = Dest;
  int room = std::max(UnpackedSize, 0);
  std::uint32_t bits = 0;
  int bitCount = 0;
  int codeSize = static_cast<int>(initialSize) + 1;
  while (room > 0) {
    while (bitCount < codeSize && in < inEnd) {
      bits |= std::uint32_t{*in++} << bitCount;
      bitCount += 8;
    }
    if (bitCount < codeSize) break;
    const unsigned code = bits & ((1u << codeSize) - 1);
    bits >>= codeSize;
    bitCount -= codeSize;
    if (code == end) break;
    if (code == clear) {
      table.Reset();
      codeSize = static_cast<int>(initialSize) + 1;
      continue;
    }
    const int written = table.Expand(code, out, room);
    out += written;
    room -= written;
    // Once the table is full it stays so (no entries, no wider codes) until
    // the encoder sends a clear.
    if (table.FreeCode() == (1u << codeSize) && codeSize < 12) ++codeSize;
  }
  return static_cast<int>(out - Dest);
}
