// The picture save plug-ins: their descriptions, extensions and defaults,
// their registration, saving, and the TGA options dialog.

#include "editor/app/SavePlugins.h"

#include "core/Setup.h"
#include "editor/app/TargaCompressionForm.h"
#include "editor/controls/JPEGCompressionDlgForm.h"
#include "editor/controls/JPEGCompressionWord.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "ui/UiFixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> FileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SavePluginsTest, DescriptionsExtensionsAndDefaults)
{
    struct Case {
        const TPicFormatSavePluginMeta* meta;
        const char* description;
        const char* extensions;
        bool hasOptions;
    };
    const Case cases[] = {
        {TPicFormatSaveBMPPlugin::StaticClass(), "Windows Bitmaps (*.BMP)", "BMP\n", false},
        {TPicFormatSaveJPGPlugin::StaticClass(), "JPEG (*.JPG;*.JPEG)", "JPG\nJPEG\n", true},
        {TPicFormatSaveTGAPlugin::StaticClass(), "TrueVision Targa (*.TGA)", "TGA\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        EXPECT_EQ(c.meta->Description(), c.description);
        auto extensions = c.meta->FileExt();
        std::string joined;
        for (int i = 0; i < extensions->Count(); ++i)
            joined += extensions->Strings(i) + "\n";
        EXPECT_EQ(joined, c.extensions);
        EXPECT_EQ(c.meta->HasOptions(), c.hasOptions);
    }
    const TPicFormatSaveJPGPlugin jpg;
    EXPECT_EQ(jpg.Quality, 80);
    EXPECT_EQ(jpg.Progressive, 0);
    EXPECT_FALSE(jpg.AutoPreview);
    EXPECT_TRUE(TPicFormatSaveTGAPlugin().Compressed);
}

TEST(SavePluginsTest, TheEditorRegistersBmpJpgTgaInThatOrder)
{
    ASSERT_TRUE(Setup::MainPlugins);
    std::vector<TPluginClass> order;
    for (int i = 0; i < Setup::MainPlugins->GetItemCount(); ++i) {
        const TPluginClass cls = Setup::MainPlugins->GetListItem(i)->PluginClass();
        if (cls == TPicFormatSaveBMPPlugin::StaticClass() || cls == TPicFormatSaveJPGPlugin::StaticClass() ||
            cls == TPicFormatSaveTGAPlugin::StaticClass())
            order.push_back(cls);
    }
    EXPECT_EQ(order,
              (std::vector<TPluginClass>{TPicFormatSaveBMPPlugin::StaticClass(), TPicFormatSaveJPGPlugin::StaticClass(),
                                         TPicFormatSaveTGAPlugin::StaticClass()}));
}

class SavePluginFiles : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        folder = fs::temp_directory_path() / ("vistelo-editor-plugins-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        bitmap.Canvas().Brush.Color = clGreen;
        bitmap.Canvas().FillRect(Rect(0, 0, 20, 10));
    }
    void TearDown() override
    {
        fs::remove_all(folder);
        UiTest::TearDown();
    }
    fs::path folder;
    TBitmap bitmap{20, 10, pf24bit};
};

