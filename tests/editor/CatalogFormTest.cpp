// The catalog window over the main window's picture list, on the offscreen
// platform: what it takes over and gives back, the mouse and the keys, the
// sort drag, thumbnails arriving, and the commands on the selection.

#include "editor/app/CatalogUnit.h"

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/ToolHooks.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/TestDriver.h"
#include "tests/editor/MainWindowFixture.h"
#include "widgets/DropSource.h"
#include "widgets/FileLbl.h"
#include "widgets/KSCtrls.h"
#include "widgets/KSSwitch.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace CatalogGrid;

class CatalogFormTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        savedSortMode_ = CatalogUnit::CatalogSortMode;
        MainWindowFixture::SetUp();
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        CatalogUnit::CatalogSortMode = savedSortMode_;
    }

    // Pictures "1.jpg" ... "N.jpg" in the scratch folder, real JPEGs when asked.
    void AddPictures(int count, bool real = false)
    {
        std::vector<std::string> files;
        for (int i = 1; i <= count; ++i) {
            const std::string file = Scratch.Path(std::to_string(i) + ".jpg");
            if (real) {
                TBitmap bitmap(160, 120, pf24bit);
                bitmap.Canvas().Brush.Color = static_cast<TColor>(i * 0x203040);
                bitmap.Canvas().FillRect(Rect(0, 0, 160, 120));
                TJPEGImage jpeg;
                jpeg.Assign(&bitmap);
                jpeg.SaveToFile(file);
            }
            files.push_back(file);
        }
        Form->AddPictureFiles(files, false);
    }
    // Opens the catalog and runs Body in it, then closes it.
    void WithCatalog(const std::function<void(TCatalogForm&)>& body)
    {
        Form->OnCatalogShown = [&](TCatalogForm& catalog) {
            catalog.Show();
            catalog.SetBounds(0, 0, 600, 440);
            Application->ProcessMessages();
            catalog.CatalogPanelResize();
            body(catalog);
        };
        Form->CatalogClick(nullptr);
    }
    static void WaitForLoader(TCatalogForm& catalog)
    {
        while (catalog.Loader && !catalog.Loader->Finished())
            rtl::CheckSynchronize(10);
        rtl::CheckSynchronize(0);
    }
    // A click at the middle of a picture's cell, in the scroll box's window.
    static TPoint CellCentre(TCatalogForm& catalog, int index)
    {
        const TRect cell = catalog.Grid.CalcRectIndex(index);
        return {catalog.CatalogPaintBox->Left() + (cell.Left + cell.Right) / 2,
                catalog.CatalogPaintBox->Top() + (cell.Top + cell.Bottom) / 2};
    }
    // Input to the scroll box's window, handled before the next step.
    static void Mouse(TWinControl* control, ui::test::TMouseAction action, TPoint at, TMouseButton button,
                      TShiftState state)
    {
        ui::test::SendMouse(control, action, at, button, state);
        Application->ProcessMessages();
    }
    static void Move(TWinControl* control, TPoint at, TShiftState state)
    {
        ui::test::MoveMouse(control, at, state);
        Application->ProcessMessages();
    }
    static void Key(TWinControl* control, ui::test::TKeyAction action, ui::test::TKey key,
                    ui::test::TKeyModifiers modifiers = {})
    {
        ui::test::SendKey(control, action, key, modifiers);
        Application->ProcessMessages();
    }
    static void Click(TCatalogForm& catalog, TPoint at, TShiftState keys = {})
    {
        TShiftState down = keys;
        down.Include(ssLeft);
        Mouse(catalog.ScrollBox, ui::test::TMouseAction::Press, at, mbLeft, down);
        Mouse(catalog.ScrollBox, ui::test::TMouseAction::Release, at, mbLeft, keys);
    }
    std::string Selected(TCatalogForm& catalog) const
    {
        std::string selected;
        for (int i = 0; i < catalog.PicCount(); ++i)
            if (PicInfoUnit::GetPicInfoObject(i)->Flags & pfSelected)
                selected += std::to_string(i);
        return selected;
    }
    std::string ListOrder() const
    {
        std::string order;
        for (int i = 0; i < Form->PicCount(); ++i) {
            const std::string& name = Form->GetPicInfoObject(i)->FileName;
            order += name.substr(name.rfind('/') + 1, name.size() - name.rfind('/') - 5);
        }
        return order;
    }

