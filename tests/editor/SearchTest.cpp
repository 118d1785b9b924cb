// The catalog's search: the matcher over a picture's fields, the search
// dialog and the results window with a catalog that records where it is
// sent.

#include "editor/app/SearchUnit.h"

#include "core/Setup.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/SearchResultsUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"

#include <fstream>

using namespace SearchUnit;

namespace {

TSearchOptions With(std::initializer_list<bool TSearchOptions::*> switches)
{
    TSearchOptions options;
    options.KeyWords = options.Comments = false;
    for (auto on : switches)
        options.*on = true;
    return options;
}

TEST(SearchMatcher, WordsAreSplitAtBlanksOrTakenWhole)
{
    EXPECT_EQ(SearchWords("Meer  Sonne", false), (std::vector<std::string>{"Meer", "Sonne"}));
    EXPECT_EQ(SearchWords("  Meer ", false), (std::vector<std::string>{"Meer"}));
    EXPECT_EQ(SearchWords("Meer   ", false), (std::vector<std::string>{"Meer"}));
    EXPECT_TRUE(SearchWords("   ", false).empty());
    EXPECT_EQ(SearchWords(" Meer  Sonne", true), (std::vector<std::string>{" Meer  Sonne"}));
}

TEST(SearchMatcher, TheTable)
{
    const TSearchFields fields{"Urlaub Meer", "Die Möwe am STRAND", "IMG_0042.jpg", "/fotos/Äpfel/"};
    const auto kw = &TSearchOptions::KeyWords;
    const auto cm = &TSearchOptions::Comments;
    const auto fn = &TSearchOptions::FileName;
    const auto fp = &TSearchOptions::FilePath;
    const auto cs = &TSearchOptions::CaseSensitive;
    const auto one = &TSearchOptions::OneExpression;
    const auto all = &TSearchOptions::AllWords;
    const struct {
        const char* text;
        TSearchOptions options;
        bool matches;
    } table[] = {
        // Any word, all words, one expression.
        {"Berg  Meer", With({kw, cm}), true},
        {"Berg  Meer", With({kw, cm, all}), false},
        {"Strand  Meer", With({kw, cm, all}), true},
        {"Meer   ", With({kw, all}), true}, // blanks at the end are no further word
        {"Urlaub Meer", With({kw, one}), true},
        {"Meer Urlaub", With({kw, one}), false},
        {"Urlaub  Meer", With({kw, one}), false}, // the blanks belong to the expression
        {"Möwe STRAND", With({kw, cm, one}), false},
        {"Möwe am", With({kw, cm, one}), true},
        // Only a-z are folded: Ä and ä stay apart.
        {"strand", With({cm}), true},
        {"strand", With({cm, cs}), false},
        {"MÖWE", With({cm}), false},
        {"möwe", With({cm}), true}, // the M is folded, ö stays ö
        {"Möwe", With({cm}), true},
        {"äpfel", With({fp}), false},
        {"ÄPFEL", With({fp}), true},
        // Nothing to look for, or nowhere to look.
        {"", With({kw, cm, fn, fp}), false},
        {"   ", With({kw, cm, fn, fp, all}), false},
        {"Meer", With({}), false},
        // Each field only when it is included; the file name without its folder.
        {"Meer", With({cm, fn, fp}), false},
        {"img_0042", With({fn}), true},
        {"fotos", With({fn}), false},
        {"fotos", With({fp}), true},
        {"Möwe", With({kw, fn, fp}), false},
        // A word found in a later field counts as in an earlier one.
        {"jpg Urlaub", With({kw, fn, all}), true},
    };
    for (const auto& t : table)
        EXPECT_EQ(PictureMatches(t.text, fields, t.options), t.matches) << '"' << t.text << '"';
}

TEST(SearchMatcher, AnEmptyWordIsContainedNowhere)
{
    EXPECT_FALSE(ContainsWord("", "", true));
    EXPECT_FALSE(ContainsWord("abc", "", false));
    EXPECT_TRUE(ContainsWord("xABCx", "abc", false));
    EXPECT_FALSE(ContainsWord("ab", "abc", false));
}

TEST(SearchResultsTexts, TheListCountsFromZeroAndTheLabelFromOne)
{
    // Kept as the program always showed it: the entry of the show's first
    // picture reads "Bild 0", the label above the list "Bild 1".
    EXPECT_EQ(SearchResultsUnit::ItemText(0, "Am Strand"), "Bild 0: Am Strand");
    EXPECT_EQ(SearchResultsUnit::PicNrText(0), "Bild 1");
    EXPECT_EQ(SearchResultsUnit::FoundText(0), "keine Bilder gefunden");
    EXPECT_EQ(SearchResultsUnit::FoundText(12), "12 Bilder gefunden");
}

// The main window's list under the catalog.
class FakeList : public TPicListAccess {
public:
    TVistelo* Document() override { return &document; }
    int Count() override { return static_cast<int>(entries.size()); }
    TPicInfoObject* Object(int Index) override { return entries.at(static_cast<size_t>(Index)).get(); }
    int SelCount() override { return 0; }
    bool Selected(int) override { return false; }
    bool Checked(int Index) override { return Object(Index)->ShowImage; }
    int ItemIndex() override { return -1; }
    void SetItemIndex(int) override { }

