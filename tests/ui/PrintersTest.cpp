#include "UiFixture.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "platform/graphics/Canvas.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Printers.h"
#include "rtl/StorageTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

std::string PdfInfo(const std::string& pdf, const std::string& key)
{
    std::istringstream in(Run("pdfinfo '" + pdf + "' 2>&1"));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + ":", 0) == 0) {
            const size_t start = line.find_first_not_of(' ', key.size() + 1);
            return start == std::string::npos ? std::string() : line.substr(start);
        }
    return "(no " + key + ")";
}

// The dark pixels of one page rendered at 72 dpi: their bounding box.
struct Box {
    int left = -1, top = -1, right = -1, bottom = -1;
};

Box DarkBox(const std::string& pdf, int page, const TempFolder& temp)
{
    const std::string prefix = temp.File("page");
    Run("pdftoppm -gray -r 72 -f " + std::to_string(page) + " -l " + std::to_string(page) + " -singlefile '" + pdf +
        "' '" + prefix + "'");
    std::istringstream in(ReadBytes(prefix + ".pgm"));
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get();
    Box box;
    if (magic != "P5" || width <= 0 || height <= 0)
        return box;
    std::string pixels(static_cast<size_t>(width) * height, '\0');
    in.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (static_cast<unsigned char>(pixels[static_cast<size_t>(y) * width + x]) < 128) {
                if (box.left < 0 || x < box.left)
                    box.left = x;
                if (box.top < 0)
                    box.top = y;
                box.right = std::max(box.right, x);
                box.bottom = y;
            }
    return box;
}

class PrinterTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        previous_ = SetPrinter(new TPrinter);
        printer = Printer();
        printer->OutputFileName = temp.File("out.pdf");
    }
    void TearDown() override
    {
        delete SetPrinter(previous_);
        UiTest::TearDown();
    }

    // A printer pixel at 72 dpi on the paper.
    int PaperPoint(int printerPixel, int offsetCap) const
    {
        return (printer->GetDeviceCaps(offsetCap) + printerPixel) * 72 / TPrinter::Resolution;
    }

    TempFolder temp;
    TPrinter* printer = nullptr;

private:
    TPrinter* previous_ = nullptr;
};

TEST_F(PrinterTest, DeviceCapsDescribeThePaperInPrinterPixels)
{
    const struct {
        TPrinterOrientation orientation;
        std::string paper;
        int width, height; // paper at 300 dpi
    } cases[] = {
        {poPortrait, "A4", 2480, 3508},
        {poLandscape, "A4", 3508, 2480},
        {poPortrait, "Letter", 2550, 3300},
        {poPortrait, "letter", 2550, 3300},
    };
    for (const auto& c : cases) {
        printer->SetOrientation(c.orientation);
        ASSERT_TRUE(printer->SetPaperName(c.paper));
        // Paper sizes are whole points, so a millimetre size may be a pixel off.
        EXPECT_NEAR(printer->GetDeviceCaps(PHYSICALWIDTH), c.width, 1) << c.paper;
        EXPECT_NEAR(printer->GetDeviceCaps(PHYSICALHEIGHT), c.height, 1) << c.paper;
        EXPECT_EQ(printer->GetDeviceCaps(LOGPIXELSX), 300);
        EXPECT_EQ(printer->GetDeviceCaps(LOGPIXELSY), 300);
        const int width = printer->PageWidth(), height = printer->PageHeight();
        EXPECT_EQ(width, printer->GetDeviceCaps(HORZRES));
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_LE(printer->GetDeviceCaps(PHYSICALOFFSETX) + width, c.width);
        EXPECT_LE(printer->GetDeviceCaps(PHYSICALOFFSETY) + height, c.height);
        EXPECT_NEAR(printer->GetDeviceCaps(HORZSIZE), width * 25.4 / 300, 1.0);
        EXPECT_NEAR(printer->GetDeviceCaps(VERTSIZE), height * 25.4 / 300, 1.0);
    }
    EXPECT_FALSE(printer->SetPaperName("Serviette"));
    EXPECT_EQ(printer->PaperName(), "Letter");
    EXPECT_EQ(printer->GetDeviceCaps(12345), 0);
}

TEST_F(PrinterTest, PagesDrawnOnTheCanvasLandInThePdfWhereTheyWereDrawn)
{
    printer->Title = "VexaPrint-Dokument";
    printer->BeginDoc();
    EXPECT_TRUE(printer->Printing());
    EXPECT_EQ(printer->PageNumber(), 1);
    TCanvas* canvas = printer->Canvas();
    canvas->Brush.Color = clBlack;
    canvas->FillRect(Rect(300, 600, 900, 1500));
    printer->NewPage();
    EXPECT_EQ(printer->PageNumber(), 2);
    printer->Canvas()->Brush.Color = clBlack;
    printer->Canvas()->FillRect(Rect(0, 0, 150, 150));
    printer->NewPage();
    printer->EndDoc();
    EXPECT_FALSE(printer->Printing());

    const std::string pdf = printer->OutputFileName;
    EXPECT_EQ(PdfInfo(pdf, "Pages"), "3");
    EXPECT_EQ(PdfInfo(pdf, "Title"), "VexaPrint-Dokument");
    EXPECT_EQ(PdfInfo(pdf, "Page size"), "595 x 842 pts (A4)");

    const Box first = DarkBox(pdf, 1, temp);
    EXPECT_NEAR(first.left, PaperPoint(300, PHYSICALOFFSETX), 1);
    EXPECT_NEAR(first.top, PaperPoint(600, PHYSICALOFFSETY), 1);
    EXPECT_NEAR(first.right, PaperPoint(900, PHYSICALOFFSETX), 1);
    EXPECT_NEAR(first.bottom, PaperPoint(1500, PHYSICALOFFSETY), 1);
    const Box second = DarkBox(pdf, 2, temp);
    EXPECT_NEAR(second.left, PaperPoint(0, PHYSICALOFFSETX), 1);
    EXPECT_NEAR(second.bottom, PaperPoint(150, PHYSICALOFFSETY), 1);
    // A new page starts white.
    EXPECT_EQ(DarkBox(pdf, 3, temp).left, -1);
}