private:
    bool savedSortMode_ = true;
};

TEST_F(CatalogFormTest, AnEmptyShowHasNoCellsAndNothingToShow)
{
    WithCatalog([&](TCatalogForm& catalog) {
        EXPECT_EQ(catalog.PicCount(), 0);
        EXPECT_EQ(catalog.ItemIndex(), -1);
        EXPECT_EQ(catalog.Grid.PaintBoxHeight, 0);
        EXPECT_EQ(catalog.FileNameLabel->FileName(), "keine");
        EXPECT_FALSE(catalog.CommentMemo->Enabled());
        EXPECT_FALSE(catalog.ShowInVisteloCheck->Enabled());
        WaitForLoader(catalog);
        EXPECT_EQ(catalog.Loader->PictureCount, 0);
        EXPECT_EQ(PicInfoUnit::PicInfoAccessMethod, paCatalogPicListBoxPicTag);
    });
    EXPECT_EQ(PicInfoUnit::PicInfoAccessMethod, paPicListBox);
}

TEST_F(CatalogFormTest, TheSelectionIsTakenOverAndGivenBack)
{
    AddPictures(6);
    for (int i = 0; i < 6; ++i)
        Form->PicListBox->SetSelected(i, false);
    Form->PicListBox->SetItemIndex(4);
    Form->PicListBox->SetSelected(1, true);
    Form->PicListBox->SetSelected(4, true);
    WithCatalog([&](TCatalogForm& catalog) {
        EXPECT_EQ(catalog.ItemIndex(), 4);
        EXPECT_EQ(Selected(catalog), "14");
        EXPECT_EQ(catalog.SelCount(), 2);
        EXPECT_EQ(catalog.FileNameLabel->FileName(), "2 Bilder markiert");

        Click(catalog, CellCentre(catalog, 2));
        EXPECT_EQ(Selected(catalog), "2");
        EXPECT_EQ(catalog.ItemIndex(), 2);
        Click(catalog, CellCentre(catalog, 5), TShiftState{ssShift});
        EXPECT_EQ(Selected(catalog), "2345");
        EXPECT_EQ(catalog.StatusBar->SimpleText(), Scratch.Path("6.jpg"));
    });
    EXPECT_EQ(Form->PicListBox->ItemIndex(), 5);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Form->PicListBox->Selected(i), i >= 2) << i;
}

TEST_F(CatalogFormTest, AClickOnEmptySpaceDeselectsEveryPicture)
{
    AddPictures(3);
    WithCatalog([&](TCatalogForm& catalog) {
        ASSERT_EQ(catalog.Grid.Columns, 4) << "one row with room after it";
        Click(catalog, CellCentre(catalog, 1));
        Click(catalog, CellCentre(catalog, 3));
        EXPECT_EQ(Selected(catalog), "");
        Click(catalog, CellCentre(catalog, 1));
        Click(catalog, {catalog.CatalogPaintBox->Left() + 5, catalog.Grid.CellHeight + 20});
        EXPECT_EQ(Selected(catalog), "");
        EXPECT_EQ(catalog.FileNameLabel->FileName(), "keine") << "nothing to edit";
    });
}

