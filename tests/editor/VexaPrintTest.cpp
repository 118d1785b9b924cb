#include "editor/tools/VexaPrintForm.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/SmoothBitmap.h"
#include "editor/tools/PrintLayout.h"
#include "editor/tools/PrinterTools.h"
#include "editor/tools/Units.h"
#include "editor/tools/VexaPrint.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Printers.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

// An A4 page whose printable area is 4 mm in from the left, 5 mm from the
// top, 6 mm from the right and 5 mm from the bottom.
TPageMetrics A4()
{
    TPageMetrics page;
    page.PaperWidth = 210;
    page.PaperHeight = 297;
    page.PrintableWidth = 200;
    page.PrintableHeight = 287;
    page.LeftOffset = 4;
    page.TopOffset = 5;
    page.RightOffset = 6;
    page.BottomOffset = 5;
    return page;
}

void ExpectMargins(const TPageMargins& m, double left, double top, double right, double bottom, const char* what)
{
    EXPECT_NEAR(m.Left, left, 1e-9) << what;
    EXPECT_NEAR(m.Top, top, 1e-9) << what;
    EXPECT_NEAR(m.Right, right, 1e-9) << what;
    EXPECT_NEAR(m.Bottom, bottom, 1e-9) << what;
}

std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

// A page of a PDF rendered at 72 dpi: one pixel per point.
struct TRendered {
    int Width = 0;
    int Height = 0;
    std::string Rgb;
    bool Red(int x, int y) const
    {
        const auto* p = reinterpret_cast<const unsigned char*>(Rgb.data()) +
            (static_cast<std::size_t>(y) * Width + x) * 3;
        return p[0] > 200 && p[1] < 60 && p[2] < 60;
    }
};

TRendered RenderFirstPage(const std::string& pdf)
{
    const std::string base = pdf + ".page";
    Output("pdftoppm -r 72 -f 1 -l 1 -singlefile '" + pdf + "' '" + base + "'");
    std::ifstream in(base + ".ppm", std::ios::binary);
    TRendered page;
    std::string magic;
    int maxValue = 0;
    in >> magic >> page.Width >> page.Height >> maxValue;
    in.get();
    page.Rgb.resize(static_cast<std::size_t>(page.Width) * page.Height * 3);
    in.read(page.Rgb.data(), static_cast<std::streamsize>(page.Rgb.size()));
    std::filesystem::remove(base + ".ppm");
    return page;
}

// A picture that cannot be drawn.
class TBrokenGraphic : public TBitmap {
public:
    TBrokenGraphic() : TBitmap(40, 20) { }
    void Draw(TCanvas&, const TRect&) override
    {
        ++Draws;
        throw Exception("kaputt");
    }
    int Draws = 0;
};

class VexaPrintTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        folder = std::filesystem::temp_directory_path() / ("vexaprint-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        pdf = (folder / "seite.pdf").string();
        Printer()->OutputFileName = pdf;
    }

    void TearDown() override
    {
        Printer()->OutputFileName.clear();
        std::filesystem::remove_all(folder);
        Units::ResetScreenResolution();
        UiTest::TearDown();
    }

    std::filesystem::path folder;
    std::string pdf;
};

} // namespace

TEST(PrintLayoutTest, FittingSetsTheMarginsFromTheOffsetsAndTheProportions)
{
    const TPageMetrics page = A4();
    TPageMargins m;
    PrintLayout::FitMargins(page, 3000, 1500, {false, true, true, true}, m);
    ExpectMargins(m, 2.5, 2.5, 2.5, 2.5, "without fitting the user's margins stay");
    PrintLayout::FitMargins(page, 3000, 1500, {true, false, false, false}, m);
    ExpectMargins(m, 0.4, 0.5, 0.6, 0.5, "the printable area");
    PrintLayout::FitMargins(page, 3000, 1500, {true, false, false, true}, m);
    ExpectMargins(m, 0.6, 0.6, 0.6, 0.6, "equal borders: the largest offset");
    // 3000 x 1500 at 300 dpi: 254 x 127 mm.
    PrintLayout::FitMargins(page, 3000, 1500, {true, true, true, true}, m);
    ExpectMargins(m, 0.6, 9.9, 0.6, 9.9, "a wide picture centred on a portrait page");
    PrintLayout::FitMargins(page, 3000, 1500, {true, true, false, false}, m);
    ExpectMargins(m, 0.4, 0.5, 0.6, 19.2, "a wide picture at the top of the printable area");
    PrintLayout::FitMargins(page, 1000, 3000, {true, true, true, false}, m);
    const double w = 287.0 / 3;
    ExpectMargins(m, (210 - w) / 20, 0.5, (210 - w) / 20, 0.5, "a tall picture centred across");
    m = TPageMargins{};
    PrintLayout::FitMargins(page, 0, 0, {true, true, true, true}, m);
    ExpectMargins(m, 2.5, 2.5, 2.5, 2.5, "an empty picture has no proportions");
}

