// Show lists: their entries, the show-list file written and read, and what
// damaged or foreign files give.

#include "core/VisteloList.h"

#include "ShowFileBytes.h"
#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

using ContainerBytes::Bytes;
using ContainerBytes::ScratchFolder;

namespace {

TVisteloListItem* AddEntry(TVisteloList& list, const std::string& showFile, bool active)
{
    auto item = std::make_unique<TVisteloListItem>();
    item->ShowFile = showFile;
    item->Active = active;
    return static_cast<TVisteloListItem*>(list.Items->AddItem(std::move(item)));
}

std::vector<std::pair<std::string, bool>> EntriesOf(const TVisteloList& list)
{
    std::vector<std::pair<std::string, bool>> entries;
    for (const TListItem* node = list.Items->Head; node != nullptr; node = node->NextItem) {
        const auto& item = static_cast<const TVisteloListItem&>(*node);
        entries.emplace_back(item.ShowFile, item.Active);
    }
    return entries;
}

// The settings chunk as the list writer lays it out.
Bytes ConfigPayload(const std::string& storedTitle, std::int32_t width, std::int32_t height, std::uint8_t end,
                    std::uint8_t start)
{
    Bytes b;
    b.Str(storedTitle).I32(width).I32(height).U8(end).U8(start);
    for (int i = 0; i < 15; ++i)
        b.I32(0);
    return b;
}

Bytes ListFile(const Bytes& config, const Bytes& items)
{
    Bytes file;
    file.Header(256, 1282, 2, 256);
    return file.Chunk(256, config).Chunk(257, items);
}

class VisteloListTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        ui::BeginDialogScript();
    }
    void TearDown() override
    {
        ui::EndDialogScript();
        ScratchFolder::TearDown();
    }

    // The texts of the message boxes shown so far.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const ui::TDialogRecord& dialog : ui::RecordedDialogs())
            texts.push_back(dialog.Request.Text);
        return texts;
    }

    void ExpectDefaults() const
    {
        EXPECT_EQ(list.Title, "");
        EXPECT_EQ(list.ThumbWidth, 75);
        EXPECT_EQ(list.ThumbHeight, 50);
        EXPECT_EQ(list.EndAction, deListChooseVistelo);
        EXPECT_EQ(list.StartAction, dlsShowList);
    }

    TVisteloList list;
};

TEST_F(VisteloListTest, ANewListHasTheDefaults)
{
    ExpectDefaults();
    EXPECT_EQ(list.FileName, "Ohne Namen.vsl");
    EXPECT_EQ(list.Items->Count, 0);
}

TEST_F(VisteloListTest, AListWithATitleAndNoEntriesIsWrittenByteForByte)
{
    list.Title = "T";
    list.SaveToFile(PathOf("t.vsl"));
    const std::vector<std::uint8_t> written = Read("t.vsl");
    EXPECT_EQ(written.size(), 135u);
    EXPECT_EQ(written, ListFile(ConfigPayload("T", 75, 50, 8, 0), Bytes().I32(0)).data);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(VisteloListTest, AHandWrittenListLoads)
{
    const std::string name = Write("ferien.vsl",
                                   ListFile(ConfigPayload("Sch\xF6ne Ferien", 120, 90, 6, 1),
                                            Bytes().I32(2).Str("a.vsf").U8(1).Str("C:\\b.vsf").U8(0)));
    ASSERT_TRUE(list.LoadFromFile(name));
    EXPECT_EQ(list.Title, "Sch\u00F6ne Ferien");
    EXPECT_EQ(list.FileName, name);
    EXPECT_EQ(list.ThumbWidth, 120);
    EXPECT_EQ(list.ThumbHeight, 90);
    EXPECT_EQ(list.EndAction, deListLikeShow);
    EXPECT_EQ(list.StartAction, dlsPlayFirstVistelo);
    EXPECT_EQ(EntriesOf(list), (std::vector<std::pair<std::string, bool>>{{"a.vsf", true}, {"C:\\b.vsf", false}}));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(VisteloListTest, ARoundTripKeepsEverything)
{
    list.Title = "M\u00FCnchen";
    list.ThumbWidth = 160;
    list.ThumbHeight = 120;
    list.EndAction = deListAutoLoadNext;
    list.StartAction = dlsPlayFirstVistelo;
    AddEntry(list, "eins.vsf", true);
    AddEntry(list, "Unterordner/zwei.vsf", false);
    list.SaveToFile(PathOf("m.vsl"));

    TVisteloList loaded;
    ASSERT_TRUE(loaded.LoadFromFile(PathOf("m.vsl")));
    EXPECT_EQ(loaded.Title, list.Title);
    EXPECT_EQ(loaded.ThumbWidth, 160);
    EXPECT_EQ(loaded.ThumbHeight, 120);
    EXPECT_EQ(loaded.EndAction, deListAutoLoadNext);
    EXPECT_EQ(loaded.StartAction, dlsPlayFirstVistelo);
    EXPECT_EQ(EntriesOf(loaded), EntriesOf(list));
    // The title is stored in Windows-1252.
    const std::vector<std::uint8_t> bytes = Read("m.vsl");
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 48, bytes.begin() + 55),
              (std::vector<std::uint8_t>{'M', 0xFC, 'n', 'c', 'h', 'e', 'n'}));
}