TEST_F(CatalogFormTest, KeysMoveThroughTheGrid)
{
    AddPictures(10);
    WithCatalog([&](TCatalogForm& catalog) {
        const int columns = catalog.Grid.Columns;
        ASSERT_GT(columns, 1);
        catalog.KeyMemo->SetFocus();
        Application->ProcessMessages();
        Key(catalog.KeyMemo, ui::test::TKeyAction::Press, ui::test::TKey::End);
        EXPECT_EQ(catalog.ItemIndex(), 9);
        Key(catalog.KeyMemo, ui::test::TKeyAction::Press, ui::test::TKey::Home);
        EXPECT_EQ(catalog.ItemIndex(), 0);
        Key(catalog.KeyMemo, ui::test::TKeyAction::Press, ui::test::TKey::Down);
        EXPECT_EQ(catalog.ItemIndex(), columns);
        Key(catalog.KeyMemo, ui::test::TKeyAction::Press, ui::test::TKey::Right,
            ui::test::TKeyModifiers{ui::test::kmShift});
        EXPECT_EQ(Selected(catalog), std::to_string(columns) + std::to_string(columns + 1));
    });
}

TEST_F(CatalogFormTest, TheGridScrollsToTheCurrentPicture)
{
    AddPictures(60);
    WithCatalog([&](TCatalogForm& catalog) {
        catalog.KeyMemo->SetFocus();
        Application->ProcessMessages();
        Key(catalog.KeyMemo, ui::test::TKeyAction::Press, ui::test::TKey::End);
        const int position = catalog.ScrollBox->VertScrollBar().Position();
        const TRect last = catalog.Grid.CalcRectIndex(59);
        const int view = catalog.ScrollBox->ClientRect().Height();
        EXPECT_GT(position, 0);
        EXPECT_GE(position + view, last.Bottom) << "the last row is in view";
        EXPECT_EQ(catalog.CatalogPaintBox->Top(), -position);
        Key(catalog.KeyMemo, ui::test::TKeyAction::Press, ui::test::TKey::Home);
        EXPECT_EQ(catalog.ScrollBox->VertScrollBar().Position(), 0);
    });
}

TEST_F(CatalogFormTest, ADragInSortModeMovesTheSelectionAfterTheLastPicture)
{
    AddPictures(5);
    CatalogUnit::CatalogSortMode = true;
    WithCatalog([&](TCatalogForm& catalog) {
        Click(catalog, CellCentre(catalog, 0));
        Click(catalog, CellCentre(catalog, 2), TShiftState{ssCtrl});
        ASSERT_EQ(Selected(catalog), "02");
        const TPoint from = CellCentre(catalog, 2);
        // The empty cell after the last picture.
        ASSERT_EQ(catalog.Grid.Columns, 4);
        const TPoint to = CellCentre(catalog, 5);
        Mouse(catalog.ScrollBox, ui::test::TMouseAction::Press, from, mbLeft, TShiftState{ssLeft});
        Move(catalog.ScrollBox, {from.X + 2, from.Y}, TShiftState{ssLeft});
        EXPECT_FALSE(catalog.Dragging) << "within 5 pixels no drag begins";
        Move(catalog.ScrollBox, {from.X + 10, from.Y}, TShiftState{ssLeft});
        EXPECT_TRUE(catalog.Dragging);
        Move(catalog.ScrollBox, to, TShiftState{ssLeft});
        EXPECT_EQ(catalog.DropTarget, 5);
        Mouse(catalog.ScrollBox, ui::test::TMouseAction::Release, to, mbLeft, {});
        EXPECT_FALSE(catalog.Dragging);
        EXPECT_EQ(catalog.DropTarget, -1);
        EXPECT_EQ(ListOrder(), "24513");
        EXPECT_EQ(Selected(catalog), "34");
    });
    EXPECT_EQ(Form->PicListBox->Items().Strings(4), TAAForm::ListItemText(4, Scratch.Path("3.jpg")));
}