TEST_F(PrinterTest, LandscapePagesAreWiderThanHigh)
{
    printer->SetOrientation(poLandscape);
    printer->BeginDoc();
    printer->EndDoc();
    EXPECT_EQ(PdfInfo(printer->OutputFileName, "Page size"), "842 x 595 pts (A4)");
}

TEST_F(PrinterTest, AnAbortedDocumentLeavesNoFileAndEndsPrinting)
{
    printer->BeginDoc();
    printer->Canvas()->FillRect(Rect(0, 0, 10, 10));
    printer->Abort();
    EXPECT_TRUE(printer->Aborted());
    EXPECT_FALSE(printer->Printing());
    EXPECT_FALSE(fs::exists(printer->OutputFileName));
    EXPECT_THROW(printer->EndDoc(), EPrinter);
    EXPECT_THROW(printer->NewPage(), EPrinter);
    EXPECT_THROW(printer->Canvas(), EPrinter);
    printer->BeginDoc();
    EXPECT_FALSE(printer->Aborted());
    printer->EndDoc();
    EXPECT_EQ(PdfInfo(printer->OutputFileName, "Pages"), "1");
}

TEST_F(PrinterTest, MisusedDocumentsAreRefused)
{
    printer->BeginDoc();
    EXPECT_THROW(printer->BeginDoc(), EPrinter);
    EXPECT_THROW(printer->SetOrientation(poLandscape), EPrinter);
    EXPECT_THROW(printer->SetCopies(2), EPrinter);
    printer->EndDoc();

    printer->OutputFileName = temp.File("no/such/folder/out.pdf");
    EXPECT_THROW(printer->BeginDoc(), EPrinter);
    EXPECT_FALSE(printer->Printing());

    printer->OutputFileName.clear();
    printer->SetPrinterIndex(-1);
    EXPECT_FALSE(printer->CanPrint());
    try {
        printer->BeginDoc();
        FAIL() << "printed without a printer";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message, "Es ist kein Drucker installiert.");
    }
    EXPECT_THROW(printer->SetPrinterIndex(printer->Printers().Count()), EPrinter);
}

TEST_F(PrinterTest, PrintDialogChoosesCopiesAndTheOutputFile)
{
    const std::string file = temp.File("chosen.pdf");
    const struct {
        const char* name;
        int result;
        std::string value;
        bool accepted;
        int copies;
        std::string output;
    } cases[] = {
        {"file and copies", IDOK, "\n3\n" + file, true, 3, file},
        {"cancelled", IDCANCEL, "\n5\n", false, 1, temp.File("out.pdf")},
        {"no number", IDOK, "\ndrei\n", false, 1, temp.File("out.pdf")},
        {"zero copies", IDOK, "\n0\n", false, 1, temp.File("out.pdf")},
        {"unknown printer", IDOK, "Gibtsnicht\n1\n", false, 1, temp.File("out.pdf")},
    };
    for (const auto& c : cases) {
        printer->OutputFileName = temp.File("out.pdf");
        ui::ClearRecordedDialogs();
        ui::ScriptAnswer(c.result, c.value);
        TPrintDialog dialog(nullptr);
        EXPECT_EQ(dialog.Execute(), c.accepted) << c.name;
        EXPECT_EQ(dialog.Copies, c.copies) << c.name;
        EXPECT_EQ(printer->OutputFileName, c.output) << c.name;
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Kind, "PrintDialog");
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Value, printer->PrinterName() + "\n1\n" + temp.File("out.pdf"));
    }
}

TEST_F(PrinterTest, PrinterSetupDialogChoosesOrientationAndPaper)
{
    const struct {
        const char* name;
        std::string value;
        bool accepted;
        TPrinterOrientation orientation;
        std::string paper;
    } cases[] = {
        {"landscape letter", "\nQuerformat\nLetter", true, poLandscape, "Letter"},
        {"portrait, paper kept", "\nHochformat\n", true, poPortrait, "A4"},
        {"unknown orientation", "\nSchräg\nLetter", false, poPortrait, "A4"},
        {"unknown paper", "\nQuerformat\nServiette", false, poPortrait, "A4"},
    };
    for (const auto& c : cases) {
        printer->SetOrientation(poPortrait);
        printer->SetPaperName("A4");
        ui::ClearRecordedDialogs();
        ui::ScriptAnswer(IDOK, c.value);
        TPrinterSetupDialog dialog(nullptr);
        EXPECT_EQ(dialog.Execute(), c.accepted) << c.name;
        EXPECT_EQ(printer->Orientation(), c.orientation) << c.name;
        EXPECT_EQ(printer->PaperName(), c.paper) << c.name;
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Value, printer->PrinterName() + "\nHochformat\nA4");
    }
}

} // namespace
