#include "platform/rtl/Registry.h"

#include "StorageTestSupport.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Every test works on a hive file of its own.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("VISTELO_REGISTRY", Hive().c_str(), 1); }
    void TearDown() override { unsetenv("VISTELO_REGISTRY"); }

    std::string Hive() const { return folder.File("registry.reg"); }

    static std::vector<std::string> Lines(const TStringList& list)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < list.Count(); ++i)
            lines.push_back(list.Strings(i));
        return lines;
    }

    static std::vector<std::string> KeyNames(TRegistry& reg)
    {
        TStringList list;
        reg.GetKeyNames(list);
        return Lines(list);
    }

    static std::vector<std::string> ValueNames(TRegistry& reg)
    {
        TStringList list;
        reg.GetValueNames(list);
        return Lines(list);
    }

    TempFolder folder;
};

constexpr const char* EditorKey = "\\Software\\Ostrelind\\Vistelo\\3.5 (Shareware)";

TEST_F(RegistryTest, EveryTypeRoundTripsThroughTheFile)
{
    const uint8_t jpeg[] = {0x4B, 0x00};
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(EditorKey, true));
        reg.WriteString("PicDir", "C:\\Bilder \"neu\"");
        reg.WriteString("Umlaute", "Größe: Äpfel, 5 €");
        reg.WriteString("Lines", "eins\r\nzwei");
        reg.WriteString("Zeros", std::string("tab\tzero\0\0", 10));
        reg.WriteString("Mojibake", "Spaß…"); // its 1252 bytes also form valid UTF-8
        reg.WriteString("Polish", "Zażółć");  // beyond Windows-1252
        reg.WriteString("Empty", "");
        reg.WriteExpandString("Path", "%HOME%\\Vistelo");
        reg.WriteInteger("TipNr", -2);
        reg.WriteBool("ShowTips", true);
        reg.WriteBinaryData("JPEGSettings", jpeg, sizeof jpeg);
        reg.WriteBinaryData("Nothing", nullptr, 0);
        reg.WriteString("", "the default value");
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(EditorKey, false));
    EXPECT_EQ(reg.ReadString("PicDir"), "C:\\Bilder \"neu\"");
    EXPECT_EQ(reg.ReadString("umlaute"), "Größe: Äpfel, 5 €");
    EXPECT_EQ(reg.ReadString("Lines"), "eins\r\nzwei");
    EXPECT_EQ(reg.ReadString("Zeros"), std::string("tab\tzero\0\0", 10));
    EXPECT_EQ(reg.ReadString("Mojibake"), "Spaß…");
    EXPECT_EQ(reg.ReadString("Polish"), "Zażółć");
    EXPECT_EQ(reg.ReadString("Empty"), "");
    EXPECT_EQ(reg.ReadString("Path"), "%HOME%\\Vistelo");
    EXPECT_EQ(reg.ReadInteger("TipNr"), -2);
    EXPECT_TRUE(reg.ReadBool("ShowTips"));
    EXPECT_EQ(reg.ReadString(""), "the default value");
    uint8_t buffer[4] = {};
    EXPECT_EQ(reg.ReadBinaryData("JPEGSettings", buffer, sizeof buffer), 2);
    EXPECT_EQ(buffer[0], 0x4B);
    EXPECT_EQ(reg.ReadBinaryData("Nothing", buffer, sizeof buffer), 0);

    const std::tuple<const char*, TRegDataType, int> infos[] = {
        {"PicDir", rdString, 16}, {"Empty", rdString, 1},        {"Path", rdExpandString, 15},
        {"TipNr", rdInteger, 4},  {"JPEGSettings", rdBinary, 2}, {"Missing", rdUnknown, -1}};
    for (const auto& [name, type, size] : infos) {
        EXPECT_EQ(reg.GetDataType(name), type) << name;
        EXPECT_EQ(reg.GetDataSize(name), size) << name;
    }
    EXPECT_EQ(ValueNames(reg),
              (std::vector<std::string>{"PicDir", "Umlaute", "Lines", "Zeros", "Mojibake", "Polish", "Empty", "Path",
                                        "TipNr", "ShowTips", "JPEGSettings", "Nothing", ""}));
}

