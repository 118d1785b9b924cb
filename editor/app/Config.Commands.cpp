// The main window's commands beyond the list itself: the commands on the
// current picture, the statistics, the menus' enabling, sort mode with its
// drag, the list's mouse and edge scrolling, and dragging pictures out.

#include "editor/app/Config.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "editor/app/ExtPicPrefsUnit.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/PicturePanel.h"
#include "editor/app/RenameUnit.h"
#include "editor/app/ShowStatistics.h"
#include "editor/app/VisteloSetup.h"
#include "editor/app/WinBackground.h"
#include "editor/app/WinBackgroundDlgUnit.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ShellApi.h"
#include "widgets/KSCtrls.h"

namespace {

constexpr const char* HomePage = "http://www.ostrelind.de/";
constexpr const char* OnePictureForThis = "Sie müssen EIN Bild markieren, um diese Operation ausführen zu können.";

} // namespace

// --- commands on the current picture ---

void TAAForm::RenamePictureClick(TObject*)
{
    if (PicSelCount() != 1) {
        ui::ShowMessage("Sie müssen EIN Bild markieren, das Sie umbenennen möchten.");
        return;
    }
    TPicInfoObject* current = GetPicInfoObject(PicInfoUnit::PicSelectedIndex());
    if (!current || !OpenRenameDialog(*current))
        return;
    UpdateAllListItems();
    PicListBoxClick(nullptr);
}

void TAAForm::PicturePrefsClick(int Page)
{
    if (TExtPicPrefsDlg::Execute(static_cast<TExtPicPrefsPage>(Page)))
        PicListBoxClick(nullptr);
}

void TAAForm::PreviewPictureClick(TObject*)
{
    TPicInfoObject* current = PicSelCount() == 1 ? GetPicInfoObject(PicItemIndex()) : nullptr;
    if (!current) {
        ui::ShowMessage(OnePictureForThis);
        return;
    }
    VisteloSetup::OpenPicturePreview(current);
}

void TAAForm::CurrentWallpaperClick(TObject*)
{
    if (TPicInfoObject* current = GetPicInfoObject(PicItemIndex()))
        EditorWallpaper::SetAsWinBackground(current);
}

void TAAForm::WallpaperSetupClick(TObject*)
{
    WinBackgroundDlg::ShowWinBackgroundSetup(Application, [this] { return GetPicInfoObject(PicItemIndex()); });
}

void TAAForm::WallpaperBtnClick(TObject* Sender)
{
    if (PicCount() == 0 || !GetPicInfoObject(PicItemIndex())) {
        ui::ShowMessage("Sie müssen ein Bild markieren!");
        return;
    }
    CurrentWallpaperClick(Sender);
}

void TAAForm::OpenInApplicationClick(TObject*)
{
    for (int i = 0; i < PicCount(); ++i) {
        if (!PicSelected(i))
            continue;
        const std::string file = PictureLoading::RelFileName(GetPicInfoObject(i)->FileName, Setup::VisteloFilename);
        ui::ShellExecute(nullptr, "", file.empty() ? GetPicInfoObject(i)->FileName : file, "", "", SW_SHOWNORMAL);
    }
}

void TAAForm::StatisticsClick(TObject*)
{
    const ShowStatistics::TStatistics figures = ShowStatistics::Collect(Document->Pause, Document->MusicFileNames,
                                                                        Setup::VisteloFilename);
    ui::ShowMessage(ShowStatistics::MessageText(Setup::VisteloFilename, figures));
}

void TAAForm::HomepageClick(TObject*) { ui::ShellExecute(nullptr, "", HomePage, "", "", SW_SHOWNORMAL); }

// --- menus enabling their entries ---

PicturePanel::TListState TAAForm::ListState() const
{
    const bool hasTarget = PicListBox->MultiSelect() ? PicListBox->SelCount() >= 1 : PicListBox->ItemIndex() >= 0;
    return {PicSelCount(), PicCount(), SortMode(), hasTarget};
}

void TAAForm::PictureMenuClick(TObject*)
{
    const PicturePanel::TMenuEnabling enabling = PicturePanel::MenuEnabling(ListState());
    for (TMenuItem* item : {DeletePictureItem, OpenInApplicationItem, PrintPictureItem, RenamePictureItem,
                            EditPictureItem, PreviewPictureItem, StartVisteloAtItem, CurrentWallpaperItem, MarkMenu})
        item->Enabled = enabling.PictureCommands;
    MarkAllPicsItem->Enabled = ReversMarkItem->Enabled = enabling.MarkCommands;
    for (TMenuItem* item : {StartVisteloItem, DeleteUncheckedItem, AlphabeticalSortItem})
        item->Enabled = enabling.ListCommands;
}

void TAAForm::PicListBoxPopUpMenuPopup(TObject*)
{
    PopupDeleteItem->Enabled = PicturePanel::MenuEnabling(ListState()).PopupCommands;
    for (TMenuItem* item : PopupPictureItems)
        item->Enabled = PopupDeleteItem->Enabled;
}

