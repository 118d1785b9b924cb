// The catalog's mouse and keys: selecting, moving through the grid, and
// dragging pictures, inside the grid to reorder them or out to other
// programs as files or a picture.

#include "editor/app/CatalogUnit.h"

#include "core/Setup.h"
#include "editor/app/PictureDragOut.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/DropBMPSource.h"
#include "widgets/DropSource.h"
#include "widgets/DropTarget.h"

#include <algorithm>

using namespace CatalogGrid;

void TCatalogForm::ScrollToItem(int Index)
{
    if (Index < 0 || Grid.Columns == 0)
        return;
    const int scrollY = ScrollPosition().Y;
    const int wanted = Grid.ScrollPositionFor(Index, scrollY, ScrollBox->ClientRect().Height());
    if (wanted == scrollY)
        return;
    if (inImageDrag_)
        ui::ImageList_DragShowNolock(false);
    ScrollBox->VertScrollBar().SetPosition(wanted);
    if (inImageDrag_)
        ui::ImageList_DragShowNolock(true);
}

// --- mouse ---

void TCatalogForm::PaintBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    PressPoint = {X, Y};
    if (Button == mbLeft) {
        if (Shift.Contains(ssDouble)) {
            if (Shift.Contains(ssShift))
                PreviewClick();
            else
                RunHostCommand(ccOpenInApplication);
            PressPoint = {-1, -1};
            return;
        }
        Selection.DragSelectAnchor = -1;
        PaintBoxMouseMove(Shift, X, Y);
        if (KeyMemo->CanFocus())
            KeyMemo->SetFocus();
    } else {
        Selection.DragSelectAnchor = -2;
    }
}

void TCatalogForm::PaintBoxMouseMove(TShiftState Shift, int X, int Y)
{
    const int count = PicCount();
    const int index = Grid.GetItemIndex(X, Y, count);
    const bool buttonDown = Shift.Contains(ssLeft) || Shift.Contains(ssRight);
    if (buttonDown)
        ScrollToItem(index);
    if (!Dragging) {
        const std::string name = index >= 0 ? ShownFileName(*Picture(index)) : "";
        if (name != CatalogPaintBox->Hint)
            CatalogPaintBox->Hint = name;
    }
    if (Dragging) {
        CatalogDoDrag(X, Y);
        return;
    }
    bool goOn = true;
    if (!Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) && buttonDown)
        goOn = CatalogStartDrag(X, Y);
    if (goOn && !Dragging && Selection.DragSelectAnchor != -2 && Shift.Contains(ssLeft)) {
        if (Selection.DragSelectAnchor == -1) {
            Selection.DragSelectAnchor = index;
            Selection.CtrlSelectMode = -1;
        }
        DoSelect(index, Shift, true);
    }
}

void TCatalogForm::PaintBoxMouseUp(TMouseButton, TShiftState Shift, int X, int Y)
{
    if (Dragging) {
        CatalogEndDrag(X, Y);
    } else if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) {
        if (Selection.Select(Grid.GetItemIndex(X, Y, PicCount()))) {
            CatalogOnClick();
            PartialRedraw();
        }
    }
    CatalogPaintBox->SetShowHint(true);
    Selection.DragSelectAnchor = -2;
    PressPoint = {-1, -1};
    if (!Shift.Contains(ssShift))
        Selection.ShiftAnchor = ItemIndex();
}

// --- keys ---

void TCatalogForm::KeyMemoKeyDown(WORD& Key, TShiftState Shift)
{
    TCatalogKey key;
    switch (Key) {
    case VK_LEFT: key = ckLeft; break;
    case VK_RIGHT: key = ckRight; break;
    case VK_UP: key = ckUp; break;
    case VK_DOWN: key = ckDown; break;
    case VK_HOME: key = ckHome; break;
    case VK_END: key = ckEnd; break;
    case VK_PRIOR: key = ckPageUp; break;
    case VK_NEXT: key = ckPageDown; break;
    default: return;
    }
    Key = 0;
    const int target = NavigateKey(key, ItemIndex(), PicCount(), Grid.Columns, Grid.PageRows);
    if (target >= 0)
        DoSelect(target, Shift, true);
}

void TCatalogForm::FormKeyUp(WORD& Key, TShiftState)
{
    if (Key == VK_ESCAPE) {
        Key = 0;
        Close();
        return;
    }
    if (!KeyMemo->Focused())
        return;
    if (Key == VK_INSERT) {
        Key = 0;
        RunHostCommand(ccAddPictures);
    } else if (Key == VK_DELETE) {
        Key = 0;
        DeletePicturesClick();
    }
}

// --- dragging ---

bool TCatalogForm::CatalogStartDrag(int X, int Y)
{
    if (PressPoint == TPoint{-1, -1} || !DragThresholdPassed(PressPoint, {X, Y}))
        return true;
    if (Dragging)
        return false;
    CatalogPaintBox->SetShowHint(false);
    Dragging = true;
    MakeDragImage();
    if (CatalogUnit::CatalogSortMode && host_.CanEdit()) {
        const TPoint hotSpot{DropSourceImageList->Width() / 2, DropSourceImageList->Height() / 2};
        ui::ImageList_BeginDrag(DropSourceImageList, 0, hotSpot.X, hotSpot.Y);
        const TPoint at = ScrollBox->ScreenToClient(CatalogPaintBox->ClientToScreen(PressPoint));
        ui::ImageList_DragEnter(ScrollBox->Handle(), at.X, at.Y);
        inImageDrag_ = true;
    } else {
        DragOut();
    }
    return false;
}

