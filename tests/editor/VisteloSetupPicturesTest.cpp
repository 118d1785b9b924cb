// The picture and file helpers of the editor's settings unit.

#include "editor/app/VisteloSetup.h"

#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "ui/UiFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace VisteloSetup;
namespace fs = std::filesystem;

namespace {

TEST(SaveFormats, TheExtensionNamesTheFormat)
{
    const std::pair<const char*, int> cases[] = {
        {"a.bmp", 0},  {"a.BMP", 0},  {"/x.y/b.Jpg", 1}, {"c.jpeg", 1}, {"d.TGA", 2},
        {"e.png", -1}, {"f.jpe", -1}, {"bmp", -1},       {"", -1},
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(SaveFormatFromExt(name), format) << name;

    const std::tuple<const char*, int, const char*> changes[] = {
        {"/bilder/a.JPEG", 0, "/bilder/a.bmp"},
        {"a.bmp", 1, "a.jpg"},
        {"ohne", 2, "ohne.tga"},
        {"", 1, ""},
        {"a.png", 3, "a.png"},
    };
    for (const auto& [name, format, result] : changes)
        EXPECT_EQ(ChangeExtToSaveFormat(name, format), result) << name << " " << format;
}

// A bitmap whose pixel (x, y) has blue x, green y.
std::unique_ptr<TBitmap> Numbered(int width, int height)
{
    auto result = std::make_unique<TBitmap>(width, height, pf24bit);
    TBitmap& bitmap = *result;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = bitmap.ScanLine(y) + x * 3;
            pixel[0] = static_cast<std::uint8_t>(x);
            pixel[1] = static_cast<std::uint8_t>(y);
            pixel[2] = 200;
        }
    return result;
}

// The source pixel a target pixel came from, as (x, y).
std::pair<int, int> SourceOf(TBitmap& target, int x, int y)
{
    const std::uint8_t* pixel = target.ScanLine(y) + x * 3;
    return {pixel[0], pixel[1]};
}

TEST(DrawBitmapScaledTest, EachTargetPixelTakesItsNearestSourcePixel)
{
    const auto source = Numbered(4, 4);
    TBitmap target(6, 6, pf24bit);
    DrawBitmapScaled(*source, target.Canvas(), 1, 2, 2, 2);
    EXPECT_EQ(SourceOf(target, 1, 2), std::make_pair(0, 1));
    EXPECT_EQ(SourceOf(target, 2, 2), std::make_pair(2, 1));
    EXPECT_EQ(SourceOf(target, 1, 3), std::make_pair(0, 3));
    EXPECT_EQ(SourceOf(target, 2, 3), std::make_pair(2, 3));
    EXPECT_EQ(target.ScanLine(0)[2], 0) << "nothing outside the target area";

    // Another pixel format is sampled as its 24-bit picture.
    TBitmap wide;
    wide.Assign(source.get());
    wide.SetPixelFormat(pf32bit);
    TBitmap fromWide(6, 6, pf24bit);
    DrawBitmapScaled(wide, fromWide.Canvas(), 1, 2, 2, 2);
    for (int y = 2; y < 4; ++y)
        for (int x = 1; x < 3; ++x)
            EXPECT_EQ(SourceOf(fromWide, x, y), SourceOf(target, x, y)) << x << "," << y;

    // Enlarged: rows counted from the bottom, so all three take row 0 of two.
    const auto small = Numbered(2, 2);
    TBitmap large(4, 3, pf24bit);
    DrawBitmapScaled(*small, large.Canvas(), 0, 0, 4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(SourceOf(large, x, y), std::make_pair(x / 2, y == 2 ? 1 : 0)) << x << "," << y;
}

class PictureFiles : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        folder = fs::temp_directory_path() /
            ("vistelo-editor-files-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             "-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override
    {
        fs::remove_all(folder);
        UiTest::TearDown();
    }
    std::string PathOf(const std::string& name) const { return (folder / name).string(); }
    std::string WriteBytes(const std::string& name, size_t size) const
    {
        std::ofstream out(folder / name, std::ios::binary);
        for (size_t i = 0; i < size; ++i)
            out.put(static_cast<char>((i * 7 + i / 251) & 0xFF));
        return PathOf(name);
    }
    static std::vector<char> Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path folder;
};

TEST_F(PictureFiles, ACopyKeepsBytesTimeAndPermissions)
{
    TProgressBar progress(nullptr);
    for (size_t size : {size_t{0}, size_t{1}, size_t{415029}, size_t{415030}, size_t{415029 * 2 + 5}}) {
        SCOPED_TRACE(size);
        const std::string source = WriteBytes("quelle.bin", size);
        chmod(source.c_str(), 0640);
        const fs::file_time_type then = fs::file_time_type::clock::now() - std::chrono::hours(50);
        fs::last_write_time(source, then);
        const std::string dest = PathOf("ziel.bin");
        progress.SetPosition(5);
        ASSERT_TRUE(CopyFileKeepDate(source, dest, &progress));
        EXPECT_EQ(Bytes(dest), Bytes(source));
        EXPECT_EQ(fs::last_write_time(dest), then);
        EXPECT_EQ(fs::status(dest).permissions(), fs::perms(0640));
        EXPECT_EQ(progress.Max(), static_cast<int>(size));
        EXPECT_EQ(progress.Position(), 0) << "reset at the end";
        fs::remove(dest);
    }
    EXPECT_FALSE(CopyFileKeepDate(PathOf("fehlt.bin"), PathOf("ziel.bin"), nullptr));
    EXPECT_FALSE(CopyFileKeepDate(PathOf("quelle.bin"), PathOf("kein/ordner/ziel.bin"), nullptr));
}

TEST_F(PictureFiles, TheSameFileUnderAnotherNameIsNotCopiedOntoItself)
{
    const std::string source = WriteBytes("bild.jpg", 1000);
    const std::vector<char> before = Bytes(source);
    fs::create_symlink(source, folder / "verweis.jpg");
    fs::create_directories(folder / "sub");
    const std::string names[] = {source, PathOf("verweis.jpg"), PathOf("sub/../bild.jpg"), PathOf("./bild.jpg")};
    for (const std::string& dest : names) {
        EXPECT_TRUE(CopyFileKeepDate(source, dest, nullptr)) << dest;
        EXPECT_EQ(Bytes(source), before) << dest;
    }
}

TEST_F(PictureFiles, PicturesAreSavedInTheirFormatsAndLoadedForEditing)
{
    TBitmap bitmap(30, 20, pf24bit);
    bitmap.Canvas().Brush.Color = clRed;
    bitmap.Canvas().FillRect(Rect(0, 0, 30, 20));
    struct Case {
        const char* name;
        int format;
        bool targaCompressed;
    };
    const Case cases[] = {{"a.bmp", 0, false}, {"a.jpg", 1, false}, {"a.tga", 2, true}, {"b.tga", 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SavePictureFile(bitmap, PathOf(c.name), c.format, c.targaCompressed, 0x5001));
        TPicture picture;
        EditPictureFormat = -7;
        EXPECT_EQ(LoadPictureForEditing(c.name, PathOf("show.vsf"), picture), elOK);
        EXPECT_EQ(EditPictureFormat, c.format);
        if (c.format == 2) {
            EXPECT_EQ(EditPictureTargaCompressed, c.targaCompressed);
        }
        auto* smooth = dynamic_cast<TSmoothBitmap*>(picture.Graphic());
        ASSERT_NE(smooth, nullptr);
        EXPECT_EQ(smooth->PixelFormat(), pf24bit);
        EXPECT_EQ(smooth->Width(), 30);
        EXPECT_EQ(Setup::OrigHeight, 20);
        const std::uint8_t* pixel = smooth->ScanLine(10) + 15 * 3;
        EXPECT_NEAR(pixel[2], 255, 8);
        EXPECT_NEAR(pixel[1], 0, 8);
    }
    EXPECT_TRUE(ui::RecordedDialogs().empty());

    TPicture picture;
    EXPECT_EQ(LoadPictureForEditing("fehlt.jpg", PathOf("show.vsf"), picture), elInvalidPicture);
    WriteBytes("kaputt.jpg", 100);
    EXPECT_EQ(LoadPictureForEditing(PathOf("kaputt.jpg"), "", picture), elInvalidPicture);
}

TEST_F(PictureFiles, AFailedSaveIsToldExceptForBitmaps)
{
    TBitmap bitmap(4, 4, pf24bit);
    EXPECT_FALSE(SavePictureFile(bitmap, PathOf("x/a.bmp"), 0, false, 0x4600));
    EXPECT_TRUE(ui::RecordedDialogs().empty());
    for (int format : {1, 2}) {
        ui::ClearRecordedDialogs();
        EXPECT_FALSE(SavePictureFile(bitmap, PathOf("x/a.pic"), format, true, 0x4600));
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text,
                  "Es ist ein Fehler beim Speichern des Bildes aufgetreten. Evtl. ist die Festplatte voll, oder es "
                  "steht nicht genügend Arbeitsspeicher für den Speichervorgang zur Verfügung. Bei zu wenig "
                  "Speicher, versuchen Sie es bitte mit dem BMP-Format.");
    }
    ui::ClearRecordedDialogs();
    EXPECT_FALSE(SavePictureFile(bitmap, PathOf("a.pic"), 5, true, 0x4600));
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text,
              "Ungültiges Bildformat (5). Versuchen Sie es mit \"Speichern unter\".");
    EXPECT_FALSE(fs::exists(PathOf("a.pic")));
}

