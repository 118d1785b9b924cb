#include "platform/rtl/IniFiles.h"

#include "StorageTestSupport.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <vector>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    std::string Path() const { return folder.File("test.ini"); }

    std::vector<std::string> List(void (TIniFile::*read)(TStrings&), TIniFile& ini)
    {
        TStringList list;
        (ini.*read)(list);
        return Lines(list);
    }

    static std::vector<std::string> Lines(const TStringList& list)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < list.Count(); ++i)
            lines.push_back(list.Strings(i));
        return lines;
    }

    TempFolder folder;
};

// A file as other programs write it: LF and CR line ends mixed in, comments,
// blanks, quotes, a key before any section, repeated sections and keys.
const char* const ProfileText = "Orphan=1\n"
                                "[Player]\r\n"
                                "; comment=not a key\r\n"
                                "  SmoothScale = 1  \r\n"
                                "smoothscale=0\r\n"
                                "Quoted=\"C:\\Bilder\\\"\r"
                                "Single='it'\n"
                                "Mismatched=\"text'\r\n"
                                "OneQuote=\"\r\n"
                                "Inner=a \"b\" c\r\n"
                                "Doubled=\"\"word\"\"\r\n"
                                "Empty=\r\n"
                                "no equals sign here\r\n"
                                "[ Other ]\r\n"
                                "Key=first section\r\n"
                                "[player]\r\n"
                                "Late=hidden by the first [Player]\r\n"
                                "[other]\r\n"
                                "Key=second section\r\n";

TEST_F(IniFileTest, ReadsLikeAWindowsProfile)
{
    WriteBytes(Path(), ProfileText);
    TIniFile ini(Path());
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Player", "SmoothScale", "1"},       // blanks around key and value
        {"PLAYER", "smoothSCALE", "1"},       // no letter case, first key wins
        {"Player", "Quoted", "C:\\Bilder\\"}, // one pair of quotes stripped
        {"Player", "Single", "it"},
        {"Player", "Mismatched", "\"text'"}, // quotes that do not match stay
        {"Player", "OneQuote", "\""},
        {"Player", "Inner", "a \"b\" c"},
        {"Player", "Doubled", "\"word\""}, // only the outer pair goes
        {"Player", "Empty", ""},           // present and empty: not the default
        {"Player", "; comment", "default"},
        {"Player", "Late", "default"},     // in a later section of the same name
        {"Player", "Orphan", "default"},   // keys before any section belong nowhere
        {"Other", "Key", "first section"}, // section names trimmed, first wins
        {"Missing", "Key", "default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.expected) << c.section << "/" << c.key;
    EXPECT_TRUE(ini.ValueExists("player", "EMPTY"));
    EXPECT_FALSE(ini.ValueExists("Player", "Late"));
    EXPECT_TRUE(ini.SectionExists("OTHER"));
    EXPECT_FALSE(ini.SectionExists("Orphan"));
}

TEST_F(IniFileTest, ReadsNumbersAndBooleans)
{
    WriteBytes(Path(),
               "[N]\r\nzero=0\r\none=1\r\nminus=-5\r\nblanks= 12 \r\nhex=0x1F\r\ndollar=$10\r\n"
               "allbits=$FFFFFFFF\r\nword=yes\r\nhuge=99999999999\r\nmixed=12abc\r\nempty=\r\n"
               "min=-2147483648\r\nquoted=\"7\"\r\n");
    TIniFile ini(Path());
    const std::pair<const char*, int32_t> integers[] = {
        {"zero", 0},  {"one", 1},   {"minus", -5}, {"blanks", 12}, {"hex", 31},     {"dollar", 16},     {"allbits", -1},
        {"word", 42}, {"huge", 42}, {"mixed", 42}, {"empty", 42},  {"missing", 42}, {"min", INT32_MIN}, {"quoted", 7}};
    for (const auto& [key, expected] : integers)
        EXPECT_EQ(ini.ReadInteger("N", key, 42), expected) << key;

    const std::tuple<const char*, bool, bool> booleans[] = {
        // key, default, expected
        {"zero", true, false},  {"one", false, true},    {"minus", false, true},   {"word", true, true},
        {"word", false, false}, {"missing", true, true}, {"missing", false, false}};
    for (const auto& [key, defaultValue, expected] : booleans)
        EXPECT_EQ(ini.ReadBool("N", key, defaultValue), expected) << key << " default " << defaultValue;
}

TEST_F(IniFileTest, CreatesTheFileOnTheFirstWriteWithCrLfLines)
{
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("Player", "SmoothScale", "x"), "x");
    EXPECT_FALSE(std::filesystem::exists(Path()));
    ini.EraseSection("Player");
    ini.DeleteKey("Player", "SmoothScale");
    EXPECT_FALSE(std::filesystem::exists(Path())) << "nothing to change, nothing written";

    ini.WriteBool("Player", "SmoothScale", true);
    ini.WriteBool("Player", "ShowErrorInShow", false);
    ini.WriteInteger("Wallpaper-Vistelo", "UserInterval", -60000);
    EXPECT_EQ(ReadBytes(Path()),
              "[Player]\r\nSmoothScale=1\r\nShowErrorInShow=0\r\n\r\n[Wallpaper-Vistelo]\r\nUserInterval=-60000\r\n");
}

