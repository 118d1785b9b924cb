#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/app/VisteloSetup.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/tools/AskGotPicture.h"
#include "editor/tools/MultiTWAIN.h"
#include "editor/tools/ScannerAssistUnit.h"
#include "editor/tools/TwainSourceForms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "tests/ui/UiFixture.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> FileBytes(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A bitmap block: a 40-byte header, the colours, the rows.
HGLOBAL MakeDib(int width, int height, int bits, const std::vector<std::uint32_t>& colours,
                const std::vector<std::uint8_t>& rows)
{
    std::vector<std::uint8_t> block(40);
    const auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(block.data() + at, &v, 4); };
    put(0, 40);
    put(4, static_cast<std::uint32_t>(width));
    put(8, static_cast<std::uint32_t>(height));
    block[12] = 1;
    block[14] = static_cast<std::uint8_t>(bits);
    put(32, static_cast<std::uint32_t>(colours.size()));
    for (std::uint32_t c : colours)
        for (int i = 0; i < 4; ++i)
            block.push_back(static_cast<std::uint8_t>(c >> (8 * i)));
    block.insert(block.end(), rows.begin(), rows.end());
    return ui::GlobalAllocBytes(block);
}

// The scanner library with only its test device, configured per test.
class ScannerTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        // The test device reads in a thread of its own and keeps what it
        // read there; held in memory, it keeps its name for the leak
        // check's suppressions.
        static void* keptDevice = [] {
            for (const char* dir : {"/usr/lib/x86_64-linux-gnu/sane/", "/usr/lib64/sane/", "/usr/lib/sane/"})
                if (void* module = dlopen((std::string(dir) + "libsane-test.so.1").c_str(), RTLD_NOW | RTLD_NODELETE))
                    return module;
            return static_cast<void*>(nullptr);
        }();
        (void)keptDevice;
        folder = fs::temp_directory_path() / ("scanner-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "config");
        fs::create_directories(folder / "pictures");
        Configure("Color", "Default");
        ::setenv("SANE_CONFIG_DIR", (folder / "config").c_str(), 1);
        MultiTWAIN::DefaultSource.clear();
        TWAIN_SuppressSourceDialog(1);
        TWAIN_ResetError();
    }

    void TearDown() override
    {
        // Every test leaves the session where it starts.
        TWAIN_CloseManagerSession(nullptr);
        TWAIN_FreeManagerLibrary();
        EXPECT_EQ(TWAIN_CurrentStage(), 1);
        TWAIN_SuppressSourceDialog(0);
        fs::remove_all(folder);
        UiTest::TearDown();
    }

    // test.conf: the mode, the status its reads end with, a 10 x 8 mm
    // colour pattern at 50 dpi.
    void Configure(const std::string& mode, const std::string& readStatus)
    {
        std::ofstream(folder / "config" / "dll.conf") << "test\n";
        std::ofstream(folder / "config" / "test.conf")
            << "number_of_devices 2\nmode " << mode << "\ndepth 8\nresolution 50.0\n"
            << "test-picture \"Color pattern\"\nread-status-code \"" << readStatus << "\"\n"
            << "tl_x 0.0\ntl_y 0.0\nbr_x 10.0\nbr_y 8.0\n";
    }

    fs::path folder;
};

std::vector<std::pair<int, int>> received; // width and number of each image

void Record(HGLOBAL dib, int number)
{
    received.emplace_back(TWAIN_ImageWidthOf(dib), number);
    TWAIN_ReleaseImageHandle(dib);
}

} // namespace

TEST_F(ScannerTest, TheSessionWalksUpAndDownItsStates)
{
    ASSERT_TRUE(TWAIN_ManagerPresent());
    EXPECT_EQ(TWAIN_CurrentStage(), 1) << "asking for the manager leaves nothing loaded";
    EXPECT_FALSE(TWAIN_ChoosePixelKind(1));
    EXPECT_EQ(TWAIN_RecordedError(), 7) << "negotiation outside state 4";
    TWAIN_ResetError();
    ASSERT_TRUE(TWAIN_LoadManagerLibrary());
    EXPECT_EQ(TWAIN_CurrentStage(), 2);
    ASSERT_TRUE(TWAIN_OpenManagerSession(nullptr));
    EXPECT_EQ(TWAIN_CurrentStage(), 3);
    ASSERT_TRUE(TWAIN_OpenStandardSource());
    EXPECT_EQ(TWAIN_CurrentStage(), 4);
    EXPECT_TRUE(TWAIN_ChoosePixelKind(0)) << "any pixel type";
    EXPECT_TRUE(TWAIN_ChoosePixelKind(1 << TWPT_GRAY));
    EXPECT_FALSE(TWAIN_ChoosePixelKind(1 << 7));
    EXPECT_EQ(TWAIN_RecordedError(), 13) << "none of the wanted types is offered";
    TWAIN_RecordError(4);
    EXPECT_EQ(TWAIN_RecordedError(), 13) << "the first error is kept";
    EXPECT_TRUE(TWAIN_ShutSource());
    EXPECT_EQ(TWAIN_CurrentStage(), 3);
    EXPECT_EQ(TWAIN_FetchConditionCode(), TWCC_SUCCESS);
    EXPECT_TRUE(TWAIN_CloseManagerSession(nullptr));
    EXPECT_TRUE(TWAIN_FreeManagerLibrary());
    EXPECT_EQ(TWAIN_FetchConditionCode(), TWCC_SEQERROR);
}

