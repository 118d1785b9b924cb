#include "widgets/Ksprops.h"

#include "platform/rtl/DateTime.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "rtl/StorageTestSupport.h"
#include "widgets/Apputils.h"
#include "widgets/ScratchStores.h"
#include "widgets/Strutils.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class TSampleItem : public TCollectionItem {
    DECLARE_CLASS(TSampleItem, TCollectionItem)
public:
    std::string Text;
    int Size = 0;
};

class TInner : public TPersistent {
    DECLARE_CLASS(TInner, TPersistent)
public:
    int Depth = 0;
};

enum TSampleMode : uint8_t { smOne, smTwo, smThree };

// A component with one published property of every stored kind.
class TSample : public TComponent {
    DECLARE_CLASS(TSample, TComponent)
public:
    explicit TSample(TComponent* AOwner) : TComponent(AOwner), Items(TSampleItem::StaticClass()) { }
    int Count = 0;
    char Letter = 'a';
    TSampleMode Mode = smOne;
    double Ratio = 0;
    std::string Title;
    int64_t Flags = 0;
    int64_t Big = 0;
    TStringList Lines;
    TCollection Items;
    TComponent* Buddy = nullptr;
    TInner Inner;
};

} // namespace

IMPLEMENT_CLASS(TSampleItem)
IMPLEMENT_CLASS(TInner)
IMPLEMENT_CLASS(TSample)

namespace {

template <class T> void Publish(const std::string& name, TTypeKind kind, std::function<TPropValue(const T&)> get,
                                std::function<void(T&, const TPropValue&)> set, std::vector<std::string> enumNames = {},
                                TClass propClass = nullptr)
{
    TPropInfo info;
    info.Name = name;
    info.Kind = kind;
    info.EnumNames = std::move(enumNames);
    info.PropClass = propClass;
    info.Get = [get](const TObject& o) { return get(static_cast<const T&>(o)); };
    info.Set = [set](TObject& o, const TPropValue& v) { set(static_cast<T&>(o), v); };
    rtl::RegisterPublishedProperty(T::StaticClass(), std::move(info));
}

int64_t Int(const TPropValue& v) { return std::get<int64_t>(v); }

void PublishSampleProperties()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Publish<TSampleItem>(
        "Text", tkLString, [](auto& o) { return TPropValue(o.Text); },
        [](auto& o, auto& v) { o.Text = std::get<std::string>(v); });
    Publish<TSampleItem>(
        "Size", tkInteger, [](auto& o) { return TPropValue(int64_t(o.Size)); },
        [](auto& o, auto& v) { o.Size = static_cast<int>(Int(v)); });
    Publish<TInner>(
        "Depth", tkInteger, [](auto& o) { return TPropValue(int64_t(o.Depth)); },
        [](auto& o, auto& v) { o.Depth = static_cast<int>(Int(v)); });
    Publish<TSample>(
        "Count", tkInteger, [](auto& o) { return TPropValue(int64_t(o.Count)); },
        [](auto& o, auto& v) { o.Count = static_cast<int>(Int(v)); });
    Publish<TSample>(
        "Letter", tkChar, [](auto& o) { return TPropValue(int64_t(static_cast<unsigned char>(o.Letter))); },
        [](auto& o, auto& v) { o.Letter = static_cast<char>(Int(v)); });
    Publish<TSample>(
        "Mode", tkEnumeration, [](auto& o) { return TPropValue(int64_t(o.Mode)); },
        [](auto& o, auto& v) { o.Mode = static_cast<TSampleMode>(Int(v)); }, {"smOne", "smTwo", "smThree"});
    Publish<TSample>(
        "Ratio", tkFloat, [](auto& o) { return TPropValue(o.Ratio); },
        [](auto& o, auto& v) { o.Ratio = std::get<double>(v); });
    Publish<TSample>(
        "Title", tkLString, [](auto& o) { return TPropValue(o.Title); },
        [](auto& o, auto& v) { o.Title = std::get<std::string>(v); });
    Publish<TSample>(
        "Flags", tkSet, [](auto& o) { return TPropValue(o.Flags); }, [](auto& o, auto& v) { o.Flags = Int(v); },
        {"sfA", "sfB", "sfC"});
    Publish<TSample>(
        "Big", tkInt64, [](auto& o) { return TPropValue(o.Big); }, [](auto& o, auto& v) { o.Big = Int(v); });
    Publish<TSample>(
        "Lines", tkClass, [](auto& o) { return TPropValue(static_cast<TObject*>(const_cast<TStringList*>(&o.Lines))); },
        [](auto&, auto&) {});
    Publish<TSample>(
        "Items", tkClass, [](auto& o) { return TPropValue(static_cast<TObject*>(const_cast<TCollection*>(&o.Items))); },
        [](auto&, auto&) {});
    Publish<TSample>(
        "Buddy", tkClass, [](auto& o) { return TPropValue(static_cast<TObject*>(o.Buddy)); },
        [](auto& o, auto& v) { o.Buddy = dynamic_cast<TComponent*>(std::get<TObject*>(v)); }, {},
        TComponent::StaticClass());
    Publish<TSample>(
        "Inner", tkClass, [](auto& o) { return TPropValue(static_cast<TObject*>(const_cast<TInner*>(&o.Inner))); },
        [](auto&, auto&) {});
}

