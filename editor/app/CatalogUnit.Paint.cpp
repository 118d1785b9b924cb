// The catalog's grid: measuring the cells and drawing them. Partial redraws
// paint only the cells marked dirty; a paint event the cells it needs.

#include "editor/app/CatalogUnit.h"

#include "core/RectTools.h"
#include "core/Setup.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Files.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdCtrls.h"

#include <algorithm>
#include <cstdlib>

using namespace CatalogGrid;

int TCatalogForm::FilenameHeight() const { return Setup::CatalogShowFilename ? std::abs(FilenameFontHeight) + 4 : 0; }

void TCatalogForm::CreateErrorPic()
{
    const int w = std::max(Setup::CatalogThumbWidth, 1);
    const int h = std::max(Setup::CatalogThumbHeight, 1);
    ErrorPicture = std::make_unique<TBitmap>(w, h, pf24bit);
    TCanvas& canvas = ErrorPicture->Canvas();
    canvas.Brush.Color = clBtnFace;
    canvas.FillRect(Rect(0, 0, w, h));
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 2;
    canvas.MoveTo(0, 0);
    canvas.LineTo(w - 1, h - 1);
    canvas.MoveTo(w - 1, 0);
    canvas.LineTo(0, h - 1);
}

void TCatalogForm::InitThumbNails()
{
    Grid.InitCells(Setup::CatalogThumbWidth, Setup::CatalogThumbHeight, 0);
    // The largest Arial size at which eight capitals fit into a cell.
    TCanvas& canvas = ErrorPicture->Canvas();
    canvas.Font.SetName("Arial");
    int height = Font().Height();
    canvas.Font.SetHeight(height);
    while (height < 0 && canvas.TextWidth("AAAAAAAA") > Grid.CellWidth - 2)
        canvas.Font.SetHeight(++height);
    FilenameFontHeight = height;
    Grid.InitCells(Setup::CatalogThumbWidth, Setup::CatalogThumbHeight, FilenameHeight());
    CatalogPanelResize();
}

TPoint TCatalogForm::ScrollPosition() const
{
    return {ScrollBox->HorzScrollBar().Position(), ScrollBox->VertScrollBar().Position()};
}

void TCatalogForm::CatalogPanelResize()
{
    if (!ScrollBox || !CatalogPaintBox)
        return;
    // A scroll bar that comes or goes changes the client area: measure again
    // until it stays.
    TRect client = ScrollBox->ClientRect();
    for (int pass = 0; pass < 3; ++pass) {
        const bool wide = Grid.Measure(client.Width(), client.Height(), PicCount());
        ScrollBox->HorzScrollBar().SetVisible(wide);
        ScrollBox->HorzScrollBar().SetRange(Grid.PaintBoxWidth);
        ScrollBox->VertScrollBar().SetRange(Grid.PaintBoxHeight);
        const TRect now = ScrollBox->ClientRect();
        if (now == client)
            break;
        client = now;
    }
    const TPoint scroll = ScrollPosition();
    // Below the last row the box still takes the mouse: a click there is a
    // click on no picture.
    CatalogPaintBox->SetBounds(-scroll.X, -scroll.Y, Grid.PaintBoxWidth,
                               std::max(Grid.PaintBoxHeight, client.Height()));
    CatalogPaintBox->Invalidate();
}

void TCatalogForm::InvalidateGrid()
{
    if (CatalogPaintBox)
        CatalogPaintBox->Invalidate();
}

void TCatalogForm::ForceDrawThumbnails()
{
    const int count = PicCount();
    for (int i = 0; i < count; ++i)
        Flags(i) |= pfDirty;
}

void TCatalogForm::ForceLoadThumbnails()
{
    const int count = PicCount();
    for (int i = 0; i < count; ++i) {
        TPicInfoObject* picture = Picture(i);
        picture->Thumbnail.SetThumbnail(nullptr);
        picture->DateSum = -1;
        picture->Flags = (picture->Flags & ~pfThumbTried) | pfDirty;
    }
}

void TCatalogForm::PaintBoxPaint() { DrawCatalog(-1, true); }

void TCatalogForm::DrawCatalog(int Index, bool Clipped)
{
    const int count = PicCount();
    if (Grid.Columns <= 0 || count == 0 || !CatalogPaintBox)
        return;
    TCanvas* canvas = CatalogPaintBox->Canvas();
    if (!canvas)
        return;
    const int scrollY = ScrollPosition().Y;
    const int clientHeight = ScrollBox->ClientRect().Height();
    const int firstRow = Grid.FirstRow(scrollY);
    const int rowLimit = Grid.RowLimit(scrollY, clientHeight);
    const TRect clip = Clipped ? canvas->ClipRect() : TRect{};
    const auto drawIfNeeded = [&](int i) {
        const bool dirty = (Flags(i) & pfDirty) != 0;
        if (dirty || (Clipped && !gfx::IntersectRect(Grid.CalcRectIndex(i), clip).IsEmpty()))
            DrawCatalogItem(*canvas, i);
    };
    if (Index >= 0) {
        const int row = Index / Grid.Columns;
        if (Index < count && row >= firstRow && row < rowLimit)
            drawIfNeeded(Index);
        return;
    }
    for (int i = firstRow * Grid.Columns; i < count && i / Grid.Columns < rowLimit; ++i)
        drawIfNeeded(i);
}

