#pragma once

// The JPEG settings word: the two settings of every JPEG the editor writes,
// packed into 16 bits as the settings store them. The high byte is the
// quality (1..100), the low byte the progressive switch (0 baseline, non-zero
// progressive).

#include <cstddef>
#include <cstdint>

class TJPEGImage;

using TJPEGCompressionWord = std::uint16_t;

namespace JPEGCompressionWord {

// Quality 70, baseline.
constexpr TJPEGCompressionWord DefaultJPEGCompressionWord = 0x4600;

constexpr TJPEGCompressionWord MakeJPEGCompressionWord(int Quality, bool Progressive)
{
    return static_cast<TJPEGCompressionWord>(((Quality & 0xFF) << 8) | (Progressive ? 1 : 0));
}
constexpr int QualityOf(TJPEGCompressionWord Word) { return Word >> 8; }
constexpr bool ProgressiveOf(TJPEGCompressionWord Word) { return (Word & 0xFF) != 0; }

// The JPEG's next compression takes the word's quality and progressive switch.
void SetJPEGCompressionWord(TJPEGImage& JPEG, TJPEGCompressionWord Word);
// The JPEG's quality and progressive switch as a word (low byte 0 or 1).
TJPEGCompressionWord GetJPEGCompressionWord(const TJPEGImage& JPEG);

// Whether the JPEG stream in Data was compressed with Word by this system's
// encoder: its quantisation tables are the standard tables scaled to the
// word's quality and its frame is progressive exactly when the word says so.
// Data may be anything; what is not such a stream gives false.
bool IsCompressedWith(const std::uint8_t* Data, std::size_t Size, TJPEGCompressionWord Word);

} // namespace JPEGCompressionWord