// A form-like owner with two sample components, and storage on an ini file or
// the registry hive through the dispatch functions.
class KspropsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PublishSampleProperties();
        form.SetName("Form1");
        first->SetName("Erster");
        second->SetName("Zweiter");
    }

    void Connect(TPropsStorage& storage, TObject* store)
    {
        storage.Section = "Einstellungen";
        storage.OnReadString = [store](auto& s, auto& k, auto& d) { return Apputils::IniReadString(store, s, k, d); };
        storage.OnWriteString = [store](auto& s, auto& k, auto& v) { Apputils::IniWriteString(store, s, k, v); };
        storage.OnEraseSection = [store](auto& s) { Apputils::IniEraseSection(store, s); };
    }

    static void Fill(TSample& s)
    {
        s.Count = -17;
        s.Letter = 'Z';
        s.Mode = smThree;
        s.Ratio = 1.5;
        s.Title = "Urlaub 2026";
        s.Flags = 0b101;
        s.Big = 1234567890123LL;
        s.Lines.SetText("eins\r\nzwei\r\n\r\nvier");
        auto* a = static_cast<TSampleItem*>(s.Items.Add());
        a->Text = "a";
        a->Size = 1;
        auto* b = static_cast<TSampleItem*>(s.Items.Add());
        b->Text = "b";
        b->Size = 2;
        s.Inner.Depth = 9;
    }

    void AllItems(TStringList& items)
    {
        for (const char* prop :
             {"Count", "Letter", "Mode", "Ratio", "Title", "Flags", "Big", "Lines", "Items", "Buddy", "Inner"})
            items.Add(Ksprops::CreateStoredItem("Erster", prop));
        Ksprops::UpdateStoredList(&form, items, true);
    }

    ScratchStores stores{"Software\\Vistelo\\Props"};
    TempFolder& temp = stores.temp;
    TComponent form{nullptr};
    TSample* first = new TSample(&form);
    TSample* second = new TSample(&form);
};

