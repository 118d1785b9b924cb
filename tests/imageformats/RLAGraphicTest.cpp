// The Wavefront reader on hand-made files: channel layouts, row order, the
// gamma text, refused channel kinds and damaged rows.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "imageformats/RLAGraphic.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

namespace {

struct RlaFile {
    int Width = 3, Height = 2;
    bool BottomUp = true; // active bottom < active top: rows stored bottom first
    bool Matte = false;
    std::string Gamma, Kind = "rgb";
    int Bits = 8;

    // Pixel (x, y) of the picture, top row 0: channel c.
    static std::uint8_t Sample(int x, int y, int c) { return static_cast<std::uint8_t>(40 * x + 100 * y + 7 * c + 1); }

    std::vector<std::uint8_t> Bytes() const
    {
        std::vector<std::uint8_t> b(740, 0);
        auto put16 = [&](int at, int v) { rtl::PutBE16(&b[at], static_cast<std::uint16_t>(v)); };
        put16(10, Width - 1);
        put16(BottomUp ? 14 : 12, Height - 1); // active window
        put16(20, 3);
        put16(22, Matte ? 1 : 0);
        put16(26, 0xFFFE);
        std::memcpy(&b[28], Gamma.data(), Gamma.size());
        std::memcpy(&b[580], Kind.data(), Kind.size());
        put16(658, Bits);
        const std::size_t table = b.size();
        b.resize(table + 4 * static_cast<std::size_t>(Height));
        for (int n = 0; n < Height; ++n) {
            const auto offset = static_cast<std::uint32_t>(b.size());
            for (int i = 0; i < 4; ++i)
                b[table + 4 * n + i] = static_cast<std::uint8_t>(offset >> (24 - 8 * i));
            const int y = BottomUp ? Height - 1 - n : n;
            for (int c = 0; c < (Matte ? 4 : 3); ++c) {
                // One literal packet of the whole row.
                b.push_back(0);
                b.push_back(static_cast<std::uint8_t>(Width + 1));
                b.push_back(static_cast<std::uint8_t>(-Width));
                for (int x = 0; x < Width; ++x)
                    b.push_back(Sample(x, y, c));
            }
        }
        return b;
    }
};

std::unique_ptr<TRLAGraphic> Load(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto graphic = std::make_unique<TRLAGraphic>();
    graphic->LoadFromStream(stream);
    return graphic;
}

TEST(RLAReader, RowOrderAndMatteFollowTheHeader)
{
    for (bool bottomUp : {true, false}) {
        for (bool matte : {false, true}) {
            RlaFile file;
            file.BottomUp = bottomUp;
            file.Matte = matte;
            auto rla = Load(file.Bytes());
            ASSERT_EQ(rla->PixelFormat(), matte ? pf32bit : pf24bit);
            const int pixelBytes = matte ? 4 : 3;
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x) {
                    const std::uint8_t* p = rla->ScanLine(y) + pixelBytes * x;
                    EXPECT_EQ(p[0], RlaFile::Sample(x, y, 2)) << bottomUp << matte << x << y;
                    EXPECT_EQ(p[2], RlaFile::Sample(x, y, 0));
                    if (matte) {
                        EXPECT_EQ(p[3], RlaFile::Sample(x, y, 3));
                    }
                }
        }
    }
}

TEST(RLAReader, GammaTextIsANumberInAnyLocale)
{
    RlaFile file;
    file.Gamma = "2.2";
    auto corrected = Load(file.Bytes());
    EXPECT_FLOAT_EQ(corrected->ImageProperties().Gamma, 2.2f);
    const std::uint8_t red = RlaFile::Sample(1, 0, 0);
    EXPECT_NE(corrected->ScanLine(0)[3 + 2], red);
    EXPECT_EQ(corrected->ScanLine(0)[3 + 2], corrected->Converter().GammaTable()[red]);

    file.Gamma = "abc";
    EXPECT_EQ(Load(file.Bytes())->ScanLine(0)[3 + 2], red);
}

TEST(RLAReader, RefusedKindsAndDamagedRowsRaiseThePictureError)
{
    RlaFile xyz;
    xyz.Kind = "xyz";
    EXPECT_THROW(Load(xyz.Bytes()), EInvalidGraphic);
    RlaFile deep;
    deep.Bits = 16;
    EXPECT_THROW(Load(deep.Bytes()), EInvalidGraphic);
    RlaFile other;
    other.Kind = "cmyk";
    EXPECT_THROW(Load(other.Bytes()), EInvalidGraphic);

    std::vector<std::uint8_t> truncated = RlaFile{}.Bytes();
    truncated.resize(truncated.size() - 2);
    EXPECT_THROW(Load(truncated), EInvalidGraphic);
    std::vector<std::uint8_t> shortRow = RlaFile{}.Bytes();
    shortRow[740 + 8 + 2] = 0xFE; // a packet of 2 where the row needs 3
    EXPECT_THROW(Load(shortRow), EInvalidGraphic);
    RlaFile huge;
    huge.Width = 30000;
    huge.Height = 1;
    std::vector<std::uint8_t> hugeBytes = huge.Bytes();
    hugeBytes.resize(760);
    EXPECT_THROW(Load(hugeBytes), EInvalidGraphic);
}

} // namespace
