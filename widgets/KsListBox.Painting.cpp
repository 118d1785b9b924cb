#include "widgets/KsListBox.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/CanvasText.h"
#include "widgets/DrawUtils.h"

// Drawing

void TKsCustomListBox::DefaultDrawText(int X, int Y, const std::string& Text)
{
    TCanvas& canvas = *Canvas();
    if (tabWidth_ == 0) {
        canvas.TextOut(X, Y, Text);
        return;
    }
    const int stop = static_cast<int>(std::lround(tabWidth_ * canvas.TextWidth("0") * 0.25));
    int x = X;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = Text.find('\t', start);
        const std::string piece = Text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        canvas.TextOut(x, Y, piece);
        x += canvas.TextWidth(piece);
        if (tab == std::string::npos)
            break;
        if (stop > 0)
            x = X + ((x - X) / stop + 1) * stop;
        start = tab + 1;
    }
}

void TKsCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (OwnerDrawn() && onDrawItem_) {
        onDrawItem_(this, Index, Rect, State);
        return;
    }
    TCanvas& canvas = *Canvas();
    canvas.FillRect(Rect);
    const int y = std::max(Rect.Top, Rect.Top + (Rect.Height() - canvas.TextHeight("Wy")) / 2);
    canvas.Brush.Style = bsClear;
    const std::string& text = list_[static_cast<std::size_t>(Index)].Text;
    // 2 pixels in from the edge the reading starts at.
    const int x = DrawUtils::UseRightToLeftReading(BiDiMode) ? Rect.Right - 2 - TabbedTextWidth(canvas, text)
                                                             : Rect.Left + 2;
    DefaultDrawText(x, y, text);
    canvas.Brush.Style = bsSolid;
}

void TKsCustomListBox::DrawState(TCanvas& Canvas, int Index, const TRect& Rect)
{
    TOwnerDrawState state;
    const bool selected = list_[static_cast<std::size_t>(Index)].Selected;
    Canvas.Font.Assign(Font());
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = Color();
    if (selected) {
        state.Include(odSelected);
        if (graySelection_ && !Focused() && !(ComponentState() & csDesigning)) {
            Canvas.Brush.Color = clBtnFace;
            if (ColorToRGB(Canvas.Font.Color()) == ColorToRGB(clBtnFace))
                Canvas.Font.SetColor(clBtnText);
        } else {
            Canvas.Brush.Color = clHighlight;
            Canvas.Font.SetColor(clHighlightText);
        }
    }
    const bool focused = Index == itemIndex_ && Focused();
    if (focused)
        state.Include(odFocused);
    DrawItem(Index, Rect, state);
    if (focused)
        Canvas.DrawFocusRect(Rect);
}

void TKsCustomListBox::Paint()
{
    TCanvas& canvas = *Canvas();
    canvas.Brush.Color = Color();
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(ClientRect());
    const int count = static_cast<int>(list_.size());
    for (int i = topIndex_; i < count; ++i) {
        const TRect r = ItemRect(i);
        if (r.Top >= ClientHeight() || r.Left >= ClientWidth())
            break;
        TCanvasStateScope state(canvas);
        canvas.IntersectClipRect(r);
        DrawState(canvas, i, r);
    }
}
