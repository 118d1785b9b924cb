// The show-list manager: the info of the selected show, the thumbnail
// preview, and moving a line by dragging it in sort mode.

#include <algorithm>

#include "core/PictureLoading.h"
#include "core/RectTools.h"
#include "editor/app/VisteloManager.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"

namespace {

const char NoTitle[] = "kein Titel";
const char NoDescription[] = "keine Beschreibung";
const char NotKnown[] = "k.A.";
const char SeveralNoTitle[] = "mehrere Vistelos ausgewählt - keine Titelanzeige möglich";
const char SeveralNoDescription[] = "mehrere Vistelos ausgewählt - keine Beschreibungsanzeige möglich";

} // namespace

// ---------------------------------------------------------------------------
// The show info

void TVisteloManagerForm::ClearInfo(const std::string& Title, const std::string& Text)
{
    InfoTitleEdit->SetText(Title);
    InfoTextMemo->SetText(Text);
    PicCountLabel->SetCaption(NotKnown);
    ThumbnailImage->Picture().Bitmap().SetSize(0, 0);
}

// The line the info is about: the one selected line (in single selection the
// current one); -1 when there is none or there are several.
static int InfoLine(TSymbolCheckListBox& List)
{
    if (!List.MultiSelect())
        return List.ItemIndex();
    if (List.SelCount() != 1)
        return -1;
    for (int i = 0; i < List.Items().Count(); ++i)
        if (List.Selected(i))
            return i;
    return -1;
}

void TVisteloManagerForm::ShowVisteloInfo()
{
    const int line = InfoLine(*VisteloListBox);
    if (line < 0) {
        InfoTitleEdit->SetText(SeveralNoTitle);
        InfoTextMemo->SetText(SeveralNoDescription);
        PicCountLabel->SetCaption(NotKnown);
        return;
    }
    TVistelo show;
    const std::string file = PictureLoading::RelFileName(ItemAt(line)->ShowFile, list_->FileName);
    if (show.LoadFromFile(file, true, true) != dlrOK || show.InfoValue == -1)
        return ClearInfo(NoTitle, NoDescription);
    InfoTitleEdit->SetText(show.InfoTitle.empty() ? NoTitle : show.InfoTitle);
    InfoTextMemo->SetText(show.InfoText.empty() ? NoDescription : show.InfoText);
    PicCountLabel->SetCaption(std::to_string(show.InfoValue));
    DrawInfoPicture(show);
}

void TVisteloManagerForm::DrawInfoPicture(TVistelo& Show)
{
    TBitmap& target = ThumbnailImage->Picture().Bitmap();
    if (!Show.InfoPicture || Show.InfoPicture->Empty()) {
        target.SetSize(0, 0);
        return;
    }
    TBitmap drawn(ThumbnailImage->Width(), ThumbnailImage->Height(), pf24bit);
    drawn.Canvas().Brush.Color = Color();
    drawn.Canvas().FillRect(Rect(0, 0, drawn.Width(), drawn.Height()));
    const TRect place = RectTools::ProportionalScale(Rect(0, 0, Show.InfoPicture->Width(), Show.InfoPicture->Height()),
                                                     Rect(0, 0, drawn.Width(), drawn.Height()), true);
    drawn.Canvas().StretchDraw(place, *Show.InfoPicture);
    target.Assign(&drawn);
}

// ---------------------------------------------------------------------------
// The thumbnail preview

void TVisteloManagerForm::PaintThumbPreview()
{
    TCanvas& c = *ThumbPreview->Canvas();
    const TRect box = Rect(0, 0, ThumbPreview->Width(), ThumbPreview->Height());
    c.Brush.Color = clBlue;
    c.Pen.Color = clYellow;
    c.Rectangle(box);
    c.Font.SetName("Arial");
    c.Font.SetColor(clYellow);
    c.Font.SetHeight(std::max(1, box.Height() / 3));
    c.Brush.Style = bsClear;
    const std::string text = "Beispiel";
    c.TextOut((box.Width() - c.TextWidth(text)) / 2, (box.Height() - c.TextHeight(text)) / 2, text);
}

// ---------------------------------------------------------------------------
// Sort mode: dragging a line

void TVisteloManagerForm::DropLine(int Dragged, int Target)
{
    const int count = list_->Items->Count;
    if (Dragged < 0 || Dragged >= count || Target < 0 || Target > count)
        return;
    // The gaps above and below the line leave it where it is.
    if (Target == Dragged || Target == Dragged + 1)
        return;
    std::unique_ptr<TListItem> moved = list_->Items->DeleteItemWithoutDestroy(ItemAt(Dragged));
    const int place = Target > Dragged ? Target - 1 : Target;
    list_->Items->InsertItem(std::move(moved), place == 0 ? nullptr : ItemAt(place - 1));
    RebuildListBox();
    VisteloListBox->SetItemIndex(place);
    ShowVisteloInfo();
}

int TVisteloManagerForm::TargetAt(int X, int Y) const
{
    const int line = VisteloListBox->ItemAtPos({X, Y}, true);
    bool upperHalf = false;
    if (line == 0) {
        const TRect first = VisteloListBox->ItemRect(0);
        upperHalf = Y < first.Top + first.Height() / 2;
    }
    return VisteloManager::DropTarget(line, upperHalf);
}

// A line along the top edge of the line (below the last one for the gap at the end).
void TVisteloManagerForm::DrawMarker(int Line, TColor Color)
{
    const int count = VisteloListBox->Items().Count();
    if (Line < 0 || count == 0)
        return;
    const TRect item = VisteloListBox->ItemRect(std::min(Line, count - 1));
    const int y = Line < count ? item.Top : item.Bottom - 1;
    TCanvas& c = *VisteloListBox->Canvas();
    c.Pen.Color = Color;
    c.MoveTo(item.Left, y);
    c.LineTo(item.Right, y);
}

void TVisteloManagerForm::ListStartDrag() { dragOverIndex_ = -1; }

bool TVisteloManagerForm::ListDragOver(TObject* Source, int X, int Y)
{
    if (Source != VisteloListBox || VisteloListBox->ItemIndex() < 0)
        return false;
    dragIndex_ = VisteloListBox->ItemIndex();
    const int target = TargetAt(X, Y);
    if (target != dragOverIndex_) {
        DrawMarker(dragOverIndex_, VisteloListBox->Color());
        dragOverIndex_ = target;
        if (target != dragIndex_ && target != dragIndex_ + 1)
            DrawMarker(target, clBlack);
    }
    return target >= 0 && target != dragIndex_;
}

void TVisteloManagerForm::ListDragDrop(int X, int Y)
{
    const int target = TargetAt(X, Y);
    ListEndDrag();
    if (target >= 0)
        DropLine(dragIndex_, target);
}

void TVisteloManagerForm::ListEndDrag()
{
    DrawMarker(dragOverIndex_, VisteloListBox->Color());
    dragOverIndex_ = -1;
    VisteloListBox->Invalidate();
}