TEST_F(RegistryTest, WritesRegedit4Text)
{
    TRegistry reg;
    reg.RootKey(); // HKEY_CURRENT_USER by default
    ASSERT_TRUE(reg.OpenKey("\\Software\\A", true));
    reg.WriteString("Name", "B\xC3\xA4r \\ \"x\"");
    reg.WriteInteger("Count", -1);
    reg.WriteBinaryData("Data", "\x01\xff", 2);
    reg.WriteExpandString("Exp", "%a%");
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Empty", true));
    EXPECT_EQ(ReadBytes(Hive()),
              "REGEDIT4\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n"
              "\"Name\"=\"B\xE4r \\\\ \\\"x\\\"\"\r\n"
              "\"Count\"=dword:ffffffff\r\n"
              "\"Data\"=hex:01,ff\r\n"
              "\"Exp\"=hex(2):25,61,25,00\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Empty]\r\n");
}

TEST_F(RegistryTest, TypedReadsRaiseOnMissingValuesAndOtherTypes)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Typed", true));
    reg.WriteString("Text", "1");
    reg.WriteInteger("Number", 1);
    reg.WriteBinaryData("Bytes", "abcd", 4);
    uint8_t small[3];
    EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
    EXPECT_THROW(reg.ReadBool("Text"), ERegistryException) << "a boolean stored as text";
    EXPECT_THROW(reg.ReadInteger("Bytes"), ERegistryException);
    EXPECT_THROW(reg.ReadString("Number"), ERegistryException);
    EXPECT_THROW(reg.ReadBinaryData("Missing", small, sizeof small), ERegistryException);
    EXPECT_THROW(reg.ReadBinaryData("Number", small, sizeof small), ERegistryException);
    EXPECT_THROW(reg.ReadBinaryData("Bytes", small, sizeof small), ERegistryException) << "buffer too small";
    EXPECT_EQ(reg.ReadString("Missing"), "") << "a missing string reads empty";
}

TEST_F(RegistryTest, OpensKeysByRelativeAndAbsolutePaths)
{
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\Nowhere", false));
    EXPECT_EQ(reg.CurrentKey(), 0u);
    EXPECT_FALSE(reg.KeyExists("Software\\Nowhere")) << "a failed open creates nothing";

    ASSERT_TRUE(reg.OpenKey("Software\\Ostrelind", true));
    EXPECT_NE(reg.CurrentKey(), 0u);
    ASSERT_TRUE(reg.OpenKey("Vistelo\\3.5", true)); // below the open key
    EXPECT_EQ(reg.CurrentPath(), "Software\\Ostrelind\\Vistelo\\3.5");
    EXPECT_TRUE(reg.CreateKey("Zeta"));
    EXPECT_TRUE(reg.CreateKey("alpha\\deep"));
    EXPECT_TRUE(reg.CreateKey("Beta"));
    EXPECT_EQ(KeyNames(reg), (std::vector<std::string>{"alpha", "Beta", "Zeta"}));
    EXPECT_TRUE(reg.KeyExists("ALPHA\\Deep"));
    EXPECT_TRUE(reg.KeyExists("\\software\\OSTRELIND"));
    EXPECT_FALSE(reg.KeyExists("\\Vistelo"));

    ASSERT_TRUE(reg.OpenKey("\\Software\\Ostrelind\\", false)); // from the root
    EXPECT_EQ(reg.CurrentPath(), "Software\\Ostrelind");
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentKey(), 0u);
    EXPECT_TRUE(reg.OpenKey("Software", false)) << "with no key open, paths start at the root";
    EXPECT_THROW(reg.CreateKey("bad\x01name"), ERegistryException);
    EXPECT_FALSE(reg.OpenKey("line\nbreak", true));

    reg.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_EQ(reg.CurrentKey(), 0u);
    EXPECT_FALSE(reg.KeyExists("\\Software")) << "each root key has its own tree";
}

