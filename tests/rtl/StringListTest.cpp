#include "platform/rtl/StringList.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Contents(const TStrings& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Strings(i));
    return out;
}

using Lines = std::vector<std::string>;

TEST(StringList, SortedListsKeepGermanOrderAndApplyTheDuplicatesRule)
{
    struct Case {
        TDuplicates rule;
        Lines expected;
    };
    const Case cases[] = {
        {dupIgnore, {"apfel", "Äpfel", "Birne", "Zebra"}},
        {dupAccept, {"APFEL", "apfel", "Äpfel", "Birne", "Zebra"}}, // before its equals
    };
    for (const Case& c : cases) {
        TStringList list;
        list.Duplicates = c.rule;
        list.SetSorted(true);
        for (const char* s : {"Zebra", "Äpfel", "apfel", "Birne", "APFEL"})
            list.Add(s);
        EXPECT_EQ(Contents(list), c.expected);
    }

    TStringList strict;
    strict.Duplicates = dupError;
    strict.SetSorted(true);
    strict.Add("eins");
    EXPECT_THROW(strict.Add("EINS"), EStringListError);
    EXPECT_EQ(strict.Count(), 1);
}

TEST(StringList, AddToASortedListReportsWhereTheStringIs)
{
    TStringList list;
    list.SetSorted(true);
    list.Add("b");
    list.Add("d");
    EXPECT_EQ(list.Add("c"), 1);
    EXPECT_EQ(list.Add("B"), 0); // ignored duplicate: index of the one there
    int index = -1;
    EXPECT_FALSE(list.Find("a", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(list.Find("e", index));
    EXPECT_EQ(index, 3);

    list.Duplicates = dupAccept;
    list.Add("c");
    list.Add("C");
    EXPECT_TRUE(list.Find("c", index));
    EXPECT_EQ(index, 1); // the first of the equal strings
    EXPECT_EQ(list.IndexOf("C"), 1);
}

TEST(StringList, CaseRulesDecideWhatIsEqual)
{
    TStringList list;
    list.SetText("Äpfel\r\nbirne\r\n");
    EXPECT_EQ(list.IndexOf("äPFEL"), 0);
    EXPECT_EQ(list.IndexOf("Apfel"), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("äPFEL"), -1);
    EXPECT_EQ(list.IndexOf("Äpfel"), 0);

    // Turning case sensitivity on re-sorts a sorted list, so Find stays right.
    TStringList sorted;
    sorted.Duplicates = dupAccept;
    sorted.SetSorted(true);
    for (const char* s : {"b", "B", "a", "A"})
        sorted.Add(s);
    sorted.SetCaseSensitive(true);
    EXPECT_EQ(Contents(sorted), (Lines{"A", "a", "B", "b"}));
    EXPECT_EQ(sorted.IndexOf("a"), 1);
    EXPECT_EQ(sorted.IndexOf("B"), 2);
}

TEST(StringList, SortedListsRefuseOperationsThatWouldBreakTheOrder)
{
    TStringList list;
    list.SetText("b\na\n");
    list.SetSorted(true);
    EXPECT_EQ(Contents(list), (Lines{"a", "b"}));
    EXPECT_THROW(list.Insert(0, "z"), EStringListError);
    EXPECT_THROW(list.SetStrings(0, "z"), EStringListError);
    EXPECT_THROW(list.Exchange(0, 1), EStringListError);
    EXPECT_EQ(Contents(list), (Lines{"a", "b"}));
}

TEST(StringList, IndexErrorsRaiseStringListErrors)
{
    TStringList list;
    list.Add("only");
    EXPECT_THROW(list.Strings(1), EStringListError);
    EXPECT_THROW(list.Strings(-1), EListError);
    EXPECT_THROW(list.Objects(1), EStringListError);
    EXPECT_THROW(list.Delete(1), EStringListError);
    EXPECT_THROW(list.Insert(2, "x"), EStringListError);
    EXPECT_THROW(list.Exchange(0, 1), EStringListError);
    list.Insert(1, "end");
    EXPECT_EQ(Contents(list), (Lines{"only", "end"}));
}

TEST(StringList, NamesAndValues)
{
    TStringList list;
    list.SetText("Titel=Urlaub\r\nPfad=C:\\a=b\r\nohne Gleichheitszeichen\r\nLeer=\r\n");
    EXPECT_EQ(list.Names(0), "Titel");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.Values("titel"), "Urlaub");
    EXPECT_EQ(list.Values("Pfad"), "C:\\a=b");
    EXPECT_EQ(list.Values("Leer"), "");
    EXPECT_EQ(list.Values("fehlt"), "");
    EXPECT_EQ(list.IndexOfName("LEER"), 3);

    list.SetValues("Titel", "Winter");
    list.SetValues("Neu", "1");
    list.SetValues("Pfad", "");
    EXPECT_EQ(Contents(list), (Lines{"Titel=Winter", "ohne Gleichheitszeichen", "Leer=", "Neu=1"}));
}

TEST(StringList, CommaTextQuotesWhatWouldOtherwiseBeLost)
{
    TStringList list;
    for (const char* s : {"a", "b c", "", "x\"y", "d,e", "Grüße"})
        list.Add(s);
    const std::string text = list.CommaText();
    EXPECT_EQ(text, R"(a,"b c","","x""y","d,e",Grüße)");

    TStringList back;
    back.SetCommaText(text);
    EXPECT_EQ(Contents(back), Contents(list));

    TStringList trailingEmpty;
    trailingEmpty.Add("a");
    trailingEmpty.Add("");
    back.SetCommaText(trailingEmpty.CommaText());
    EXPECT_EQ(Contents(back), (Lines{"a", ""}));
}

TEST(StringList, CommaTextReading)
{
    struct Case {
        const char* text;
        Lines expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"a b", {"a", "b"}}, // blanks separate unquoted strings
        {" a , b ", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a"}},
        {"\"ab\"cd", {"ab", "cd"}},
        {"\"open", {"open"}}, // a missing closing quote ends the text
        {"\"a\"\"\",b", {"a\"", "b"}},
        {"a\tb", {"a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TStringList list;
        list.SetCommaText(c.text);
        EXPECT_EQ(Contents(list), c.expected);
    }
}

TEST(StringList, TextUsesCrLfAndAcceptsEveryLineBreak)
{
    struct Case {
        const char* text;
        Lines expected;
    };
    const Case cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}}, // no final line break
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r\n\r\nc", {"a", "b", "", "c"}},
        {"\r\n", {""}},
        {"a\n\rb", {"a", "", "b"}}, // LF CR is two breaks
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TStringList list;
        list.SetText(c.text);
        EXPECT_EQ(Contents(list), c.expected);
    }

    TStringList list;
    list.SetText("eins\nzwei");
    EXPECT_EQ(list.Text(), "eins\r\nzwei\r\n");
}

