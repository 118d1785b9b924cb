// The LZW decoders on the code sequences that show each rule, and the TIFF
// variant on a long stream from a small encoder that widens its codes and
// clears its table the way TIFF writers do. The deflate decoder fed in
// pieces, reset per strip and given damaged data.
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <utility>
#include <vector>

#include "ReaderTestTools.h"
#include "imageformats/LZ77Decoder.h"
#include "imageformats/LZWDecoders.h"

namespace {

using imagetest::Bytes;
using imagetest::Deflate;

// Codes of the given widths, most significant bit first.
Bytes PackMsbFirst(const std::vector<std::pair<unsigned, int>>& codes)
{
    Bytes out;
    std::uint64_t bits = 0;
    int count = 0;
    for (auto [code, width] : codes) {
        bits = bits << width | code;
        count += width;
        while (count >= 8) {
            out.push_back(static_cast<std::uint8_t>(bits >> (count - 8)));
            count -= 8;
        }
    }
    if (count > 0)
        out.push_back(static_cast<std::uint8_t>(bits << (8 - count)));
    return out;
}

// Codes of the given widths, least significant bit first.
Bytes PackLsbFirst(const std::vector<std::pair<unsigned, int>>& codes)
{
    Bytes out;
    std::uint64_t bits = 0;
    int count = 0;
    for (auto [code, width] : codes) {
        bits |= std::uint64_t{code} << count;
        count += width;
        while (count >= 8) {
            out.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
        out.push_back(static_cast<std::uint8_t>(bits));
    return out;
}

Bytes Decode(TDecoder& decoder, const Bytes& packed, int unpackedSize)
{
    Bytes out(static_cast<std::size_t>(unpackedSize), 0xEE);
    const std::uint8_t* source = packed.data();
    std::uint8_t* dest = out.data();
    const int written = decoder.Decode(source, dest, static_cast<int>(packed.size()), unpackedSize);
    out.resize(static_cast<std::size_t>(written));
    return out;
}

std::vector<std::pair<unsigned, int>> NineBit(std::initializer_list<unsigned> codes)
{
    std::vector<std::pair<unsigned, int>> out;
    for (unsigned c : codes)
        out.emplace_back(c, 9);
    return out;
}

TEST(TIFFLZWDecoder, CodeSequencesOfTheFormat)
{
    struct Case {
        const char* Name;
        std::initializer_list<unsigned> Codes;
        Bytes Expected;
    };
    const Case cases[] = {
        {"two-byte string", {256, 65, 66, 258, 257}, {65, 66, 65, 66}},
        {"code equal to the free code", {256, 65, 258}, {65, 65, 65}},
        {"clear in the middle restarts the table", {256, 65, 66, 256, 67, 258, 257}, {65, 66, 67, 67, 67}},
        {"code beyond the table is skipped", {256, 65, 300, 66, 257}, {65, 66}},
        {"end code ends the data", {256, 65, 257, 66}, {65}},
    };
    for (const Case& c : cases) {
        TTIFFLZWDecoder decoder;
        EXPECT_EQ(Decode(decoder, PackMsbFirst(NineBit(c.Codes)), 100), c.Expected) << c.Name;
    }
}

TEST(TIFFLZWDecoder, OutputStopsAtTheRequestedSize)
{
    TTIFFLZWDecoder decoder;
    // 65, then the strings 65 65 and 65 65 65 ...: the last string is cut.
    EXPECT_EQ(Decode(decoder, PackMsbFirst(NineBit({256, 65, 258, 259, 260})), 5), Bytes(5, 65));
}

// A TIFF writer's LZW: codes widen as the table grows (one code early for
// the reader), the table is cleared before it overflows.
Bytes EncodeTiffLzw(const Bytes& data)
{
    std::vector<std::pair<unsigned, int>> codes;
    std::map<std::pair<unsigned, std::uint8_t>, unsigned> table;
    int width = 9;
    unsigned freeCode = 258;
    auto emit = [&](unsigned code) { codes.emplace_back(code, width); };
    auto grow = [&] {
        ++freeCode;
        if (freeCode == 4094) {
            emit(256);
            table.clear();
            freeCode = 258;
            width = 9;
        } else if (freeCode == (1u << width) && width < 12) {
            ++width;
        }
    };
    emit(256);
    unsigned current = data[0];
    for (std::size_t i = 1; i < data.size(); ++i) {
        const auto found = table.find({current, data[i]});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        emit(current);
        table[{current, data[i]}] = freeCode;
        grow();
        current = data[i];
    }
    emit(current);
    grow();
    emit(257);
    return PackMsbFirst(codes);
}

TEST(TIFFLZWDecoder, LongStreamThroughEveryCodeWidthAndATableClear)
{
    Bytes data;
    std::uint32_t state = 12345;
    for (int i = 0; i < 60000; ++i) {
        state = state * 1103515245u + 12345u;
        // Few distinct values with repeats, so strings grow long and the table fills.
        data.push_back(static_cast<std::uint8_t>((state >> 16) % 7 + (i / 5000)));
    }
    const Bytes packed = EncodeTiffLzw(data);
    TTIFFLZWDecoder decoder;
    EXPECT_EQ(Decode(decoder, packed, static_cast<int>(data.size())), data);
    // Cut data ends the output early.
    const Bytes half(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packed.size() / 2));
    const Bytes partial = Decode(decoder, half, static_cast<int>(data.size()));
    ASSERT_LT(partial.size(), data.size());
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), data.begin()));
}

