// The fax decoders on hand-made code sequences: modified Huffman rows (byte
// and word aligned, bit order reversed), group 3 rows with end-of-line codes
// and fill bits, group 4 rows in every mode, damaged rows and the output
// bound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imageformats/CCITTDecoders.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Bit texts ("1000 0011", spaces ignored) to bytes, the last one padded with
// zeros; "|" pads to the next byte.
Bytes BitsOf(const std::string& text) {
  Bytes out;
  int used = 8;
  for (char c : text) {
    if (c == '|') {
      used = 8;
      continue;
    }
    if (c != '0' && c != '1') continue;
    if (used == 8) {
      out.push_back(0);
      used = 0;
    }
    if (c == '1') out.back() |= static_cast<std::uint8_t>(0x80 >> used);
    ++used;
  }
  return out;
}

template <class Decoder>
Bytes Decode(Decoder&& decoder, const Bytes& packed, int outputSize, int* written = nullptr) {
  Bytes out(static_cast<std::size_t>(outputSize), 0xAA);
  const std::uint8_t* source = packed.data();
  std::uint8_t* dest = out.data();
  const int n = decoder.Decode(source, dest, static_cast<int>(packed.size()), outputSize);
  if (written) *written = n;
  return out;
}

Bytes Reversed(Bytes b) {
  for (std::uint8_t& v : b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i) r = static_cast<std::uint8_t>(r | ((v >> i) & 1) << (7 - i));
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

TEST(CCITTMHDecoder, RowsOfRunsStartOnAByte) {
  const std::string whiteMakeUp1728 = "010011011 00110101 ";
  const MHCase cases[] = {
      {"white 3, black 5; white 8", 8, "1000 0011 | 10011", {0x1F, 0x00}},
      {"a white run of 0 starts with black", 8, "00110101 000101 | 0111 11 | ", {0xFF, 0x30}},
      {"make-up and terminating codes add up", 1730, whiteMakeUp1728 + "11", [] {
         Bytes row(217, 0);
         row[216] = 0xC0;
         return row;
       }()},
      {"extended make-up code", 1800, "00000001000 10011 | ", Bytes(225, 0)},  // 1792 + 8, white
      {"black make-up", 70, "0111 0000001111 010", [] {  // white 2, black 64 + 1, rest white
         Bytes row(9, 0);
         row[0] = 0x3F;
         for (int i = 1; i < 8; ++i) row[i] = 0xFF;
         row[8] = 0xE0;
         return row;
       }()},
  };
  for (const MHCase& c : cases) {
    const Bytes packed = BitsOf(c.Bits);
    int written = 0;
    const Bytes out = Decode(TCCITTMHDecoder(0, false, false, c.Width), packed,
                             static_cast<int>(c.Expected.size()), &written);
    EXPECT_EQ(out, c.Expected) << c.Name;
    EXPECT_EQ(written, static_cast<int>(c.Expected.size())) << c.Name;
  }
}

TEST(CCITTMHDecoder, WordAlignedRowsStartOnEvenBytesOfTheData) {
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

TEST(CCITTMHDecoder, OutputAndRunsAreBounded) {
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

TEST(CCITTFax3Decoder, RowsFollowTheirEndOfLineCodes) {
  struct Case {
    const char* Name;
    std::string Bits;
    Bytes Expected;
  };
  const std::string row1 = "1000 0011 ", row2 = "10011 ";
  const Case cases[] = {
      {"plain", std::string(kEOL) + row1 + kEOL + row2 + kEOL + kEOL, {0x1F, 0x00}},
      {"fill bits before each code", "0000 " + std::string(kEOL) + row1 + "0000" + kEOL + row2, {0x1F, 0x00}},
      {"a damaged row keeps what it got", std::string(kEOL) + "0111 11 0000000000000 1" + kEOL + row2,
       {0x30, 0x00}},
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

// Group 4 rows of width 8: horizontal mode against the white row above,
// vertical 0, vertical right 1, pass mode, then the end-of-block mark.
const std::string kG4Rows = "001 1000 0011 "  // white 3, black 5
                            "1 1 "             // the same changes as above
                            "011 1 "           // the first change one further right
                            "0001 ";           // pass to the row's end: white
const std::string kEndOfBlock = std::string(kEOL) + kEOL;

TEST(CCITTFax4Decoder, RowsAreCodedAgainstTheRowAbove) {
  int written = 0;
  const Bytes out = Decode(TCCITTFax4Decoder(0, false, false, 8), BitsOf(kG4Rows + kEndOfBlock), 4, &written);
  EXPECT_EQ(out, (Bytes{0x1F, 0x1F, 0x0F, 0x00}));
  EXPECT_EQ(written, 4);
  // Width 12: a row starting black, and every vertical code against it.
  const std::string rows = "001 00110101 0000111 "  // white 0, black 12
                           "1 0000010 1 "           // black from 0, then 3 left of 12: black to 9
                           "000011 010 000010 1 "   // +2 (at 2), -1 (at 8), -2 (at 10), 0 (at 12)
                           "0000011 011 1 1 ";      // +3 (at 5), +1 (at 9), 0 (at 10), 0 (at 12)
  EXPECT_EQ(Decode(TCCITTFax4Decoder(0, false, false, 12), BitsOf(rows + kEndOfBlock), 8, &written),
            (Bytes{0xFF, 0xF0, 0xFF, 0x80, 0x3F, 0x30, 0x07, 0xB0}));
  EXPECT_EQ(written, 8);
  // The same rows in reversed bit order.
  EXPECT_EQ(Decode(TCCITTFax4Decoder(0, true, false, 8), Reversed(BitsOf(kG4Rows)), 4),
            (Bytes{0x1F, 0x1F, 0x0F, 0x00}));
}

TEST(CCITTFax4Decoder, DamageAndTheOutputBoundEndTheData) {
  struct Case {
    const char* Name;
    std::string Bits;
    int Written;
  };
  const Case cases[] = {
      // Above: black at 3 only. Vertical 0 reaches 3, then -3 from the white
      // change at 4 would go back to 1.
      {"a change behind the position reached", "001 1000 010 1 1 0000010", 1},
      {"an extension code", "001 1000 0011 0000001 111 1 1", 1},
      {"a horizontal run code that does not exist", "001 1000 0011 001 0000000000000 1", 1},
      {"data ending inside a row", "001 1000 0011 1", 1},
      {"more rows than room", kG4Rows + kEndOfBlock, 2},
  };
  for (const Case& c : cases) {
    int written = 0;
    Decode(TCCITTFax4Decoder(0, false, false, 8), BitsOf(c.Bits), 2, &written);
    EXPECT_EQ(written, c.Written) << c.Name;
  }
}

}  // namespace