TEST(PrintLayoutTest, TypedMarginsMustStayInsideThePrintableArea)
{
    const TPageMetrics page = A4();
    const TPageMargins m{2.5, 2.5, 2.5, 2.5};
    const struct {
        TMarginSide side;
        double value;
        bool number;
        TMarginCheck result;
    } cases[] = {
        {msLeft, 0, false, mcNoNumber},
        {msLeft, 0.4, true, mcAccepted},
        {msLeft, 0.39, true, mcOutsidePrintable},
        {msLeft, 18.5, true, mcOutsidePrintable},
        {msRight, 0.6, true, mcAccepted},
        {msRight, 0.5, true, mcOutsidePrintable},
        {msTop, 27.1, true, mcAccepted},
        {msTop, 27.2, true, mcOutsidePrintable},
        {msBottom, 0.49, true, mcOutsidePrintable},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintLayout::CheckMargin(page, m, c.side, c.value, c.number), c.result)
            << "side " << int(c.side) << " value " << c.value;
}

TEST(PrintLayoutTest, ZoomStepsAreExactTenths)
{
    int zoom = 10;
    for (int expected : {8, 6, 4, 4})
        EXPECT_EQ(zoom = PrintLayout::ZoomOutTenths(zoom), expected);
    for (int i = 0; i < 30; ++i)
        zoom = PrintLayout::ZoomInTenths(zoom);
    EXPECT_EQ(zoom, 64) << "no upper limit";
    EXPECT_EQ(PrintLayout::PaperSizeText(A4()), "Papiergröße: 21,00 x 29,70 cm");
}

// The picture reaches the canvas in bands of ten rows; every printed row is
// drawn once, whatever the number of rows left for the last band.
TEST(PrintLayoutTest, BandsDrawEveryPrintedRowAndNoMore)
{
    for (int rows : {10, 20, 25, 3}) {
        TSmoothBitmap picture(6, 4);
        for (int y = 0; y < 4; ++y)
            for (int i = 0; i < 18; ++i)
                picture.ScanLine(y)[i] = 0x40;
        TBitmap page(20, 40);
        page.Canvas().Brush.Color = clFuchsia;
        page.Canvas().FillRect(Rect(0, 0, 20, 40));
        PrinterTools::DrawGraphicInBands(&picture, 2, 3, page.Canvas(), rows, 12);
        EXPECT_FALSE(picture.RowMode) << "the picture's switches are restored";
        for (int y = 0; y < 40; ++y) {
            const bool inside = y >= 3 && y < 3 + rows;
            EXPECT_EQ(page.ScanLine(y)[3 * 5], inside ? 0x40 : 0xFF) << rows << " rows, row " << y;
            EXPECT_EQ(page.ScanLine(y)[3 * 14 + 1], 0x00) << "right of the picture stays, row " << y;
        }
    }
}