void TAAForm::AssistantsMenuClick(TObject*)
{
    const bool enabled = PicturePanel::MenuEnabling(ListState()).Assistants;
    for (TMenuItem* item : {CDAssistantItem, HTMLAssistantItem, ConvertAssistantItem, SoundAssistantItem})
        item->Enabled = enabled;
}

void TAAForm::OptionsMenuClick(TObject*)
{
    PicPrefsMenu->Enabled = PicturePanel::MenuEnabling(ListState()).PictureOptions;
}

// --- sort mode and its drag ---

bool TAAForm::SortMode() const { return SortModeItem->Checked(); }

void TAAForm::SortModeClick(TObject*)
{
    const bool on = !SortMode();
    SortModeItem->SetChecked(on);
    PopupSortModeItem->SetChecked(on);
    SortModeBtn->SetDown(on);
    // Sorting moves one picture at a time.
    const int current = PicItemIndex();
    PicListBox->SetMultiSelect(!on);
    PicListBox->DragMode = on ? dmAutomatic : dmManual;
    if (!on && current >= 0)
        PicListBox->SetSelected(current, true);
    PicListBox->SetItemIndex(current);
    PicListBoxClick(nullptr);
}

void TAAForm::PicListBoxStartDrag() { DragOverIndex = -1; }

void TAAForm::DrawSortMarker(int Index, TColor Color)
{
    if (Index < 0 || Index >= PicCount())
        return;
    const TRect item = PicListBox->ItemRect(Index);
    TCanvas* canvas = PicListBox->Canvas();
    canvas->Pen.Color = Color;
    canvas->MoveTo(item.Left, item.Bottom - 1);
    canvas->LineTo(item.Right, item.Bottom - 1);
}

int TAAForm::PicListBoxDragOver(int X, int Y)
{
    DragSourceIndex = PicListBox->ItemIndex();
    const int target = PicListBox->ItemAtPos(TPoint{X, Y}, true);
    if (target != DragOverIndex) {
        DrawSortMarker(DragOverIndex, PicListBox->Color());
        if (target != DragSourceIndex)
            DrawSortMarker(target, clBlack);
        DragOverIndex = target;
    }
    return target >= 0 && target != DragSourceIndex ? target : -1;
}

void TAAForm::MoveItemBelow(int Source, int Target)
{
    if (PicCount() == 0 || Source < 0 || Target < 0 || Source == Target || Source >= PicCount() || Target >= PicCount())
        return;
    TStrings& items = PicListBox->Items();
    items.BeginUpdate();
    const int destination = PicturePanel::SortDropIndex(Source, Target);
    items.Move(Source, destination);
    UpdateListItems(std::min(Source, destination), std::max(Source, destination));
    PicListBox->SetItemIndex(destination);
    items.EndUpdate();
    PicListBoxClick(nullptr);
}

void TAAForm::PicListBoxDragDrop(int X, int Y)
{
    const int target = PicListBoxDragOver(X, Y);
    PicListBoxEndDrag();
    MoveItemBelow(DragSourceIndex, target);
}

void TAAForm::PicListBoxEndDrag()
{
    DrawSortMarker(DragOverIndex, PicListBox->Color());
    DragOverIndex = -1;
}

// --- the list's mouse and edge scrolling ---

void TAAForm::PicListBoxMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (Button == mbLeft && PicListBox->ItemAtPos(TPoint{X, Y}, true) < 0) {
        if (PicListBox->MultiSelect())
            for (int i = 0; i < PicCount(); ++i)
                PicListBox->SetSelected(i, false);
        else
            PicListBox->SetItemIndex(-1);
        PicListBoxClick(nullptr);
    } else if (Button == mbRight) {
        const TPoint screen = PicListBox->ClientToScreen(TPoint{X, Y});
        PicListBoxPopUpMenu->PopupComponent = PicListBox;
        PicListBoxPopUpMenu->Popup(screen.X, screen.Y);
    }
}

void TAAForm::PicListBoxMouseMove(TObject*, TShiftState, int X, int Y)
{
    const TPicInfoObject* picture = GetPicInfoObject(PicListBox->ItemAtPos(TPoint{X, Y}, true));
    PicListBox->Hint = picture ? picture->FileName : "";
}

void TAAForm::ScrollPicListBoxTimerTimer(TObject*)
{
    if (!PicListBox->Focused() || PreviewDragRunning)
        return;
    TPoint mouse{0, 0};
    ui::GetCursorPos(mouse);
    mouse = PicListBox->ScreenToClient(mouse);
    const PicturePanel::TScrollStep step = PicturePanel::ScrollTick(
        mouse.X, mouse.Y, PicListBox->ClientWidth(), PicListBox->ClientHeight(), PicListBox->ItemHeight(),
        ScrollPicListBoxTimer->Interval());
    if (step.Scroll != 0)
        PicListBox->SetTopIndex(std::max(0, PicListBox->TopIndex() + step.Scroll));
    ScrollPicListBoxTimer->SetInterval(step.Interval);
    ScrollPicListBoxTimer->Tag = step.Tag;
}