namespace {

// The triangle that cuts a selected cell's corner.
void CutCorner(TCanvas& canvas, TPoint corner, int dx, int dy)
{
    canvas.Pen.Color = clBtnFace;
    canvas.Brush.Color = clBtnFace;
    canvas.Polygon({corner, {corner.X + dx, corner.Y}, {corner.X, corner.Y + dy}});
}

} // namespace

void TCatalogForm::DrawCatalogItem(TCanvas& Canvas, int Index)
{
    TPicInfoObject* picture = Picture(Index);
    if (!picture)
        return;
    const TRect cell = Grid.CalcRectIndex(Index);
    const int left = cell.Left;
    const int top = cell.Top;
    const int right = cell.Right - 1; // last pixels
    const int bottom = cell.Bottom - 1;
    const bool selected = (picture->Flags & pfSelected) != 0;
    Canvas.Pen.Width = 1;
    Canvas.Brush.Style = bsSolid;

    // 1. Background.
    if ((picture->Flags & (pfDirty | pfSelected)) != 0) {
        Canvas.Brush.Color = selected ? clHighlight : clBtnFace;
        Canvas.FillRect(cell);
        if (selected) {
            CutCorner(Canvas, {left, top}, 4, 4);
            CutCorner(Canvas, {right, bottom}, -4, -4);
        }
        picture->Flags &= ~pfDirty;
    }
    // 2. The frame with cut corners, raised, or sunk when selected.
    Canvas.Pen.Color = selected ? clBtnHighlight : clBtnShadow;
    Canvas.MoveTo(right, top);
    Canvas.LineTo(right, bottom - 4);
    Canvas.LineTo(right - 4, bottom);
    Canvas.LineTo(left, bottom);
    Canvas.Pen.Color = selected ? clBtnShadow : clBtnHighlight;
    Canvas.LineTo(left, top + 4);
    Canvas.LineTo(left + 4, top);
    Canvas.LineTo(right, top);

    // 3. The file name.
    const int filenameHeight = FilenameHeight();
    if (Setup::CatalogShowFilename) {
        Canvas.Font.SetName("Arial");
        Canvas.Font.SetHeight(FilenameFontHeight);
        Canvas.Brush.Color = selected ? clHighlight : clBtnFace;
        Canvas.Font.SetColor(selected ? clHighlightText : clWindowText);
        TRect text = Rect(left + 1, top + Grid.CellHeight - filenameHeight - 2, right - 1, bottom - 3);
        gfx::DrawText(Canvas, rtl::ExtractFileName(picture->FileName), text,
                      DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    }

    // 4./5. The thumbnail with a sunken frame, or the error picture.
    TRect r = cell;
    if (TThumbnailJPEGImage* thumbnail = picture->Thumbnail.GetThumbnail()) {
        int w = thumbnail->Width();
        int h = thumbnail->Height();
        const bool tooLarge = w > Setup::CatalogThumbWidth || h > Setup::CatalogThumbHeight;
        if (tooLarge) {
            const TRect fitted = RectTools::ProportionalScale(
                Rect(0, 0, w, h), Rect(0, 0, Setup::CatalogThumbWidth, Setup::CatalogThumbHeight), false);
            w = std::max(fitted.Width(), 1);
            h = std::max(fitted.Height(), 1);
        }
        const int x = left + (Grid.CellWidth - w - 1) / 2 + 1;
        const int y = top + (Grid.CellHeight - filenameHeight - h - 1) / 2 + 1;
        Canvas.StretchDraw(Rect(x, y, x + w, y + h), *thumbnail);
        // Only the compressed thumbnails stay in memory.
        picture->Thumbnail.ClearBitmapData();
        Canvas.Pen.Color = clBtnShadow;
        Canvas.MoveTo(x - 1, y + h);
        Canvas.LineTo(x - 1, y - 1);
        Canvas.LineTo(x + w, y - 1);
        Canvas.Pen.Color = clBtnHighlight;
        Canvas.LineTo(x + w, y + h);
        Canvas.LineTo(x - 1, y + h);
        r = Rect(x, y, x + w, y + h);
    } else {
        r = Rect(cell.Left + 5, cell.Top + 5, cell.Right - 5, cell.Bottom - 5);
        if ((picture->Flags & pfThumbTried) != 0 && ErrorPicture)
            Canvas.Draw(r.Left, r.Top, *ErrorPicture);
    }

    // 6. The mark of a picture the show skips.
    if (Setup::CatalogMarkDontShow && !picture->ShowImage && ShowImageList)
        ShowImageList->Draw(Canvas, left + 2, top + 2, 1);

    // 7. The focus frame while the grid has the keyboard.
    if (Index == ItemIndex() && KeyMemo && KeyMemo->Focused())
        Canvas.DrawFocusRect(Rect(r.Left - 3, r.Top - 3, r.Right + 3, r.Bottom + 3));

    // 8. The drop mark: a red bar at the left edge, or the right one after
    // the last picture.
    if ((picture->Flags & pfDropTarget) != 0) {
        Canvas.Brush.Color = clRed;
        const int barLeft = (picture->Flags & pfDropAfter) != 0 ? cell.Right - 4 : cell.Left;
        Canvas.FillRect(Rect(barLeft, cell.Top, barLeft + 4, cell.Bottom));
    }
}