TEST_F(IniFileTest, WritesInPlaceAndKeepsWhatItDoesNotUnderstand)
{
    WriteBytes(Path(), "; written by hand\n[A]\nx=1\n; about y\ny=2\n\n[B]\nz=3\n");
    TIniFile ini(Path());
    ini.WriteString("a", "Y", "two");     // replaces the existing line
    ini.WriteString("A", "new", "added"); // goes after the section's last line
    ini.WriteString("b", "z", "3");       // unchanged value
    EXPECT_EQ(ReadBytes(Path()),
              "; written by hand\r\n[A]\r\nx=1\r\n; about y\r\nY=two\r\nnew=added\r\n\r\n"
              "[B]\r\nz=3\r\n");
}

TEST_F(IniFileTest, ListsSectionsKeysAndValuesOnceEach)
{
    WriteBytes(Path(), ProfileText);
    TIniFile ini(Path());
    EXPECT_EQ(List(&TIniFile::ReadSections, ini), (std::vector<std::string>{"Player", "Other"}));

    TStringList keys;
    ini.ReadSection("player", keys);
    EXPECT_EQ(Lines(keys),
              (std::vector<std::string>{"SmoothScale", "Quoted", "Single", "Mismatched", "OneQuote", "Inner", "Doubled",
                                        "Empty"}));

    TStringList values;
    ini.ReadSectionValues("OTHER", values);
    EXPECT_EQ(Lines(values), (std::vector<std::string>{"Key=first section"}));
    ini.ReadSection("Missing", values);
    EXPECT_EQ(values.Count(), 0);
}

TEST_F(IniFileTest, ErasesSectionsAndKeysWhereverTheyRepeat)
{
    WriteBytes(Path(), ProfileText);
    TIniFile ini(Path());
    ini.EraseSection("OTHER");
    EXPECT_FALSE(ini.SectionExists("Other"));
    EXPECT_EQ(ReadBytes(Path()).find("section"), std::string::npos) << "both [Other] sections are gone";

    ini.DeleteKey("Player", "smoothscale");
    EXPECT_FALSE(ini.ValueExists("Player", "SmoothScale")) << "the repeated key does not come up";
    EXPECT_EQ(ini.ReadString("Player", "Quoted", ""), "C:\\Bilder\\");
}