TEST_F(ScannerTest, OneImageArrivesAsABottomUpBitmapBlock)
{
    HGLOBAL dib = TWAIN_AcquireOneImage(nullptr, 1 << TWPT_RGB);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(TWAIN_CurrentStage(), 1);
    const int width = TWAIN_ImageWidthOf(dib);
    const int height = TWAIN_ImageHeightOf(dib);
    EXPECT_NEAR(width, 20, 1) << "10 mm at 50 dpi";
    EXPECT_NEAR(height, 16, 1);
    const auto* header = static_cast<const std::uint8_t*>(ui::GlobalLock(dib));
    EXPECT_EQ(header[14], 24);
    EXPECT_EQ(TWAIN_PaletteSizeOf(header), 0);
    ui::GlobalUnlock(dib);

    const std::string file = (folder / "scan.bmp").string();
    ASSERT_EQ(TWAIN_StoreImageAsBmp(dib, file), 0);
    TBitmap back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.Width(), width);
    EXPECT_EQ(back.Height(), height);
    TWAIN_ReleaseImageHandle(dib);
}

TEST_F(ScannerTest, AFailingTransferEndsTheBurstInsteadOfAskingAgain)
{
    Configure("Color", "SANE_STATUS_IO_ERROR");
    received.clear();
    TWAIN_InstallImageHandler(Record);
    EXPECT_EQ(TWAIN_AcquireOneImage(nullptr, 0), nullptr);
    TWAIN_RemoveImageHandler();
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(TWAIN_CurrentStage(), 1);
}

TEST(ScannerBmpTest, TheWriterPutsAFileHeaderBeforeTheBlock)
{
    // 2 x 2 with 8 bits: rows of 2 bytes padded to 4; two colours used.
    HGLOBAL paletted = MakeDib(2, 2, 8, {0x000000, 0xFFFFFF}, {0, 1, 0, 0, 1, 0, 0, 0});
    // 3 x 2 with 24 bits: rows of 9 bytes padded to 12; no size given.
    HGLOBAL colour = MakeDib(3, 2, 24, {}, std::vector<std::uint8_t>(24, 0x7F));
    const fs::path dir = fs::temp_directory_path();
    const std::string a = (dir / ("bmp8-" + std::to_string(::getpid()) + ".bmp")).string();
    const std::string b = (dir / ("bmp24-" + std::to_string(::getpid()) + ".bmp")).string();
    ASSERT_EQ(TWAIN_StoreImageAsBmp(paletted, a), 0);
    ASSERT_EQ(TWAIN_StoreImageAsBmp(colour, b), 0);
    const std::vector<std::uint8_t> fileA = FileBytes(a), fileB = FileBytes(b);
    // 14 + 40 + 2 colours + 8 bytes of rows.
    ASSERT_EQ(fileA.size(), 14u + 40 + 8 + 8);
    EXPECT_EQ(std::vector<std::uint8_t>(fileA.begin(), fileA.begin() + 14),
              (std::vector<std::uint8_t>{'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0}));
    ASSERT_EQ(fileB.size(), 14u + 40 + 24);
    EXPECT_EQ(fileB[2], 78);
    EXPECT_EQ(fileB[10], 54);
    EXPECT_EQ(fileB.back(), 0x7F);
    TBitmap read;
    read.LoadFromFile(b);
    EXPECT_EQ(read.Width(), 3);

    // A block shorter than its header promises is not written past its end.
    HGLOBAL shortBlock = MakeDib(100, 100, 24, {}, std::vector<std::uint8_t>(12, 0));
    EXPECT_EQ(TWAIN_StoreImageAsBmp(shortBlock, b), -4);
    EXPECT_EQ(TWAIN_StoreImageAsBmp(nullptr, b), -3);
    for (HGLOBAL block : {paletted, colour, shortBlock})
        TWAIN_ReleaseImageHandle(block);
    fs::remove(a);
    fs::remove(b);
}

TEST_F(ScannerTest, ScannedPicturesGetTheNextFreeNumberedNames)
{
    const std::string pictures = (folder / "pictures").string();
    std::ofstream(folder / "pictures" / "Bild1.jpg") << "x";
    std::ofstream(folder / "pictures" / "Bild2.jpg") << "x";
    EXPECT_EQ(TScannerAssistent::ImageFileName(pictures, 0, 1), pictures + "/Bild3.jpg");
    EXPECT_EQ(TScannerAssistent::ImageFileName(pictures, 4, 2), pictures + "/Bild5.tga");

    VisteloSetup::PicDir = pictures;
    auto* wizard = new TScannerAssistent(nullptr);
    for (TPanel* page : wizard->Pages) {
        int pictures = 0;
        for (int i = 0; i < page->ControlCount(); ++i)
            if (auto* image = dynamic_cast<TImage*>(page->Controls(i)); image && image->Picture().Graphic())
                ++pictures;
        EXPECT_EQ(pictures, 1) << "every page shows its picture";
    }
    wizard->Activated();
    EXPECT_EQ(wizard->VersionLabel->Caption(), "TWAIN Version 1.06 gefunden");
    wizard->FormatGroup->SetItemIndex(1);
    wizard->ImportCheck->SetChecked(false);
    wizard->AutoConfirmCheck->SetChecked(true);
    std::vector<std::string> added;
    wizard->OnAddPictures = [&](const std::vector<std::string>& files) {
        added.insert(added.end(), files.begin(), files.end());
    };
    wizard->Acquire();
    EXPECT_TRUE(fs::exists(folder / "pictures" / "Bild3.jpg")) << "saved without a question";
    EXPECT_TRUE(added.empty()) << "not added to the show";
    EXPECT_EQ(wizard->Decision, -2);

    // Import on: the next image is added, under the next free name.
    wizard->ImportCheck->SetChecked(true);
    wizard->Decision = 0;
    wizard->Acquire();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0], pictures + "/Bild4.jpg");
    TBitmap saved;
    EXPECT_TRUE(fs::exists(added[0]));
    delete wizard;
}

TEST_F(ScannerTest, TheImportedDialogDecidesAndDiscardingForAllSkipsTheRest)
{
    EXPECT_EQ(TAskGotPictureForm::FilterOfFormat(2), "TrueVision Targa (*.TGA)|*.TGA|");
    VisteloSetup::PicDir = (folder / "pictures").string();
    auto* wizard = new TScannerAssistent(nullptr);
    wizard->Activated();
    wizard->AutoConfirmCheck->SetChecked(false);
    int asked = 0;
    TTimer timer(nullptr);
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* form = dynamic_cast<TAskGotPictureForm*>(Screen->Forms(i)); form && form->Modal()) {
                ++asked;
                EXPECT_EQ(form->FileNameEdit->Text(), VisteloSetup::PicDir + "/Bild1.bmp");
                form->ApplyToAllCheck->SetChecked(true);
                form->DiscardButton->Click();
            }
    };
    for (int i = 0; i < 2; ++i)
        wizard->HandleImage(std::make_unique<TBitmap>(8, 6), 0);
    EXPECT_EQ(asked, 1) << "the second picture is discarded without asking";
    EXPECT_EQ(wizard->Decision, TScannerAssistent::DiscardAll);
    EXPECT_FALSE(fs::exists(folder / "pictures" / "Bild1.bmp"));
    delete wizard;
}