TEST_F(KspropsTest, EveryKindRoundTripsThroughIniAndRegistry)
{
    for (TObject* store : stores.Both()) {
        const std::string kind = store->ClassName();
        TSample& s = *first;
        Fill(s);
        s.Buddy = second;
        TStringList items;
        AllItems(items);
        TPropsStorage storage;
        Connect(storage, store);
        storage.StoreObjectsProps(&form, items);

        s.Count = 0;
        s.Letter = 'a';
        s.Mode = smOne;
        s.Ratio = 0;
        s.Title.clear();
        s.Flags = 0;
        s.Big = 0;
        s.Lines.Clear();
        s.Items.Clear();
        s.Items.Add();
        s.Buddy = nullptr;
        s.Inner.Depth = 0;
        storage.LoadObjectsProps(&form, items);

        EXPECT_EQ(s.Count, -17) << kind;
        EXPECT_EQ(s.Letter, 'Z') << kind;
        EXPECT_EQ(s.Mode, smThree) << kind;
        EXPECT_EQ(s.Ratio, 1.5) << kind;
        EXPECT_EQ(s.Title, "Urlaub 2026") << kind;
        EXPECT_EQ(s.Flags, 0b101) << kind;
        EXPECT_EQ(s.Big, 1234567890123LL) << kind;
        EXPECT_EQ(s.Lines.Text(), "eins\r\nzwei\r\n\r\nvier\r\n") << kind;
        ASSERT_EQ(s.Items.Count(), 2) << kind;
        EXPECT_EQ(static_cast<TSampleItem*>(s.Items.Items(1))->Text, "b") << kind;
        EXPECT_EQ(static_cast<TSampleItem*>(s.Items.Items(1))->Size, 2) << kind;
        EXPECT_EQ(s.Buddy, second) << kind;
        EXPECT_EQ(s.Inner.Depth, 9) << kind;
        s.Items.Clear();
    }
}

TEST_F(KspropsTest, StoredTextsOfSetsFloatsAndReferences)
{
    TIniFile ini(temp.File("props.ini"));
    TPropsStorage storage;
    Connect(storage, &ini);
    Fill(*first);
    ASSERT_EQ(rtl::FormatSettings.DecimalSeparator, ","); // the stored text ignores the locale
    TStringList items;
    AllItems(items);
    storage.StoreObjectsProps(&form, items);
    EXPECT_EQ(ini.ReadString("Einstellungen", "Erster_Flags", ""), "[sfA,sfC]");
    EXPECT_EQ(ini.ReadString("Einstellungen", "Erster_Ratio", ""), "1.5");
    EXPECT_EQ(ini.ReadString("Einstellungen", "Erster_Mode", ""), "smThree");
    EXPECT_EQ(ini.ReadString("Einstellungen", "Erster_Buddy", ""), "(null)");
    EXPECT_EQ(ini.ReadString("Einstellungen", "Erster_InnerDepth", ""), "9");
    EXPECT_EQ(ini.ReadString("Einstellungen", "Erster_Items.Count", ""), "2");
    EXPECT_EQ(ini.ReadString("Einstellungen.Erster_Items", "Item1_Text", ""), "b");
    EXPECT_EQ(ini.ReadString("Einstellungen.Erster_Lines", "Count", ""), "4");

    ini.WriteString("Einstellungen", "Erster_Flags", "[ sfb, SFC ,unbekannt]");
    ini.WriteString("Einstellungen", "Erster_Mode", "unbekannt");
    ini.WriteString("Einstellungen", "Erster_Ratio", "keine Zahl");
    ini.WriteString("Einstellungen", "Erster_Count", "x12");
    ini.WriteString("Einstellungen", "Erster_Buddy", "Form1.Zweiter");
    storage.LoadObjectsProps(&form, items);
    EXPECT_EQ(first->Flags, 0b110);
    EXPECT_EQ(first->Mode, smThree); // unknown identifiers change nothing
    EXPECT_EQ(first->Ratio, 1.5);
    EXPECT_EQ(first->Count, 0);
    EXPECT_EQ(first->Buddy, nullptr); // Form1 is no open form
    ini.WriteString("Einstellungen", "Erster_Buddy", "Zweiter");
    storage.LoadObjectsProps(&form, items);
    EXPECT_EQ(first->Buddy, second);
}

