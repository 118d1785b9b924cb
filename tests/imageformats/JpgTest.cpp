// The JPEG glue: header reading through a stream, and library errors turned
// into picture errors.
#include <gtest/gtest.h>

#include "ImageTools.h"
#include "imageformats/Jpg.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Streams.h"

namespace {

// libjpeg's message codes of the errors below.
constexpr int kEmptyInput = 42;
constexpr int kNotAJpeg = 53;

std::vector<std::uint8_t> SmallJpeg(int width, int height)
{
    TBitmap bitmap(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            bitmap.ScanLine(y)[x] = static_cast<std::uint8_t>(x * 5 + y * 9);
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    return jpeg.Data();
}

void Fill(TMemoryStream& stream, const std::vector<std::uint8_t>& bytes, const std::string& prefix = {})
{
    stream.WriteBuffer(prefix.data(), static_cast<std::int64_t>(prefix.size()));
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(static_cast<std::int64_t>(prefix.size()));
}

std::string JpegError(int code) { return "JPEG error #" + std::to_string(code); }

TEST(Jpg, GetJPEGInfoReadsTheSizeAtTheStreamPosition)
{
    TMemoryStream stream;
    Fill(stream, SmallJpeg(13, 7), "junk");
    std::uint32_t width = 0, height = 0;
    Jpg::GetJPEGInfo(stream, width, height);
    EXPECT_EQ(width, 13u);
    EXPECT_EQ(height, 7u);

    imagetest::ScratchDir dir;
    imagetest::WriteFileBytes(dir / "a.jpg", SmallJpeg(3, 5));
    Jpg::GetJPEGInfo(dir / "a.jpg", width, height);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 5u);
}

TEST(Jpg, LibraryErrorsBecomePictureErrors)
{
    std::uint32_t width = 0, height = 0;
    TMemoryStream empty;
    try {
        Jpg::GetJPEGInfo(empty, width, height);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, JpegError(kEmptyInput));
    }
    TMemoryStream garbage;
    Fill(garbage, {'B', 'M', 1, 2, 3, 4, 5, 6});
    try {
        Jpg::GetJPEGInfo(garbage, width, height);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, JpegError(kNotAJpeg));
    }
}

// A stream that ends inside a comment, in its first block or blocks later,
// is completed with an end-of-image marker: the header reads as one without
// a picture (size 0 x 0) instead of failing.
TEST(Jpg, StreamThatEndsEarlyIsCompletedWithAnEndMarker)
{
    for (const std::size_t commentBytes : {100, 20000}) {
        std::vector<std::uint8_t> cut = {0xFF, 0xD8, 0xFF, 0xFE, 0xFF, 0xFF}; // SOI, a comment of 65533 bytes
        cut.resize(cut.size() + commentBytes, 'c');
        TMemoryStream stream;
        Fill(stream, cut);
        std::uint32_t width = 7, height = 7;
        EXPECT_NO_THROW(Jpg::GetJPEGInfo(stream, width, height)) << commentBytes;
        EXPECT_EQ(width, 0u);
        EXPECT_EQ(height, 0u);
    }
}

} // namespace