// The feeder delivers pages until it is empty; each page is a picture of its
// own, numbered in the order of the burst.
TEST_F(ScannerTest, AFeederBurstSavesEveryPageUnderItsOwnNumber)
{
    VisteloSetup::PicDir = (folder / "pictures").string();
    auto* wizard = new TScannerAssistent(nullptr);
    wizard->Activated();
    wizard->AutoConfirmCheck->SetChecked(true);
    wizard->ImportCheck->SetChecked(false);
    TWAIN_SuppressSourceDialog(0);
    bool shown = false;
    TTimer timer(nullptr);
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* form = dynamic_cast<TScanSettingsForm*>(Screen->Forms(i)); form && form->Modal()) {
                shown = true;
                const int feeder = form->SourceCombo->Items().IndexOf("Automatic Document Feeder");
                ASSERT_GE(feeder, 0);
                form->SourceCombo->SetItemIndex(feeder);
                form->ScanButton->Click();
            }
    };
    wizard->Acquire();
    timer.SetEnabled(false);
    EXPECT_TRUE(shown) << "the source's settings come first";
    int pages = 0;
    while (fs::exists(folder / "pictures" / ("Bild" + std::to_string(pages + 1) + ".bmp")))
        ++pages;
    EXPECT_GT(pages, 1);
    EXPECT_FALSE(fs::exists(folder / "pictures" / ("Bild" + std::to_string(pages + 2) + ".bmp")));
    EXPECT_EQ(TWAIN_CurrentStage(), 1);
    delete wizard;
}

TEST_F(ScannerTest, ClosingTheSourcesWindowEndsTheAcquisition)
{
    VisteloSetup::PicDir = (folder / "pictures").string();
    auto* wizard = new TScannerAssistent(nullptr);
    wizard->Activated();
    wizard->AutoConfirmCheck->SetChecked(true);
    TWAIN_SuppressSourceDialog(0);
    TTimer timer(nullptr);
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* form = dynamic_cast<TScanSettingsForm*>(Screen->Forms(i)); form && form->Modal())
                form->CancelButton->Click();
    };
    wizard->Acquire();
    EXPECT_FALSE(fs::exists(folder / "pictures" / "Bild1.bmp"));
    EXPECT_TRUE(wizard->Enabled()) << "the wizard is back";
    EXPECT_EQ(TWAIN_CurrentStage(), 1);
    delete wizard;
}