TEST_F(KspropsTest, StringListsWithoutCountStayAndDamagedCountsStop)
{
    TIniFile ini(temp.File("props.ini"));
    TPropsStorage storage;
    Connect(storage, &ini);
    first->Lines.SetText("bleibt");
    TStringList items;
    items.Add("Erster.Lines");
    Ksprops::UpdateStoredList(&form, items, true);
    storage.LoadObjectsProps(&form, items);
    EXPECT_EQ(first->Lines.Text(), "bleibt\r\n");
    ini.WriteString("Einstellungen.Erster_Lines", "Count", "0");
    storage.LoadObjectsProps(&form, items);
    EXPECT_EQ(first->Lines.Text(), "bleibt\r\n");

    ini.WriteString("Einstellungen.Erster_Lines", "Count", "2000000000");
    ini.WriteString("Einstellungen.Erster_Lines", "Item0", "nur");
    storage.LoadObjectsProps(&form, items);
    EXPECT_EQ(first->Lines.Text(), "nur\r\n");

    TStringList collectionItems;
    collectionItems.Add("Erster.Items");
    Ksprops::UpdateStoredList(&form, collectionItems, true);
    ini.WriteString("Einstellungen", "Erster_Items.Count", "2000000000");
    storage.LoadObjectsProps(&form, collectionItems);
    EXPECT_LE(first->Items.Count(), 65536);
}

TEST_F(KspropsTest, StoredListFollowsTheComponents)
{
    TStringList items;
    for (const char* item : {"Erster.Count", "Fehlt.Count", "kein Punkt", ".Count", "Zweiter . Title"})
        items.Add(item);
    Ksprops::UpdateStoredList(&form, items, true);
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Objects(0), first);
    EXPECT_EQ(items.Objects(1), second);
    first->SetName("Umbenannt");
    delete second;
    items.SetObjects(1, nullptr); // what the removal notification does
    Ksprops::UpdateStoredList(&form, items, false);
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Strings(0), "Umbenannt.Count");

    std::string comp, prop;
    EXPECT_TRUE(Ksprops::ParseStoredItem(" a . b.c ", comp, prop));
    EXPECT_EQ(comp, "a");
    EXPECT_EQ(prop, "b.c");
    EXPECT_EQ(Ksprops::CreateStoredItem("", "x"), "");
}

TEST_F(KspropsTest, PropInfoListsIntersect)
{
    TSample sample(nullptr);
    TSampleItem item;
    TPropInfoList all(sample);
    EXPECT_EQ(all.Count(), 11);
    EXPECT_EQ(all.Find("title")->Name, "Title");
    EXPECT_EQ(all.Find("Text"), nullptr);
    TPropInfoList itemProps(item);
    all.Intersect(itemProps);
    EXPECT_EQ(all.Count(), 0);
}

TEST_F(KspropsTest, StoredValuesAreScrambledWithTheirKey)
{
    TIniFile ini(temp.File("values.ini"));
    TPropsStorage storage;
    Connect(storage, &ini);
    TStoredValues values;
    TStoredValue* secret = values.Add();
    secret->SetName("Kennwort");
    secret->KeyString = "k";
    secret->Value = "abc";
    TStoredValue* empty = values.Add();
    empty->SetName("Leer");
    empty->KeyString = "k";
    TStoredValue* plain = values.Add();
    plain->SetName("Klar");
    plain->Value = "offen";
    plain->OnSave = [](TObject*, std::string& v) { v += "!"; };
    values.SaveValues(storage);
    EXPECT_EQ(ini.ReadString("Einstellungen", "Kennwort", ""), Strutils::XorEncode("k", "abc"));
    EXPECT_EQ(ini.ReadString("Einstellungen", "Leer", "?"), "");
    EXPECT_EQ(ini.ReadString("Einstellungen", "Klar", ""), "offen!");

    secret->Value.clear();
    plain->OnRestore = [](TObject*, std::string& v) { v = "[" + v + "]"; };
    values.RestoreValues(storage);
    EXPECT_EQ(secret->Value, "abc");
    EXPECT_EQ(plain->Value, "[offen!]");

    EXPECT_THROW(empty->SetName("KENNWORT"), EStringListError);
    EXPECT_EQ(empty->Name(), "Leer");
    empty->SetName("leer");
    EXPECT_EQ(values.IndexOf("LEER"), 1);
    EXPECT_EQ(values.GetValue("fehlt"), nullptr);
    TStoredValue other;
    other.Value = "neu";
    other.SetName("Klar");
    values.SetValue("Klar", &other);
    EXPECT_EQ(plain->Value, "neu");
    EXPECT_EQ(plain->DisplayName(), "Klar");
}

} // namespace
