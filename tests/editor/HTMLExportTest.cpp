// The HTML export: the exact index and picture pages of a small show, the
// variants the settings make, file names and links, thumbnails and their
// shadow, and the run's failures.

#include "editor/tools/HTMLExport.h"
#include "editor/tools/HTMLLinks.h"
#include "editor/tools/HTMLThumbnail.h"

#include "editor/controls/JPEGCompressionWord.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "tests/editor/EditorScratch.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Lines(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* line : lines)
        out += (out.empty() ? "" : "\r\n") + std::string(line);
    return out;
}

void WriteJPEG(const std::string& name, int width, int height, TColor color = clRed)
{
    TBitmap bitmap(width, height, pf24bit);
    bitmap.Canvas().Brush.Color = color;
    bitmap.Canvas().FillRect({0, 0, width, height});
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.CompressionQuality = 95;
    jpeg.SaveToFile(name);
}

void WriteBMP(const std::string& name, int width, int height)
{
    TBitmap bitmap(width, height, pf24bit);
    bitmap.Canvas().Brush.Color = clBlue;
    bitmap.Canvas().FillRect({0, 0, width, height});
    bitmap.SaveToFile(name);
}

class HTMLExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::BeginDialogScript();
        fs::create_directories(Pictures());
        Preset.MainDir = scratch.Path("web");
    }
    void TearDown() override { ui::EndDialogScript(); }

    std::string Pictures() const { return scratch.Path("bilder"); }
    std::string Picture(const std::string& name, int width = 40, int height = 30)
    {
        const std::string path = Pictures() + "/" + name;
        WriteJPEG(path, width, height);
        return path;
    }
    THTMLExportItem Item(const std::string& name, bool checked = true)
    {
        THTMLExportItem item;
        item.FileName = Picture(name);
        item.Checked = checked;
        return item;
    }
    bool Export(std::vector<THTMLExportItem> items)
    {
        THTMLExport run(Preset, std::move(items), "", scratch.Path("home"));
        run.AddCopyright = false;
        const bool result = run.Run();
        FirstPage = run.FirstPageName();
        Start = run.StartAddress();
        return result;
    }
    std::string Web(const std::string& name) const { return ReadAll(scratch.Path("web/" + name)); }
    bool WebHas(const std::string& name) const { return fs::exists(scratch.Path("web/" + name)); }

    EditorScratch scratch;
    TMyHTMLPreset Preset;
    std::string FirstPage;
    std::string Start;
};

TEST_F(HTMLExportTest, TheIndexAndPicturePageOfOnePicture)
{
    ASSERT_TRUE(Export({Item("Foto.JPG")}));
    const std::string head = Lines({
        "<HTML>",
        "<HEAD>",
        "  <META NAME=\"author\" CONTENT=\"Ostrelind Vistelo 3.5\">",
        "  <META NAME=\"description\" CONTENT=\"Bildergalerie, erstellt mit Vistelo von Ostrelind - "
        "https://vistelo.example/\">",
        "</HEAD>",
        "<BODY BACKGROUND=\"\" BGCOLOR=\"#C0C0C0\" TEXT=\"#000000\" LINK=\"#0000EE\" ALINK=\"#FFFFFF\" "
        "VLINK=\"#851A8B\">",
    });
    EXPECT_EQ(Web("index.htm"),
              head + "\r\n" +
                  Lines({
                      "<H1>",
                      "  Bilder",
                      "</H1>",
                      "Klicken Sie auf die Bilder, um sie in Originalgr&ouml;&szlig;e zu sehen.<BR>",
                      "<TABLE WIDTH=\"100%\" BORDER=0>",
                      "  <TR>",
                      "    <TD WIDTH=\"20%\">",
                      "      <CENTER>",
                      "        <A HREF=\"./html/p1.htm\">",
                      "          <IMG SRC=\"./pictures/tpic1.jpg\" BORDER=\"0\"><BR>",
                      "        </A>",
                      "      </CENTER>",
                      "    </TD>",
                      "  </TR>",
                      "</TABLE>",
                      "<BR>",
                      "</BODY>",
                      "</HTML>",
                  }));
    EXPECT_EQ(Web("html/p1.htm"),
              head + "\r\n" +
                  Lines({
                      "<H1>",
                      "  Vistelo",
                      "</H1>",
                      "<HR>",
                      "<CENTER>",
                      "  <TABLE BORDER=\"3\">",
                      "    <TR><TD><IMG SRC=\"../pictures/foto.jpg\"></TD></TR>",
                      "  </TABLE>",
                      "</CENTER>",
                      "<HR>[<A HREF=\"../index.htm\">Zur&uuml;ck zur &Uuml;bersicht</A>]",
                      "<HR>",
                      "</BODY>",
                      "</HTML>",
                  }));
    EXPECT_EQ(ReadAll(scratch.Path("web/pictures/foto.jpg")), ReadAll(Pictures() + "/Foto.JPG"));
    EXPECT_TRUE(WebHas("pictures/tpic1.jpg"));
    EXPECT_EQ(FirstPage, "p1.htm");
    EXPECT_EQ(Start, "file://" + scratch.Path("web/index.htm"));
}

