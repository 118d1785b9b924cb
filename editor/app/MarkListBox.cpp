#include "editor/app/MarkListBox.h"

#include "platform/graphics/CanvasText.h"
#include "platform/ui/ImgList.h"

IMPLEMENT_CLASS(TMarkListBox)

TMarkListBox::TMarkListBox(TComponent* AOwner) : TListBox(AOwner) { SetStyle(lbOwnerDrawFixed); }

void TMarkListBox::SetImages(TImageList* Value)
{
    if (images_)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_)
        images_->FreeNotification(this);
    Invalidate();
}

void TMarkListBox::SetCenterText(bool Value)
{
    centerText_ = Value;
    Invalidate();
}

unsigned TMarkListBox::TextFlags() const
{
    unsigned flags = DT_NOPREFIX;
    if (centerText_)
        flags |= DT_CENTER;
    if (Ellipsis == teEnd)
        flags |= DT_END_ELLIPSIS;
    else if (Ellipsis == tePath)
        flags |= DT_PATH_ELLIPSIS;
    return flags;
}

// The item's own state (selected, focused) does not change the marks.
void TMarkListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        return TListBox::DrawItem(Index, Rect, State);
    TCanvas& canvas = *Canvas();
    canvas.FillRect(Rect);
    TRect r = Rect;
    const int middle = (r.Bottom - r.Top) / 2;
    if (images_ && images_->Count() > 0) {
        const int y = r.Top + middle - images_->Height() / 2;
        images_->Draw(canvas, r.Left, y, 0);
        if (images_->Count() >= 2) {
            images_->Draw(canvas, r.Right - images_->Width(), y, 1);
            r.Right -= images_->Width();
        }
        r.Left += images_->Width();
    }
    const std::string text = Items().Strings(Index);
    r.Top = r.Top + middle - canvas.TextHeight(text) / 2;
    gfx::DrawText(canvas, text, r, TextFlags());
}

void TMarkListBox::Resize()
{
    TListBox::Resize();
    Invalidate();
}

void TMarkListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TListBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_)
        images_ = nullptr;
}