TEST_F(VisteloListTest, TitlesAndShowNamesAreWindows1252WhereTheyFitAndComeBackUnchanged)
{
    const std::string mark = "\xEF\xBB\xBF";
    struct Case {
        std::string text;
        std::string stored;
    };
    const Case cases[] = {
        {"Viel Spa\u00DF\u2026", "Viel Spa\xDF\x85"},
        {"Gru\u00DF\u2013Karte", "Gru\xDF\x96Karte"},
        {"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC", mark + "\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TVisteloList written;
        written.Title = c.text;
        AddEntry(written, c.text + ".vsf", true);
        written.SaveToFile(PathOf("text.vsl"));
        EXPECT_EQ(Read("text.vsl"),
                  ListFile(ConfigPayload(c.stored, 75, 50, 8, 0), Bytes().I32(1).Str(c.stored + ".vsf").U8(1)).data);
        TVisteloList loaded;
        ASSERT_TRUE(loaded.LoadFromFile(PathOf("text.vsl")));
        EXPECT_EQ(loaded.Title, c.text);
        EXPECT_EQ(EntriesOf(loaded), EntriesOf(written));
    }
}

TEST_F(VisteloListTest, AShowFileIsNoList)
{
    const std::string name = Write("show.vsf", ShowFileBytes::FullShowFile());
    list.Title = "vorher";
    EXPECT_FALSE(list.LoadFromFile(name));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Fehler beim Laden der Datei \"" + name + "\".");
    ExpectDefaults();
    EXPECT_EQ(list.FileName, "Ohne Namen.vsl");
    EXPECT_EQ(list.Items->Count, 0);
}

TEST_F(VisteloListTest, DamagedListsFailWithTheMessage)
{
    Bytes badChunk = ListFile(ConfigPayload("T", 75, 50, 8, 0), Bytes().I32(0));
    badChunk.data[32] = 'X';
    Bytes shortChunk = ListFile(ConfigPayload("T", 75, 50, 8, 0), Bytes().I32(0));
    shortChunk.data[32 + 8] = 0;
    const struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"no container", Bytes().Raw("Hallo Welt, dies ist keine Liste")},
        {"bad chunk magic", badChunk},
        {"chunk length 0", shortChunk},
        {"title longer than the file", ListFile(Bytes().I32(0x7FFFFFFF), Bytes().I32(0))},
        {"empty file", Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui::ClearRecordedDialogs();
        const std::string name = Write("bad.vsl", c.file);
        EXPECT_FALSE(list.LoadFromFile(name));
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], "Fehler beim Laden der Datei \"" + name + "\".");
        EXPECT_EQ(list.Items->Count, 0);
    }
    ui::ClearRecordedDialogs();
    EXPECT_FALSE(list.LoadFromFile(PathOf("fehlt.vsl")));
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(VisteloListTest, ADamagedEntryEndsTheListAndKeepsTheEntriesBeforeIt)
{
    const Bytes items = Bytes().I32(3).Str("a.vsf").U8(1).Str("b.vsf").U8(0).Str("c.vsf").U8(1);
    Bytes cut = ListFile(ConfigPayload("T", 75, 50, 8, 0), items);
    cut.data.resize(cut.data.size() - 4); // inside the third entry's name
    ASSERT_TRUE(list.LoadFromFile(Write("cut.vsl", cut)));
    EXPECT_EQ(EntriesOf(list), (std::vector<std::pair<std::string, bool>>{{"a.vsf", true}, {"b.vsf", false}}));
    EXPECT_TRUE(Messages().empty());

    // A count far beyond the entries stops at the first one that is missing.
    Bytes absurd = ListFile(ConfigPayload("T", 75, 50, 8, 0), Bytes().I32(0x7FFFFFFF).Str("a.vsf").U8(1));
    ASSERT_TRUE(list.LoadFromFile(Write("absurd.vsl", absurd)));
    EXPECT_EQ(EntriesOf(list), (std::vector<std::pair<std::string, bool>>{{"a.vsf", true}}));
}

