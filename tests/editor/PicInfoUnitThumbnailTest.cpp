// Thumbnails in saved shows: compressed with the editor's thumbnail
// settings, and bytes compressed so already are kept as they are.

#include "editor/app/PicInfoUnit.h"

#include "editor/app/VisteloSetup.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::unique_ptr<TThumbnailJPEGImage> Thumbnail(TJPEGCompressionWord word)
{
    TBitmap bitmap(16, 12, pf24bit);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* pixel = bitmap.ScanLine(y) + x * 3;
            pixel[0] = static_cast<std::uint8_t>(x * 16);
            pixel[1] = static_cast<std::uint8_t>(y * 20);
            pixel[2] = 90;
        }
    auto jpeg = std::make_unique<TThumbnailJPEGImage>();
    jpeg->Assign(&bitmap);
    JPEGCompressionWord::SetJPEGCompressionWord(*jpeg, word);
    jpeg->Compress();
    return jpeg;
}

// The JPEG bytes of each thumbnail chunk of a show file, in file order.
std::vector<std::vector<std::uint8_t>> ThumbnailChunks(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::vector<std::uint8_t>> thumbnails;
    for (size_t at = 32; at + 12 <= bytes.size();) {
        const auto id = rtl::GetLE32s(&bytes[at + 4]);
        const auto length = static_cast<size_t>(rtl::GetLE32s(&bytes[at + 8]));
        if (length < 12 || at + length > bytes.size())
            break;
        if (id == VisteloThumbnailChunk)
            thumbnails.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at + 20),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    return thumbnails;
}

class ThumbnailSaving : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("vistelo-editor-thumbs-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        savedWord = VisteloSetup::CatalogThumbnailJPEGCompression;
        savedOn = VisteloSetup::CatalogSaveThumbNailsInVistelo;
        VisteloSetup::CatalogSaveThumbNailsInVistelo = true;
        VisteloSetup::CatalogThumbnailJPEGCompression = 0x1E00;
    }
    void TearDown() override
    {
        VisteloSetup::CatalogThumbnailJPEGCompression = savedWord;
        VisteloSetup::CatalogSaveThumbNailsInVistelo = savedOn;
        std::filesystem::remove_all(folder);
    }
    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
    TJPEGCompressionWord savedWord = 0;
    bool savedOn = true;
};

TEST_F(ThumbnailSaving, ThumbnailsAreStoredWithTheEditorsSettings)
{
    TConfigVistelo show;
    TPicInfoObject entry;
    entry.Thumbnail.SetThumbnail(Thumbnail(0x5A00)); // made with other settings
    show.AddDia(entry);
    entry.Thumbnail.SetThumbnail(Thumbnail(0x1E00)); // made with the editor's settings
    show.AddDia(entry);
    const std::vector<std::uint8_t> other = show.GetPicInfo(0)->Thumbnail.GetThumbnail()->Data();
    const std::vector<std::uint8_t> same = show.GetPicInfo(1)->Thumbnail.GetThumbnail()->Data();

    ASSERT_TRUE(show.SaveToFile(PathOf("a.vsf")));
    const auto stored = ThumbnailChunks(PathOf("a.vsf"));
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_NE(stored[0], other);
    EXPECT_TRUE(JPEGCompressionWord::IsCompressedWith(stored[0].data(), stored[0].size(), 0x1E00));
    EXPECT_EQ(stored[1], same) << "already compressed so: kept byte for byte";
    EXPECT_EQ(show.GetPicInfo(0)->Thumbnail.GetThumbnail()->Data(), other) << "the show is not changed";

    // Loaded and saved again, nothing is compressed a second time.
    TConfigVistelo loaded;
    ASSERT_EQ(loaded.LoadFromFile(PathOf("a.vsf"), false, false), dlrOK);
    ASSERT_NE(loaded.GetPicInfo(0)->Thumbnail.GetThumbnail(), nullptr);
    EXPECT_EQ(loaded.GetPicInfo(0)->Thumbnail.GetThumbnail()->Width(), 16);
    ASSERT_TRUE(loaded.SaveToFile(PathOf("b.vsf")));
    EXPECT_EQ(ThumbnailChunks(PathOf("b.vsf")), stored);

    // The progressive switch counts too.
    VisteloSetup::CatalogThumbnailJPEGCompression = 0x1E01;
    ASSERT_TRUE(loaded.SaveToFile(PathOf("c.vsf")));
    for (const auto& bytes : ThumbnailChunks(PathOf("c.vsf")))
        EXPECT_TRUE(JPEGCompressionWord::IsCompressedWith(bytes.data(), bytes.size(), 0x1E01));
}

TEST_F(ThumbnailSaving, AThumbnailThatDoesNotDecodeIsKeptAsItCame)
{
    TConfigVistelo show;
    TPicInfoObject entry;
    auto damaged = std::make_unique<TThumbnailJPEGImage>();
    TMemoryStream stream;
    const std::uint8_t bytes[] = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 1, 2, 3};
    stream.WriteBuffer(bytes, sizeof bytes);
    stream.SetPosition(0);
    damaged->LoadFromStream(stream);
    entry.Thumbnail.SetThumbnail(std::move(damaged));
    show.AddDia(entry);
    ASSERT_TRUE(show.SaveToFile(PathOf("d.vsf"))) << "one bad thumbnail does not fail the save";
    const auto stored = ThumbnailChunks(PathOf("d.vsf"));
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0], std::vector<std::uint8_t>(std::begin(bytes), std::end(bytes)));
}

} // namespace