TEST_F(HTMLExportTest, PagesLinkInExportOrderAndThumbnailsByListPosition)
{
    Preset.TabCols = 2;
    ASSERT_TRUE(Export({Item("a.jpg", false), Item("b.jpg", false), Item("c.jpg"), Item("d.jpg"), Item("e.jpg")}));
    const std::string index = Web("index.htm");
    EXPECT_NE(index.find("<IMG SRC=\"./pictures/tpic3.jpg\""), std::string::npos);
    EXPECT_NE(index.find("<A HREF=\"./html/p1.htm\">\r\n          <IMG SRC=\"./pictures/tpic3.jpg\""),
              std::string::npos);
    EXPECT_NE(index.find("<A HREF=\"./html/p3.htm\">\r\n          <IMG SRC=\"./pictures/tpic5.jpg\""),
              std::string::npos);
    EXPECT_NE(index.find("WIDTH=\"50%\""), std::string::npos);
    EXPECT_NE(Web("html/p2.htm")
                  .find("<HR>[<A HREF=\"p1.htm\">Voriges Bild</A>][<A HREF=\"p3.htm\">N&auml;chstes "
                        "Bild</A>][<A HREF=\"../index.htm\">"),
              std::string::npos);
    EXPECT_EQ(Web("html/p3.htm").find("N&auml;chstes"), std::string::npos);
    EXPECT_FALSE(WebHas("pictures/tpic1.jpg"));
}

// A picture whose thumbnail fails gets no page, and no link points to one:
// the pages stay numbered without a gap and none overwrites another.
TEST_F(HTMLExportTest, APictureWhoseThumbnailFailsGetsNoPageAndNoLink)
{
    THTMLExportItem broken = Item("b.jpg");
    std::ofstream(broken.FileName, std::ios::trunc) << "kein Bild";
    ASSERT_TRUE(Export({Item("a.jpg"), broken, Item("c.jpg"), Item("d.jpg")}));
    EXPECT_TRUE(WebHas("html/p1.htm"));
    EXPECT_TRUE(WebHas("html/p2.htm"));
    EXPECT_TRUE(WebHas("html/p3.htm"));
    EXPECT_FALSE(WebHas("html/p4.htm"));
    EXPECT_NE(Web("html/p1.htm").find("HREF=\"p2.htm\">N&auml;chstes"), std::string::npos);
    EXPECT_NE(Web("html/p2.htm").find("../pictures/c.jpg"), std::string::npos);
    EXPECT_NE(Web("html/p2.htm").find("HREF=\"p1.htm\">Voriges"), std::string::npos);
    EXPECT_NE(Web("html/p2.htm").find("HREF=\"p3.htm\">N&auml;chstes"), std::string::npos);
    EXPECT_NE(Web("html/p3.htm").find("../pictures/d.jpg"), std::string::npos);
    EXPECT_EQ(Web("index.htm").find("tpic2"), std::string::npos);
    EXPECT_FALSE(WebHas("pictures/b.jpg"));
}