TEST_F(CatalogFormTest, ThumbnailsArriveFromTheLoader)
{
    AddPictures(3, true);
    Form->AddPictureFiles({Scratch.Path("missing.jpg")}, false);
    WithCatalog([&](TCatalogForm& catalog) {
        WaitForLoader(catalog);
        for (int i = 0; i < 3; ++i) {
            const TPicInfoObject* picture = PicInfoUnit::GetPicInfoObject(i);
            ASSERT_NE(picture->Thumbnail.GetThumbnail(), nullptr) << i;
            EXPECT_EQ(picture->Thumbnail.GetThumbnail()->Width(), 80);
            EXPECT_EQ(picture->Thumbnail.GetThumbnail()->Height(), 60);
        }
        const TPicInfoObject* missing = PicInfoUnit::GetPicInfoObject(3);
        EXPECT_EQ(missing->Thumbnail.GetThumbnail(), nullptr);
        EXPECT_TRUE(missing->Flags & pfThumbTried);
        // A redraw of every cell releases the decoded thumbnails again.
        catalog.ForceDrawThumbnails();
        catalog.PartialRedraw();
        for (int i = 0; i < 4; ++i)
            EXPECT_FALSE(PicInfoUnit::GetPicInfoObject(i)->Flags & pfDirty) << i;
    });
}

TEST_F(CatalogFormTest, TheGridShowsEachThumbnailInItsCellAndTheSelectionAroundIt)
{
    AddPictures(2, true);
    Form->AddPictureFiles({Scratch.Path("missing.jpg")}, false);
    WithCatalog([&](TCatalogForm& catalog) {
        Click(catalog, CellCentre(catalog, 1));
        WaitForLoader(catalog);
        catalog.InvalidateGrid();
        Application->ProcessMessages();
        const ui::test::TShownImage shown = ui::test::GrabScreen(&catalog);
        ASSERT_FALSE(shown.Empty());
        const TPoint box = catalog.ScreenToClient(catalog.ScrollBox->ClientToScreen({0, 0}));
        const auto near = [](TColor a, TColor b) {
            return std::abs(GetRValue(a) - GetRValue(b)) < 12 && std::abs(GetGValue(a) - GetGValue(b)) < 12 &&
                std::abs(GetBValue(a) - GetBValue(b)) < 12;
        };
        for (int i = 0; i < 2; ++i) {
            const TRect cell = catalog.Grid.CalcRectIndex(i);
            const int x = box.X + catalog.CatalogPaintBox->Left() + cell.Left;
            const int y = box.Y + catalog.CatalogPaintBox->Top() + cell.Top;
            // The middle of the thumbnail, above the file name.
            const TColor middle = shown.Color(x + catalog.Grid.CellWidth / 2, y + 35);
            EXPECT_TRUE(near(middle, static_cast<TColor>((i + 1) * 0x203040))) << i << ": " << std::hex << middle;
            // Between the frame and the focus frame: the selection's colour.
            const TColor edge = shown.Color(x + 3, y + 35);
            EXPECT_EQ(edge, ColorToRGB(i == 1 ? clHighlight : clBtnFace)) << i;
        }
        // The picture that cannot be read: the crossed box, black on its diagonal.
        const TRect cell = catalog.Grid.CalcRectIndex(2);
        const int x = box.X + catalog.CatalogPaintBox->Left() + cell.Left + 5;
        const int y = box.Y + catalog.CatalogPaintBox->Top() + cell.Top + 5;
        EXPECT_EQ(shown.Color(x + 30, y + 30 * 59 / 79), ColorToRGB(clBlack));
    });
}

