// The links dialog: the titles of the data file in its list, the selected
// entry's title and address beside it, the address opened on a double click.

#include "editor/app/LinkDlg.h"

#include <fstream>

#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"
#include "widgets/URL.h"

namespace {

class LinkDlgTest : public UiTest {
protected:
    EditorScratch scratch;

    std::unique_ptr<TLinkForm> Opened(const std::string& bytes)
    {
        const std::string name = scratch.Path("murls.dat");
        std::ofstream(name, std::ios::binary) << bytes;
        auto form = std::make_unique<TLinkForm>(nullptr, name);
        form->Show();
        ui::test::ActivateWindow(form.get());
        Turn();
        return form;
    }
};

TEST_F(LinkDlgTest, OpensOnTheFirstEntryAndFollowsTheSelection)
{
    const auto form = Opened("Erste Seite|https://one.example/|Zweite\r\nSeite|https://two.example/");
    EXPECT_EQ(form->Caption(), "Linksammlung");
    ASSERT_EQ(form->URLListBox->Items().Count(), 2);
    EXPECT_EQ(form->URLListBox->Items().Strings(1), "ZweiteSeite");
    EXPECT_EQ(form->URLListBox->ItemIndex(), 0);
    EXPECT_EQ(form->CaptionLabel->Caption(), "Erste Seite");
    EXPECT_EQ(form->URLLabel->Caption(), "https://one.example/");

    ui::test::ClickListRow(form->URLListBox, 1);
    Turn();
    EXPECT_EQ(form->CaptionLabel->Caption(), "ZweiteSeite");
    EXPECT_EQ(form->URLLabel->Caption(), "https://two.example/");
    EXPECT_EQ(form->URLLabel->URL, "https://two.example/");
    EXPECT_TRUE(scratch.Launches.empty()) << "a single click only shows the entry";

    form->URLListBox->OnDblClick(form->URLListBox);
    ASSERT_EQ(scratch.Launches.size(), 1u);
    EXPECT_EQ(scratch.Launches[0].Arguments.back(), "https://two.example/");
}

TEST_F(LinkDlgTest, AnEmptyFileOpensWithAnEmptyList)
{
    const auto form = Opened("");
    EXPECT_EQ(form->URLListBox->Items().Count(), 0);
    EXPECT_EQ(form->URLLabel->Caption(), "");
}

} // namespace