TEST_F(HTMLExportTest, VariantsOfTheSettings)
{
    struct Case {
        const char* Name;
        std::function<void(TMyHTMLPreset&)> Set;
        std::vector<std::string> IndexHas; // "" entry: no index page at all
        std::vector<std::string> PageHas;
        std::vector<std::string> PageLacks;
    };
    const Case cases[] = {
        {"no sub-folders",
         [](TMyHTMLPreset& p) { p.UseSubDirs = false; },
         {"<A HREF=\"p1.htm\">", "<IMG SRC=\"tpic1.jpg\""},
         {"<IMG SRC=\"foto.jpg\">", "HREF=\"index.htm\""},
         {"../"}},
        {"no index page",
         [](TMyHTMLPreset& p) { p.TabIndex = false; },
         {""},
         {"<IMG SRC=\"../pictures/foto.jpg\">"},
         {"index.htm", "Zur&uuml;ck"}},
        {"no picture pages: the index links the pictures",
         [](TMyHTMLPreset& p) { p.PicturePage = false; },
         {"<A HREF=\"./pictures/foto.jpg\">"},
         {},
         {}},
        {"navigation centred",
         [](TMyHTMLPreset& p) { p.NavCenter = true; },
         {},
         {"<HR>\r\n<CENTER>[<A HREF=\"../index.htm\">Zur&uuml;ck zur &Uuml;bersicht</A>]\r\n</CENTER>"},
         {}},
        {"no border",
         [](TMyHTMLPreset& p) { p.PicShowBorder = false; },
         {},
         {"<CENTER>\r\n  <IMG SRC=\"../pictures/foto.jpg\">\r\n</CENTER>"},
         {"TABLE"}},
        {"dividers on the index and none on the pages",
         [](TMyHTMLPreset& p) {
             p.TabDivider = true;
             p.PicDivider = false;
             p.TabUserText2 = "Ende";
         },
         {"</H1>\r\n<HR>\r\nKlicken", "<BR>\r\n<HR>\r\n<TABLE", "</TABLE>\r\n<HR>\r\nEnde<BR>\r\n<HR>\r\n</BODY>"},
         {"&lt;b&gt;\r\n<BR>\r\n<BR>[<A", "</A>]\r\n<BR><BR>\r\n</BODY>"},
         {"<HR>"}},
        {"three columns", [](TMyHTMLPreset& p) { p.TabCols = 3; }, {"WIDTH=\"33%\""}, {}, {}},
        {"eight columns", [](TMyHTMLPreset& p) { p.TabCols = 8; }, {"WIDTH=\"12%\""}, {}, {}},
        {"names and comments in the index, markup of comments kept as text",
         [](TMyHTMLPreset& p) {
             p.ShowPicNames = true;
             p.ShowDescription = true;
             p.ShowThumbNails = false;
         },
         {"<A HREF=\"./html/p1.htm\">\r\n          foto.jpg\r\n          <BR>\r\n        </A>",
          "</CENTER>\r\n      Sch&ouml;n &lt;b&gt;\r\n      <BR>\r\n    </TD>"},
         {"</CENTER>\r\nSch&ouml;n &lt;b&gt;\r\n<BR>"},
         {"tpic"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EditorScratch run;
        Preset = TMyHTMLPreset();
        Preset.MainDir = run.Path("web");
        c.Set(Preset);
        THTMLExportItem item = Item("Foto.JPG");
        item.Comments = "Schön <b>";
        THTMLExport exporter(Preset, {item}, "", run.Path("home"));
        ASSERT_TRUE(exporter.Run());
        const std::string index = ReadAll(run.Path("web/index.htm"));
        for (const std::string& part : c.IndexHas) {
            if (part.empty())
                EXPECT_FALSE(fs::exists(run.Path("web/index.htm")));
            else
                EXPECT_NE(index.find(part), std::string::npos) << part << "\n" << index;
        }
        const std::string pageFile = Preset.UseSubDirs ? "web/html/p1.htm" : "web/p1.htm";
        const std::string page = ReadAll(run.Path(pageFile));
        EXPECT_EQ(fs::exists(run.Path(pageFile)), Preset.PicturePage);
        for (const std::string& part : c.PageHas)
            EXPECT_NE(page.find(part), std::string::npos) << part << "\n" << page;
        for (const std::string& part : c.PageLacks)
            EXPECT_EQ(page.find(part), std::string::npos) << part << "\n" << page;
        if (!Preset.TabIndex) {
            EXPECT_EQ(exporter.StartAddress(), "file://" + run.Path("web/html/p1.htm"));
        }
    }
}

TEST_F(HTMLExportTest, AnUntickedTailStillMakesOneEmptyRow)
{
    Preset.TabCols = 1;
    ASSERT_TRUE(Export({Item("a.jpg"), Item("b.jpg", false), Item("c.jpg", false)}));
    EXPECT_NE(Web("index.htm").find("  </TR>\r\n  <TR>\r\n  </TR>\r\n</TABLE>"), std::string::npos);
}

TEST_F(HTMLExportTest, ExportedNamesAreLowerCaseAndNeverOverwriteAFile)
{
    const std::string other = scratch.Path("anderswo");
    fs::create_directories(other);
    WriteBMP(Pictures() + "/FOTO.BMP", 8, 6);
    WriteBMP(other + "/foto.bmp", 8, 6);
    fs::create_directories(scratch.Path("web/pictures"));
    std::ofstream(scratch.Path("web/pictures/Tpic1.JPG")) << "vom letzten Mal";
    THTMLExportItem first, second;
    first.FileName = Pictures() + "/FOTO.BMP";
    second.FileName = other + "/foto.bmp";
    ASSERT_TRUE(Export({first, second}));
    EXPECT_TRUE(WebHas("pictures/foto.jpg"));
    EXPECT_TRUE(WebHas("pictures/foto_.jpg"));
    EXPECT_TRUE(WebHas("pictures/tpic1_.jpg"));
    EXPECT_EQ(Web("pictures/Tpic1.JPG"), "vom letzten Mal");
    EXPECT_NE(Web("html/p2.htm").find("../pictures/foto_.jpg"), std::string::npos);

    // A second run keeps the first run's files and pages.
    ASSERT_TRUE(Export({first}));
    EXPECT_TRUE(WebHas("html/p1_.htm"));
    EXPECT_TRUE(WebHas("pictures/foto__.jpg"));
    EXPECT_EQ(FirstPage, "p1_.htm");
}

TEST_F(HTMLExportTest, LinksHoldAnyFileName)
{
    Preset.ForInternet = false;
    THTMLExportItem odd = Item("Ein \"Bild\" & <mehr>#1.jpg");
    ASSERT_TRUE(Export({odd}));
    const std::string page = Web("html/p1.htm");
    // Not copied for the local disk: the picture's own path, as a file address.
    EXPECT_NE(page.find("<IMG SRC=\"file://" + HTMLLinks::PercentEncode(Pictures()) +
                        "/Ein%20%22Bild%22%20%26%20%3Cmehr%3E%231.jpg\">"),
              std::string::npos)
        << page;
    EXPECT_FALSE(WebHas("pictures/ein \"bild\" & <mehr>#1.jpg"));
}

TEST_F(HTMLExportTest, AFolderThatCannotBeMadeStopsTheRun)
{
    std::ofstream(scratch.Path("datei")) << "x";
    Preset.MainDir = scratch.Path("datei/web");
    ASSERT_FALSE(Export({Item("a.jpg")}));
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text,
              "Verzeichnis \"" + scratch.Path("datei/web") +
                  "\" konnt nicht erstellt werden. Die Erstellung der "
                  "Webseite(n) wird abgebrochen.");
}

TEST_F(HTMLExportTest, AFailedBackgroundCopyAsksWhetherToGoOn)
{
    Preset.BGPicture = scratch.Path("fehlt.jpg");
    ui::ScriptAnswer(mrNo);
    ASSERT_FALSE(Export({Item("a.jpg")}));
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text,
              "Die Datei " + scratch.Path("fehlt.jpg") + " konnte nicht nach " +
                  scratch.Path("web/pictures/fehlt.jpg") +
                  " kopiert werden!!!\r\rEs handelt sich hierbei nur im das Hintergrundbild. Soll mit der "
                  "Webseitenerstellung fortgefahren werden?");
    EXPECT_FALSE(WebHas("index.htm"));

    ui::ClearRecordedDialogs();
    ui::ScriptAnswer(mrYes);
    ASSERT_TRUE(Export({Item("a.jpg")}));
    EXPECT_NE(Web("index.htm").find("<BODY BACKGROUND=\"./pictures/fehlt.jpg\""), std::string::npos);
    EXPECT_NE(Web("html/p1.htm").find("<BODY BACKGROUND=\"../pictures/fehlt.jpg\""), std::string::npos);
}

