#include "platform/graphics/Picture.h"

#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Jpeg.h"
#include "tests/graphics/ToolOutput.h"

// A picture class of the test's own, to register in place of others.
class TTestGraphic : public TBitmap {
    DECLARE_CLASS(TTestGraphic, TBitmap)
};
IMPLEMENT_CLASS(TTestGraphic)

namespace {

using tooltest::Shell;

class PictureTest : public ::testing::Test {
protected:
    // The registry is shared by the whole process: put back what a test changed.
    void TearDown() override
    {
        TPicture::RegisterFileFormat("jpg", "JPEG Image File", TJPEGImage::StaticClass());
        TPicture::UnregisterGraphicClass(TTestGraphic::StaticClass());
    }

    std::string Jpeg()
    {
        const std::string path = dir.File("bild.jpg");
        Shell("convert -size 60x40 gradient:white-black -quality 90 " + path);
        return path;
    }

    tooltest::ScratchFolder dir;
};

TEST_F(PictureTest, ThePlatformFormatsAreRegisteredAtStart)
{
    struct Case {
        const char* extension;
        TGraphicClass graphicClass;
    };
    const Case cases[] = {{"bmp", TBitmap::StaticClass()},
                          {"dib", TBitmap::StaticClass()},
                          {"rle", TBitmap::StaticClass()},
                          {"jpg", TJPEGImage::StaticClass()},
                          {".JPEG", TJPEGImage::StaticClass()},
                          {"jpe", TJPEGImage::StaticClass()},
                          {"jfif", TJPEGImage::StaticClass()},
                          {"ico", TIcon::StaticClass()},
                          {"wmf", TMetafile::StaticClass()},
                          {"EMF", TMetafile::StaticClass()},
                          {"xyz", nullptr},
                          {"", nullptr}};
    for (const Case& c : cases)
        EXPECT_EQ(gfx::GraphicClassOfExtension(c.extension), c.graphicClass) << c.extension;
}

TEST_F(PictureTest, ALaterRegistrationReplacesTheEarlierOne)
{
    const size_t count = gfx::RegisteredFileFormats().size();
    TPicture::RegisterFileFormat(".JPG", "Testbilder", TTestGraphic::StaticClass());
    TPicture::RegisterFileFormat("tst", "Testbilder", TTestGraphic::StaticClass());
    EXPECT_EQ(gfx::GraphicClassOfExtension("jpg"), TTestGraphic::StaticClass());
    const auto formats = gfx::RegisteredFileFormats();
    EXPECT_EQ(formats.size(), count + 1);
    EXPECT_EQ(std::count_if(formats.begin(), formats.end(), [](const auto& f) { return f.Extension == "jpg"; }), 1);

    // The new class reads the file now: a bitmap reader refuses a JPEG.
    TPicture picture;
    EXPECT_THROW(picture.LoadFromFile(Jpeg()), EInvalidGraphic);
}

TEST_F(PictureTest, UnregisteringAClassRemovesItsDescendantsToo)
{
    TPicture::RegisterFileFormat("tst", "Testbilder", TTestGraphic::StaticClass());
    TPicture::UnregisterGraphicClass(TBitmap::StaticClass());
    EXPECT_EQ(gfx::GraphicClassOfExtension("tst"), nullptr);
    EXPECT_EQ(gfx::GraphicClassOfExtension("bmp"), nullptr);
    for (const char* ext : {"bmp", "dib", "rle"})
        TPicture::RegisterFileFormat(ext, "Bitmaps", TBitmap::StaticClass());
    EXPECT_EQ(gfx::GraphicClassOfExtension("bmp"), TBitmap::StaticClass());
}

TEST_F(PictureTest, LoadingChoosesTheClassByExtension)
{
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile(Jpeg());
    ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 60);
    EXPECT_EQ(picture.Height(), 40);
    EXPECT_GE(changes, 1);