TEST_F(CatalogFormTest, EditsNeverLandOnAPictureCtrlDeselected)
{
    AddPictures(4);
    WithCatalog([&](TCatalogForm& catalog) {
        Click(catalog, CellCentre(catalog, 1));
        Click(catalog, CellCentre(catalog, 3), TShiftState{ssCtrl});
        Click(catalog, CellCentre(catalog, 3), TShiftState{ssCtrl});
        ASSERT_EQ(catalog.ItemIndex(), 3);
        ASSERT_EQ(Selected(catalog), "1");
        EXPECT_EQ(catalog.CommandIndex(), 1);
        EXPECT_EQ(PicInfoUnit::PicItemIndex(), 1) << "the access layer asks the same";
        catalog.CommentMemo->SetText("am Strand");
        EXPECT_EQ(PicInfoUnit::GetPicInfoObject(1)->Comments, "am Strand");
        EXPECT_EQ(PicInfoUnit::GetPicInfoObject(3)->Comments, "");
    });
}

TEST_F(CatalogFormTest, DeleteRemovesTheSelectedPicturesFromTheList)
{
    AddPictures(5);
    WithCatalog([&](TCatalogForm& catalog) {
        Click(catalog, CellCentre(catalog, 1));
        Click(catalog, CellCentre(catalog, 3), TShiftState{ssCtrl});
        catalog.KeyMemo->SetFocus();
        Application->ProcessMessages();
        Key(catalog.KeyMemo, ui::test::TKeyAction::Release, ui::test::TKey::Delete);
        EXPECT_EQ(catalog.PicCount(), 3);
        EXPECT_EQ(catalog.SelCount(), 1);
        EXPECT_EQ(catalog.ItemIndex(), 2);
    });
    EXPECT_EQ(ListOrder(), "135");
}

TEST_F(CatalogFormTest, WallpaperWithoutAPictureSaysWhatToDo)
{
    AddPictures(2);
    WithCatalog([&](TCatalogForm& catalog) {
        catalog.Selection.Select(-1);
        catalog.WallpaperClick();
        ASSERT_FALSE(ui::RecordedDialogs().empty());
        EXPECT_EQ(ui::RecordedDialogs().back().Request.Text,
                  "Sie müssen ein Bild auswählen, dass Sie als Windows Hintergrundbild verwenden möchten.");
    });
}

TEST_F(CatalogFormTest, SearchingNeedsPicturesAndItsResultsASearch)
{
    WithCatalog([&](TCatalogForm& catalog) {
        catalog.EnableMenus();
        EXPECT_FALSE(catalog.SearchItem->Enabled);
    });
    AddPictures(2);
    WithCatalog([&](TCatalogForm& catalog) {
        catalog.EnableMenus();
        EXPECT_TRUE(catalog.SearchItem->Enabled);
        EXPECT_EQ(catalog.SearchItem->ShortCut, ShortCut('F', {ssCtrl})) << "Ctrl+F searches";
        EXPECT_FALSE(catalog.SearchResultsItem->Enabled) << "no search has run";
    });
}

