#include "core/Tools.h"

#include "ContainerBytes.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>

using namespace ContainerBytes;

namespace {

TEST(ToolsTest, LineLists)
{
    struct Case {
        std::string text;
        int count;
        int n;
        std::string line;
    } cases[] = {
        {"a\r\nb", 1, 1, "b"}, // a last line without CR LF is not counted but can be read
        {"a\r\nb", 1, 2, ""},     {"a\r\nb", 1, 0, "a"}, {"a\r\nb", 1, -3, "a"},   {"a\r\nb\r\n", 2, 1, "b"},
        {"\r\n\r\nc", 2, 2, "c"}, {"", 0, 0, ""},        {"\r\r\n\n", 1, 0, "\r"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tools::CountStrNr(c.text), c.count) << c.text;
        EXPECT_EQ(Tools::GetStrNr(c.text, c.n), c.line) << c.text << " line " << c.n;
    }
}

TEST(ToolsTest, SeparatorLists)
{
    EXPECT_EQ(Tools::CountStrNrDiv("a;b;;c", ";"), 3);
    EXPECT_EQ(Tools::CountStrNrDiv("aaa", "aa"), 1); // occurrences do not overlap
    EXPECT_EQ(Tools::CountStrNrDiv("abc", ""), 0);
    EXPECT_EQ(Tools::GetStrNrDiv("a;b;;c", ";", 2), "");
    EXPECT_EQ(Tools::GetStrNrDiv("a;b;;c", ";", 3), "c");
    EXPECT_EQ(Tools::GetStrNrDiv("a::b", "::", 1), "b");
    EXPECT_EQ(Tools::GetStrNrDiv("a;b", ";", 5), "");
}

TEST(ToolsTest, StringEdits)
{
    EXPECT_EQ(Tools::KillSubStr("aabb", "ab"), ""); // a removal that makes a new occurrence removes that too
    EXPECT_EQ(Tools::KillSubStr("xaabbx", "ab"), "xx");
    EXPECT_EQ(Tools::KillSubStr("abcabc", "bc"), "aa");
    EXPECT_EQ(Tools::KillSubStr("abc", ""), "abc");
    EXPECT_EQ(Tools::KillBeginEndSpaces("  a b  "), "a b");
    EXPECT_EQ(Tools::KillBeginEndSpaces("\ta \t "), "\ta \t");
    EXPECT_EQ(Tools::KillBeginEndSpaces("   "), "");
    EXPECT_EQ(Tools::DirName("C:\\Bilder\\"), "C:\\Bilder\\");
    EXPECT_EQ(Tools::DirName("/home/bilder"), "/home/bilder/");
    EXPECT_EQ(Tools::DirName("/home/bilder/"), "/home/bilder/");
    EXPECT_EQ(Tools::DirName(""), "");
    EXPECT_EQ(Tools::IfStr(true, "a", "b"), "a");
    EXPECT_EQ(Tools::IfStr(false, "a", "b"), "b");
    EXPECT_EQ(Tools::LabelFilename("a&b&c&d"), "a&&b&&c&&d");
    EXPECT_EQ(Tools::LabelFilename("&"), "&&");
    EXPECT_EQ(Tools::Rot13("Hallo, Welt! äß"), "Unyyb, Jryg! äß");
    EXPECT_EQ(Tools::Rot13(Tools::Rot13("Zebra-Quiz 42")), "Zebra-Quiz 42");
    EXPECT_EQ(Tools::ExtractFilenameWithOutExt("C:\\a.b\\c"), "C:\\a.b\\c");
    EXPECT_EQ(Tools::ExtractFilenameWithOutExt("/x.y/bild.tar.gz"), "/x.y/bild.tar");
    EXPECT_EQ(Tools::ExtractFilenameWithOutExt("bild."), "bild");
}

TEST(ToolsTest, HexToInt)
{
    EXPECT_EQ(Tools::HexToInt("ff"), 255);
    EXPECT_EQ(Tools::HexToInt(""), 0);
    EXPECT_EQ(Tools::HexToInt("7FFFFFFF"), INT_MAX);
    EXPECT_EQ(Tools::HexToInt("FFFFFFFF"), -1);
    EXPECT_EQ(Tools::HexToInt("123456789"), 0x23456789); // kept in 32 bits
    for (const char* bad : {"1G", "1g", " 1", "-1"}) {
        try {
            Tools::HexToInt(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const EConvertError& e) {
            std::string upper = bad;
            std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
            EXPECT_EQ(e.Message, "Kann " + upper + " nicht als hexadezimale Zahl interpretieren!");
        }
    }
}

TEST(ToolsTest, GuidTexts)
{
    const TGUID zero = Tools::StringToGUID("00000000-0000-0000-0000-000000000000");
    EXPECT_TRUE(Tools::CompareGUID(zero, TGUID{}));

    const TGUID guid = Tools::StringToGUID("12345678-9ABC-def0-1122-334455667788");
    EXPECT_EQ(guid.D1, 0x12345678u);
    EXPECT_EQ(guid.D2, 0x9ABC);
    EXPECT_EQ(guid.D3, 0xDEF0);
    const std::uint8_t d4[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    EXPECT_TRUE(std::equal(std::begin(d4), std::end(d4), std::begin(guid.D4)));

    // Texts that differ in any digit of the last two groups are different GUIDs.
    EXPECT_FALSE(Tools::CompareGUID(guid, Tools::StringToGUID("12345678-9ABC-DEF0-1123-334455667788")));
    EXPECT_FALSE(Tools::CompareGUID(guid, Tools::StringToGUID("12345678-9ABC-DEF0-1122-334455667789")));
    EXPECT_TRUE(Tools::CompareGUID(guid, Tools::StringToGUID("12345678-9abc-DEF0-1122-334455667788")));
}

TEST(ToolsTest, NumberAndTimeTexts)
{
    EXPECT_EQ(Tools::ZahlPunkt(1234567), "1.234.567");
    EXPECT_EQ(Tools::ZahlPunkt(123), "123");
    EXPECT_EQ(Tools::ZahlPunkt(1000), "1.000");
    EXPECT_EQ(Tools::ZahlPunkt(0), "0");
    EXPECT_EQ(Tools::ZahlPunkt(-123), "-123"); // no separator right after the sign
    EXPECT_EQ(Tools::ZahlPunkt(-123456), "-123.456");
    EXPECT_EQ(Tools::ZahlPunkt(INT_MIN), "-2.147.483.648");
    EXPECT_EQ(Tools::CompZahlPunkt(INT64_MIN), "-9.223.372.036.854.775.808");

    EXPECT_EQ(Tools::TickCountToStr(59999), "00:00:59:999");
    EXPECT_EQ(Tools::TickCountToStr(3723004), "01:02:03:004");
    EXPECT_EQ(Tools::TickCountToStr(0), "00:00:00:000");
    EXPECT_EQ(Tools::TickCountToStr(4294967295u), "1193:02:47:295");

    const TDateTime start = 1000.25;
    const TDateTime later = start + (3600.0 + 120.0 + 3.004) / 86400.0;
    EXPECT_EQ(Tools::SubTime(later, start), "01:02:03.4");
}

TEST(ToolsTest, NumbersFollowTheLocaleSeparator)
{
    EXPECT_EQ(Tools::GetLocalCharacter(LOCALE_STHOUSAND), ".");
    EXPECT_EQ(Tools::GetLocalCharacter(LOCALE_SDECIMAL), ",");
    const std::string saved = rtl::FormatSettings.ThousandSeparator;
    rtl::FormatSettings.ThousandSeparator = "'";
    EXPECT_EQ(Tools::ZahlPunkt(1234567), "1'234'567");
    rtl::FormatSettings.ThousandSeparator = saved;
}

TEST(ToolsTest, WordsOfMemory)
{
    std::uint32_t words[10];
    std::fill(std::begin(words), std::end(words), 0xFFFFFFFFu);
    Tools::ZeroMem32(words + 1, 8);
    EXPECT_EQ(words[0], 0xFFFFFFFFu);
    EXPECT_EQ(std::count(words + 1, words + 9, 0u), 8);
    EXPECT_EQ(words[9], 0xFFFFFFFFu);

    std::uint32_t overlap[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Tools::MoveMem32(overlap, overlap + 2, 6);
    const std::uint32_t moved[8] = {1, 2, 1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(std::equal(std::begin(moved), std::end(moved), std::begin(overlap)));
}

// A window that records the messages dispatched to it.
class RecordingWindow {
public:
    RecordingWindow()
        : handle(ui::CreateRawWindow(ui::MakeWindowProc([this](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
              received.push_back(msg);
              return 0;
          })))
    { }
    ~RecordingWindow() { ui::DestroyRawWindow(handle); }

    void Post(std::initializer_list<UINT> messages) const
    {
        for (UINT msg : messages)
            ui::PostMessage(handle, msg, 0, 0);
    }

    HWND handle;
    std::vector<UINT> received;
};

TEST(ToolsTest, MessagePurgesTakeOnlyTheirKindOfTheirWindow)
{
    RecordingWindow a;
    RecordingWindow b;
    a.Post({WM_KEYDOWN, WM_MOUSEMOVE, WM_USER, WM_LBUTTONDOWN, WM_CHAR, WM_MOUSEWHEEL, WM_KEYLAST, WM_PAINT});
    b.Post({WM_MOUSEMOVE, WM_KEYUP});

    Tools::KillMouseMessages(a.handle);
    Tools::ProcessComponentMessages(a.handle);
    EXPECT_EQ(a.received, (std::vector<UINT>{WM_KEYDOWN, WM_USER, WM_CHAR, WM_KEYLAST, WM_PAINT}));

    a.received.clear();
    a.Post({WM_KEYDOWN, WM_MOUSEMOVE, WM_USER, WM_SYSKEYUP, WM_RBUTTONUP});
    Tools::KillMouseKeyBoardMessages(a.handle);
    Tools::ProcessComponentMessages(a.handle);
    EXPECT_EQ(a.received, (std::vector<UINT>{WM_USER}));

    Tools::KillKeyboardMessages(nullptr); // every window's
    Tools::ProcessComponentMessages(b.handle);
    EXPECT_EQ(b.received, (std::vector<UINT>{WM_MOUSEMOVE}));
}

// A control that logs when its enabled state is set, and may refuse.
class LoggingControl : public TWinControl {
public:
    LoggingControl(TWinControl* parent, std::vector<std::string>& log, std::string name, bool refuse = false)
        : TWinControl(nullptr), log_(log), name_(std::move(name)), refuse_(refuse)
    {
        if (parent)
            SetParent(parent);
    }
    void SetEnabled(bool value) override
    {
        log_.push_back(name_);
        if (refuse_)
            throw Exception("refused");
        TWinControl::SetEnabled(value);
    }

private:
    std::vector<std::string>& log_;
    std::string name_;
    bool refuse_;
};

TEST(ToolsTest, ChangeEnabledWalksChildrenFirstAndPassesOverRefusals)
{
    std::vector<std::string> log;
    LoggingControl form(nullptr, log, "form");
    LoggingControl panel(&form, log, "panel");
    LoggingControl edit(&panel, log, "edit");
    LoggingControl stubborn(&form, log, "stubborn", true);
    LoggingControl button(&form, log, "button");

    Tools::DisableAll(&form);
    EXPECT_EQ(log, (std::vector<std::string>{"edit", "panel", "stubborn", "button", "form"}));
    for (const TControl* control : {&form, &panel, &edit, &button})
        EXPECT_FALSE(control->Enabled());
    EXPECT_TRUE(stubborn.Enabled());

    Tools::EnableAll(&panel);
    EXPECT_TRUE(edit.Enabled());
    EXPECT_TRUE(panel.Enabled());
    EXPECT_FALSE(form.Enabled());
    EXPECT_NO_THROW(Tools::ChangeEnabled(nullptr, true));
}

TEST(ToolsTest, FindPageTakesTheLastExactNameAndNamesBothWhenMissing)
{
    std::vector<std::string> log;
    LoggingControl pages(nullptr, log, "pages");
    pages.SetName("Seiten");
    LoggingControl first(&pages, log, "first");
    LoggingControl other(&pages, log, "other");
    LoggingControl second(&pages, log, "second");
    first.SetName("Allgemein");
    other.SetName("allgemein");
    second.SetName("Allgemein");

    EXPECT_EQ(Tools::FindPage(pages, "Allgemein"), &second);
    EXPECT_EQ(Tools::FindPage(pages, "allgemein"), &other);
    try {
        Tools::FindPage(pages, "Ton");
        FAIL() << "a missing page must raise";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message, "Tabsheet \"Ton\" gibt es in \"Seiten\" nicht");
    }
}

// A form that looks itself up through the reference while it is made.
class SelfLookingForm : public TComponent {
public:
    static SelfLookingForm* reference;
    static bool fail;
    explicit SelfLookingForm(TComponent* owner) : TComponent(owner), sawItself(reference == this)
    {
        if (fail)
            throw Exception("kaputt");
    }
    bool sawItself;
};
SelfLookingForm* SelfLookingForm::reference = nullptr;
bool SelfLookingForm::fail = false;

TEST(ToolsTest, CreateOwnerFormNamesTheFormBeforeItsConstructorRuns)
{
    TComponent owner(nullptr);
    SelfLookingForm::fail = false;
    Tools::CreateOwnerForm(&owner, SelfLookingForm::reference);
    ASSERT_TRUE(SelfLookingForm::reference);
    EXPECT_TRUE(SelfLookingForm::reference->sawItself);
    EXPECT_EQ(SelfLookingForm::reference->Owner(), &owner);

    SelfLookingForm::fail = true;
    EXPECT_THROW(Tools::CreateOwnerForm(&owner, SelfLookingForm::reference), Exception);
    EXPECT_EQ(SelfLookingForm::reference, nullptr);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(ToolsTest, SetClipRectReplacesTheClipRegion)
{
    TBitmap bitmap(12, 12);
    TCanvas& canvas = bitmap.Canvas();
    auto blueAt = [&](int x, int y) { return bitmap.ScanLine(y)[3 * x]; };
    canvas.IntersectClipRect(TRect{0, 0, 2, 2}); // replaced, not narrowed further
    Tools::SetClipRect(canvas, TRect{3, 3, 8, 8});
    canvas.Brush.Color = 0xFF0000; // blue
    canvas.FillRect(TRect{0, 0, 12, 12});
    EXPECT_EQ(blueAt(4, 4), 0xFF);
    EXPECT_EQ(blueAt(6, 6), 0xFF);
    EXPECT_EQ(blueAt(1, 1), 0);
    EXPECT_EQ(blueAt(10, 5), 0);
    EXPECT_EQ(blueAt(5, 10), 0);
}

TEST(ToolsTest, PlatformQueries)
{
    EXPECT_EQ(Tools::GetWinDir().back(), '/');
    EXPECT_EQ(Tools::GetSysDir().back(), '/');
    TOSVersionInfo info;
    ASSERT_TRUE(Tools::GetVersionInfo(info));
    EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
    EXPECT_TRUE(Tools::WindowsNT());
    EXPECT_FALSE(Tools::Windows9x());
    const std::string version = Tools::GetWindowsVersion();
    EXPECT_EQ(version.rfind("Microsoft Windows NT Version ", 0), 0u) << version;
    EXPECT_LE(version.size(), 51u);
}

class ToolsFileTest : public ScratchFolder {
protected:
    void Touch(const std::string& relative, std::size_t size = 0)
    {
        std::filesystem::create_directories((folder / relative).parent_path());
        Write(relative, std::vector<std::uint8_t>(size, 'x'));
    }

    static std::vector<std::string> Lines(const std::string& list)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < Tools::CountStrNr(list); ++i)
            lines.push_back(Tools::GetStrNr(list, i));
        std::sort(lines.begin(), lines.end());
        return lines;
    }
};

TEST_F(ToolsFileTest, ScanDirectoryListsMatchesPerMaskAndSkipsDotFolders)
{
    Touch("a.jpg");
    Touch("b.txt");
    Touch("sub/c.JPG");
    Touch(".hidden/d.jpg");
    std::filesystem::create_directories(folder / "album.jpg");
    const std::string base = folder.string() + "/";
    const std::string masks = "*.jpg\r\n*.j?g";

    std::vector<std::string> expected{base + "a.jpg", base + "a.jpg", base + "sub/c.JPG", base + "sub/c.JPG"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Lines(Tools::ScanDirectory(folder.string(), masks, true)), expected);

    // Without recursion, folders are matched like files.
    expected = {base + "a.jpg", base + "a.jpg", base + "album.jpg", base + "album.jpg"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Lines(Tools::ScanDirectory(base, masks, false)), expected);

    EXPECT_EQ(Tools::ScanDirectory(base + "missing", masks, true), "");
}

TEST_F(ToolsFileTest, FileSizeAndDeletion)
{
    Touch(".versteckt", 5);
    EXPECT_EQ(Tools::FilenameFileSize(PathOf(".versteckt")), 5);
    EXPECT_EQ(Tools::FilenameFileSize(PathOf("*.*")), 5);
    try {
        Tools::FilenameFileSize(PathOf("fehlt"));
        ADD_FAILURE() << "no error for a missing file";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Fehler in Unit Tools.FilenameFileSize");
    }
    EXPECT_TRUE(Tools::FilenameDeleteFile(PathOf(".versteckt")));
    EXPECT_FALSE(Tools::FilenameDeleteFile(PathOf(".versteckt")));
}

} // namespace
