#include "platform/rtl/ByteOrder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

// Bytes with the top bit set in every position, so a lost cast or a shift of
// a promoted int shows as a wrong or sign-extended value.
constexpr std::array<std::uint8_t, 8> kBytes{0x81, 0x92, 0xA3, 0xB4, 0xC5, 0xD6, 0xE7, 0xF8};

TEST(ByteOrder, ReadsEitherOrderFromTheFirstByte)
{
    const std::uint8_t* p = kBytes.data();
    EXPECT_EQ(rtl::GetLE16(p), 0x9281u);
    EXPECT_EQ(rtl::GetLE24(p), 0xA39281u);
    EXPECT_EQ(rtl::GetLE32(p), 0xB4A39281u);
    EXPECT_EQ(rtl::GetLE64(p), 0xF8E7D6C5B4A39281u);
    EXPECT_EQ(rtl::GetBE16(p), 0x8192u);
    EXPECT_EQ(rtl::GetBE24(p), 0x8192A3u);
    EXPECT_EQ(rtl::GetBE32(p), 0x8192A3B4u);
    EXPECT_EQ(rtl::GetLE16s(p), static_cast<std::int16_t>(0x9281 - 0x10000));
    EXPECT_EQ(rtl::GetLE32s(p), static_cast<std::int32_t>(0xB4A39281u - 0x100000000));
    EXPECT_EQ(rtl::GetBE16s(p), static_cast<std::int16_t>(0x8192 - 0x10000));
    EXPECT_EQ(rtl::GetBE32s(p), static_cast<std::int32_t>(0x8192A3B4u - 0x100000000));
}

TEST(ByteOrder, WritesWhatItReadsAndNothingBeyond)
{
    struct Case {
        const char* name;
        int width;
        void (*put)(std::uint8_t*);
    };
    const Case cases[] = {
        {"LE16", 2, [](std::uint8_t* p) { rtl::PutLE16(p, rtl::GetLE16(kBytes.data())); }},
        {"LE24", 3, [](std::uint8_t* p) { rtl::PutLE24(p, rtl::GetLE24(kBytes.data())); }},
        {"LE32", 4, [](std::uint8_t* p) { rtl::PutLE32(p, rtl::GetLE32(kBytes.data())); }},
        {"LE64", 8, [](std::uint8_t* p) { rtl::PutLE64(p, rtl::GetLE64(kBytes.data())); }},
        {"BE16", 2, [](std::uint8_t* p) { rtl::PutBE16(p, rtl::GetBE16(kBytes.data())); }},
        {"BE32", 4, [](std::uint8_t* p) { rtl::PutBE32(p, rtl::GetBE32(kBytes.data())); }},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, 9> out;
        out.fill(0x55);
        c.put(out.data());
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(out[i], i < c.width ? kBytes[i] : 0x55) << c.name << " byte " << i;
    }
}

TEST(ByteOrder, AppendsLittleEndianFieldsInOrder)
{
    std::vector<std::uint8_t> out{0x01};
    rtl::AppendLE16(out, 0x0302);
    rtl::AppendLE32(out, 0x07060504);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7}));
}

} // namespace
