#include "imageformats/LZ77Decoder.h"

#include <zlib.h>

#include "imageformats/GraphicStrings.h"

struct TLZ77Decoder::Stream {
    z_stream Z{};
};

TLZ77Decoder::TLZ77Decoder(int FlushMode, bool AutoReset)
    : stream_(std::make_unique<Stream>()), flushMode_(FlushMode), autoReset_(AutoReset)
{ }

TLZ77Decoder::~TLZ77Decoder()
{
    if (initialized_)
        inflateEnd(&stream_->Z);
}

void TLZ77Decoder::DecodeInit()
{
    if (initialized_)
        inflateEnd(&stream_->Z);
    stream_->Z = z_stream{};
    initialized_ = inflateInit(&stream_->Z) == Z_OK;
    if (!initialized_)
        GraphicCompression::RaiseCompressionError(GraphicStrings::gesLZ77Error);
    lastResult_ = Z_OK;
}

int TLZ77Decoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    if (!initialized_)
        DecodeInit();
    z_stream& z = stream_->Z;
    z.next_in = const_cast<Bytef*>(Source);
    z.avail_in = static_cast<uInt>(PackedSize > 0 ? PackedSize : 0);
    if (autoReset_)
        lastResult_ = inflateReset(&z);
    z.next_out = Dest;
    z.avail_out = static_cast<uInt>(UnpackedSize > 0 ? UnpackedSize : 0);
    if (lastResult_ != Z_OK)
        return 0;
    lastResult_ = inflate(&z, flushMode_);
    // No progress for want of input or room is not damage: the caller brings
    // more of either.
    if (lastResult_ == Z_BUF_ERROR)
        lastResult_ = Z_OK;
    const int written = static_cast<int>(z.next_out - Dest);
    Source = z.next_in;
    Dest = z.next_out;
    return written;
}

void TLZ77Decoder::DecodeEnd()
{
    if (!initialized_)
        return;
    initialized_ = false;
    if (inflateEnd(&stream_->Z) < 0)
        GraphicCompression::RaiseCompressionError(GraphicStrings::gesLZ77Error);
}

std::uint32_t TLZ77Decoder::GetAvailableInput() const { return stream_->Z.avail_in; }
std::uint32_t TLZ77Decoder::GetAvailableOutput() const { return stream_->Z.avail_out; }