TEST_F(IniFileTest, KeepsUmlautsInWindows1252AndOtherTextInUtf8)
{
    {
        TIniFile ini(Path());
        ini.WriteString("Größe", "Bär", "Äpfel über Öl, 5 €");
    }
    EXPECT_EQ(ReadBytes(Path()),
              "[Gr\xF6\xDF"
              "e]\r\nB\xE4r=\xC4pfel \xFC"
              "ber \xD6l, 5 \x80\r\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("GRÖSSE", "bär", "?"), "?") << "ß has no upper-case letter of its own";
    EXPECT_EQ(ini.ReadString("GRÖßE", "BÄR", "?"), "Äpfel über Öl, 5 €");

    ini.WriteString("Größe", "Name", "Łódź");
    EXPECT_EQ(ReadBytes(Path()).substr(0, 12), "\xEF\xBB\xBF[Größe]") << "the whole file turns to marked UTF-8";
    TIniFile again(Path());
    EXPECT_EQ(again.ReadString("größe", "name", ""), "Łódź");
    EXPECT_EQ(again.ReadString("größe", "bär", ""), "Äpfel über Öl, 5 €");
}

TEST_F(IniFileTest, TextIsReadAsWindows1252UnlessTheFileBeginsWithTheUtf8Mark)
{
    struct Case {
        std::string text;
        std::string file; // as written
    };
    const Case cases[] = {
        // Windows-1252 whose bytes would also be valid UTF-8.
        {"Viel Spaß…", "[S]\r\nk=Viel Spa\xDF\x85\r\n"},
        {"Gruß–Karte", "[S]\r\nk=Gru\xDF\x96Karte\r\n"},
        {"Zażółć gęślą jaźń", "\xEF\xBB\xBF[S]\r\nk=Zażółć gęślą jaźń\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::filesystem::remove(Path());
        TIniFile(Path()).WriteString("S", "k", c.text);
        EXPECT_EQ(ReadBytes(Path()), c.file);
        EXPECT_EQ(TIniFile(Path()).ReadString("S", "k", ""), c.text);
    }
}

TEST_F(IniFileTest, RefusesNamesAndValuesThatWouldChangeOtherEntries)
{
    WriteBytes(Path(), "[S]\r\nk=v\r\n");
    TIniFile ini(Path());
    const std::tuple<const char*, const char*, const char*> writes[] = {{"S", "k", "v\r\n[T]\r\nevil=1"},
                                                                        {"S", "k\nx", "v"},
                                                                        {"S", "a=b", "v"},
                                                                        {"S", "", "v"},
                                                                        {"S", "  ", "v"},
                                                                        {"S", "[T]", "v"},
                                                                        {"S", ";x", "v"},
                                                                        {"S]", "k", "v"},
                                                                        {"S\r\n", "k", "v"}};
    for (const auto& [section, key, value] : writes)
        EXPECT_THROW(ini.WriteString(section, key, value), EIniFileException) << section << "/" << key;
    EXPECT_EQ(ReadBytes(Path()), "[S]\r\nk=v\r\n");
}

TEST_F(IniFileTest, SeesChangesMadeByOthers)
{
    TIniFile reader(Path());
    EXPECT_EQ(reader.ReadString("S", "k", "none"), "none");
    TIniFile(Path()).WriteString("S", "k", "first");
    EXPECT_EQ(reader.ReadString("S", "k", "none"), "first");
    WriteBytes(Path(), "[S]\nk=second\n"); // rewritten in place by another program
    EXPECT_EQ(reader.ReadString("S", "k", "none"), "second");
    reader.WriteString("S", "other", "x"); // keeps what the other program wrote
    EXPECT_EQ(TIniFile(Path()).ReadString("S", "k", "none"), "second");
}

TEST_F(IniFileTest, AFailedSaveRaisesAndLeavesTheOldFile)
{
    TIniFile(Path()).WriteString("Player", "SmoothScale", "1");
    const std::string before = ReadBytes(Path());
    const int result = RunWithFileSizeLimit(before.size() + 8, [&] {
        TIniFile ini(Path());
        try {
            ini.WriteString("Player", "Long", std::string(4096, 'x'));
            return 1;
        } catch (const EWriteError&) {
        }
        // The object still reads the file as it is on the disk.
        return ini.ValueExists("Player", "Long") || !ini.ValueExists("Player", "SmoothScale") ? 2 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(Path()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "no temporary file left";
}

TEST_F(IniFileTest, AFileThatCannotBeReadGivesDefaultsAndIsNotOverwritten)
{
    std::filesystem::create_directory(Path()); // a folder in place of the file
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("S", "k", "default"), "default");
    EXPECT_THROW(ini.WriteString("S", "k", "v"), EInOutError);
    EXPECT_TRUE(std::filesystem::is_directory(Path()));
}

TEST_F(IniFileTest, ABareFileNameLiesInTheWindowsFolder)
{
    EXPECT_EQ(TIniFile("Rollavin.ini").FileName(), rtl::WindowsDir() + "Rollavin.ini");
    EXPECT_EQ(TIniFile(Path()).FileName(), Path());
}

} // namespace
