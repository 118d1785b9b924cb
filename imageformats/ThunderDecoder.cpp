#include "imageformats/ThunderDecoder.h"

#include <algorithm>

namespace {

constexpr int kTwoBitDeltas[4] = {0, 1, 0, -1};                 // 2 means "no pixel"
constexpr int kThreeBitDeltas[8] = {0, 1, 2, 3, 0, -3, -2, -1}; // 4 means "no pixel"
constexpr int kNoPixel2 = 2, kNoPixel3 = 4;

// Writes the pixels of one row, two to a byte.
class RowWriter {
public:
    RowWriter(std::uint8_t* row, std::uint32_t width) : row_(row), width_(width) { }
    bool Full() const { return count_ >= width_; }
    int Last() const { return last_; }
    void Emit(int value)
    {
        if (Full())
            return;
        last_ = value & 0x0F;
        std::uint8_t& byte = row_[count_ / 2];
        byte = count_ % 2 == 0 ? static_cast<std::uint8_t>(last_ << 4) : static_cast<std::uint8_t>(byte | last_);
        ++count_;
    }

private:
    std::uint8_t* row_;
    std::uint32_t width_;
    std::uint32_t count_ = 0;
    int last_ = 0;
};

} // namespace

int TThunderDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    if (width_ == 0)
        return 0;
    const std::int64_t rowBytes = (std::int64_t{width_} + 1) / 2;
    const std::uint8_t* in = Source;
    const std::uint8_t* const inEnd = Source + std::max(PackedSize, 0);
    std::int64_t written = 0;
    while (written + rowBytes <= UnpackedSize && in < inEnd) {
        // A row the data ends in keeps 0 for its missing pixels.
        std::fill_n(Dest + written, rowBytes, 0);
        RowWriter row(Dest + written, width_);
        while (!row.Full() && in < inEnd) {
            const std::uint8_t code = *in++;
            switch (code >> 6) {
            case 0: // a run of the last pixel
                for (int n = code & 0x3F; n > 0; --n)
                    row.Emit(row.Last());
                break;
            case 1:
                for (int shift : {4, 2, 0}) {
                    const int d = (code >> shift) & 3;
                    if (d != kNoPixel2)
                        row.Emit(row.Last() + kTwoBitDeltas[d]);
                }
                break;
            case 2:
                for (int shift : {3, 0}) {
                    const int d = (code >> shift) & 7;
                    if (d != kNoPixel3)
                        row.Emit(row.Last() + kThreeBitDeltas[d]);
                }
                break;
            default: row.Emit(code); break;
            }
        }
        written += rowBytes;
    }
    return static_cast<int>(written);
}
