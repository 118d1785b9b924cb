// The run-length decoders and the Truevision encoder: packet rules, both
// bounds, and what each decoder does with its pointers.
#include <gtest/gtest.h>

#include <vector>

#include "imageformats/GraphicCompression.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Result {
    Bytes Output;
    int Written;
    std::ptrdiff_t Consumed; // how far Source moved
};

Result Decode(TDecoder& decoder, const Bytes& packed, int unpackedSize, std::size_t room = 0)
{
    Bytes out(room ? room : static_cast<std::size_t>(unpackedSize) * 4 + 8, 0xEE);
    const std::uint8_t* source = packed.data();
    std::uint8_t* dest = out.data();
    const int written = decoder.Decode(source, dest, static_cast<int>(packed.size()), unpackedSize);
    EXPECT_EQ(dest, out.data()); // no decoder moves Dest
    return {out, written, source - packed.data()};
}

Bytes Head(const Result& r, std::size_t n) { return Bytes(r.Output.begin(), r.Output.begin() + n); }

TEST(TargaRLE, RunAndRawPackets)
{
    TTargaRLEDecoder decoder(24);
    const Result run = Decode(decoder, {0x82, 1, 2, 3}, 3);
    EXPECT_EQ(Head(run, 9), (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(run.Consumed, 4);
    EXPECT_EQ(run.Written, 3);

    TTargaRLEDecoder grey(8);
    const Result raw = Decode(grey, {0x02, 7, 8, 9, 0x81, 4}, 5);
    EXPECT_EQ(Head(raw, 6), (Bytes{7, 8, 9, 4, 4, 0xEE}));
}

TEST(TargaRLE, PacketsStopAtTheOutputAndContinueInTheNextCall)
{
    TTargaRLEDecoder decoder(8);
    const Bytes packed = {0x85, 5, 0x03, 1, 2, 3, 4};
    const std::uint8_t* source = packed.data();
    Bytes row(4, 0xEE);
    std::uint8_t* dest = row.data();
    EXPECT_EQ(decoder.Decode(source, dest, static_cast<int>(packed.size()), 4), 4);
    EXPECT_EQ(row, (Bytes{5, 5, 5, 5}));
    EXPECT_EQ(decoder.Decode(source, dest, static_cast<int>(packed.data() + packed.size() - source), 4), 4);
    EXPECT_EQ(row, (Bytes{5, 5, 1, 2}));
    EXPECT_EQ(decoder.Decode(source, dest, static_cast<int>(packed.data() + packed.size() - source), 4), 2);
    EXPECT_EQ(source, packed.data() + packed.size());
}

TEST(TargaRLE, StopsAtTheEndOfThePackedData)
{
    TTargaRLEDecoder decoder(32);
    // A raw packet of 3 pixels with only 1.5 present; a run header without its pixel.
    const Result raw = Decode(decoder, {0x02, 1, 2, 3, 4, 5, 6}, 3);
    EXPECT_EQ(raw.Written, 1);
    TTargaRLEDecoder other(32);
    const Result run = Decode(other, {0x81, 1, 2}, 2);
    EXPECT_EQ(run.Written, 0);
    EXPECT_EQ(run.Consumed, 0); // the packet is left for a call with more data
    TTargaRLEDecoder bad(12);
    EXPECT_EQ(Decode(bad, {0x81, 1, 2}, 2).Written, 0);
}

TEST(TargaRLE, EncodesRunsAndLiterals)
{
    struct Case {
        int Depth;
        Bytes Pixels;
        Bytes Packed;
    };
    const Case cases[] = {
        {8, {5, 5, 5}, {0x82, 5}},
        {8, {1, 2, 3}, {0x01, 1, 2, 0x00, 3}},
        {8, {1, 2, 2, 2, 3}, {0x00, 1, 0x82, 2, 0x00, 3}},
        {16, {1, 2, 1, 2, 3, 4}, {0x81, 1, 2, 0x00, 3, 4}},
        {24, {9, 8, 7}, {0x00, 9, 8, 7}},
    };
    for (const Case& c : cases) {
        TTargaRLEDecoder codec(static_cast<std::uint32_t>(c.Depth));
        const int p = (c.Depth + 1) / 8;
        Bytes out(c.Pixels.size() * 2 + 2);
        std::uint32_t stored = 99;
        codec.Encode(c.Pixels.data(), out.data(), static_cast<std::uint32_t>(c.Pixels.size() / p), stored);
        EXPECT_EQ(Bytes(out.begin(), out.begin() + stored), c.Packed);
    }
    // A long run and a long literal are split at 128 pixels; decoding gives the row back.
    Bytes row(300, 7);
    for (int i = 150; i < 300; ++i)
        row[i] = static_cast<std::uint8_t>(i);
    TTargaRLEDecoder codec(8);
    Bytes packed(row.size() * 2);
    std::uint32_t stored = 0;
    codec.Encode(row.data(), packed.data(), static_cast<std::uint32_t>(row.size()), stored);
    packed.resize(stored);
    const Result back = Decode(codec, packed, 300);
    EXPECT_EQ(Head(back, 300), row);
}

TEST(Packbits, Packets)
{
    TPackbitsRLEDecoder d;
    EXPECT_EQ(Head(Decode(d, {0xFE, 0xAA}, 3), 4), (Bytes{0xAA, 0xAA, 0xAA, 0xEE}));
    EXPECT_EQ(Decode(d, {0x80, 0x01, 7, 8}, 2).Written, 2);                    // -128 is a no-op
    EXPECT_EQ(Head(Decode(d, {0x04, 1, 2}, 5), 3), (Bytes{1, 2, 0xEE}));       // literal cut to the data
    EXPECT_EQ(Head(Decode(d, {0xFC, 9}, 2, 4), 4), (Bytes{9, 9, 0xEE, 0xEE})); // run cut to the output
}

TEST(PCXRLE, Packets)
{
    TPCXRLEDecoder d;
    const Result zero = Decode(d, {0xC0, 0x55, 0xBF}, 1);
    EXPECT_EQ(Head(zero, 2), (Bytes{0xBF, 0xEE}));
    EXPECT_EQ(Head(Decode(d, {0xC3, 4, 0xC2}, 10), 6), (Bytes{4, 4, 4, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(Head(Decode(d, {0xFF, 1}, 3, 5), 5), (Bytes{1, 1, 1, 0xEE, 0xEE}));
}

TEST(SGIRLE, EightAndSixteenBitRows)
{
    TSGIRLEDecoder bytes(8);
    EXPECT_EQ(Decode(bytes, {0x00, 0x83, 1, 2, 3}, 8).Written, 0);
    EXPECT_EQ(Head(Decode(bytes, {0x82, 1, 2, 0x03, 9, 0x00}, 8), 6), (Bytes{1, 2, 9, 9, 9, 0xEE}));
    // No terminator, and packets longer than the row or the data.
    EXPECT_EQ(Decode(bytes, {0x05, 4}, 3, 4).Written, 3);
    EXPECT_EQ(Decode(bytes, {0x85, 4, 5}, 8).Written, 2);

    TSGIRLEDecoder words(16);
    EXPECT_EQ(Head(Decode(words, {0x00, 0x02, 0x12, 0x34, 0x00, 0x81, 0xAB, 0xCD, 0x00, 0x00}, 8), 7),
              (Bytes{0x12, 0x34, 0x12, 0x34, 0xAB, 0xCD, 0xEE}));
}

TEST(CUTRLE, LinesAndSourceAdvance)
{
    TCUTRLEDecoder d;
    const Result line = Decode(d, {0x05, 0x00, 0x83, 0x11, 0x00, 0x42}, 8);
    EXPECT_EQ(Head(line, 4), (Bytes{0x11, 0x11, 0x11, 0xEE}));
    EXPECT_EQ(line.Consumed, 5);
    const Result cut = Decode(d, {0x00, 0x00, 0x03, 1, 2, 3, 0x82, 7, 0x00}, 2, 4);
    EXPECT_EQ(Head(cut, 4), (Bytes{1, 2, 0xEE, 0xEE}));
    EXPECT_EQ(cut.Consumed, 9);
    EXPECT_EQ(Decode(d, {0x00}, 4).Consumed, 1);
}

TEST(PSPRLE, Packets)
{
    TPSPRLEDecoder d;
    const Result zero = Decode(d, {0x80, 0x33, 0x02, 4, 5}, 8);
    EXPECT_EQ(Head(zero, 3), (Bytes{4, 5, 0xEE}));
    EXPECT_EQ(Head(Decode(d, {0x83, 6}, 8), 4), (Bytes{6, 6, 6, 0xEE}));
    EXPECT_EQ(Decode(d, {0x90, 6}, 4, 6).Written, 4);
}

TEST(RLADecoder, Packets)
{
    TRLADecoder d;
    EXPECT_EQ(Head(Decode(d, {0x02, 7, 0xFE, 1, 2}, 8), 6), (Bytes{7, 7, 7, 1, 2, 0xEE}));
    EXPECT_EQ(Decode(d, {0x7F, 1}, 4, 6).Written, 4);
    EXPECT_EQ(Decode(d, {0x80, 1}, 200).Written, 1);
}

TEST(Decoders, OnlyTheTruevisionDecoderEncodes)
{
    TPackbitsRLEDecoder d;
    const Bytes in = {1, 2, 3};
    Bytes out(8);
    std::uint32_t stored = 42;
    d.Encode(in.data(), out.data(), 3, stored);
    EXPECT_EQ(stored, 42u);
}

} // namespace