TEST_F(RegistryTest, NamesCompareWithoutCaseAndKeepTheirCase)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Größe", true));
    reg.WriteInteger("Wert", 1);
    reg.WriteInteger("WERT", 2); // the same value
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\GRÖßE", false));
    EXPECT_EQ(ValueNames(reg), (std::vector<std::string>{"Wert"}));
    EXPECT_EQ(reg.ReadInteger("wert"), 2);
    ASSERT_TRUE(reg.OpenKey("\\", false));
    EXPECT_EQ(KeyNames(reg), (std::vector<std::string>{"Software"}));
}

TEST_F(RegistryTest, DeletesKeysWithEverythingBelowThem)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Doomed\\Child\\Grandchild", true));
    reg.WriteString("x", "1");
    ASSERT_TRUE(reg.OpenKey("\\Software\\Kept", true));
    reg.WriteString("y", "2");
    reg.CloseKey();

    EXPECT_TRUE(reg.DeleteKey("Software\\DOOMED"));
    EXPECT_FALSE(reg.KeyExists("Software\\Doomed"));
    EXPECT_FALSE(reg.KeyExists("Software\\Doomed\\Child\\Grandchild"));
    EXPECT_FALSE(reg.DeleteKey("Software\\Doomed"));
    EXPECT_FALSE(reg.DeleteKey("")) << "a root key stays";
    EXPECT_EQ(ReadBytes(Hive()).find("Doomed"), std::string::npos);

    ASSERT_TRUE(reg.OpenKey("Software\\Kept", false));
    EXPECT_TRUE(reg.DeleteValue("Y"));
    EXPECT_FALSE(reg.ValueExists("y"));
    EXPECT_FALSE(reg.DeleteValue("y"));

    TRegistry other;
    ASSERT_TRUE(other.DeleteKey("Software\\Kept"));
    EXPECT_THROW(reg.WriteString("z", "3"), ERegistryException) << "the open key was deleted meanwhile";
    EXPECT_FALSE(reg.KeyExists("\\Software\\Kept")) << "and is not brought back";
}

TEST_F(RegistryTest, ReadOnlyAccessRefusesEveryChange)
{
    {
        TRegistry writer;
        ASSERT_TRUE(writer.OpenKey("Control Panel\\desktop", true));
        writer.WriteInteger("ScreenSaveUsePassword", 1);
    }
    const std::string before = ReadBytes(Hive());

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Control Panel\\desktop"));
    EXPECT_EQ(reg.ReadInteger("ScreenSaveUsePassword"), 1);
    EXPECT_THROW(reg.WriteInteger("ScreenSaveUsePassword", 0), ERegistryException);
    EXPECT_THROW(reg.WriteString("New", "x"), ERegistryException);
    EXPECT_FALSE(reg.DeleteValue("ScreenSaveUsePassword"));
    EXPECT_FALSE(reg.DeleteKey("Sub"));
    EXPECT_THROW(reg.CreateKey("Sub"), ERegistryException);
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\Control Panel\\Missing"));

    TRegistry readAccess(KEY_READ);
    EXPECT_FALSE(readAccess.OpenKey("\\Software\\NotThere", true)) << "read access creates no key";
    ASSERT_TRUE(readAccess.OpenKey("\\Control Panel\\desktop", true));
    EXPECT_THROW(readAccess.WriteBool("ScreenSaveUsePassword", false), ERegistryException);
    EXPECT_EQ(ReadBytes(Hive()), before);

    TRegistry closed;
    EXPECT_THROW(closed.WriteString("x", "y"), ERegistryException) << "no key open";
    EXPECT_FALSE(closed.ValueExists("x"));
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int WritesPerProcess = 50;
    auto writeMany = [&](const char* prefix) {
        TRegistry reg;
        if (!reg.OpenKey("\\Software\\Race", true))
            return 1;
        for (int i = 0; i < WritesPerProcess; ++i)
            reg.WriteInteger(prefix + std::to_string(i), i);
        return 0;
    };
    pid_t children[2];
    const char* prefixes[2] = {"Editor", "Wallpaper"};
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        if (children[c] == 0)
            _exit(writeMany(prefixes[c]));
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Race", false));
    EXPECT_EQ(ValueNames(reg).size(), 2u * WritesPerProcess);
    for (const char* prefix : prefixes)
        for (int i = 0; i < WritesPerProcess; ++i)
            EXPECT_EQ(reg.ReadInteger(prefix + std::to_string(i)), i);
}

