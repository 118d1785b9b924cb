// Dragging pictures out of the main window's preview: as a picture, or as
// the file names of the selected pictures. A target that moved the files
// gets them out of the list too.

#include "editor/app/Config.h"

#include "core/Setup.h"
#include "editor/app/PictureDragOut.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "widgets/DropBMPSource.h"
#include "widgets/DropSource.h"
#include "widgets/DropTarget.h"

void TAAForm::CreateDragSources()
{
    DropSourceImageList = new TImageList(this);
    DropFileSource = new TDropFileSource(this);
    DropFileSource->Dragtypes = TDragTypes{dtCopy, dtMove, dtLink};
    DropFileSource->SetPoint(1, 80);
    DropFileSource->SetPoint(2, 60);
    DropFileSource->OnDrop = [this](TObject*, TDragType DragType, bool&) {
        // The target moved the files: the list must not keep names of files gone.
        if (DragType == dtMove)
            DeletePictureClick(nullptr);
    };
    DropBMPSource = new TDropBMPSource(this);
    DropBMPSource->Dragtypes = TDragTypes{dtCopy, dtMove};
    DropFileTarget1 = new TDropFileTarget(this);
    DropFileTarget1->Dragtypes = TDragTypes{dtCopy};
    DropFileTarget1->OnDrop = [this](TObject* Sender, TShiftState Shift, TPoint Point, DWORD& Effect) {
        DropFileTargetDrop(Sender, Shift, Point, Effect);
    };
}

void TAAForm::BuildDragImage(TDropSource& Source, int Selected)
{
    DropSourceImageList->Clear();
    TBitmap image;
    image.SetPixelFormat(pf24bit);
    if (Selected > 1 && PicListBox->MultiSelect()) {
        PictureDragOut::PaintFileCount(image, Selected);
        Source.ImageHotSpot = TPoint{image.Width() / 2, image.Height() + 16};
    } else {
        image.SetSize(std::max(1, PreviewImagePanel->ClientWidth()), std::max(1, PreviewImagePanel->ClientHeight()));
        image.Canvas().StretchDraw(Rect(0, 0, image.Width(), image.Height()), PreviewImage->Picture().Bitmap());
        Source.ImageHotSpot = TPoint{image.Width() / 2, image.Height() / 2};
    }
    DropSourceImageList->SetWidth(image.Width());
    DropSourceImageList->SetHeight(image.Height());
    DropSourceImageList->AddMasked(image, clNone);
    Source.SetImages(DropSourceImageList);
    Source.SetImageIndex(0);
    Source.SetShowImage(true);
}

void TAAForm::DragPictureOut()
{
    const TPicInfoObject* current = GetPicInfoObject(PicItemIndex());
    if (PicSelCount() != 1 || !current)
        return;
    BuildDragImage(*DropBMPSource, 1);
    if (std::unique_ptr<TBitmap> bitmap = PictureDragOut::LoadedBitmap(current->FileName)) {
        DropBMPSource->SetBitmap(*bitmap);
        DropBMPSource->Execute();
    }
    DropSourceImageList->Clear();
}

void TAAForm::DragFileNamesOut(int Selected)
{
    if (Selected < 1)
        return;
    DropFileSource->Files().Clear();
    BuildDragImage(*DropFileSource, Selected);
    for (int i = 0; i < PicCount(); ++i) {
        if (!PicSelected(i))
            continue;
        DropFileSource->Files().Add(PictureDragOut::OfferedFileName(GetPicInfoObject(i)->FileName));
    }
    DropFileSource->Execute();
    DropFileSource->Files().Clear();
    DropSourceImageList->Clear();
}

void TAAForm::StartPreviewDrag()
{
    const int selected = PicSelCount();
    PreviewImage->SetShowHint(false);
    DropFileTarget->Unregister();
    DropFileTarget1->Unregister();
    PreviewDragRunning = true;
    const bool asPicture = !Setup::DragFilenames && !(selected > 1 && Setup::DragManyPicsUseFilenames);
    if (asPicture)
        DragPictureOut();
    else
        DragFileNamesOut(selected);
    PreviewDragRunning = false;
    DropFileTarget->Register(PicListBox);
    DropFileTarget1->Register(PreviewImagePanel);
    PreviewImage->SetShowHint(true);
}
