// Feeds arbitrary packed bytes to every run-length decoder with an output
// area of exactly the size asked for: a decoder must stay inside both the
// packed bytes and the output, whatever the packets say. The outcome gives
// the units each round wrote.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzOutcome.h"
#include "imageformats/GraphicCompression.h"

namespace {

std::unique_ptr<TDecoder> DecoderFor(std::uint8_t selector)
{
    switch (selector % 10) {
    case 0: return std::make_unique<TTargaRLEDecoder>(8);
    case 1: return std::make_unique<TTargaRLEDecoder>(16);
    case 2: return std::make_unique<TTargaRLEDecoder>(24);
    case 3: return std::make_unique<TTargaRLEDecoder>(32);
    case 4: return std::make_unique<TPackbitsRLEDecoder>();
    case 5: return std::make_unique<TPCXRLEDecoder>();
    case 6: return std::make_unique<TSGIRLEDecoder>(selector & 0x80 ? 16 : 8);
    case 7: return std::make_unique<TCUTRLEDecoder>();
    case 8: return std::make_unique<TPSPRLEDecoder>();
    default: return std::make_unique<TRLADecoder>();
    }
}

int PixelBytes(std::uint8_t selector)
{
    switch (selector % 10) {
    case 1: return 2;
    case 2: return 3;
    case 3: return 4;
    default: return 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t selector = data[0];
    const int units = data[1] * 4;
    // Exact-size copies, so that any overrun is caught.
    std::vector<std::uint8_t> packed(data + 2, data + size);
    std::vector<std::uint8_t> output(static_cast<std::size_t>(units) * PixelBytes(selector));
    auto decoder = DecoderFor(selector);
    decoder->DecodeInit();
    const std::uint8_t* source = packed.data();
    std::uint8_t* dest = output.data();
    // Twice, as a reader decoding row after row from one buffer does.
    std::string outcome = "wrote";
    for (int round = 0; round < 2; ++round) {
        const int left = static_cast<int>(packed.data() + packed.size() - source);
        const int written = decoder->Decode(source, dest, left, units);
        if (written < 0 || written > units * PixelBytes(selector) || source < packed.data() ||
            source > packed.data() + packed.size())
            __builtin_trap();
        outcome += " " + std::to_string(written);
    }
    ReportFuzzOutcome(outcome);
    decoder->DecodeEnd();
    return 0;
}