    TConfigVistelo document;
    std::vector<std::unique_ptr<TPicInfoObject>> entries;
};

// The catalog: its current picture, and every pick the results window sends.
class FakeCatalog : public TCatalogAccess, public TSearchCatalog {
public:
    struct Pick {
        int Index;
        TShiftState Shift;
        bool Redraw;
        bool operator==(const Pick&) const = default;
    };

    FakeCatalog()
    {
        Error.SetSize(Setup::CatalogThumbWidth, Setup::CatalogThumbHeight);
        Error.Canvas().Brush.Color = clRed;
        Error.Canvas().FillRect(Rect(0, 0, Error.Width(), Error.Height()));
    }
    int SelCount() override { return 1; }
    int ItemIndex() override { return current; }
    void SelectPicture(int Index) override { current = Index; }
    void DoSelect(int Index, TShiftState Shift, bool Redraw) override
    {
        picks.push_back({Index, Shift, Redraw});
        current = Index;
    }
    void InvalidateGrid() override { ++gridRepaints; }
    TBitmap* ErrorPicture() override { return &Error; }

    TBitmap Error;
    int current = -1;
    std::vector<Pick> picks;
    int gridRepaints = 0;
};

class SearchFormsTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedShow_ = Setup::VisteloFilename;
        Setup::VisteloFilename = scratch.Path("show.vsf");
        const char* const pictures[][2] = {
            {"a.jpg", "Strand"}, {"b.jpg", "Berg"}, {"c.jpg", "Strand und Berg"}, {"d.jpg", ""}};
        for (const auto& [file, keywords] : pictures) {
            auto entry = std::make_unique<TPicInfoObject>();
            entry->FileName = scratch.Path(file);
            entry->Keywords = keywords;
            entry->Comments = std::string("Kommentar zu ") + file;
            list.entries.push_back(std::move(entry));
        }
        PicInfoUnit::PicListAccess = &list;
        PicInfoUnit::CatalogAccess = &catalog;
        PicInfoUnit::PicInfoAccessMethod = paCatalogPicListBoxPicTag;
        catalog.current = 3;
    }
    void TearDown() override
    {
        form.reset();
        PicInfoUnit::PicInfoAccessMethod = paPicListBox;
        PicInfoUnit::PicListAccess = nullptr;
        PicInfoUnit::CatalogAccess = nullptr;
        Setup::VisteloFilename = savedShow_;
        UiTest::TearDown();
    }

    // Runs a search for Text with the dialog's own defaults and OK.
    bool Search(const std::string& Text)
    {
        LaterOnModalForm<TSearchForm>([Text](TSearchForm& f) {
            f.SearchWordEdit->SetText(Text);
            f.OKBtn->Click();
        });
        return form->Execute();
    }
    // Shows the results window modally and runs during inside it.
    TModalResult ShowResults(std::function<void(TSearchResultsForm&)> during)
    {
        LaterOnModalForm<TSearchResultsForm>(std::move(during));
        return form->ResultsForm()->ShowModal();
    }

    EditorScratch scratch;
    FakeList list;
    FakeCatalog catalog;
    std::unique_ptr<TSearchForm> form = std::make_unique<TSearchForm>(nullptr, catalog);

private:
    std::string savedShow_;
};

TEST_F(SearchFormsTest, TheDialogOffersItsFieldsAndKeepsTheTwoWordOptionsApart)
{
    EXPECT_EQ(form->Caption(), "Bilder suchen");
    EXPECT_TRUE(form->KeyWordsCheck->Checked());
    EXPECT_TRUE(form->CommentsCheck->Checked());
    EXPECT_FALSE(form->FilenameCheck->Checked());
    EXPECT_FALSE(form->FilePathCheck->Checked());
    form->AllwordsCheck->SetChecked(true);
    form->OneExpressionCheck->SetChecked(true);
    EXPECT_FALSE(form->AllwordsCheck->Checked());
    form->AllwordsCheck->SetChecked(true);
    EXPECT_FALSE(form->OneExpressionCheck->Checked());
    EXPECT_TRUE(form->AllwordsCheck->Checked());
}

