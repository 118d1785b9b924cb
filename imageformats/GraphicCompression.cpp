#include "imageformats/GraphicCompression.h"

#include <algorithm>
#include <cstring>

namespace GraphicCompression {
void RaiseCompressionError(const char* message, TRefusalReason reason) { throw EGraphicCompression(message, reason); }
} // namespace GraphicCompression

namespace {

// The packed input with its end; every read is checked against it.
class PackedInput {
public:
    PackedInput(const std::uint8_t* p, int size) : p_(p), end_(p + std::max(size, 0)) { }
    int Left() const { return static_cast<int>(end_ - p_); }
    bool Empty() const { return p_ >= end_; }
    std::uint8_t Byte() { return *p_++; }
    const std::uint8_t* Take(int n)
    {
        const std::uint8_t* at = p_;
        p_ += n;
        return at;
    }
    const std::uint8_t* Position() const { return p_; }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

// Block moves that do nothing for an empty count (the output may then be
// an empty area without memory behind it).
void CopyBytes(std::uint8_t* out, const std::uint8_t* in, int count)
{
    if (count > 0)
        std::memcpy(out, in, static_cast<std::size_t>(count));
}

void FillBytes(std::uint8_t* out, std::uint8_t value, int count)
{
    if (count > 0)
        std::memset(out, value, static_cast<std::size_t>(count));
}

// The unpacked output with its room: runs and literals are cut to it.
class UnpackedOutput {
public:
    UnpackedOutput(std::uint8_t* p, int size) : start_(p), p_(p), left_(std::max(size, 0)) { }
    bool Full() const { return left_ == 0; }
    int Written() const { return static_cast<int>(p_ - start_); }
    void Put(std::uint8_t b)
    {
        if (left_ == 0)
            return;
        *p_++ = b;
        --left_;
    }
    // n literal bytes: the input moves past all of them it holds, the output
    // takes what fits.
    void Literal(PackedInput& in, int n)
    {
        const int available = std::min(n, in.Left());
        const std::uint8_t* bytes = in.Take(available);
        const int count = std::min(available, left_);
        CopyBytes(p_, bytes, count);
        Skip(count);
    }
    // The forms of Literal and Run for packets of at most `Widest` bytes when
    // input and room hold that many: a move of fixed size needs no library
    // call. Room past the packet may change; later packets write over it.
    template <int Widest> bool Wide(const PackedInput& in) const { return in.Left() >= Widest && left_ >= Widest; }
    template <int Widest> void WideLiteral(PackedInput& in, int n)
    {
        std::memcpy(p_, in.Position(), Widest);
        in.Take(n);
        Skip(n);
    }
    template <int Widest> void WideRun(PackedInput& in, int n)
    {
        std::memset(p_, in.Byte(), Widest);
        Skip(n);
    }
    // n copies of the next input byte; false when that byte is missing.
    bool Run(PackedInput& in, int n)
    {
        if (in.Empty())
            return false;
        const std::uint8_t value = in.Byte();
        const int count = std::min(n, left_);
        FillBytes(p_, value, count);
        Skip(count);
        return true;
    }

private:
    void Skip(int count)
    {
        p_ += count;
        left_ -= count;
    }