TEST_F(HTMLExportTest, TheRunLeavesThePresetsFoldersAsTheUserSetThem)
{
    Preset.UseSubDirs = false;
    const TMyHTMLPreset before = Preset;
    ASSERT_TRUE(Export({Item("a.jpg")}));
    EXPECT_EQ(Preset.PicDir, before.PicDir);
    EXPECT_EQ(Preset.HTMLDir, before.HTMLDir);
    EXPECT_EQ(Preset.MainDir, before.MainDir);
    EXPECT_TRUE(WebHas("p1.htm"));
}

TEST_F(HTMLExportTest, ProgressEndsAtZeroAndSaysZeroPercentForNothing)
{
    std::vector<std::string> texts;
    THTMLExport run(Preset, {Item("a.jpg", false)}, "", scratch.Path("home"));
    run.Progress.Percent = [&](const std::string& text) { texts.push_back(text); };
    ASSERT_TRUE(run.Run());
    ASSERT_FALSE(texts.empty());
    for (const std::string& text : texts)
        EXPECT_EQ(text, "0%");
    EXPECT_EQ(HTMLExport::PercentText(1, 3), "33%");
    EXPECT_EQ(HTMLExport::PercentText(3, 3), "100%");
}

TEST(HTMLThumbnailTest, SizesInsideTheSquare)
{
    struct Case {
        int PictureWidth, PictureHeight, Width, Height, Shadow;
        TPoint Expected;
    };
    const Case cases[] = {
        {400, 300, -60, -60, 5, {55, 41}}, {300, 400, -60, -60, 5, {41, 55}}, // the long side fills the square
        {300, 300, -60, -80, 0, {60, 60}}, {400, 300, 60, 60, 5, {55, 55}},   // proportions not kept
        {400, 300, 0, 0, 5, {400, 300}},                                      // own size, the shadow added outside
        {4000, 1, -60, -60, 5, {55, 1}},                                      // never below one pixel
    };
    for (const Case& c : cases) {
        const TPoint size = HTMLThumbnail::InnerSize(c.PictureWidth, c.PictureHeight, c.Width, c.Height, c.Shadow);
        EXPECT_EQ(size.X, c.Expected.X) << c.PictureWidth << "x" << c.PictureHeight;
        EXPECT_EQ(size.Y, c.Expected.Y) << c.PictureWidth << "x" << c.PictureHeight;
    }
}