TEST_F(SearchFormsTest, CancelSearchesNothing)
{
    LaterOnModalForm<TSearchForm>([](TSearchForm& f) { f.CancelBtn->Click(); });
    EXPECT_FALSE(form->Execute());
    EXPECT_EQ(form->ResultsForm(), nullptr);
}

TEST_F(SearchFormsTest, TheResultsKeepShowOrderAndTheCatalogFollowsThePickedOne)
{
    ASSERT_TRUE(Search("Strand"));
    TSearchResultsForm* results = form->ResultsForm();
    ASSERT_NE(results, nullptr);
    ASSERT_EQ(results->FoundCount(), 2);
    EXPECT_EQ(results->FoundPicture(0), 0);
    EXPECT_EQ(results->FoundPicture(1), 2);

    const TModalResult result = ShowResults([this](TSearchResultsForm& r) {
        EXPECT_EQ(r.ItemsFoundLabel->Caption(), "2 Bilder gefunden");
        EXPECT_EQ(r.ReturnIndex, 3);
        EXPECT_EQ(r.ItemsFoundListBox->ItemIndex(), 0);
        EXPECT_EQ(r.PicNrLabel->Caption(), "Bild 1");
        EXPECT_TRUE(r.OKBtn->Enabled());
        EXPECT_EQ(r.ItemsFoundListBox->ItemHeight(), Setup::CatalogThumbHeight + 4);
        ui::test::ClickListRow(r.ItemsFoundListBox, 1);
        Turn();
        EXPECT_EQ(r.PicNrLabel->Caption(), "Bild 3");
        r.OKBtn->Click();
    });
    EXPECT_EQ(result, mrOk);
    const std::vector<FakeCatalog::Pick> expected{{0, {}, true}, {2, {}, true}};
    EXPECT_EQ(catalog.picks, expected);
    EXPECT_EQ(catalog.current, 2) << "OK leaves the catalog on the picked picture";
}

TEST_F(SearchFormsTest, CancelAndEscapeTakeTheCatalogBackWhereItWas)
{
    ASSERT_TRUE(Search("Berg"));
    const std::function<void(TSearchResultsForm&)> closers[] = {
        // Escape first: on the offscreen platform a window shown modally a
        // second time gets no keyboard focus.
        [](TSearchResultsForm& r) {
            EXPECT_TRUE(ui::test::SendKeyToFocus(TKeyAction::Press, TKey::Escape, {}, "\x1b"));
            Turn();
            if (r.ModalResult == mrNone) {
                ADD_FAILURE() << "Escape did not close the window";
                r.ModalResult = mrCancel;
            }
        },
        [](TSearchResultsForm& r) { r.CancelBtn->Click(); },
    };
    for (const auto& close : closers) {
        catalog.current = 3;
        const TModalResult result = ShowResults([&](TSearchResultsForm& r) {
            ui::test::ClickListRow(r.ItemsFoundListBox, 1);
            Turn();
            EXPECT_EQ(catalog.current, 2);
            close(r);
        });
        EXPECT_EQ(result, mrCancel);
        ASSERT_FALSE(catalog.picks.empty());
        EXPECT_EQ(catalog.picks.back(), (FakeCatalog::Pick{3, {}, true}));
        EXPECT_EQ(catalog.current, 3);
    }
}

TEST_F(SearchFormsTest, MarkAllSelectsTheFirstAloneAndAddsTheOthersWithCtrl)
{
    ASSERT_TRUE(Search("Strand Berg"));
    ASSERT_EQ(form->ResultsForm()->FoundCount(), 3);
    const TModalResult result = ShowResults([this](TSearchResultsForm& r) {
        catalog.picks.clear();
        r.BitBtn1->Click();
    });
    EXPECT_EQ(result, mrOk);
    const std::vector<FakeCatalog::Pick> expected{{0, {}, false}, {1, {ssCtrl}, false}, {2, {ssCtrl}, false}};
    EXPECT_EQ(catalog.picks, expected);
    EXPECT_EQ(catalog.gridRepaints, 1);
}

TEST_F(SearchFormsTest, NothingFoundLeavesOnlyCancel)
{
    ASSERT_TRUE(Search("Gletscher"));
    ShowResults([](TSearchResultsForm& r) {
        EXPECT_EQ(r.ItemsFoundLabel->Caption(), "keine Bilder gefunden");
        EXPECT_EQ(r.PicNrLabel->Caption(), SearchResultsUnit::NothingPicked);
        EXPECT_FALSE(r.OKBtn->Enabled());
        EXPECT_TRUE(r.CancelBtn->Default);
        r.CancelBtn->Click();
    });
}