    std::uint8_t* start_;
    std::uint8_t* p_;
    int left_;
};

int TargaPixelSize(std::uint32_t depth)
{
    switch (depth) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

} // namespace

// ---- Truevision ------------------------------------------------------------

TTargaRLEDecoder::TTargaRLEDecoder(std::uint32_t ColorDepth)
    : colorDepth_(ColorDepth), pixelSize_(TargaPixelSize(ColorDepth))
{ }

int TTargaRLEDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    if (pixelSize_ == 0)
        return 0;
    PackedInput in(Source, PackedSize);
    std::uint8_t* out = Dest;
    const int p = pixelSize_;
    int written = 0;
    while (written < UnpackedSize) {
        if (pendingPixels_ == 0) {
            if (in.Empty())
                break;
            const std::uint8_t header = *in.Position();
            const bool run = header >= 0x80;
            // A run packet is taken whole or not at all, so that the caller can
            // continue from the header with more data.
            if (run && in.Left() < 1 + p)
                break;
            in.Byte();
            pendingPixels_ = (header & 0x7F) + 1;
            pendingRun_ = run;
            if (run)
                std::memcpy(runPixel_, in.Take(p), p);
        }
        int n = std::min(pendingPixels_, UnpackedSize - written);
        if (pendingRun_) {
            if (p == 1) {
                FillBytes(out, runPixel_[0], n);
                out += n;
            } else {
                for (int i = 0; i < n; ++i, out += p)
                    CopyBytes(out, runPixel_, p);
            }
        } else {
            n = std::min(n, in.Left() / p);
            if (n == 0)
                break;
            CopyBytes(out, in.Take(n * p), n * p);
            out += n * p;
        }
        pendingPixels_ -= n;
        written += n;
    }
    Source = in.Position();
    return written;
}

namespace {

bool SamePixel(const std::uint8_t* a, const std::uint8_t* b, int size) { return std::memcmp(a, b, size) == 0; }

// Pixels before the first pair of equal neighbours (the last one is left
// for the next round when there is no such pair).
std::uint32_t CountDiffPixels(const std::uint8_t* pixels, int size, std::uint32_t count)
{
    if (count == 1)
        return 1;
    for (std::uint32_t i = 0; i + 1 < count; ++i)
        if (SamePixel(pixels + i * size, pixels + (i + 1) * size, size))
            return i;
    return count - 1;
}

std::uint32_t CountSamePixels(const std::uint8_t* pixels, int size, std::uint32_t count)
{
    std::uint32_t n = 1;
    while (n < count && SamePixel(pixels, pixels + n * size, size))
        ++n;
    return n;
}

} // namespace

void TTargaRLEDecoder::Encode(const std::uint8_t* Source, std::uint8_t* Dest, std::uint32_t Count,
                              std::uint32_t& BytesStored)
{
    const int p = static_cast<int>((colorDepth_ + 1) / 8);
    BytesStored = 0;
    if (p < 1 || p > 4)
        return;
    while (Count > 0) {
        const std::uint32_t diff = std::min<std::uint32_t>(CountDiffPixels(Source, p, Count), 128);
        const std::uint32_t same = std::min<std::uint32_t>(CountSamePixels(Source, p, Count), 128);
        if (diff > 0) {
            *Dest++ = static_cast<std::uint8_t>(diff - 1);
            std::memcpy(Dest, Source, std::size_t{diff} * p);
            Dest += diff * p;
            Source += diff * p;
            Count -= diff;
            BytesStored += diff * p + 1;
        }
        if (same > 1) {
            *Dest++ = static_cast<std::uint8_t>((same - 1) | 0x80);
            std::memcpy(Dest, Source + (same - 1) * p, p);
            Dest += p;
            Source += same * p;
            Count -= same;
            BytesStored += p + 1;
        }
    }
}

// ---- Packbits --------------------------------------------------------------

int TPackbitsRLEDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    PackedInput in(Source, PackedSize);
    UnpackedOutput out(Dest, UnpackedSize);
    constexpr int kLongestPacket = 128;
    while (!out.Full() && !in.Empty()) {
        const auto n = static_cast<std::int8_t>(in.Byte());
        if (n == -128)
            continue;
        const bool wide = out.Wide<kLongestPacket>(in);
        if (n >= 0) {
            if (wide)
                out.WideLiteral<kLongestPacket>(in, n + 1);
            else
                out.Literal(in, n + 1);
        } else if (wide) {
            out.WideRun<kLongestPacket>(in, 1 - n);
        } else if (!out.Run(in, 1 - n)) {
            break;
        }
    }
    return out.Written();
}

// ---- PCX -------------------------------------------------------------------

int TPCXRLEDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    PackedInput in(Source, PackedSize);
    UnpackedOutput out(Dest, UnpackedSize);
    while (!out.Full() && !in.Empty()) {
        const std::uint8_t b = in.Byte();
        if ((b & 0xC0) != 0xC0)
            out.Put(b);
        else if (!out.Run(in, b & 0x3F))
            break;
    }
    return out.Written();
}

// ---- SGI -------------------------------------------------------------------

int TSGIRLEDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    PackedInput in(Source, PackedSize);
    std::uint8_t* out = Dest;
    const int sample = sampleSize_ == 8 ? 1 : 2;
    int left = UnpackedSize / sample; // samples
    while (left > 0 && in.Left() >= sample) {
        const unsigned control = sample == 1 ? in.Byte() : (unsigned{in.Byte()} << 8 | in.Byte());
        int count = static_cast<int>(control & 0x7F);
        if (count == 0)
            break;
        count = std::min(count, left);
        if (control & 0x80) {
            count = std::min(count, in.Left() / sample);
            CopyBytes(out, in.Take(count * sample), count * sample);
            out += count * sample;
        } else {
            if (in.Left() < sample)
                break;
            const std::uint8_t* value = in.Take(sample);
            for (int i = 0; i < count; ++i, out += sample)
                CopyBytes(out, value, sample);
        }
        left -= count;
    }
    return static_cast<int>(out - Dest);
}

// ---- CUT -------------------------------------------------------------------

int TCUTRLEDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    PackedInput in(Source, PackedSize);
    UnpackedOutput out(Dest, UnpackedSize);
    in.Take(std::min(2, in.Left())); // the stored line length
    while (!in.Empty()) {
        const std::uint8_t control = in.Byte();
        if (control == 0)
            break;
        if (!(control & 0x80))
            out.Literal(in, control & 0x7F);
        else if (!out.Run(in, control & 0x7F))
            break;
    }
    Source = in.Position();
    return out.Written();
}

// ---- Paintshop Pro ---------------------------------------------------------

int TPSPRLEDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    PackedInput in(Source, PackedSize);
    UnpackedOutput out(Dest, UnpackedSize);
    while (!out.Full() && !in.Empty()) {
        const std::uint8_t control = in.Byte();
        if (control < 128)
            out.Literal(in, control);
        else if (!out.Run(in, control - 128))
            break;
    }
    return out.Written();
}

// ---- RLA -------------------------------------------------------------------

int TRLADecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    PackedInput in(Source, PackedSize);
    UnpackedOutput out(Dest, UnpackedSize);
    while (!out.Full() && !in.Empty()) {
        const auto n = static_cast<std::int8_t>(in.Byte());
        if (n < 0)
            out.Literal(in, -n);
        else if (!out.Run(in, n + 1))
            break;
    }
    return out.Written();
}