TEST_F(VexaPrintTest, CopiesPrintAsPagesWithThePictureInItsMargins)
{
    TPicture picture;
    TBitmap red(300, 150);
    red.Canvas().Brush.Color = clRed;
    red.Canvas().FillRect(Rect(0, 0, 300, 150));
    picture.Assign(&red);

    TVexaPrintForm form(nullptr);
    form.Picture = &picture;
    form.FitCheck->SetChecked(true);
    form.ProportionsCheck->SetChecked(true);
    form.CenterCheck->SetChecked(true);
    EXPECT_FALSE(form.MarginEdits[msLeft]->Enabled()) << "fitted margins are not typed";
    const TPageMargins m = form.Margins();
    const TPrinterTool& page = form.Tool();
    EXPECT_NEAR(m.Left, m.Right, 1e-9);
    EXPECT_NEAR(m.Top, m.Bottom, 1e-9);

    ui::ScriptAnswer(IDOK, "\n3\n" + pdf);
    form.Print();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string info = Output("pdfinfo '" + pdf + "'");
    const std::size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_EQ(std::atoi(info.c_str() + pages + 6), 3) << info;

    const TRendered rendered = RenderFirstPage(pdf);
    ASSERT_GT(rendered.Width, 0);
    EXPECT_NEAR(rendered.Width, page.PaperWidth * 72 / 25.4, 1.5);
    int left = rendered.Width, right = -1, top = rendered.Height, bottom = -1;
    for (int y = 0; y < rendered.Height; ++y)
        for (int x = 0; x < rendered.Width; ++x)
            if (rendered.Red(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    const double pt = 72 / 25.4;
    EXPECT_NEAR(left, m.Left * 10 * pt, 2);
    EXPECT_NEAR(right + 1, (page.PaperWidth - m.Right * 10) * pt, 2);
    EXPECT_NEAR(top, m.Top * 10 * pt, 2);
    EXPECT_NEAR(bottom + 1, (page.PaperHeight - m.Bottom * 10) * pt, 2);
    for (const auto& record : ui::RecordedDialogs())
        EXPECT_NE(record.Request.Kind, "MessageDlg") << record.Request.Text;
}

TEST_F(VexaPrintTest, AFailedPageStopsTheJobWithoutFurtherCopies)
{
    TPicture picture;
    auto owned = std::make_unique<TBrokenGraphic>();
    TBrokenGraphic* broken = owned.get();
    picture.TakeGraphic(std::move(owned));
    TVexaPrintForm form(nullptr);
    form.Picture = &picture;
    const int drawsBefore = broken->Draws;
    ui::ClearRecordedDialogs();
    ui::ScriptAnswer(IDOK, "\n3\n" + pdf);
    form.Print();
    // The preview drawn again before printing, then the first page only.
    EXPECT_EQ(broken->Draws - drawsBefore, 2) << "the job ends at the first failed page";
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_FALSE(std::filesystem::exists(pdf)) << "the aborted document is dropped";
    bool said = false;
    for (const auto& record : ui::RecordedDialogs())
        said = said || record.Request.Text == "Fehler beim Drucken!";
    EXPECT_TRUE(said);
}

TEST_F(VexaPrintTest, TypedMarginsAreCheckedAndRestored)
{
    TVexaPrintForm form(nullptr);
    const double left = form.Margins().Left;
    ui::ClearRecordedDialogs();
    form.MarginEdits[msLeft]->SetText("abc");
    EXPECT_EQ(form.Margins().Left, left);
    EXPECT_EQ(form.MarginEdits[msLeft]->Text(), "2,50");
    EXPECT_EQ(ui::RecordedBeeps().size(), 1u);
    EXPECT_TRUE(ui::RecordedDialogs().empty()) << "no question for text that is no number";

    const double offset = form.Tool().LeftOffset / 10;
    if (offset > 0.05) {
        ui::ScriptAnswer(mrIgnore);
        form.MarginEdits[msLeft]->SetText("0,00");
        EXPECT_EQ(form.Margins().Left, 0) << "Ignore keeps it";
        ui::ScriptAnswer(mrAbort);
        form.MarginEdits[msLeft]->SetText("2,00");
        form.MarginEdits[msLeft]->SetText("0,00");
        EXPECT_EQ(form.Margins().Left, 2.0) << "Abort restores";
    }
    form.MarginEdits[msTop]->SetText("3,00");
    EXPECT_EQ(form.Margins().Top, 3.0);
    EXPECT_TRUE(form.PreviewTimer->Enabled()) << "the preview follows 400 ms after the last change";
}

TEST_F(VexaPrintTest, WithoutAPrinterTheComponentSaysSo)
{
    Printer()->OutputFileName.clear();
    Printer()->Refresh();
    if (Printer()->Printers().Count() > 0)
        GTEST_SKIP() << "this machine has a print queue";
    TVexaPrinter printer(nullptr);
    ui::ClearRecordedDialogs();
    EXPECT_FALSE(printer.Execute());
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text,
              "Die Druckdialogbox kann nicht aufgerufen werden, da kein Druckertreiber installiert ist.");
    EXPECT_THROW(TPrinterTool(), ENoPrinterException);
}