TEST_F(SearchFormsTest, ALaterSearchRefillsTheSameWindow)
{
    ASSERT_TRUE(Search("Strand"));
    TSearchResultsForm* first = form->ResultsForm();
    ASSERT_TRUE(Search("Kommentar"));
    EXPECT_EQ(form->ResultsForm(), first);
    EXPECT_EQ(first->FoundCount(), 4);
}

TEST_F(SearchFormsTest, TheListFollowsTheWindowAndKeepsOneEntryInSight)
{
    ASSERT_TRUE(Search("Strand"));
    ShowResults([](TSearchResultsForm& r) {
        ui::test::ResizeWindowByUser(&r, 600, 500);
        Turn();
        TListBox* list = r.ItemsFoundListBox;
        EXPECT_EQ(list->Left() + list->Width(), r.ListBoxPanel->Width() - list->Left());
        EXPECT_EQ(list->Top() + list->Height(), r.ListBoxPanel->Height() - list->Left());
        EXPECT_EQ(r.PicNrLabel->Left() + r.PicNrLabel->Width(), list->Left() + list->Width());
        ui::test::ResizeWindowByUser(&r, 600, 40);
        Turn();
        EXPECT_GE(list->Height(), list->ItemHeight());
        r.CancelBtn->Click();
    });
}

TEST_F(SearchFormsTest, ResultsOfPicturesRemovedSinceAreLeftAlone)
{
    // "Suchergebnisse" shows the last results again, after pictures may
    // have been removed from the show.
    ASSERT_TRUE(Search("Strand"));
    form->ResultsForm()->SetFound({3, 9});
    ShowResults([this](TSearchResultsForm& r) {
        ui::test::GrabListRows(r.ItemsFoundListBox);
        ui::test::ClickListRow(r.ItemsFoundListBox, 1);
        Turn();
        EXPECT_EQ(r.PicNrLabel->Caption(), "Bild 10");
        catalog.picks.clear();
        r.BitBtn1->Click();
    });
    EXPECT_EQ(catalog.picks, (std::vector<FakeCatalog::Pick>{{3, {}, false}}));
}

TEST_F(SearchFormsTest, TheFolderIsThatOfTheFileFoundOnDisk)
{
    // A show made on another machine: its picture lies beside the show now.
    std::filesystem::create_directories(scratch.Path("Sommer"));
    std::ofstream(scratch.Path("Sommer/e.jpg")) << "x";
    Setup::VisteloFilename = scratch.Path("Sommer/show.vsf");
    auto entry = std::make_unique<TPicInfoObject>();
    entry->FileName = "C:\\Urlaub\\e.jpg";
    list.entries.push_back(std::move(entry));
    const TSearchOptions folder = With({&TSearchOptions::FilePath});
    EXPECT_EQ(FindPictures("sommer", folder), std::vector<int>{4});
    EXPECT_TRUE(FindPictures("urlaub", folder).empty());
    EXPECT_TRUE(FindPictures("sommer", With({&TSearchOptions::FileName})).empty());
}

TEST_F(SearchFormsTest, AnEntryShowsItsThumbnailOrTheErrorPictureBesideItsText)
{
    ASSERT_TRUE(Search("Strand"));
    ShowResults([this](TSearchResultsForm& r) {
        const ui::test::TShownImage rows = ui::test::GrabListRows(r.ItemsFoundListBox);
        ASSERT_FALSE(rows.Empty());
        // The files do not exist: the attempt is made and the error picture drawn.
        EXPECT_NE(list.entries[0]->Flags & pfThumbnailChecked, 0u);
        const int row1 = r.ItemsFoundListBox->ItemRect(1).Top;
        EXPECT_EQ(rows.Color(2 + Setup::CatalogThumbWidth / 2, row1 + 2 + Setup::CatalogThumbHeight / 2), clRed);
        // The text stands right of the picture.
        const TColor background = rows.Color(rows.Width - 2, row1 + Setup::CatalogThumbHeight);
        EXPECT_EQ(rows.Color(Setup::CatalogThumbWidth + 4, row1 + 2), background);
        bool textDrawn = false;
        for (int y = row1 + 1; y < row1 + 16; ++y)
            for (int x = Setup::CatalogThumbWidth + 6; x < Setup::CatalogThumbWidth + 60; ++x)
                textDrawn = textDrawn || rows.Color(x, y) != background;
        EXPECT_TRUE(textDrawn);
        r.CancelBtn->Click();
    });
    EXPECT_EQ(list.entries[1]->Flags & pfThumbnailChecked, 0u) << "only the entries drawn make thumbnails";
}

} // namespace
