// The search as the catalog's command, end to end: the main window's
// catalog opens the search dialog from its menu key, the results window
// moves the catalog and takes it back, and marks what it found there.

#include "editor/app/CatalogUnit.h"

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/SearchResultsUnit.h"
#include "editor/app/SearchUnit.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"

namespace {

class CatalogSearchTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedHomeDir_ = Setup::HomeDir;
        Setup::HomeDir = scratch.Path("");
        Form = new TAAForm(nullptr);
        Form->StartTimerTimer(nullptr);
        std::vector<std::string> files;
        for (int i = 1; i <= 5; ++i)
            files.push_back(scratch.Path(std::to_string(i) + ".jpg"));
        Form->AddPictureFiles(files, false);
        // The second and the fourth picture are at the beach.
        Form->GetPicInfoObject(1)->Keywords = "Strand Sonne";
        Form->GetPicInfoObject(3)->Comments = "Am Strand";
        ui::ClearRecordedDialogs();
    }
    void TearDown() override
    {
        delete Form;
        Setup::HomeDir = savedHomeDir_;
        UiTest::TearDown();
    }

    // Opens the catalog on its first picture and runs Body in it.
    void WithCatalog(const std::function<void(TCatalogForm&)>& body)
    {
        Form->PicListBox->SetItemIndex(0);
        Form->OnCatalogShown = [&](TCatalogForm& catalog) {
            catalog.Show();
            Turn();
            body(catalog);
        };
        Form->CatalogClick(nullptr);
    }
    // Searches for Text, then runs During in the results window.
    void SearchThen(TCatalogForm& catalog, const std::string& Text, std::function<void(TSearchResultsForm&)> During)
    {
        LaterOnModalForm<TSearchForm>([this, Text, During](TSearchForm& search) {
            search.SearchWordEdit->SetText(Text);
            search.OKBtn->Click();
            LaterOnModalForm<TSearchResultsForm>(During);
        });
        catalog.PicSearchClick();
    }

    EditorScratch scratch;
    TAAForm* Form = nullptr;

private:
    std::string savedHomeDir_;
};

TEST_F(CatalogSearchTest, TheCatalogFollowsThePicksAndMarksWhatWasFound)
{
    WithCatalog([&](TCatalogForm& catalog) {
        EXPECT_EQ(catalog.ItemIndex(), 0);
        SearchThen(catalog, "strand", [&](TSearchResultsForm& results) {
            EXPECT_EQ(results.FoundCount(), 2);
            EXPECT_EQ(catalog.ItemIndex(), 1) << "the first found picture is picked at once";
            ui::test::ClickListRow(results.ItemsFoundListBox, 1);
            Turn();
            EXPECT_EQ(catalog.ItemIndex(), 3);
            EXPECT_EQ(catalog.SelCount(), 1);
            results.BitBtn1->Click();
        });
        EXPECT_EQ(catalog.SelCount(), 2);
        EXPECT_TRUE(catalog.Selection.IsSelected(1));
        EXPECT_TRUE(catalog.Selection.IsSelected(3));
        EXPECT_FALSE(catalog.Selection.IsSelected(0));
    });
}

TEST_F(CatalogSearchTest, CancelTakesTheCatalogBackAndTheResultsCanBeShownAgain)
{
    WithCatalog([&](TCatalogForm& catalog) {
        SearchThen(catalog, "Strand", [&](TSearchResultsForm& results) {
            ui::test::ClickListRow(results.ItemsFoundListBox, 1);
            Turn();
            EXPECT_EQ(catalog.ItemIndex(), 3);
            results.CancelBtn->Click();
        });
        EXPECT_EQ(catalog.ItemIndex(), 0);
        EXPECT_TRUE(catalog.Selection.IsSelected(0));
        EXPECT_EQ(catalog.SelCount(), 1);

        catalog.EnableMenus();
        EXPECT_TRUE(catalog.SearchResultsItem->Enabled);
        bool shownAgain = false;
        LaterOnModalForm<TSearchResultsForm>([&](TSearchResultsForm& results) {
            shownAgain = results.FoundCount() == 2;
            results.OKBtn->Click();
        });
        catalog.PicSearchResultsClick();
        EXPECT_TRUE(shownAgain);
        EXPECT_EQ(catalog.ItemIndex(), 1) << "shown again, it picks its first entry";
    });
}

TEST_F(CatalogSearchTest, CtrlFInTheGridSearches)
{
    WithCatalog([&](TCatalogForm& catalog) {
        bool searched = false;
        catalog.KeyMemo->SetFocus();
        Turn();
        ui::test::SendKeyToFocus(TKeyAction::Press, ui::test::Letter('F'), {ui::test::kmCtrl});
        // The key's command runs when the loop turns, before this.
        LaterOnModalForm<TSearchForm>([&](TSearchForm& search) {
            searched = true;
            search.CancelBtn->Click();
        });
        Turn();
        EXPECT_TRUE(searched) << "Ctrl+F belongs to the search, not to adding a folder";
    });
}

} // namespace
