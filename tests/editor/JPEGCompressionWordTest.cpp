// The JPEG settings word and the test whether stored JPEG bytes were
// compressed with a given word.

#include "editor/controls/JPEGCompressionWord.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"

#include <gtest/gtest.h>

using namespace JPEGCompressionWord;

namespace {

std::vector<std::uint8_t> Compressed(TJPEGCompressionWord word, int width = 24, int height = 16)
{
    TBitmap bitmap(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = bitmap.ScanLine(y) + x * 3;
            pixel[0] = static_cast<std::uint8_t>(x * 10);
            pixel[1] = static_cast<std::uint8_t>(y * 15);
            pixel[2] = static_cast<std::uint8_t>((x + y) * 5);
        }
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    SetJPEGCompressionWord(jpeg, word);
    jpeg.Compress();
    return jpeg.Data();
}

TEST(JPEGCompressionWordTest, TheHighByteIsTheQualityTheLowByteTheProgressiveSwitch)
{
    EXPECT_EQ(DefaultJPEGCompressionWord, 0x4600);
    EXPECT_EQ(QualityOf(0x4601), 70);
    EXPECT_TRUE(ProgressiveOf(0x4601));
    EXPECT_FALSE(ProgressiveOf(0x4600));
    EXPECT_EQ(MakeJPEGCompressionWord(30, false), 0x1E00);
    EXPECT_EQ(MakeJPEGCompressionWord(100, true), 0x6401);

    TJPEGImage jpeg;
    SetJPEGCompressionWord(jpeg, 0x4602); // any non-zero low byte is progressive
    EXPECT_EQ(jpeg.CompressionQuality, 70);
    EXPECT_TRUE(jpeg.ProgressiveEncoding);
    EXPECT_EQ(GetJPEGCompressionWord(jpeg), 0x4601);
}

TEST(JPEGCompressionWordTest, StoredBytesTellTheWordTheyWereCompressedWith)
{
    for (TJPEGCompressionWord word : {0x0100, 0x1E00, 0x3200, 0x4601, 0x5A00, 0x6400, 0x6401}) {
        SCOPED_TRACE(word);
        const std::vector<std::uint8_t> bytes = Compressed(static_cast<TJPEGCompressionWord>(word));
        EXPECT_TRUE(IsCompressedWith(bytes.data(), bytes.size(), static_cast<TJPEGCompressionWord>(word)));
        EXPECT_FALSE(IsCompressedWith(bytes.data(), bytes.size(), static_cast<TJPEGCompressionWord>(word ^ 1)));
        const int quality = QualityOf(static_cast<TJPEGCompressionWord>(word));
        const int other = quality == 100 ? 99 : quality + 1;
        EXPECT_FALSE(
            IsCompressedWith(bytes.data(), bytes.size(),
                             MakeJPEGCompressionWord(other, ProgressiveOf(static_cast<TJPEGCompressionWord>(word)))));
    }
}

TEST(JPEGCompressionWordTest, BytesThatAreNoJpegHeaderAreNeverAMatch)
{
    const std::vector<std::uint8_t> good = Compressed(0x1E00);
    ASSERT_TRUE(IsCompressedWith(good.data(), good.size(), 0x1E00));
    EXPECT_FALSE(IsCompressedWith(nullptr, 0, 0x1E00));
    const std::vector<std::uint8_t> text = {'a', 'b', 'c', 'd', 'e'};
    EXPECT_FALSE(IsCompressedWith(text.data(), text.size(), 0x1E00));
    // Cut anywhere inside the header (before the first scan).
    for (size_t length : {size_t{2}, size_t{3}, size_t{20}, size_t{60}, size_t{100}}) {
        SCOPED_TRACE(length);
        EXPECT_FALSE(IsCompressedWith(good.data(), length, 0x1E00));
    }
    // A segment length running past the end.
    std::vector<std::uint8_t> damaged = good;
    damaged[4] = 0xFF;
    damaged[5] = 0xFF;
    EXPECT_FALSE(IsCompressedWith(damaged.data(), damaged.size(), 0x1E00));
}

} // namespace
