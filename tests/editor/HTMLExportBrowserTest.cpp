// The exported pages in a real browser: every link and picture of every page
// leads to a file the export wrote, and headless Chromium shows the index
// page's thumbnails (skipped where Chromium is not installed).

#include "editor/tools/HTMLExport.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

#include "tests/editor/EditorScratch.h"

namespace fs = std::filesystem;

namespace {

bool OnPath(const std::string& program)
{
    std::stringstream folders(std::getenv("PATH") ? std::getenv("PATH") : "");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

std::string Decoded(const std::string& link)
{
    std::string out;
    for (std::size_t i = 0; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size()) {
            out += static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += link[i];
        }
    }
    return out;
}

// Every address in HREF, SRC and BACKGROUND of the page, as the file it names.
std::vector<fs::path> LinkedFiles(const fs::path& page)
{
    std::ifstream in(page, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::vector<fs::path> files;
    for (const std::string attribute : {"HREF=\"", "SRC=\"", "BACKGROUND=\""}) {
        for (std::size_t at = text.find(attribute); at != std::string::npos; at = text.find(attribute, at + 1)) {
            const std::size_t begin = at + attribute.size();
            const std::string link = text.substr(begin, text.find('"', begin) - begin);
            if (link.empty() || link.rfind("http", 0) == 0)
                continue;
            if (link.rfind("file://", 0) == 0)
                files.emplace_back(Decoded(link.substr(7)));
            else
                files.push_back((page.parent_path() / Decoded(link)).lexically_normal());
        }
    }
    return files;
}

class HTMLExportBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::BeginDialogScript();
        fs::create_directories(scratch.Path("bilder"));
        const TColor colors[] = {clRed, clBlue, clLime};
        const char* names[] = {"Rot.jpg", "Blau Bild.jpg", "grün&mehr.bmp"};
        for (int i = 0; i < 3; ++i) {
            TBitmap bitmap(400, 300, pf24bit);
            bitmap.Canvas().Brush.Color = colors[i];
            bitmap.Canvas().FillRect({0, 0, 400, 300});
            const std::string file = scratch.Path(std::string("bilder/") + names[i]);
            if (i == 2) {
                bitmap.SaveToFile(file);
            } else {
                TJPEGImage jpeg;
                jpeg.Assign(&bitmap);
                jpeg.SaveToFile(file);
            }
            items.push_back({file, true, "Bild " + std::to_string(i + 1), clBlack});
        }
        preset.MainDir = scratch.Path("web");
        TBitmap background(32, 32, pf24bit);
        background.Canvas().Brush.Color = RGB(210, 210, 190);
        background.Canvas().FillRect({0, 0, 32, 32});
        TJPEGImage backgroundJPEG;
        backgroundJPEG.Assign(&background);
        backgroundJPEG.SaveToFile(scratch.Path("Hinter grund.jpg"));
        preset.BGPicture = scratch.Path("Hinter grund.jpg");
        THTMLExport run(preset, items, "", scratch.Path("home"));
        run.AddCopyright = true;
        ASSERT_TRUE(run.Run());
        start = run.StartAddress();
    }
    void TearDown() override { ui::EndDialogScript(); }

    EditorScratch scratch;
    TMyHTMLPreset preset;
    std::vector<THTMLExportItem> items;
    std::string start;
};

TEST_F(HTMLExportBrowserTest, EveryLinkAndPictureOfEveryPageIsAWrittenFile)
{
    std::vector<fs::path> pages;
    for (const auto& entry : fs::recursive_directory_iterator(scratch.Path("web")))
        if (entry.path().extension() == ".htm")
            pages.push_back(entry.path());
    ASSERT_EQ(pages.size(), 4u);
    for (const fs::path& page : pages) {
        const std::vector<fs::path> files = LinkedFiles(page);
        EXPECT_GE(files.size(), 2u) << page;
        for (const fs::path& file : files)
            EXPECT_TRUE(fs::is_regular_file(file)) << page << " links " << file;
    }
}

TEST_F(HTMLExportBrowserTest, ChromiumShowsTheThumbnailsOfTheIndexPage)
{
    if (!OnPath("chromium"))
        GTEST_SKIP() << "Chromium is not installed";
    const std::string shot = scratch.Path("shot.png");
    const std::string command = "chromium --headless --no-sandbox --disable-gpu --hide-scrollbars "
                                "--window-size=800,400 --screenshot='" +
        shot + "' '" + start + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    TPicture picture;
    picture.LoadFromFile(shot);
    ASSERT_NE(picture.Graphic(), nullptr);
    TBitmap bitmap(picture.Width(), picture.Height(), pf24bit);
    bitmap.Canvas().Draw(0, 0, *picture.Graphic());
    // The thumbnails are 55 x 41 in pure colours; nothing else on the page
    // (a pale background picture, black text) has them.
    int red = 0, blue = 0, green = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const int b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
            red += r > 180 && g < 80 && b < 80;
            blue += b > 180 && g < 80 && r < 80;
            green += g > 180 && r < 80 && b < 80;
        }
    }
    EXPECT_GT(red, 1500);
    EXPECT_GT(blue, 1500);
    EXPECT_GT(green, 1500);
}

} // namespace
