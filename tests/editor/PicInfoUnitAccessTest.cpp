// The current-show access layer: what the readers give in each mode, which
// pictures the setters change, and the setters' own rules.

#include "editor/app/PicInfoUnit.h"

#include "platform/graphics/Font.h"

#include <gtest/gtest.h>

#include <set>

using namespace PicInfoUnit;

namespace {

// The main window's list as the access layer sees it.
class FakeList : public TPicListAccess {
public:
    explicit FakeList(int count, bool multiSelect = true) : multiSelect_(multiSelect)
    {
        for (int i = 0; i < count; ++i) {
            entries.push_back(std::make_unique<TPicInfoObject>());
            entries.back()->FileName = "bild" + std::to_string(i) + ".jpg";
        }
    }
    TVistelo* Document() override { return &document; }
    int Count() override { return static_cast<int>(entries.size()); }
    TPicInfoObject* Object(int Index) override { return entries[static_cast<size_t>(Index)].get(); }
    int SelCount() override { return multiSelect_ ? static_cast<int>(selected.size()) : -1; }
    bool Selected(int Index) override { return multiSelect_ ? selected.count(Index) > 0 : Index == current; }
    bool Checked(int Index) override { return Object(Index)->ShowImage; }
    int ItemIndex() override { return current; }
    void SetItemIndex(int Index) override { current = Index; }

    TConfigVistelo document;
    std::vector<std::unique_ptr<TPicInfoObject>> entries;
    std::set<int> selected;
    int current = -1;

private:
    bool multiSelect_;
};

class FakeCatalog : public TCatalogAccess {
public:
    int SelCount() override { return selCount; }
    int ItemIndex() override { return current; }
    void SelectPicture(int Index) override { selectedPicture = Index; }
    int selCount = 0;
    int current = -1;
    int selectedPicture = -1;
};

class PicInfoAccess : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 4; ++i) {
            TPicInfoObject entry;
            entry.FileName = "show" + std::to_string(i) + ".jpg";
            entry.ShowImage = i != 2;
            show.AddDia(entry);
        }
        PicListAccess = &list;
        CatalogAccess = &catalog;
    }
    void TearDown() override
    {
        PicInfoAccessMethod = paPicListBox;
        AccessVistelo = nullptr;
        PicListAccess = nullptr;
        CatalogAccess = nullptr;
    }

    // The file names of the entries whose pause is Pause.
    static std::set<std::string> WithPause(const std::vector<TPicInfoObject*>& entries, int Pause)
    {
        std::set<std::string> names;
        for (const TPicInfoObject* e : entries)
            if (e->Pause == Pause)
                names.insert(e->FileName);
        return names;
    }
    std::vector<TPicInfoObject*> ListEntries()
    {
        std::vector<TPicInfoObject*> all;
        for (auto& e : list.entries)
            all.push_back(e.get());
        return all;
    }
    std::vector<TPicInfoObject*> ShowEntries()
    {
        std::vector<TPicInfoObject*> all;
        for (auto& e : show.Pictures)
            all.push_back(e.get());
        return all;
    }

    FakeList list{5};
    FakeCatalog catalog;
    TVistelo show;
};

