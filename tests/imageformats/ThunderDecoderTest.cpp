// The ThunderScan decoder on hand-made code bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imageformats/ThunderDecoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Case {
    const char* Name;
    std::uint32_t Width;
    Bytes Codes;
    Bytes Expected;
};

TEST(ThunderDecoder, CodesOfEveryKind)
{
    const Case cases[] = {
        {"raw, then three 2-bit deltas", 4, {0xC5, 0x41}, {0x55, 0x56}},
        {"2-bit delta 2 emits nothing", 2, {0xC7, 0x6B}, {0x76}},               // fields 10, 10, 11: 7 - 1
        {"3-bit deltas, 4 emits nothing", 4, {0xC7, 0xA3, 0xAB}, {0x7A, 0x7A}}, // 4, +3; -3, +3
        {"run after an even count", 5, {0xC7, 0xC7, 0x03}, {0x77, 0x77, 0x70}},
        {"run after an odd count", 4, {0xC2, 0x03}, {0x22, 0x22}},
        {"deltas wrap within a nibble", 2, {0xC0, 0x7F}, {0x0F}},        // 0 - 1
        {"each row starts from 0", 2, {0xC9, 0x01, 0x02}, {0x99, 0x00}}, // row 2: a run of 0
        {"a run is cut at the row's end", 2, {0xCA, 0x3F, 0xC1, 0xC2}, {0xAA, 0x12}},
    };
    for (const Case& c : cases) {
        Bytes out(c.Expected.size(), 0xEE);
        const std::uint8_t* source = c.Codes.data();
        std::uint8_t* dest = out.data();
        TThunderDecoder decoder(c.Width);
        const int written = decoder.Decode(source, dest, static_cast<int>(c.Codes.size()),
                                           static_cast<int>(out.size()));
        EXPECT_EQ(out, c.Expected) << c.Name;
        EXPECT_EQ(written, static_cast<int>(out.size())) << c.Name;
    }
}

} // namespace