TEST_F(PictureFiles, ImagesShowPicturesAsTheShowPlacesThem)
{
    TForm* form = NewForm();
    TImage image(form);
    image.SetParent(form);
    image.SetBounds(0, 0, 40, 20);
    TBitmap red(10, 10, pf24bit);
    red.Canvas().Brush.Color = clRed;
    red.Canvas().FillRect(Rect(0, 0, 10, 10));

    TPicInfoObject entry;
    entry.BackgroundColor = clBlue;
    entry.Stretch = false;
    entry.Proportions = false;
    entry.Center = true;
    DrawPictureInImage(image, red, entry, false);
    TBitmap& shown = image.Picture().Bitmap();
    ASSERT_EQ(shown.Width(), 40);
    EXPECT_EQ(shown.Canvas().Pixels(0, 0), clBlue);
    EXPECT_EQ(shown.Canvas().Pixels(20, 10), clRed);

    DrawPictureInImage(image, red, entry, true); // stretched over the whole image
    EXPECT_EQ(image.Picture().Bitmap().Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(image.Picture().Bitmap().Canvas().Pixels(39, 19), clRed);

    const std::string picture = PathOf("bild.bmp");
    red.SaveToFile(picture);
    EXPECT_TRUE(LoadPictureIntoImage("bild.bmp", PathOf("show.vsf"), image));
    EXPECT_EQ(image.Picture().Width(), 10);
    EXPECT_FALSE(LoadPictureIntoImage("fehlt.bmp", PathOf("show.vsf"), image));
    EXPECT_EQ(image.Picture().Width(), 40) << "the placeholder fills the image";
    EXPECT_EQ(image.Picture().Height(), 20);
}

} // namespace
