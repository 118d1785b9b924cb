#include "editor/tools/ConvertAssistentLogic.h"
#include "editor/tools/ConvertAssistentUnit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/tools/ToolResources.h"
#include "imageformats/TargaGraphic.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/TestDriver.h"
#include "tests/ui/UiFixture.h"
#include "widgets/Spin.h"

namespace {

namespace fs = std::filesystem;
using namespace ConvertAssistentLogic;

TEST(ConvertSummary, IsBuiltFromTheChoices)
{
    TConvertSettings plain;
    EXPECT_EQ(SummaryText(plain),
              "Konvertieren von allen Dateien aus der Bilderliste in folgendes Format:\r\n\r\nWindows Bitmap (BMP) - "
              "verlustfrei\r\n\r\nDie Größe (Breite, Höhe) der Bilder wird nicht verändert.\r\n\r\nDie alten Bilder "
              "werden auf dem Datenträger belassen, aber durch die neuen in der Bilderliste ausgetauscht. Die neuen "
              "Bilder werden mit einer neuen Dateierweiterung im selben Verzeichnis gespeichert. Wenn der Dateiname "
              "schon vorhanden ist, wird er um \"_\" verlängert, also nicht überschrieben.");

    TConvertSettings jpeg;
    jpeg.Which = cwGreenMarked;
    jpeg.Format = cfJPEG;
    jpeg.Resize = true;
    jpeg.Width = 800;
    jpeg.Height = 600;
    jpeg.OnlySmaller = true;
    jpeg.KeepProportions = false;
    jpeg.OldFiles = coDelete;
    jpeg.UseUserDir = true;
    jpeg.UserDir = "/home/u/Neu";
    EXPECT_EQ(SummaryText(jpeg),
              "Konvertieren von allen Dateien aus der Bilderliste, die mit einem grünen Häkchen markiert sind in "
              "folgendes Format:\r\n\r\nJPEG (Kompression: 20%) - verlustbehaftet\r\n\r\nDie Größe der Bilder wird "
              "verändert:\r\nBreite: 800 Pixel, Höhe: 600 Pixel,\r\nWobei nur kleinere Bilder verändert werden. Die "
              "Seitenverhältnisse werden dabei nicht beibehalten.\r\n\r\nDie alten Bilder werden unwiderruflich vom "
              "Datenträger gelöscht. Die neuen Bilder werden mit einer neuen Dateierweiterung im Verzeichnis "
              "\"/home/u/Neu\" gespeichert. Wenn der Dateiname schon vorhanden ist, wird er um \"_\" verlängert, also "
              "nicht überschrieben.");

    TConvertSettings tga;
    tga.Which = cwMarked;
    tga.Format = cfTGA;
    tga.Resize = true;
    tga.OnlyBigger = true;
    tga.OldFiles = coDontUseNew;
    tga.UseUserDir = true; // without a folder: the same folder
    const std::string text = SummaryText(tga);
    EXPECT_EQ(text.rfind("Konvertieren von allen markierten Dateien aus der Bilderliste in folgendes Format:\r\n\r\n"
                         "TrueVision Targa (TGA) - verlustfrei\r\n\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("Wobei nur größere Bilder verändert werden. Die Seitenverhältnisse werden dabei "
                        "beibehalten.\r\n\r\nDie alten Bilder werden in der Bilderliste belassen. Die neuen Bilder "
                        "werden mit einer neuen Dateierweiterung im selben Verzeichnis"),
              std::string::npos);
}

TEST(ConvertSizes, TheTableAndTheRulesOfResizing)
{
    EXPECT_EQ(SizeItemFor(800, 600), 3);
    EXPECT_EQ(SizeItemFor(801, 600), UserSizeItem);
    EXPECT_EQ(SizeItemFor(1152, 964), 5);
    EXPECT_EQ(SizeItemFor(1152, 864), UserSizeItem);

    struct Case {
        int W, H;
        bool Proportions, Smaller, Bigger;
        int BoxW, BoxH;
        TPoint Expected;
    };
    for (const Case c : {Case{1600, 1200, true, false, false, 800, 800, {800, 600}},
                         Case{1600, 1200, false, false, false, 800, 800, {800, 800}},
                         Case{640, 480, true, true, false, 640, 480, {640, 480}},  // neither side smaller
                         Case{320, 200, true, true, false, 640, 480, {640, 400}},  // both smaller
                         Case{320, 600, true, true, false, 640, 480, {320, 600}},  // only one smaller
                         Case{641, 100, false, false, true, 640, 480, {640, 480}}, // one side larger
                         Case{640, 480, true, false, true, 640, 480, {640, 480}}}) {
        TConvertSettings s;
        s.Resize = true;
        s.Width = c.BoxW;
        s.Height = c.BoxH;
        s.KeepProportions = c.Proportions;
        s.OnlySmaller = c.Smaller;
        s.OnlyBigger = c.Bigger;
        EXPECT_EQ(TargetSize(c.W, c.H, s), c.Expected) << c.W << "x" << c.H;
    }
    EXPECT_EQ(TargetSize(1600, 1200, TConvertSettings{}), (TPoint{1600, 1200})) << "no resizing";
}

class ConvertFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("vistelo_convert_" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        PicInfoUnit::PicInfoAccessMethod = paPicListBox;
        PicInfoUnit::AccessVistelo = nullptr;
        fs::remove_all(folder_);
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    // A small BMP picture, red on the left half, blue on the right.
    std::string Picture(const std::string& name, int width = 40, int height = 30)
    {
        TBitmap bitmap(width, height, pf24bit);
        bitmap.Canvas().Brush.Color = clRed;
        bitmap.Canvas().FillRect({0, 0, width / 2, height});
        bitmap.Canvas().Brush.Color = clBlue;
        bitmap.Canvas().FillRect({width / 2, 0, width, height});
        bitmap.SaveToFile(Path(name));
        return Path(name);
    }
    static void Touch(const std::string& path) { std::ofstream(path) << "x"; }

    fs::path folder_;
};

TEST_F(ConvertFiles, ANewNameIsLengthenedUntilItIsFreeLetterCaseIgnored)
{
    TConvertSettings jpeg;
    jpeg.Format = cfJPEG;
    const std::string bild = Path("bild.jpg");
    Touch(bild);
    EXPECT_EQ(NewFileName(bild, jpeg), Path("bild_.jpg"));
    Touch(Path("bild_.jpg"));
    EXPECT_EQ(NewFileName(bild, jpeg), Path("bild__.jpg"));

    TConvertSettings bmp;
    Touch(Path("FOTO.BMP"));
    EXPECT_EQ(NewFileName(Path("Foto.png"), bmp), Path("Foto_.bmp"));

    TConvertSettings user;
    user.Format = cfTGA;
    user.UseUserDir = true;
    user.UserDir = Path("ziel");
    EXPECT_EQ(NewFileName("/anderswo/bild.jpg", user), Path("ziel/bild.tga"));
}

TEST_F(ConvertFiles, TheOldFilesAreKeptDeletedOrLeftInTheList)
{
    struct Case {
        TConvertOldFiles OldFiles;
        bool OldFileStays;
        bool EntryMoves;
    };
    for (const Case c :
         {Case{coDontDelete, true, true}, Case{coDelete, false, true}, Case{coDontUseNew, true, false}}) {
        const std::string old = Picture("alt.bmp");
        TPicInfoObject entry;
        entry.FileName = old;
        TConvertSettings s;
        s.Format = cfTGA;
        s.OldFiles = c.OldFiles;
        ASSERT_EQ(ConvertPicture(entry, "", s), crConverted);
        const std::string converted = Path("alt.tga");
        EXPECT_TRUE(fs::exists(converted));
        EXPECT_EQ(fs::exists(old), c.OldFileStays);
        EXPECT_EQ(entry.FileName, c.EntryMoves ? converted : old);
        fs::remove(converted);
    }
}

TEST_F(ConvertFiles, AFailedSaveToAMissingFolderKeepsTheOriginal)
{
    const std::string old = Picture("bild.bmp");
    TPicInfoObject entry;
    entry.FileName = old;
    TConvertSettings s;
    s.OldFiles = coDelete;
    s.UseUserDir = true;
    s.UserDir = Path("gibtsnicht");
    EXPECT_EQ(ConvertPicture(entry, "", s), crSaveFailed);
    EXPECT_TRUE(fs::exists(old));
    EXPECT_EQ(entry.FileName, old);
}

TEST_F(ConvertFiles, APictureIsResampledToTheTargetSizeInTheChosenFormat)
{
    TPicInfoObject entry;
    entry.FileName = Picture("gross.bmp", 160, 120);
    TConvertSettings s;
    s.Format = cfJPEG;
    s.Resize = true;
    s.Width = 80;
    s.Height = 80;
    ASSERT_EQ(ConvertPicture(entry, "", s), crConverted);
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Path("gross.jpg"));
    EXPECT_EQ(jpeg.Width(), 80);
    EXPECT_EQ(jpeg.Height(), 60);
    std::ifstream in(Path("gross.jpg"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(
        JPEGCompressionWord::IsCompressedWith(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0x5000));
}

TEST_F(ConvertFiles, TheChosenPicturesAreConvertedAndFailuresCounted)
{
    TVistelo show;
    const char* names[] = {"a.bmp", "b.bmp", "fehlt.bmp", "c.bmp"};
    for (int i = 0; i < 4; ++i) {
        TPicInfoObject entry;
        entry.FileName = i == 2 ? Path(names[i]) : Picture(names[i]);
        entry.ShowImage = i != 1;
        show.AddDia(entry);
    }
    PicInfoUnit::PicInfoAccessMethod = paVistelo;
    PicInfoUnit::AccessVistelo = &show;
    EXPECT_EQ(ChosenCount(cwGreenMarked), 3);

    TConvertSettings s;
    s.Which = cwGreenMarked;
    s.Format = cfTGA;
    std::vector<std::string> told;
    const TConvertCounts counts = ConvertPictures(s, "", [&](const std::string& f) { told.push_back(f); });
    EXPECT_EQ(counts.Converted, 2);
    EXPECT_EQ(counts.Failed, 1);
    EXPECT_EQ(told.size(), 3u);
    EXPECT_EQ(show.GetPicInfo(0)->FileName, Path("a.tga"));
    EXPECT_EQ(show.GetPicInfo(1)->FileName, Path("b.bmp")) << "not chosen";
    EXPECT_EQ(show.GetPicInfo(2)->FileName, Path("fehlt.bmp"));
    EXPECT_FALSE(fs::exists(Path("b.tga")));

    EXPECT_EQ(FinalMessage(counts),
              "Die Konvertierung von 3 Bildern wurde abgeschlossen.\r\rEs konnten 1 Bilder nicht konvertiert "
              "werden!\r\rDas kann daran liegen, dass der Dateiträger schreibgeschützt ist, die Datei nicht geöffnet "
              "werden kann oder die Datei teilweise oder ganz beschädigt ist.");
    EXPECT_EQ(FinalMessage({2, 0}), "Die Konvertierung von 2 Dateien wurde erfolgreich abgeschlossen.");
}

// --- the form ---

TEST(ConvertAssistentForm, TheSizeEditsAndTheTableFollowEachOther)
{
    TConvertAssistentForm form(nullptr);
    EXPECT_EQ(form.SizesRadioGroup->ItemIndex(), 2);
    EXPECT_EQ(form.WidthEdit->Text(), "640");
    form.SizesRadioGroup->SetItemIndex(5);
    form.SizesRadioGroupClick(form.SizesRadioGroup);
    EXPECT_EQ(form.WidthEdit->Text(), "1152");
    EXPECT_EQ(form.HeightEdit->Text(), "964");
    form.WidthEdit->SetText("800");
    form.HeightEdit->SetText("600");
    EXPECT_EQ(form.SizesRadioGroup->ItemIndex(), 3);
    form.WidthEdit->SetText("801");
    EXPECT_EQ(form.SizesRadioGroup->ItemIndex(), UserSizeItem);

    form.OnlySmallerPicsCheck->SetChecked(true);
    form.OnlyBiggerPicsCheck->SetChecked(true);
    EXPECT_FALSE(form.OnlySmallerPicsCheck->Checked()) << "one of the two at a time";
}

TEST(ConvertAssistentForm, WithoutPicturesItSaysSoAndOffersNoWayOn)
{
    TVistelo empty;
    PicInfoUnit::PicInfoAccessMethod = paVistelo;
    PicInfoUnit::AccessVistelo = &empty;
    ui::BeginDialogScript();
    TConvertAssistentForm form(nullptr);
    form.FormActivate(&form);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, TConvertAssistentForm::NoPicturesMessage);
    EXPECT_FALSE(form.NextBtn->Enabled());
    EXPECT_FALSE(form.AllPicsCheck->Enabled());
    ui::EndDialogScript();
    PicInfoUnit::PicInfoAccessMethod = paPicListBox;
    PicInfoUnit::AccessVistelo = nullptr;
}

// The page's picture: an image at its left edge showing a loaded picture.
const TGraphic* PagePicture(TWinControl* Page)
{
    for (int i = 0; i < Page->ControlCount(); ++i)
        if (auto* image = dynamic_cast<TImage*>(Page->Controls(i)); image && image->Left() < 20)
            return image->Picture().Graphic();
    return nullptr;
}

class ConvertAssistentWindow : public UiTest { };

TEST_F(ConvertAssistentWindow, EveryPageShowsItsPictureBesideItsControlsAndF1GivesTheEditorsHelp)
{
    TConvertAssistentForm form(nullptr);
    for (int i = 0; i < form.PageControl->PageCount(); ++i) {
        const TGraphic* picture = PagePicture(form.PageControl->Pages(i));
        ASSERT_NE(picture, nullptr) << "page " << i;
        EXPECT_EQ(picture->Width(), ToolResources::PagePictureWidth) << "page " << i;
    }
    EXPECT_GE(form.AllPicsCheck->Left(), ToolResources::PagePictureRoom) << "the controls make room";
    EXPECT_EQ(form.WidthEdit->MaxValue, 99999);

    form.Show();
    Turn();
    SendKey(form.NextBtn, TKeyAction::Press, TKey::F1);
    Turn();
    ASSERT_FALSE(ui::RecordedDialogs().empty());
    EXPECT_EQ(ui::RecordedDialogs().back().Request.Text, TAAForm::NoHelpMessage);
}

TEST(ConvertAssistentForm, TheLastPageSumsUpTheChoices)
{
    TConvertAssistentForm form(nullptr);
    form.FormatRadioGroup->SetItemIndex(cfJPEG);
    form.DeleteCheck->SetChecked(true);
    form.FinishBtnClick(form.FinishBtn);
    EXPECT_EQ(form.PageControl->ActivePage(), form.ReadyTabSheet);
    EXPECT_FALSE(form.NextBtn->Enabled());
    EXPECT_EQ(form.WhatToDoMemo->Text(), SummaryText(form.Settings()));
    EXPECT_NE(form.WhatToDoMemo->Text().find("JPEG (Kompression: 20%)"), std::string::npos);
    EXPECT_NE(form.WhatToDoMemo->Text().find("unwiderruflich vom Datenträger gelöscht"), std::string::npos);
}

} // namespace