TEST(GIFLZWDecoder, CodesWidenAfterTheEntryThatFillsTheWidth)
{
    // Initial code size 2: clear 4, end 5, first free code 6; entry 7 is made
    // by the third data code, after which codes are 4 bits wide.
    TGIFLZWDecoder decoder(2);
    const Bytes packed = PackLsbFirst({{4, 3}, {1, 3}, {2, 3}, {6, 3}, {7, 4}, {5, 4}});
    EXPECT_EQ(Decode(decoder, packed, 100), (Bytes{1, 2, 1, 2, 2, 1}));
}

TEST(GIFLZWDecoder, ClearRestartsAndTheFirstCodeIsARoot)
{
    TGIFLZWDecoder decoder(2);
    const Bytes packed = PackLsbFirst({{4, 3}, {1, 3}, {2, 3}, {4, 3}, {3, 3}, {6, 3}, {5, 3}});
    // After the clear, 6 is the string 3 3 (code equal to the free code).
    EXPECT_EQ(Decode(decoder, packed, 100), (Bytes{1, 2, 3, 3, 3}));
}

TEST(GIFLZWDecoder, FullTableStaysUntilCleared)
{
    // Code size 8 with 4096 entries made: codes stay 12 bits wide, no entry is
    // overwritten, and later codes still name the strings made first.
    std::vector<std::pair<unsigned, int>> codes = {{256, 9}, {0, 9}};
    unsigned freeCode = 258;
    int width = 9;
    while (freeCode < 4096) {
        codes.emplace_back(1, width); // each adds an entry: previous string + 1
        ++freeCode;
        if (freeCode == (1u << width) && width < 12)
            ++width;
    }
    codes.emplace_back(258, 12); // entry 258 = 0 1
    codes.emplace_back(257, 12);
    TGIFLZWDecoder decoder(8);
    const Bytes out = Decode(decoder, PackLsbFirst(codes), 10000);
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[out.size() - 2], 0);
    EXPECT_EQ(out.back(), 1);
}

TEST(LZ77Decoder, DataFedInPiecesInflatesWhole)
{
    Bytes raw;
    for (int i = 0; i < 5000; ++i)
        raw.push_back(static_cast<std::uint8_t>(i * 7 % 251));
    const Bytes packed = Deflate(raw);
    TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
    decoder.DecodeInit();
    Bytes out(raw.size());
    std::uint8_t* dest = out.data();
    const std::uint8_t* source = packed.data();
    for (std::size_t fed = 0; fed < packed.size();) {
        const int piece = static_cast<int>(std::min<std::size_t>(17, packed.size() - fed));
        const std::uint8_t* before = source;
        decoder.Decode(source, dest, piece, static_cast<int>(out.data() + out.size() - dest));
        fed += static_cast<std::size_t>(source - before);
        EXPECT_EQ(decoder.GetAvailableInput(), static_cast<std::uint32_t>(piece - (source - before)));
        ASSERT_GE(decoder.ZLibResult(), 0);
    }
    EXPECT_EQ(decoder.ZLibResult(), Z_STREAM_END);
    EXPECT_EQ(out, raw);
    decoder.DecodeEnd();
}

TEST(LZ77Decoder, AutoResetStartsEveryCallOnANewStream)
{
    const Bytes first = Deflate({1, 2, 3}), second = Deflate({4, 5});
    TLZ77Decoder decoder(Z_PARTIAL_FLUSH, true);
    decoder.DecodeInit();
    EXPECT_EQ(Decode(decoder, first, 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(Decode(decoder, second, 2), (Bytes{4, 5}));
    decoder.DecodeEnd();
    // Without the reset, the decoder stays at the end of the first stream.
    TLZ77Decoder once(Z_PARTIAL_FLUSH, false);
    once.DecodeInit();
    Decode(once, first, 3);
    EXPECT_EQ(Decode(once, second, 2), Bytes{});
}

TEST(LZ77Decoder, DamagedDataGivesANegativeResult)
{
    TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
    decoder.DecodeInit();
    Decode(decoder, {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF}, 10);
    EXPECT_LT(decoder.ZLibResult(), 0);
}

} // namespace
