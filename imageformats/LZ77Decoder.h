#pragma once
// TLZ77Decoder inflates deflate data (zlib format) for the TIFF, PNG and
// Paintshop Pro readers. A caller may feed the data in pieces: Decode moves
// Source and Dest on and the availability counts tell what is left.

#include <cstdint>
#include <memory>

#include "imageformats/GraphicCompression.h"

class TLZ77Decoder : public TDecoder {
public:
    // FlushMode is zlib's flush value for each inflate call (1 partial, 4
    // finish). With AutoReset every Decode starts a new stream (one stream per
    // TIFF strip).
    TLZ77Decoder(int FlushMode, bool AutoReset);
    ~TLZ77Decoder() override;

    void DecodeInit() override;
    // Raises nothing: after the end of the stream or an error further calls do
    // nothing (unless AutoReset); see ZLibResult.
    int Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) override;
    void DecodeEnd() override;

    std::uint32_t GetAvailableInput() const;
    std::uint32_t GetAvailableOutput() const;
    // zlib's result of the last inflate: 0 while more data may follow, 1 at the
    // end of the stream, negative on damaged data.
    int ZLibResult() const { return lastResult_; }

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
    int flushMode_;
    bool autoReset_;
    bool initialized_ = false;
    int lastResult_ = 0;
};