TEST_F(PicInfoAccess, TheReadersAnswerFromTheSourceOfTheMode)
{
    list.selected = {1, 3};
    list.current = 3;
    list.entries[4]->ShowImage = false;
    catalog.selCount = 2;
    catalog.current = 1;
    show.GetPicInfo(1)->Flags = pfSelected;
    list.entries[0]->Flags = pfSelected;
    show.CurrentIndex = 2;
    show.SetOrder(2, 3);
    AccessVistelo = &show;

    struct Case {
        TPicInfoAccessMethod mode;
        TVistelo* vistelo;
        int count;
        TPicInfoObject* object1;
        int selCount;
        bool selected0, selected1;
        bool checked2, checked4;
        int itemIndex;
    };
    const Case cases[] = {
        {paNone, nullptr, -1, nullptr, -1, false, false, false, false, -1},
        {paPicListBox, &list.document, 5, list.entries[1].get(), 2, false, true, true, false, 3},
        {paCatalogPicListBoxPicTag, &list.document, 5, list.entries[1].get(), 2, true, false, true, false, 1},
        {paVistelo, &show, 4, show.GetPicInfo(1), -1, false, true, false, false, 3},
        {paCatalogVistelo, &show, 4, show.GetPicInfo(1), 2, false, true, false, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        PicInfoAccessMethod = c.mode;
        EXPECT_EQ(CurrentVistelo(), c.vistelo);
        EXPECT_EQ(PicCount(), c.count);
        EXPECT_EQ(GetPicInfoObject(1), c.object1);
        EXPECT_EQ(PicSelCount(), c.selCount);
        EXPECT_EQ(PicSelected(0), c.selected0);
        EXPECT_EQ(PicSelected(1), c.selected1);
        EXPECT_EQ(PicChecked(2), c.checked2);
        EXPECT_EQ(PicChecked(4), c.checked4);
        EXPECT_EQ(PicItemIndex(), c.itemIndex);
    }
}

TEST_F(PicInfoAccess, SettingTheItemIndexGoesToTheListOrTheCatalog)
{
    PicInfoAccessMethod = paPicListBox;
    SetPicItemIndex(2);
    EXPECT_EQ(list.current, 2);
    PicInfoAccessMethod = paCatalogVistelo;
    SetPicItemIndex(3);
    EXPECT_EQ(catalog.selectedPicture, 3);
    PicInfoAccessMethod = paVistelo;
    AccessVistelo = &show;
    SetPicItemIndex(1);
    EXPECT_EQ(list.current, 2);
    EXPECT_EQ(catalog.selectedPicture, 3);
}

TEST_F(PicInfoAccess, TheShowModesWithoutAShowRaise)
{
    for (TPicInfoAccessMethod mode : {paVistelo, paCatalogVistelo}) {
        PicInfoAccessMethod = mode;
        EXPECT_THROW(CurrentVistelo(), EPicInfoAccess);
        EXPECT_THROW(PicCount(), EPicInfoAccess);
        try {
            GetPicInfoObject(0);
            ADD_FAILURE() << "no exception";
        } catch (const EPicInfoAccess& e) {
            EXPECT_EQ(e.Message, "AccessVistelo = nil!");
        }
    }
    PicInfoAccessMethod = paVistelo;
    EXPECT_THROW(PicItemIndex(), EPicInfoAccess);
    catalog.current = 2;
    PicInfoAccessMethod = paCatalogVistelo;
    EXPECT_EQ(PicItemIndex(), 2);
}

TEST_F(PicInfoAccess, TheItemIndexOfTheListFollowsTheSelection)
{
    PicInfoAccessMethod = paPicListBox;
    list.current = 2;
    EXPECT_EQ(PicItemIndex(), -1) << "several allowed, none selected";
    list.selected = {4};
    EXPECT_EQ(PicItemIndex(), 2) << "the current item, selected or not";

    FakeList single(3, false);
    PicListAccess = &single;
    EXPECT_EQ(PicSelCount(), -1) << "no current item";
    EXPECT_EQ(PicItemIndex(), -1);
    single.current = 1;
    EXPECT_EQ(PicSelCount(), 1);
    EXPECT_EQ(PicItemIndex(), 1);
    EXPECT_TRUE(PicSelected(1));
    SetPause(700);
    EXPECT_EQ(single.entries[1]->Pause, 700);
}

TEST_F(PicInfoAccess, SettersChangeTheSelectedPicturesOnly)
{
    PicInfoAccessMethod = paPicListBox;
    struct Case {
        std::set<int> selected;
        int current;
        std::set<std::string> changed;
    };
    const Case cases[] = {
        {{3}, 3, {"bild3.jpg"}},
        // A Ctrl-click took the selection from the current item: the one
        // selected picture is changed, never the focused one.
        {{1}, 4, {"bild1.jpg"}},
        {{0, 2, 4}, 2, {"bild0.jpg", "bild2.jpg", "bild4.jpg"}},
        {{}, 1, {}},
    };
    int pause = 1000;
    for (const Case& c : cases) {
        SCOPED_TRACE(pause);
        list.selected = c.selected;
        list.current = c.current;
        SetPause(++pause);
        EXPECT_EQ(WithPause(ListEntries(), pause), c.changed);
    }
}

TEST_F(PicInfoAccess, InTheShowModeTheSelectionFlagsPickThePictures)
{
    PicInfoAccessMethod = paVistelo;
    AccessVistelo = &show;
    show.GetPicInfo(0)->Flags = pfSelected;
    show.GetPicInfo(3)->Flags = pfSelected | pfChanged;
    SetKeywords("Strand");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(show.GetPicInfo(i)->Keywords, i == 0 || i == 3 ? "Strand" : "") << i;

    // In the catalog a single selected picture is found by its flag too.
    PicInfoAccessMethod = paCatalogVistelo;
    catalog.selCount = 1;
    catalog.current = 1;
    show.GetPicInfo(0)->Flags = 0;
    SetPause(4321);
    EXPECT_EQ(WithPause(ShowEntries(), 4321), std::set<std::string>{"show3.jpg"});
}

TEST_F(PicInfoAccess, StretchStaysOnWhileAPictureHasASizePercentage)
{
    PicInfoAccessMethod = paPicListBox;
    list.selected = {0, 1};
    list.entries[0]->SizePercent = pPicture;
    list.entries[0]->Stretch = true;
    list.entries[1]->Stretch = true;
    SetStretch(false);
    EXPECT_TRUE(list.entries[0]->Stretch);
    EXPECT_FALSE(list.entries[1]->Stretch);

    SetPlacement(spUser);
    EXPECT_EQ(list.entries[1]->Placement, spUser);
    EXPECT_TRUE(list.entries[1]->Stretch) << "a user placement stretches";
    SetStretch(false);
    SetPlacement(spTopLeft);
    EXPECT_FALSE(list.entries[1]->Stretch);

    SetSizePercent(pWindow);
    EXPECT_TRUE(list.entries[1]->Stretch);
    EXPECT_EQ(list.entries[1]->SizePercent, pWindow);
    SetSizePercent(pNone);
    EXPECT_TRUE(list.entries[1]->Stretch) << "going back to no percentage leaves Stretch";
    SetStretch(false);
    EXPECT_FALSE(list.entries[0]->Stretch);
}

TEST_F(PicInfoAccess, ShowImageMarksOnlyPicturesItChanges)
{
    PicInfoAccessMethod = paPicListBox;
    list.selected = {0, 1, 2};
    list.entries[1]->ShowImage = false;
    SetShowImage(true, true);
    EXPECT_EQ(list.entries[0]->Flags & pfChanged, 0u);
    EXPECT_EQ(list.entries[1]->Flags & pfChanged, pfChanged);
    EXPECT_TRUE(list.entries[1]->ShowImage);
    SetShowImage(false, false);
    EXPECT_EQ(list.entries[2]->Flags & pfChanged, 0u);
    EXPECT_FALSE(list.entries[2]->ShowImage);
}

TEST_F(PicInfoAccess, ACommentFontKeepsEachPicturesColour)
{
    PicInfoAccessMethod = paPicListBox;
    list.selected = {0, 1};
    list.entries[1]->CommentFont->SetColor(clYellow);
    TFont red;
    red.SetName("Courier New");
    red.SetSize(20);
    red.SetStyle({fsBold});
    red.SetColor(clRed);
    SetCommentFont(red);
    EXPECT_EQ(list.entries[0]->CommentFont->Color(), clWhite);
    EXPECT_EQ(list.entries[1]->CommentFont->Color(), clYellow);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(list.entries[static_cast<size_t>(i)]->CommentFont->Name(), "Courier New");
        EXPECT_EQ(list.entries[static_cast<size_t>(i)]->CommentFont->Size(), 20);
        EXPECT_EQ(list.entries[static_cast<size_t>(i)]->CommentFont->Style(), TFontStyles{fsBold});
    }
    SetCommentFontColor(clBlue);
    EXPECT_EQ(list.entries[1]->CommentFont->Color(), clBlue);
    EXPECT_EQ(list.entries[2]->CommentFont->Color(), clWhite);
}

} // namespace