class Counted : public TObject {
public:
    explicit Counted(int& freed) : freed_(freed) { }
    ~Counted() override { ++freed_; }

private:
    int& freed_;
};

TEST(StringList, OwnedObjectsAreFreedExactlyOnceAsTheyLeave)
{
    int freed = 0;
    {
        TStringList list;
        list.OwnsObjects = true;
        list.AddObject("a", new Counted(freed));
        list.AddObject("b", new Counted(freed));
        list.AddObject("c", new Counted(freed));
        list.AddObject("d", new Counted(freed));
        list.Delete(0);
        EXPECT_EQ(freed, 1);
        list.SetObjects(0, new Counted(freed)); // replaces b's object
        EXPECT_EQ(freed, 2);
        list.Move(0, 2); // moving keeps the object
        EXPECT_EQ(freed, 2);
        list.SetSorted(true);
        list.AddObject("C", new Counted(freed)); // ignored duplicate
        EXPECT_EQ(freed, 3);
        list.Clear();
        EXPECT_EQ(freed, 6);
        list.AddObject("e", new Counted(freed));
    }
    EXPECT_EQ(freed, 7);

    int kept = 0;
    Counted shared(kept);
    {
        TStringList list;
        list.AddObject("x", &shared);
        list.Delete(0);
        list.AddObject("y", &shared);
    }
    EXPECT_EQ(kept, 0);
}

TEST(StringList, AssignCopiesStringsAndObjectsAndRefusesOtherClasses)
{
    int freed = 0;
    Counted object(freed);
    TStringList source;
    source.AddObject("eins", &object);
    source.Add("zwei");
    TStringList copy;
    copy.Add("alt");
    copy.Assign(&source);
    EXPECT_EQ(Contents(copy), (Lines{"eins", "zwei"}));
    EXPECT_EQ(copy.Objects(0), &object);
    EXPECT_EQ(copy.IndexOfObject(&object), 0);

    TPersistent other;
    EXPECT_THROW(copy.Assign(&other), EConvertError);
}

TEST(StringList, ChangeEventsFireOncePerBatch)
{
    TStringList list;
    int changes = 0;
    int changing = 0;
    list.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changes;
    };
    list.OnChanging = [&](TObject*) { ++changing; };
    list.Add("a");
    EXPECT_EQ(changes, 1);
    list.SetText("x\ny\nz");
    list.SetCommaText("1,2,3");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(changing, 3);
    list.BeginUpdate();
    list.Add("b");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changes, 4);

    // A batch that fails half-way still ends, and later changes are reported.
    TStringList twice;
    twice.Duplicates = dupAccept;
    twice.SetCommaText("dup,dup");
    list.Duplicates = dupError;
    list.SetSorted(true);
    const int before = changes;
    EXPECT_THROW(list.Assign(&twice), EStringListError);
    EXPECT_EQ(changes, before + 1);
    list.Add("later");
    EXPECT_EQ(changes, before + 2);
}

TEST(StringList, CustomSortSeesTheListUnchanged)
{
    TStringList list;
    list.SetCommaText("10,9,100,1");
    list.CustomSort([](TStringList& l, int a, int b) { return std::stoi(l.Strings(a)) - std::stoi(l.Strings(b)); });
    EXPECT_EQ(Contents(list), (Lines{"1", "9", "10", "100"}));
}

} // namespace