TEST_F(VisteloListTest, AListCutAtAnyByteLoadsCleanly)
{
    list.Title = "Titel";
    AddEntry(list, "a.vsf", true);
    AddEntry(list, "b.vsf", false);
    list.SaveToFile(PathOf("whole.vsl"));
    const std::vector<std::uint8_t> whole = Read("whole.vsl");
    for (size_t length = 0; length < whole.size(); ++length) {
        TVisteloList cut;
        const bool loaded = cut.LoadFromFile(Write(
            "cut.vsl", std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length))));
        // The file ends with the entries chunk: its count word (20 bytes
        // from the end), then two entries of 10 bytes. Once the count is
        // there the list loads, with the entries that are complete.
        EXPECT_EQ(loaded, length >= whole.size() - 20) << length;
        EXPECT_EQ(cut.Items->Count, length >= whole.size() - 10 ? 1 : 0) << length;
    }
}

TEST_F(VisteloListTest, OutOfRangeActionsKeepTheirDefaults)
{
    ASSERT_TRUE(list.LoadFromFile(Write("odd.vsl", ListFile(ConfigPayload("T", 1, 2, 10, 2), Bytes().I32(0)))));
    EXPECT_EQ(list.EndAction, deListChooseVistelo);
    EXPECT_EQ(list.StartAction, dlsShowList);
    EXPECT_EQ(list.ThumbWidth, 1);
}

TEST_F(VisteloListTest, AFailedSaveShowsTheMessageAndKeepsTheOldFile)
{
    list.Title = "alt";
    list.SaveToFile(PathOf("l.vsl"));
    const std::vector<std::uint8_t> oldBytes = Read("l.vsl");

    TVisteloList bigger;
    for (int i = 0; i < 50; ++i)
        AddEntry(bigger, "show" + std::to_string(i) + ".vsf", true);
    ShowFileBytes::WithFileSizeLimit(300, [&] { bigger.SaveToFile(PathOf("l.vsl")); });

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Fehler beim Speichern der Datei \"" + PathOf("l.vsl") + "\"");
    EXPECT_EQ(Read("l.vsl"), oldBytes);

    ui::ClearRecordedDialogs();
    bigger.SaveToFile(PathOf("kein Ordner/l.vsl"));
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(VisteloListTest, AssignCopiesSettingsAndEntries)
{
    TVisteloList source;
    source.Title = "Quelle";
    source.FileName = "/a/quelle.vsl";
    source.ThumbWidth = 1;
    source.ThumbHeight = 2;
    source.EndAction = deListLikeShow;
    source.StartAction = dlsPlayFirstVistelo;
    AddEntry(source, "x.vsf", false);
    AddEntry(source, "y.vsf", true);

    AddEntry(list, "alt.vsf", true);
    list.AssignConfig(&source);
    EXPECT_EQ(list.Title, "Quelle");
    EXPECT_EQ(list.FileName, "/a/quelle.vsl");
    EXPECT_EQ(list.EndAction, deListLikeShow);
    EXPECT_EQ(EntriesOf(list).size(), 1u); // entries untouched

    list.Assign(&source);
    EXPECT_EQ(EntriesOf(list), EntriesOf(source));
    EXPECT_NE(list.Items->Head, source.Items->Head);
    EXPECT_EQ(list.Items->Head->ClassType(), TVisteloListItem::StaticClass());
    list.Assign(nullptr);
    list.AssignConfig(nullptr);
    EXPECT_EQ(list.Title, "Quelle");

    list.Clear();
    ExpectDefaults();
    EXPECT_EQ(list.FileName, "Ohne Namen.vsl");
    EXPECT_EQ(list.Items->Count, 0);
}

} // namespace
