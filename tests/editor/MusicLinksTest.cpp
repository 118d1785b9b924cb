// The music links data file: title and address pairs between bars, line
// breaks without meaning, Windows-1252 text, and the stand-in entry when the
// file cannot be read.

#include "editor/app/MusicLinks.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/editor/EditorScratch.h"

using MusicLinks::TLink;

namespace MusicLinks {
void PrintTo(const TLink& link, std::ostream* os) { *os << '{' << link.Title << " | " << link.Address << '}'; }
} // namespace MusicLinks

namespace {

std::vector<TLink> FromFile(const std::string& bytes)
{
    EditorScratch scratch;
    const std::string name = scratch.Path("murls.dat");
    std::ofstream(name, std::ios::binary) << bytes;
    return MusicLinks::Parse(MusicLinks::ReadText(name));
}

TEST(MusicLinksTest, FieldsPairIntoEntries)
{
    struct Case {
        const char* Name;
        const char* File;
        std::vector<TLink> Expected;
    };
    const Case cases[] = {
        {"four fields give two entries", "A|a.example|B|b.example|", {{"A", "a.example"}, {"B", "b.example"}}},
        {"three fields drop the title without address", "A|a.example|B", {{"A", "a.example"}}},
        {"the last address needs no closing bar", "A|a.example|B|b.example", {{"A", "a.example"}, {"B", "b.example"}}},
        {"a title split over two lines is joined without a blank",
         "Musik\r\narchiv|m.example|",
         {{"Musikarchiv", "m.example"}}},
        {"an address split over lines, with bare line feeds",
         "T|https://\nx.example/\r\n|",
         {{"T", "https://x.example/"}}},
        {"blanks stay and empty fields are valid", " A |||b.example", {{" A ", ""}, {"", "b.example"}}},
        {"an empty file gives an empty list", "", {}},
        {"a lone title gives nothing", "Titel", {}},
        {"Windows-1252 letters become UTF-8",
         "Gr\xFC\xDF"
         "e|g.example",
         {{"Grüße", "g.example"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FromFile(c.File), c.Expected);
    }
}

TEST(MusicLinksTest, AFileThatCannotBeReadGivesOneEntryNamingIt)
{
    EditorScratch scratch;
    const std::string missing = scratch.Path("murls.dat");
    EXPECT_EQ(MusicLinks::Parse(MusicLinks::ReadText(missing)),
              (std::vector<TLink>{{"Datei \"" + missing + "\" wurde nicht gefunden", MusicLinks::DefaultAddress}}));

    // A folder of that name, and a file too large to be a link list, are not read either.
    std::filesystem::create_directory(missing);
    EXPECT_EQ(MusicLinks::Parse(MusicLinks::ReadText(missing)).size(), 1u);
    const std::string huge = scratch.Path("huge.dat");
    std::ofstream(huge) << "A|";
    std::filesystem::resize_file(huge, MusicLinks::MaxFileSize + 1);
    EXPECT_EQ(MusicLinks::Parse(MusicLinks::ReadText(huge)).front().Title,
              "Datei \"" + huge + "\" wurde nicht gefunden");
}

} // namespace