void TCatalogForm::MakeDragImage()
{
    DropSourceImageList->Clear();
    TBitmap image;
    image.SetPixelFormat(pf24bit);
    const int one = SelCount() == 1 ? CommandIndex() : -1;
    TThumbnailJPEGImage* thumbnail = one >= 0 ? Picture(one)->Thumbnail.GetThumbnail() : nullptr;
    if (thumbnail) {
        image.SetSize(thumbnail->Width(), thumbnail->Height());
        image.Canvas().Draw(0, 0, *thumbnail);
        Picture(one)->Thumbnail.ClearBitmapData();
    } else {
        PictureDragOut::PaintFileCount(image, SelCount());
    }
    DropSourceImageList->SetWidth(image.Width());
    DropSourceImageList->SetHeight(image.Height());
    DropSourceImageList->AddMasked(image, clNone);
}

void TCatalogForm::DragOut()
{
    const int selected = SelCount();
    const bool asFiles = Setup::DragFilenames || (selected > 1 && Setup::DragManyPicsUseFilenames);
    DropFileTarget->Unregister();
    if (asFiles && selected > 0) {
        DropFileSource->ImageHotSpot = {DropSourceImageList->Width() / 2, DropSourceImageList->Height() / 2};
        DropFileSource->SetImages(DropSourceImageList);
        DropFileSource->SetImageIndex(0);
        DropFileSource->SetShowImage(true);
        DropFileSource->Files().Clear();
        const int count = PicCount();
        for (int i = 0; i < count; ++i) {
            if (!Selection.IsSelected(i))
                continue;
            DropFileSource->Files().Add(PictureDragOut::OfferedFileName(Picture(i)->FileName));
        }
        DropFileSource->Execute();
        DropFileSource->Files().Clear();
    } else if (selected == 1) {
        const TPicInfoObject* current = Picture(CommandIndex());
        if (std::unique_ptr<TBitmap> bitmap = current ? PictureDragOut::LoadedBitmap(current->FileName) : nullptr) {
            DropBMPSource->ImageHotSpot = {DropSourceImageList->Width() / 2, DropSourceImageList->Height() / 2};
            DropBMPSource->SetImages(DropSourceImageList);
            DropBMPSource->SetImageIndex(0);
            DropBMPSource->SetShowImage(true);
            DropBMPSource->SetBitmap(*bitmap);
            DropBMPSource->Execute();
        }
    }
    if (host_.CanEdit())
        DropFileTarget->Register(ScrollBox);
    DropSourceImageList->Clear();
    Dragging = false;
    CatalogPaintBox->SetShowHint(true);
}

void TCatalogForm::CatalogDoDrag(int X, int Y)
{
    if (!inImageDrag_)
        return;
    const TPoint at = ScrollBox->ScreenToClient(CatalogPaintBox->ClientToScreen({X, Y}));
    ui::ImageList_DragMove(at.X, at.Y);
    ShowDragDropTarget(Grid.GetItemIndexWithOutCheck(X, Y));
}

void TCatalogForm::CatalogEndDrag(int X, int Y)
{
    if (inImageDrag_) {
        ui::ImageList_DragLeave(ScrollBox->Handle());
        ui::ImageList_EndDrag();
        inImageDrag_ = false;
    }
    Dragging = false;
    ProcessDrop(X, Y);
}

void TCatalogForm::ShowDragDropTarget(int Index)
{
    if (!Setup::CatalogMarkDropTarget)
        return;
    const int count = PicCount();
    if (count == 0)
        return;
    const bool after = Index >= count;
    const int target = after ? count : Index;
    if (DropTarget == target)
        return;
    if (inImageDrag_)
        ui::ImageList_DragShowNolock(false);
    HideLastDragDropTarget();
    const int marked = after ? count - 1 : target;
    Flags(marked) |= pfDirty | pfDropTarget | (after ? pfDropAfter : 0);
    DropTarget = target;
    PartialRedraw();
    if (inImageDrag_)
        ui::ImageList_DragShowNolock(true);
}

void TCatalogForm::HideLastDragDropTarget()
{
    if (!Setup::CatalogMarkDropTarget || DropTarget == -1)
        return;
    const int count = PicCount();
    const int marked = std::min(DropTarget, count - 1);
    if (marked >= 0) {
        Flags(marked) &= ~(pfDropTarget | pfDropAfter);
        Flags(marked) |= pfDirty;
    }
    DropTarget = -1;
    PartialRedraw();
}

void TCatalogForm::ProcessDrop(int X, int Y)
{
    const int target = Grid.GetItemIndexWithOutCheck(X, Y);
    HideLastDragDropTarget();
    if (target < 0)
        return;
    const TDropResult result = CatalogGrid::ProcessDrop(*this, target);
    if (!result.Moved)
        return;
    host_.PicturesMoved(result.Low, result.High);
    SetItemIndex(result.NewItemIndex);
    PartialRedraw();
}

void TCatalogForm::DropFileTargetDrop()
{
    std::vector<std::string> files;
    for (int i = 0; i < DropFileTarget->Files().Count(); ++i)
        files.push_back(DropFileTarget->Files().Strings(i));
    host_.AddFiles(files);
    ValidateSelection();
    AfterListChange();
}