TEST_F(CatalogFormTest, OutsideSortModePicturesDragOutAsFilesAndAMoveTakesThemOffTheList)
{
    const bool dragFilenames = Setup::DragFilenames;
    Setup::DragFilenames = true;
    CatalogUnit::CatalogSortMode = false;
    AddPictures(5);
    const struct {
        const char* name;
        DWORD effect;
        const char* order;
    } cases[] = {
        {"copied", DROPEFFECT_COPY, "12345"},
        {"moved", DROPEFFECT_MOVE, "135"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> carried;
        WithCatalog([&](TCatalogForm& catalog) {
            Click(catalog, CellCentre(catalog, 1));
            Click(catalog, CellCentre(catalog, 3), TShiftState{ssCtrl});
            ui::SetDragDriver([&](ui::TDragLoop& loop) {
                for (int i = 0; i < catalog.DropFileSource->Files().Count(); ++i)
                    carried.push_back(catalog.DropFileSource->Files().Strings(i));
                EXPECT_TRUE(catalog.Dragging) << c.name;
                loop.DroppedOutside(c.effect);
            });
            const TPoint from = CellCentre(catalog, 3);
            Mouse(catalog.ScrollBox, ui::test::TMouseAction::Press, from, mbLeft, TShiftState{ssLeft});
            Move(catalog.ScrollBox, {from.X + 8, from.Y}, TShiftState{ssLeft});
            ui::SetDragDriver(nullptr);
            Mouse(catalog.ScrollBox, ui::test::TMouseAction::Release, {from.X + 8, from.Y}, mbLeft, {});
            EXPECT_FALSE(catalog.Dragging) << c.name;
        });
        EXPECT_EQ(carried, (std::vector<std::string>{Scratch.Path("2.jpg"), Scratch.Path("4.jpg")})) << c.name;
        EXPECT_EQ(ListOrder(), c.order) << c.name;
    }
    Setup::DragFilenames = dragFilenames;
}

TEST_F(CatalogFormTest, FilesDroppedFromAnotherProgramJoinTheList)
{
    AddPictures(2);
    const std::string dropped = Scratch.Path("9.jpg");
    WithCatalog([&](TCatalogForm& catalog) {
        ui::test::TForeignDrag drag(catalog.ScrollBox, {{dropped}, {}});
        EXPECT_TRUE(drag.Enter(CellCentre(catalog, 0), DROPEFFECT_COPY).Accepted);
        drag.Drop(CellCentre(catalog, 0), DROPEFFECT_COPY);
        Application->ProcessMessages();
        EXPECT_EQ(catalog.PicCount(), 3);
        EXPECT_EQ(catalog.Grid.PaintBoxHeight, catalog.Grid.CellHeight) << "measured again";
    });
    EXPECT_EQ(ListOrder(), "129");
}

// A catalog over a show with a host that plays the options dialog.
class CatalogSettingsTest : public ::testing::Test, public TCatalogHost {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        saved_ = {Setup::CatalogThumbWidth, Setup::CatalogThumbHeight, Setup::CatalogShowFilename};
        for (int i = 0; i < 3; ++i) {
            TPicInfoObject entry;
            entry.FileName = Scratch.Path(std::to_string(i) + ".jpg");
            TBitmap bitmap(120, 90, pf24bit);
            TJPEGImage jpeg;
            jpeg.Assign(&bitmap);
            jpeg.SaveToFile(entry.FileName);
            show_.AddDia(entry);
        }
        method_ = PicInfoUnit::PicInfoAccessMethod;
        PicInfoUnit::PicInfoAccessMethod = paCatalogVistelo;
        PicInfoUnit::AccessVistelo = &show_;
    }
    void TearDown() override
    {
        PicInfoUnit::PicInfoAccessMethod = method_;
        PicInfoUnit::AccessVistelo = nullptr;
        Setup::CatalogThumbWidth = saved_.width;
        Setup::CatalogThumbHeight = saved_.height;
        Setup::CatalogShowFilename = saved_.names;
    }

    int StartIndex() override { return 0; }
    bool StartSelected(int) override { return false; }
    void Run(TCatalogCommand command, TCatalogForm&) override
    {
        if (command == ccCatalogOptions && Options)
            Options();
    }
    void MovePicture(int, int) override { }
    void PicturesMoved(int, int) override { }
    void AddFiles(const std::vector<std::string>&) override { }
    void Leave(TCatalogForm&) override { }
    bool AnimateLogo() override { return false; }

    static void WaitForLoader(TCatalogForm& catalog)
    {
        while (catalog.Loader && !catalog.Loader->Finished())
            rtl::CheckSynchronize(10);
        rtl::CheckSynchronize(0);
    }
    std::vector<const void*> Thumbnails()
    {
        std::vector<const void*> thumbnails;
        for (int i = 0; i < show_.Count; ++i)
            thumbnails.push_back(show_.GetPicInfo(i)->Thumbnail.GetThumbnail());
        return thumbnails;
    }

    EditorScratch Scratch;
    std::function<void()> Options;

private:
    struct {
        int width, height;
        bool names;
    } saved_{};
    TVistelo show_;
    TPicInfoAccessMethod method_ = paPicListBox;
};