TEST_F(RegistryTest, SeesChangesOfOtherProgramsAndKeepsThem)
{
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey("\\Software\\Shared", true));
    reader.WriteString("Mine", "1");
    // Another program rewrites the file in place.
    WriteBytes(Hive(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Shared]\n\"Mine\"=\"1\"\n\"Theirs\"=\"2\"\n");
    EXPECT_EQ(reader.ReadString("Theirs"), "2");
    reader.WriteString("Mine", "3");
    EXPECT_EQ(TRegistry().OpenKey("\\Software\\Shared", false), true);
    TRegistry check;
    ASSERT_TRUE(check.OpenKey("\\Software\\Shared", false));
    EXPECT_EQ(check.ReadString("Theirs"), "2");
    EXPECT_EQ(check.ReadString("Mine"), "3");
}

TEST_F(RegistryTest, ADamagedFileGivesWhatCanStillBeRead)
{
    std::string deep = "[HKEY_CURRENT_USER";
    for (int i = 0; i < 2000; ++i)
        deep += "\\d";
    WriteBytes(Hive(),
               "garbage before the header\n"
               "REGEDIT4\n"
               "\"Orphan\"=\"no key\"\n"
               "[HKEY_CURRENT_USER\\Software\\Good]\n"
               "\"Text\"=\"ok\"\n"
               "\"Open\"=\"never closed\n"
               "\"BadHex\"=hex:1,zz,3\n"
               "\"Long\"=hex:01,02,\\\n"
               "  03\n"
               "\"BadDword\"=dword:123456789\n"
               "\"Trailing\"=\"x\" junk\n"
               "@=dword:2a\n"
               "\"Multi\"=hex(7):41,00,00,00\n"
               "no equals\n"
               "[HKEY_NOWHERE\\Software]\n"
               "\"Lost\"=\"x\"\n"
               "[HKEY_CURRENT_USER\\Software\\Unclosed\n" +
                   deep + "]\n\"TooDeep\"=\"x\"\n" + std::string("\x00\xff\xfe binary junk\n", 16) +
                   "[HKEY_CURRENT_USER\\Software\\Good]\n"
                   "\"Second\"=\"also ok\"\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Good", false));
    EXPECT_EQ(ValueNames(reg), (std::vector<std::string>{"Text", "Long", "", "Multi", "Second"}));
    EXPECT_EQ(reg.ReadString("Text"), "ok");
    uint8_t bytes[8];
    EXPECT_EQ(reg.ReadBinaryData("Long", bytes, sizeof bytes), 3);
    EXPECT_EQ(bytes[2], 3);
    EXPECT_EQ(reg.ReadInteger(""), 42);
    EXPECT_EQ(reg.GetDataType("Multi"), rdUnknown);
    EXPECT_EQ(KeyNames(reg), std::vector<std::string>{});
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("\\Software", false));
    EXPECT_EQ(KeyNames(reg), (std::vector<std::string>{"Good"}));

    // Writing keeps everything that could be read, unknown types included.
    ASSERT_TRUE(reg.OpenKey("Good", false));
    reg.WriteString("New", "value");
    TRegistry again;
    ASSERT_TRUE(again.OpenKey("\\Software\\Good", false));
    EXPECT_EQ(again.ReadString("Second"), "also ok");
    EXPECT_EQ(again.GetDataSize("Multi"), 4);
    EXPECT_NE(ReadBytes(Hive()).find("\"Multi\"=hex(7):41,00,00,00\r\n"), std::string::npos);
}

TEST_F(RegistryTest, AFileThatCannotBeReadIsEmptyAndNeverReplaced)
{
    std::filesystem::create_directory(Hive()); // a folder in place of the file
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("\\Software\\Ostrelind", true));
    EXPECT_FALSE(reg.KeyExists("\\Software"));
    EXPECT_THROW(reg.CreateKey("\\Software"), ERegistryException);
    EXPECT_THROW(TRegIniFile("Software\\App").WriteString("S", "K", "v"), ERegistryException);
    EXPECT_TRUE(std::filesystem::is_directory(Hive()));
}