TEST_F(SavePluginFiles, EachPluginWritesItsFormat)
{
    TPicFormatSaveBMPPlugin bmp;
    ASSERT_TRUE(bmp.SaveBitmap((folder / "a.bmp").string(), bitmap));
    EXPECT_EQ(FileBytes(folder / "a.bmp").at(0), 'B');

    TPicFormatSaveJPGPlugin jpg;
    ASSERT_TRUE(jpg.SaveBitmap((folder / "a.jpg").string(), bitmap));
    std::vector<std::uint8_t> bytes = FileBytes(folder / "a.jpg");
    EXPECT_TRUE(JPEGCompressionWord::IsCompressedWith(bytes.data(), bytes.size(), 0x5000)) << "quality 80, baseline";
    jpg.Quality = 30;
    jpg.Progressive = 1;
    ASSERT_TRUE(jpg.SaveBitmap((folder / "b.jpg").string(), bitmap));
    bytes = FileBytes(folder / "b.jpg");
    EXPECT_TRUE(JPEGCompressionWord::IsCompressedWith(bytes.data(), bytes.size(), 0x1E01));

    TPicFormatSaveTGAPlugin tga;
    ASSERT_TRUE(tga.SaveBitmap((folder / "a.tga").string(), bitmap));
    EXPECT_EQ(FileBytes(folder / "a.tga").at(2), 10) << "run-length compressed true colour";
    tga.Compressed = false;
    ASSERT_TRUE(tga.SaveBitmap((folder / "b.tga").string(), bitmap));
    EXPECT_EQ(FileBytes(folder / "b.tga").at(2), 2) << "plain true colour";

    const std::string nowhere = (folder / "fehlt" / "x").string();
    EXPECT_FALSE(jpg.SaveBitmap(nowhere + ".jpg", bitmap));
    EXPECT_FALSE(tga.SaveBitmap(nowhere + ".tga", bitmap));
    EXPECT_TRUE(ui::RecordedDialogs().empty()) << "no message";
}

TEST_F(SavePluginFiles, TheTgaDialogChangesTheSwitchOnlyOnOK)
{
    TPicFormatSaveTGAPlugin tga;
    struct Case {
        bool clickCheck;
        bool ok;
        bool result;
    };
    for (const Case& c : {Case{true, false, true}, Case{true, true, false}, Case{true, true, true}}) {
        bool shownChecked = false;
        Later([&] {
            auto* form = dynamic_cast<TTargaCompressionForm*>(Screen->ActiveForm());
            ASSERT_NE(form, nullptr);
            shownChecked = form->CompressionCheck->Checked();
            if (c.clickCheck)
                form->CompressionCheck->SetChecked(!shownChecked);
            (c.ok ? form->OKButton : form->CancelButton)->Click();
        });
        const bool before = tga.Compressed;
        tga.ShowOptionsDialog(nullptr);
        EXPECT_EQ(shownChecked, before);
        EXPECT_EQ(tga.Compressed, c.result);
    }
}

TEST_F(SavePluginFiles, TheJpegDialogShowsTheSettingsAndTakesThemBackOnlyOnOK)
{
    TPicFormatSaveJPGPlugin jpg;
    jpg.Quality = 60;
    jpg.Progressive = 1;
    struct Shown {
        int position = 0;
        bool progressive = false;
        bool autoPreview = true;
    } shown;
    const auto drive = [&](bool ok) {
        Later([&, ok] {
            auto* form = dynamic_cast<TJPEGCompressPrefsForm*>(Screen->ActiveForm());
            ASSERT_NE(form, nullptr);
            shown = {form->TrackBar->Position(), form->ProgressiveCheck->Checked(), form->PreviewCheck->Checked()};
            form->TrackBar->SetPosition(JPEGCompressionDlgForm::PositionOfQuality(25));
            form->TrackBarChange(form->TrackBar);
            form->ProgressiveCheck->SetChecked(false);
            form->PreviewCheck->SetChecked(true);
            (ok ? form->OKBtn : form->CancelBtn)->Click();
        });
        jpg.ShowOptionsDialog(nullptr);
    };

    drive(false);
    EXPECT_EQ(shown.position, JPEGCompressionDlgForm::PositionOfQuality(60));
    EXPECT_TRUE(shown.progressive);
    EXPECT_FALSE(shown.autoPreview);
    EXPECT_EQ(jpg.Quality, 60) << "Cancel keeps everything";
    EXPECT_EQ(jpg.Progressive, 1);
    EXPECT_FALSE(jpg.AutoPreview);

    drive(true);
    EXPECT_EQ(jpg.Quality, 25);
    EXPECT_EQ(jpg.Progressive, 0);
    EXPECT_TRUE(jpg.AutoPreview);
    ASSERT_TRUE(jpg.SaveBitmap((folder / "c.jpg").string(), bitmap));
    const std::vector<std::uint8_t> bytes = FileBytes(folder / "c.jpg");
    EXPECT_TRUE(JPEGCompressionWord::IsCompressedWith(bytes.data(), bytes.size(), 0x1900)) << "saved as chosen";
}

} // namespace