    const std::string unknown = dir.File("bild.xyz");
    tooltest::WriteBytes(unknown, {1, 2, 3});
    EXPECT_THROW(picture.LoadFromFile(unknown), EInvalidGraphic);
    const std::string metafile = dir.File("bild.wmf");
    tooltest::WriteBytes(metafile, {0xD7, 0xCD, 0xC6, 0x9A, 0, 0});
    EXPECT_THROW(picture.LoadFromFile(metafile), EInvalidGraphic);
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr); // a failed load keeps the picture
}

TEST_F(PictureTest, ProgressOfTheHeldGraphicIsPassedOn)
{
    TPicture picture;
    picture.LoadFromFile(Jpeg());
    std::vector<TProgressStage> stages;
    picture.OnProgress = [&](TObject* sender, TProgressStage stage, std::uint8_t, bool, const TRect&,
                             const std::string&) {
        EXPECT_EQ(sender, picture.Graphic());
        stages.push_back(stage);
    };
    TBitmap page(60, 40, pf24bit);
    page.Canvas().Draw(0, 0, *picture.Graphic()); // decodes
    ASSERT_GE(stages.size(), 2u);
    EXPECT_EQ(stages.front(), psStarting);
    EXPECT_EQ(stages.back(), psEnding);
}

TEST_F(PictureTest, AssignCopiesTheGraphicAndBitmapReplacesOtherKinds)
{
    TPicture source;
    source.LoadFromFile(Jpeg());
    TPicture copy;
    copy.Assign(&source);
    ASSERT_NE(copy.Graphic(), nullptr);
    EXPECT_NE(copy.Graphic(), source.Graphic());
    EXPECT_EQ(copy.Graphic()->ClassType(), TJPEGImage::StaticClass());
    EXPECT_EQ(copy.Width(), 60);

    TBitmap& bitmap = copy.Bitmap();
    EXPECT_EQ(copy.Graphic(), &bitmap);
    EXPECT_TRUE(bitmap.Empty());
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Graphic(), nullptr);
    EXPECT_EQ(copy.Width(), 0);
}

TEST_F(PictureTest, ATakenGraphicIsHeldItselfAndReportsItsChanges)
{
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    auto bitmap = std::make_unique<TBitmap>(7, 5, pf24bit);
    TBitmap* held = bitmap.get();
    picture.TakeGraphic(std::move(bitmap));
    EXPECT_EQ(picture.Graphic(), held);
    EXPECT_EQ(picture.Width(), 7);
    const int afterTaking = changes;
    EXPECT_GT(afterTaking, 0);
    held->SetSize(9, 5);
    EXPECT_GT(changes, afterTaking);
    picture.TakeGraphic(nullptr);
    EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST_F(PictureTest, SavingWritesTheHeldGraphicsBytes)
{
    const std::string original = Jpeg();
    TPicture picture;
    picture.LoadFromFile(original);
    const std::string saved = dir.File("kopie.jpg");
    picture.SaveToFile(saved);
    EXPECT_EQ(tooltest::ReadBytes(saved), tooltest::ReadBytes(original));
}

TEST_F(PictureTest, FiltersListTheFormatsOfAClassAndItsDescendants)
{
    EXPECT_EQ(gfx::GraphicFilter(TJPEGImage::StaticClass()),
              "Alle (*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif|"
              "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
              "JPEG Image File (*.jpe)|*.jpe|JPEG Image File (*.jfif)|*.jfif");
    EXPECT_EQ(gfx::GraphicFileMask(TMetafile::StaticClass()), "*.wmf;*.emf");
    EXPECT_EQ(gfx::GraphicExtension(TIcon::StaticClass()), "ico");
    const std::string all = gfx::GraphicFilter(TGraphic::StaticClass());
    EXPECT_EQ(all.rfind("Alle (", 0), 0u) << all;
    for (const char* entry : {"Bitmaps (*.bmp)|*.bmp", "Icons (*.ico)|*.ico", "Enhanced Metafiles (*.emf)|*.emf"})
        EXPECT_NE(all.find(entry), std::string::npos) << entry;
    EXPECT_EQ(gfx::GraphicFilter(TTestGraphic::StaticClass()), "");
}

} // namespace