TEST_F(CatalogSettingsTest, FileNamesOnlyMeasureAgainButANewSizeMakesEveryThumbnailAgain)
{
    Setup::CatalogThumbWidth = 80;
    Setup::CatalogThumbHeight = 60;
    Setup::CatalogShowFilename = true;
    auto catalog = std::make_unique<TCatalogForm>(Application, *this);
    WaitForLoader(*catalog);
    const std::vector<const void*> first = Thumbnails();
    ASSERT_NE(first[0], nullptr);
    const int cellHeight = catalog->Grid.CellHeight;
    EXPECT_GT(cellHeight, 70) << "the file name's line";

    Options = [] { Setup::CatalogShowFilename = false; };
    catalog->CatalogSettingsClick();
    WaitForLoader(*catalog);
    EXPECT_EQ(catalog->Grid.CellHeight, 70);
    EXPECT_EQ(Thumbnails(), first) << "the thumbnails are kept";

    Options = [] {
        Setup::CatalogThumbWidth = 40;
        Setup::CatalogThumbHeight = 30;
    };
    catalog->CatalogSettingsClick();
    WaitForLoader(*catalog);
    EXPECT_EQ(catalog->Grid.CellWidth, 50);
    for (int i = 0; i < 3; ++i) {
        const TThumbnailJPEGImage* thumbnail = PicInfoUnit::GetPicInfoObject(i)->Thumbnail.GetThumbnail();
        ASSERT_NE(thumbnail, nullptr) << i;
        EXPECT_EQ(thumbnail->Width(), 40) << "made again at the new size";
    }
    catalog.reset();
}

TEST_F(CatalogFormTest, ThePlacementIsKeptUnderItsOwnKey)
{
    {
        TRegistry before(KEY_READ);
        EXPECT_FALSE(before.KeyExists(CatalogUnit::PlacementKey));
    }
    WithCatalog([&](TCatalogForm& catalog) {
        catalog.SetBounds(20, 30, 640, 480);
        catalog.Close();
    });
    TRegistry registry(KEY_READ);
    EXPECT_TRUE(registry.KeyExists(CatalogUnit::PlacementKey));
}

TEST_F(CatalogFormTest, TheMainWindowOpensTheCatalogFromItsMenuAndToolbar)
{
    int opened = 0;
    Form->OnCatalogShown = [&](TCatalogForm& catalog) {
        ++opened;
        EXPECT_EQ(catalog.Caption(), "Katalog");
    };
    Form->CatalogItem->Click();
    Form->ToolButtons[11]->Click();
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(ui::RecordedDialogs().empty());
}

TEST_F(CatalogFormTest, ThePictureEditorAndPrintingOpenOnTheCatalogsPicture)
{
    AddPictures(3);
    const auto savedEdit = ToolHooks::EditPicture();
    const auto savedPrint = ToolHooks::PrintPicture();
    std::string edited, printed;
    ToolHooks::EditPicture() = [&](TPicInfoObject& entry) {
        edited = entry.FileName;
        return false;
    };
    ToolHooks::PrintPicture() = [&](TPicInfoObject& entry) { printed = entry.FileName; };
    WithCatalog([&](TCatalogForm& catalog) {
        Click(catalog, CellCentre(catalog, 2));
        TMenuItem* picture = catalog.CatalogMenu->Items().Find("Bild");
        ASSERT_NE(picture, nullptr);
        picture->Find("Bild bearbeiten")->Click();
        picture->Find("Bild drucken")->Click();
    });
    ToolHooks::EditPicture() = savedEdit;
    ToolHooks::PrintPicture() = savedPrint;
    EXPECT_EQ(edited, Scratch.Path("3.jpg"));
    EXPECT_EQ(printed, Scratch.Path("3.jpg"));
}

} // namespace