TEST(HTMLThumbnailTest, TheShadowRunsFromBlackIntoThePageBackground)
{
    TBitmap bitmap(10, 10, pf24bit);
    bitmap.Canvas().Brush.Color = clRed;
    bitmap.Canvas().FillRect({0, 0, 10, 10});
    const TColor background = RGB(200, 100, 50);
    HTMLThumbnail::AddShadow(bitmap, 3, background);
    ASSERT_EQ(bitmap.Width(), 13);
    ASSERT_EQ(bitmap.Height(), 13);
    const auto pixel = [&](int x, int y) {
        const std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    };
    const int c[3] = {200, 100, 50};
    const auto expected = [&](double ramp, double a) {
        int bytes[3];
        for (int k = 0; k < 3; ++k)
            bytes[k] = static_cast<int>(std::nearbyint(c[k] * ramp * (1 - a) + c[k] * a));
        return RGB(bytes[0], bytes[1], bytes[2]);
    };
    EXPECT_EQ(pixel(9, 9), clRed);
    EXPECT_EQ(pixel(10, 0), background);   // the strip's top end fades into the page
    EXPECT_EQ(pixel(10, 6), RGB(0, 0, 0)); // black at the picture's edge
    for (int y = 0; y < 13; ++y) {
        const double a = y < 3 ? 1 - y / 3.0 : y > 9 ? 1 - (13 - y) / 3.0 : 0;
        for (int x = 10; x < 13; ++x)
            EXPECT_EQ(pixel(x, y), expected((x - 10) / 3.0, a)) << x << "," << y;
    }
    for (int y = 10; y < 13; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(pixel(x, y), expected((y - 10) / 3.0, x < 3 ? 1 - x / 3.0 : 0)) << x << "," << y;
}

TEST(HTMLThumbnailTest, ThumbnailsAreJPEGsOfTheChosenSettings)
{
    EditorScratch scratch;
    const std::string source = scratch.Path("quer.jpg");
    WriteJPEG(source, 400, 300);
    HTMLThumbnail::TThumbnailJob job;
    job.Width = -60;
    job.Height = -60;
    job.Shadow = 5;
    job.JPEGWord = JPEGCompressionWord::MakeJPEGCompressionWord(40, true);
    const std::string target = scratch.Path("t.jpg");
    std::vector<int> progress;
    ASSERT_TRUE(HTMLThumbnail::MakeThumbnail(source, target, job, [&](int p) { progress.push_back(p); }));
    EXPECT_EQ(progress, (std::vector<int>{25, 100}));
    const std::string bytes = ReadAll(target);
    EXPECT_TRUE(JPEGCompressionWord::IsCompressedWith(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                                      job.JPEGWord));
    TJPEGImage jpeg;
    jpeg.LoadFromFile(target);
    EXPECT_EQ(jpeg.Width(), 60);
    EXPECT_EQ(jpeg.Height(), 46);

    EXPECT_FALSE(HTMLThumbnail::MakeThumbnail(scratch.Path("fehlt.jpg"), target, job));
    EXPECT_FALSE(HTMLThumbnail::MakeThumbnail(source, scratch.Path("nirgends/t.jpg"), job));
}

TEST(HTMLLinksTest, FoldersAndAddresses)
{
    const std::string home = "/home/ana";
    struct Case {
        const char* Text;
        const char* Expected;
    };
    const Case cases[] = {
        {"c:\\html-vistelo", "/home/ana/html-vistelo"},
        {"  D:\\Web\\Urlaub\\ ", "/home/ana/Web/Urlaub"},
        {"\\html", "/home/ana/html"},
        {"galerie", "/home/ana/galerie"},
        {"~/www/", "/home/ana/www"},
        {"/srv/www/", "/srv/www"},
        {"", "/home/ana"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HTMLLinks::ResolveMainDir(c.Text, home), c.Expected) << c.Text;
    EXPECT_EQ(HTMLLinks::SubFolder(" \\bilder\\gross\\ "), "bilder/gross");
    EXPECT_EQ(HTMLLinks::PercentEncode("a b/ä\"&<%#?.jpg"), "a%20b/%C3%A4%22%26%3C%25%23%3F.jpg");
    EXPECT_EQ(HTMLLinks::FileURI("/home/ana/Bild 1.jpg"), "file:///home/ana/Bild%201.jpg");
    EXPECT_EQ(HTMLLinks::PercentDecode("a%20b/%C3%A4%22%26%3C%25%23%3F.jpg"), "a b/ä\"&<%#?.jpg");
    EXPECT_EQ(HTMLLinks::PercentDecode("100%"), "100%");
}

} // namespace
