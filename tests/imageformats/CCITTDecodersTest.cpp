// The fax decoders on hand-made code sequences: modified Huffman rows (byte
// and word aligned, bit order reversed), group 3 rows with end-of-line codes
// and fill bits, damaged rows and the output bound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imageformats/CCITTDecoders.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Bit texts ("1000 0011", spaces ignored) to bytes, the last one padded with
// zeros; "|" pads to the next byte.
Bytes BitsOf(const std::string& text)
{
    Bytes out;
    int used = 8;
    for (char c : text) {
        if (c == '|') {
            used = 8;
            continue;
        }
        if (c != '0' && c != '1')
            continue;
        if (used == 8) {
            out.push_back(0);
            used = 0;
        }
        if (c == '1')
            out.back() |= static_cast<std::uint8_t>(0x80 >> used);
        ++used;
    }
    return out;
}

template <class Decoder> Bytes Decode(Decoder&& decoder, const Bytes& packed, int outputSize, int* written = nullptr)
{
    Bytes out(static_cast<std::size_t>(outputSize), 0xAA);
    const std::uint8_t* source = packed.data();
    std::uint8_t* dest = out.data();
    const int n = decoder.Decode(source, dest, static_cast<int>(packed.size()), outputSize);
    if (written)
        *written = n;
    return out;
}

Bytes Reversed(Bytes b)
{
    for (std::uint8_t& v : b) {
        std::uint8_t r = 0;
        for (int i = 0; i < 8; ++i)
            r = static_cast<std::uint8_t>(r | ((v >> i) & 1) << (7 - i));
        v = r;
    }
    return b;
}

const char* const kEOL = "000000000001 ";

struct MHCase {
    const char* Name;
    std::uint32_t Width;
    std::string Bits;
    Bytes Expected;
};

TEST(CCITTMHDecoder, RowsOfRunsStartOnAByte)
{
    const std::string whiteMakeUp1728 = "010011011 00110101 ";
    const MHCase cases[] = {
        {"white 3, black 5; white 8", 8, "1000 0011 | 10011", {0x1F, 0x00}},
        {"a white run of 0 starts with black", 8, "00110101 000101 | 0111 11 | ", {0xFF, 0x30}},
        {"make-up and terminating codes add up", 1730, whiteMakeUp1728 + "11",
         [] {
             Bytes row(217, 0);
             row[216] = 0xC0;
             return row;
         }()},
        {"extended make-up code", 1800, "00000001000 10011 | ", Bytes(225, 0)}, // 1792 + 8, white
        {"black make-up", 70, "0111 0000001111 010",
         [] { // white 2, black 64 + 1, rest white
             Bytes row(9, 0);
             row[0] = 0x3F;
             for (int i = 1; i < 8; ++i)
                 row[i] = 0xFF;
             row[8] = 0xE0;
             return row;
         }()},
    };
    for (const MHCase& c : cases) {
        const Bytes packed = BitsOf(c.Bits);
        int written = 0;
        const Bytes out = Decode(TCCITTMHDecoder(0, false, false, c.Width), packed, static_cast<int>(c.Expected.size()),
                                 &written);
        EXPECT_EQ(out, c.Expected) << c.Name;
        EXPECT_EQ(written, static_cast<int>(c.Expected.size())) << c.Name;
    }
}

TEST(CCITTMHDecoder, WordAlignedRowsStartOnEvenBytesOfTheData)
{
    // Row 1 takes one byte, so row 2 starts two bytes in; the output rows stay
    // one byte apart.
    const Bytes wordAligned = {0x83, 0x00, 0x98, 0x00};
    EXPECT_EQ(Decode(TCCITTMHDecoder(0, false, true, 8), wordAligned, 2), (Bytes{0x1F, 0x00}));
    const Bytes byteAligned = {0x83, 0x98};
    EXPECT_EQ(Decode(TCCITTMHDecoder(0, false, false, 8), byteAligned, 2), (Bytes{0x1F, 0x00}));
    // Data whose bytes hold their first bit lowest; the caller's bytes stay.
    const Bytes swapped = Reversed(byteAligned);
    EXPECT_EQ(Decode(TCCITTMHDecoder(0, true, false, 8), swapped, 2), (Bytes{0x1F, 0x00}));
    EXPECT_EQ(swapped, Reversed(byteAligned));
}

TEST(CCITTMHDecoder, OutputAndRunsAreBounded)
{
    // A black run of 64 + 5 in a row of 8 is cut at the row's end; three rows
    // of data into room for two.
    const Bytes packed = BitsOf("0111 0000001111 0011 | 1000 0011 | 1000 0011");
    int written = 0;
    const Bytes out = Decode(TCCITTMHDecoder(0, false, false, 8), packed, 2, &written);
    EXPECT_EQ(out, (Bytes{0x3F, 0x1F}));
    EXPECT_EQ(written, 2);
    // Nothing to decode.
    EXPECT_EQ(Decode(TCCITTMHDecoder(0, false, false, 8), {}, 1, &written), Bytes{0x00});
    EXPECT_EQ(written, 0);
}

TEST(CCITTFax3Decoder, RowsFollowTheirEndOfLineCodes)
{
    struct Case {
        const char* Name;
        std::string Bits;
        Bytes Expected;
    };
    const std::string row1 = "1000 0011 ", row2 = "10011 ";
    const Case cases[] = {
        {"plain", std::string(kEOL) + row1 + kEOL + row2 + kEOL + kEOL, {0x1F, 0x00}},
        {"fill bits before each code", "0000 " + std::string(kEOL) + row1 + "0000" + kEOL + row2, {0x1F, 0x00}},
        {"a damaged row keeps what it got", std::string(kEOL) + "0111 11 0000000000000 1" + kEOL + row2, {0x30, 0x00}},
        {"a row cut short by an end of line", std::string(kEOL) + "0111 11" + kEOL + row1, {0x30, 0x1F}},
    };
    for (const Case& c : cases) {
        int written = 0;
        const Bytes out = Decode(TCCITTFax3Decoder(0, false, false, 8), BitsOf(c.Bits), 2, &written);
        EXPECT_EQ(out, c.Expected) << c.Name;
        EXPECT_EQ(written, 2) << c.Name;
    }
    // The same data in reversed bit order.
    const Bytes reversed = Reversed(BitsOf(std::string(kEOL) + row1 + kEOL + row2));
    EXPECT_EQ(Decode(TCCITTFax3Decoder(0, true, false, 8), reversed, 2), (Bytes{0x1F, 0x00}));
}

} // namespace