class RegIniFileTest : public RegistryTest { };

TEST_F(RegIniFileTest, SectionsAreKeysBelowItsKeyOrFromTheRoot)
{
    {
        TRegIniFile ini("Software\\Ostrelind\\Vistelo\\3.5 (Shareware)");
        ini.WriteInteger("ConfigWindowPlacement", "Flags", 2);
        ini.WriteString("ConfigWindowPlacement", "NormPos", "1,2,3,4");
        ini.WriteBool("CatalogPlacement", "Visible", true);
        ini.WriteString("\\Software\\Elsewhere", "Key", "absolute");
        ini.WriteString("", "Own", "on the key itself");
    }
    TRegIniFile ini("Software\\Ostrelind\\Vistelo\\3.5 (Shareware)");
    EXPECT_EQ(ini.ReadInteger("configwindowplacement", "FLAGS", 0), 2);
    EXPECT_EQ(ini.ReadString("ConfigWindowPlacement", "NormPos", ""), "1,2,3,4");
    EXPECT_EQ(ini.ReadString("ConfigWindowPlacement", "Flags", ""), "2") << "integers read as text";
    EXPECT_TRUE(ini.ReadBool("CatalogPlacement", "Visible", false));
    EXPECT_EQ(ini.ReadString("", "Own", ""), "on the key itself");
    EXPECT_EQ(ini.ReadString("Missing", "Key", "default"), "default");
    EXPECT_EQ(ini.ReadString("\\Software\\Elsewhere", "Key", ""), "absolute");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string(EditorKey) + "\\ConfigWindowPlacement", false));
    EXPECT_EQ(reg.GetDataType("Flags"), rdInteger) << "stored as a registry integer";
    ASSERT_TRUE(reg.OpenKey("\\Software\\Elsewhere", false));
    EXPECT_EQ(reg.ReadString("Key"), "absolute");

    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"CatalogPlacement", "ConfigWindowPlacement"}));
    ini.ReadSection("ConfigWindowPlacement", list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"Flags", "NormPos"}));
    ini.ReadSectionValues("ConfigWindowPlacement", list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"Flags=2", "NormPos=1,2,3,4"}));
}

TEST_F(RegIniFileTest, ReadsNumbersStoredAsTextAndFallsBackOnOtherTypes)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\App\\S", true));
    reg.WriteString("Text", "17");
    reg.WriteString("Word", "yes");
    reg.WriteBinaryData("Bytes", "\x01", 1);
    TRegIniFile ini("Software\\App");
    EXPECT_EQ(ini.ReadInteger("S", "Text", 0), 17);
    EXPECT_EQ(ini.ReadInteger("S", "Word", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "Bytes", 5), 5);
    EXPECT_EQ(ini.ReadString("S", "Bytes", "d"), "d");
    EXPECT_FALSE(ini.ReadBool("S", "Word", false));
}

TEST_F(RegIniFileTest, ErasesSectionsAndKeys)
{
    TRegIniFile ini("Software\\App");
    ini.WriteString("Placement", "A", "1");
    ini.WriteString("Placement\\Nested", "B", "2");
    ini.WriteString("Other", "C", "3");
    ini.WriteString("Other", "D", "4");
    ini.EraseSection("placement");
    ini.DeleteKey("Other", "c");
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"Other"}));
    ini.ReadSection("Other", list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"D"}));
}

TEST_F(RegIniFileTest, ReadAccessCreatesNothingAndRefusesWrites)
{
    TRegIniFile ini("Software\\NotYet", KEY_READ);
    EXPECT_EQ(ini.ReadString("S", "K", "default"), "default");
    EXPECT_THROW(ini.WriteString("S", "K", "v"), ERegistryException);
    ini.EraseSection("S");
    EXPECT_FALSE(std::filesystem::exists(Hive())) << "nothing was written";
}

} // namespace
