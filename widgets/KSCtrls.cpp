#include "widgets/KSCtrls.h"

#include <algorithm>
#include <vector>

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImgList.h"
#include "widgets/DrawUtils.h"

namespace {

constexpr int MaxCaptionLength = 255;
constexpr int PopupMarkRoom = 9;
constexpr std::uint32_t PaletteRelativeFlag = 0x02000000;

// Draws Image at (X, Y) leaving out the pixels of the key colour.
void DrawKeyed(TCanvas& Canvas, int X, int Y, TBitmap& Image, TColor Key)
{
    TCanvas& source = Image.Canvas();
    const TColor keyRgb = ColorToRGB(Key);
    for (int y = 0; y < Image.Height(); ++y)
        for (int x = 0; x < Image.Width(); ++x) {
            TColor c = source.Pixels(x, y);
            if (c != keyRgb)
                Canvas.SetPixels(X + x, Y + y, c);
        }
}

std::unique_ptr<TBitmap> CopyCell(TBitmap& Strip, int Cell, int CellWidth)
{
    auto cell = std::make_unique<TBitmap>(CellWidth, Strip.Height());
    cell->Canvas().CopyRect(Rect(0, 0, CellWidth, Strip.Height()), Strip.Canvas(),
                            Bounds(Cell * CellWidth, 0, CellWidth, Strip.Height()));
    return cell;
}

std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

// Every line cut to the room, joined again, trailing blanks gone.
std::string MinimizeLines(const std::string& Caption, TCanvas& Canvas, int MaxWidth)
{
    std::string result;
    std::vector<std::string> lines = SplitLines(Caption);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            result += "\r\n";
        result += DrawUtils::MinimizeText(lines[i], Canvas, MaxWidth);
    }
    while (!result.empty() && (result.back() == ' ' || result.back() == '\r' || result.back() == '\n'))
        result.pop_back();
    return result;
}

unsigned AlignmentFlag(TAlignment Alignment)
{
    switch (Alignment) {
    case taLeftJustify: return DT_LEFT;
    case taRightJustify: return DT_RIGHT;
    case taCenter: break;
    }
    return DT_CENTER;
}

} // namespace

// ---------------------------------------------------------------------------
// TGlyphList and TGlyphCache

namespace {

std::unique_ptr<TGlyphCache>& SharedCache()
{
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

} // namespace

TGlyphCache* KSCtrls::GlyphCache() { return SharedCache().get(); }

IMPLEMENT_CLASS(TGlyphList)

int TGlyphList::AllocGlyphIndex()
{
    for (std::size_t i = 0; i < used_.size(); ++i)
        if (!used_[i])
            return static_cast<int>(i);
    TBitmap empty(Width(), Height());
    Add(&empty, nullptr);
    bitmaps_.emplace_back();
    used_.push_back(false);
    return static_cast<int>(used_.size()) - 1;
}

int TGlyphList::AddMaskedGlyph(const TBitmap& Image, TColor MaskColor)
{
    const int index = AllocGlyphIndex();
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(&Image);
    ReplaceMasked(index, *copy, MaskColor);
    bitmaps_[static_cast<std::size_t>(index)] = std::move(copy);
    used_[static_cast<std::size_t>(index)] = true;
    ++usedCount_;
    return index;
}

void TGlyphList::FreeGlyphIndex(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(used_.size()) || !used_[static_cast<std::size_t>(Index)])
        return;
    used_[static_cast<std::size_t>(Index)] = false;
    --usedCount_;
}

TBitmap* TGlyphList::GlyphBitmap(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(bitmaps_.size()))
        return nullptr;
    return bitmaps_[static_cast<std::size_t>(Index)].get();
}

TGlyphList* TGlyphCache::GetGlyphList(int AWidth, int AHeight)
{
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == AWidth && (*it)->Height() == AHeight)
            return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(AWidth, AHeight));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* List)
{
    if (List && List->GlyphCount() == 0)
        std::erase_if(lists_, [List](const std::unique_ptr<TGlyphList>& Entry) { return Entry.get() == List; });
}

// ---------------------------------------------------------------------------
// TButtonImage

TButtonImage::TButtonImage() : glyph_(std::make_unique<TKsButtonGlyph>()) { }

TButtonImage::~TButtonImage() = default;

void TButtonImage::DrawEx(TCanvas& Canvas, int X, int Y, int Margin, int Spacing, TButtonLayout Layout,
                          const TFont* AFont, TImageList* Images, int ImageIndex, unsigned Flags)
{
    const TColor brush = Canvas.Brush.Color;
    TFont font;
    font.Assign(Canvas.Font);
    try {
        TRect r = Bounds(X, Y, ButtonSize.cx, ButtonSize.cy);
        Canvas.Brush.Color = clBtnFace;
        Canvas.Brush.Style = bsSolid;
        Canvas.FillRect(r);
        ExtCtrls::Frame3D(Canvas, r, clBtnShadow, clWindowFrame, 1);
        ExtCtrls::Frame3D(Canvas, r, clBtnHighlight, clBtnShadow, 1);
        if (AFont)
            Canvas.Font.Assign(*AFont);
        glyph_->DrawEx(Canvas, r, Caption, Layout, Margin, Spacing, false, Images, ImageIndex, rbsUp, Flags);
    } catch (...) {
        Canvas.Font.Assign(font);
        Canvas.Brush.Color = brush;
        throw;
    }
    Canvas.Font.Assign(font);
    Canvas.Brush.Color = brush;
}

// ---------------------------------------------------------------------------
// TKsButtonGlyph

TKsButtonGlyph::TKsButtonGlyph() : original_(std::make_unique<TBitmap>()) { }

TKsButtonGlyph::~TKsButtonGlyph()
{
    Invalidate();
    if (SharedCache() && SharedCache()->Empty())
        SharedCache().reset();
}

void TKsButtonGlyph::SetGlyph(const TBitmap& Value)
{
    original_->Assign(&Value);
    GlyphChanged();
}

void TKsButtonGlyph::GlyphChanged()
{
    Invalidate();
    const int w = original_->Width();
    const int h = original_->Height();
    if (h > 0) {
        transparentColor_ = static_cast<TColor>(static_cast<std::uint32_t>(original_->TransparentColor()) &
                                                ~PaletteRelativeFlag);
        if (w % h == 0) {
            int cells = w / h;
            if (cells > 5)
                cells = 1;
            if (cells != 0)
                numGlyphs_ = cells;
        }
    }
    if (OnChange)
        OnChange(nullptr);
}

void TKsButtonGlyph::SetNumGlyphs(int Value)
{
    if (Value > 0 && Value <= 5 && Value != numGlyphs_) {
        Invalidate();
        numGlyphs_ = Value;
    }
}

void TKsButtonGlyph::Invalidate()
{
    if (!list_)
        return;
    for (int& index : indexes_) {
        list_->FreeGlyphIndex(index);
        index = -1;
    }
    if (SharedCache())
        SharedCache()->ReturnList(list_);
    list_ = nullptr;
}

TColor TKsButtonGlyph::MapColor(TColor Color) const
{
    if (Color == transparentColor_ || ColorToRGB(Color) == ColorToRGB(clBtnFace))
        return Color;
    const TColor rgb = ColorToRGB(Color);
    const int grey = (77 * GetRValue(rgb) + 150 * GetGValue(rgb) + 29 * GetBValue(rgb)) >> 8;
    return RGB(grey, grey, grey);
}

namespace {

bool HasImage(TImageList* Images, int Index) { return Images && Index >= 0 && Index < Images->Count(); }

} // namespace

TSize TKsButtonGlyph::GlyphSize(TImageList* Images, int ImageIndex) const
{
    if (HasImage(Images, ImageIndex))
        return {Images->Width(), Images->Height()};
    if (original_->Empty())
        return {0, 0};
    return {original_->Width() / numGlyphs_, original_->Height()};
}

int TKsButtonGlyph::StoreImage(std::unique_ptr<TBitmap> Image, TColor MaskColor)
{
    if (!list_) {
        if (!SharedCache())
            SharedCache() = std::make_unique<TGlyphCache>();
        list_ = SharedCache()->GetGlyphList(Image->Width(), Image->Height());
    }
    return list_->AddMaskedGlyph(*Image, MaskColor);
}

std::unique_ptr<TBitmap> TKsButtonGlyph::BuildImageListImage(TKsButtonState State, TImageList& Images, int Index) const
{
    auto image = std::make_unique<TBitmap>(Images.Width(), Images.Height());
    TCanvas& canvas = image->Canvas();
    canvas.Brush.Color = clBtnFace;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, image->Width(), image->Height()));
    if (State == rbsDisabled) {
        DrawUtils::ImageListDrawDisabled(Images, canvas, 0, 0, Index, clBtnHighlight, clBtnShadow, true);
        return image;
    }
    Images.Draw(canvas, 0, 0, Index, true);
    if (State == rbsInactive)
        for (int y = 0; y < image->Height(); ++y)
            for (int x = 0; x < image->Width(); ++x)
                canvas.SetPixels(x, y, MapColor(canvas.Pixels(x, y)));
    return image;
}

int TKsButtonGlyph::CreateImageGlyph(TKsButtonState State, TImageList& Images, int Index)
{
    if (State == rbsDown)
        State = rbsUp;
    int& slot = indexes_[State];
    if (slot >= 0 || Images.Count() == 0 || Images.Width() <= 0 || Images.Height() <= 0)
        return slot;
    // The face colour stands for the see-through pixels of the picture.
    slot = StoreImage(BuildImageListImage(State, Images, Index), clBtnFace);
    return slot;
}

void TKsButtonGlyph::DrawImageListGlyph(TCanvas& Canvas, TPoint At, TImageList& Images, int Index, TKsButtonState State)
{
    if (State == rbsDisabled) {
        DrawUtils::ImageListDrawDisabled(Images, Canvas, At.X, At.Y, Index, clBtnHighlight, clBtnShadow, true);
        return;
    }
    if (State == rbsInactive) {
        const int slot = CreateImageGlyph(State, Images, Index);
        if (slot >= 0)
            DrawKeyed(Canvas, At.X, At.Y, *list_->GlyphBitmap(slot), clBtnFace);
        return;
    }
    Images.Draw(Canvas, At.X, At.Y, Index, true);
}

std::unique_ptr<TBitmap> TKsButtonGlyph::BuildStateImage(TKsButtonState State)
{
    const int cellWidth = original_->Width() / numGlyphs_;
    const int cell = static_cast<int>(State) < numGlyphs_ ? static_cast<int>(State) : 0;
    switch (State) {
    case rbsDisabled:
        if (numGlyphs_ >= 2)
            return CopyCell(*original_, cell, cellWidth);
        return DrawUtils::CreateDisabledBitmap(*original_, clBlack);
    case rbsInactive: {
        if (numGlyphs_ == 5)
            return CopyCell(*original_, cell, cellWidth);
        auto image = CopyCell(*original_, 0, cellWidth);
        TCanvas& canvas = image->Canvas();
        for (int y = 0; y < image->Height(); ++y)
            for (int x = 0; x < image->Width(); ++x)
                canvas.SetPixels(x, y, MapColor(canvas.Pixels(x, y)));
        return image;
    }
    default: return CopyCell(*original_, cell, cellWidth);
    }
}

TBitmap* TKsButtonGlyph::StateImage(TKsButtonState State)
{
    if (State == rbsDown && numGlyphs_ < 3)
        State = rbsUp;
    if (original_->Empty())
        return nullptr;
    int& index = indexes_[State];
    if (index < 0)
        index = StoreImage(BuildStateImage(State), transparentColor_);
    return list_->GlyphBitmap(index);
}

void TKsButtonGlyph::CalcButtonLayout(TCanvas& Canvas, const TRect& Client, std::string& Caption, TButtonLayout Layout,
                                      int Margin, int Spacing, bool PopupMark, TPoint& GlyphPos, TRect& TextBounds,
                                      unsigned Flags, TImageList* Images, int ImageIndex)
{
    const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    TSize glyph = GlyphSize(Images, ImageIndex);
    const int clientW = Client.Width();
    const int clientH = Client.Height();
    int availW = clientW;
    int availH = clientH;
    const int marginRoom = Margin != -1 ? Margin : 0;
    const int spacingRoom = Spacing != -1 ? Spacing : 0;
    if (horizontal)
        availW -= glyph.cx + marginRoom + spacingRoom + (PopupMark ? PopupMarkRoom : 0);
    else
        availH -= glyph.cy + marginRoom + spacingRoom;
    availW = std::max(availW, 0);
    availH = std::max(availH, 0);

    if (Caption.size() > MaxCaptionLength)
        Caption.resize(MaxCaptionLength);
    if (!WordWrap)
        Caption = MinimizeLines(Caption, Canvas, availW);

    TSize text{0, 0};
    if (!Caption.empty()) {
        TRect measured = Rect(0, 0, availW, 0);
        gfx::DrawText(Canvas, Caption, measured,
                      DT_CALCRECT | DT_CENTER | DT_VCENTER | (WordWrap ? DT_WORDBREAK : 0u) | Flags);
        text = {std::min(measured.Width(), availW), std::min(measured.Height(), availH)};
    }
    const int captionWidth = text.cx;
    if (PopupMark) {
        if (glyph.cx == 0 || Layout == blGlyphLeft)
            text.cx += PopupMarkRoom;
        else
            glyph.cx += 6;
    }

    TPoint glyphAt{0, 0};
    TPoint textAt{0, 0};
    if (horizontal) {
        glyphAt.Y = clientH / 2 - glyph.cy / 2;
        textAt.Y = clientH / 2 - text.cy / 2;
    } else {
        glyphAt.X = clientW / 2 - glyph.cx / 2;
        textAt.X = clientW / 2 - text.cx / 2;
    }
    if (text.cx == 0 || glyph.cx == 0)
        Spacing = 0;

    const int extent = horizontal ? clientW : clientH;
    const int glyphExtent = horizontal ? glyph.cx : glyph.cy;
    const int textExtent = horizontal ? text.cx : text.cy;
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (extent - glyphExtent - textExtent) / 3;
            Spacing = Margin;
        } else {
            Margin = extent / 2 - (glyphExtent + Spacing + textExtent) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (extent - Margin - glyphExtent) / 2 - textExtent / 2;
    }

    switch (Layout) {
    case blGlyphLeft:
        glyphAt.X = Margin;
        textAt.X = Margin + glyph.cx + Spacing;
        break;
    case blGlyphRight:
        glyphAt.X = clientW - Margin - glyph.cx;
        textAt.X = glyphAt.X - Spacing - text.cx;
        break;
    case blGlyphTop:
        glyphAt.Y = Margin;
        textAt.Y = Margin + glyph.cy + Spacing;
        break;
    case blGlyphBottom:
        glyphAt.Y = clientH - Margin - glyph.cy;
        textAt.Y = glyphAt.Y - Spacing - text.cy;
        break;
    }
    GlyphPos = {glyphAt.X + Client.Left, glyphAt.Y + Client.Top};
    // The caption's own rectangle; the mark's room stays to its right.
    TextBounds = Bounds(textAt.X + Client.Left, textAt.Y + Client.Top, captionWidth, text.cy);
}

void TKsButtonGlyph::DrawButtonText(TCanvas& Canvas, const std::string& Caption, TRect TextBounds, TKsButtonState State,
                                    unsigned Flags)
{
    Canvas.Brush.Style = bsClear;
    const unsigned format = AlignmentFlag(Alignment) | DT_VCENTER | (WordWrap ? DT_WORDBREAK : 0u) | Flags;
    if (State == rbsDisabled) {
        const TColor saved = Canvas.Font.Color();
        TRect shifted = TextBounds;
        shifted = gfx::OffsetRect(shifted, 1, 1);
        Canvas.Font.SetColor(clBtnHighlight);
        gfx::DrawText(Canvas, Caption, shifted, format);
        Canvas.Font.SetColor(clBtnShadow);
        gfx::DrawText(Canvas, Caption, TextBounds, format);
        Canvas.Font.SetColor(saved);
        return;
    }
    gfx::DrawText(Canvas, Caption, TextBounds, format);
}

void TKsButtonGlyph::DrawPopupMark(TCanvas& Canvas, int X, int Y, TKsButtonState State)
{
    auto triangle = [&Canvas](int x, int y, TColor color) {
        Canvas.Brush.Style = bsSolid;
        Canvas.Brush.Color = color;
        for (int row = 0; row < 4; ++row)
            Canvas.FillRect(Rect(x + row, y - 1 + row, x + 7 - row, y + row));
    };
    if (State == rbsDisabled) {
        triangle(X + 1, Y + 1, clBtnHighlight);
        triangle(X, Y, clBtnShadow);
        return;
    }
    triangle(X, Y, clBtnText);
}

TRect TKsButtonGlyph::Draw(TCanvas& Canvas, const TRect& Client, const std::string& Caption, TButtonLayout Layout,
                           int Margin, int Spacing, bool PopupMark, TKsButtonState State, unsigned Flags)
{
    return DrawEx(Canvas, Client, Caption, Layout, Margin, Spacing, PopupMark, nullptr, -1, State, Flags);
}

TRect TKsButtonGlyph::DrawEx(TCanvas& Canvas, const TRect& Client, const std::string& Caption, TButtonLayout Layout,
                             int Margin, int Spacing, bool PopupMark, TImageList* Images, int ImageIndex,
                             TKsButtonState State, unsigned Flags)
{
    std::string text = Caption;
    TPoint glyphPos;
    TRect textBounds;
    CalcButtonLayout(Canvas, Client, text, Layout, Margin, Spacing, PopupMark, glyphPos, textBounds, Flags, Images,
                     ImageIndex);
    TSize drawn{0, 0};
    if (HasImage(Images, ImageIndex) && Images->Width() > 0) {
        DrawImageListGlyph(Canvas, glyphPos, *Images, ImageIndex, State);
        drawn = {Images->Width(), Images->Height()};
    } else if (TBitmap* image = StateImage(State)) {
        const bool generatedDisabled = State == rbsDisabled && numGlyphs_ < 2;
        DrawKeyed(Canvas, glyphPos.X, glyphPos.Y, *image, generatedDisabled ? clBtnFace : transparentColor_);
        drawn = {image->Width(), image->Height()};
    }
    DrawButtonText(Canvas, text, textBounds, State, Flags);
    if (PopupMark) {
        if (Layout != blGlyphLeft && drawn.cx > 0)
            DrawPopupMark(Canvas, glyphPos.X + drawn.cx + 1, glyphPos.Y + drawn.cy / 2, State);
        else if (!text.empty())
            DrawPopupMark(Canvas, textBounds.Right + 3, textBounds.Top + textBounds.Height() / 2, State);
        else
            DrawPopupMark(Canvas, (Client.Left + Client.Right - 7) / 2, textBounds.Top + textBounds.Height() / 2,
                          State);
    }
    return textBounds;
}

// ---------------------------------------------------------------------------

void DrawButtonFrame(TCanvas& Canvas, TRect& R, bool Down, bool Flat, TButtonStyle Style)
{
    // This platform draws new-style controls.
    const bool newStyle = Style != bsWin31;
    auto frame = [&](TColor topLeft, TColor bottomRight) { ExtCtrls::Frame3D(Canvas, R, topLeft, bottomRight, 1); };
    if (Down) {
        if (Flat) {
            frame(clWindowFrame, clBtnHighlight);
        } else if (newStyle) {
            frame(clWindowFrame, clBtnHighlight);
            frame(clBtnShadow, clBtnFace);
        } else {
            frame(clWindowFrame, clWindowFrame);
            Canvas.Pen.Color = clBtnShadow;
            Canvas.Pen.Width = 1;
            Canvas.Pen.Style = psSolid;
            Canvas.Pen.Mode = pmCopy;
            Canvas.MoveTo(R.Left, R.Bottom - 1);
            Canvas.LineTo(R.Left, R.Top);
            Canvas.LineTo(R.Right, R.Top);
        }
    } else if (newStyle) {
        if (Flat) {
            frame(clBtnHighlight, clBtnShadow);
        } else {
            frame(clBtnHighlight, clWindowFrame);
            frame(clBtnFace, clBtnShadow);
        }
    } else if (Flat) {
        frame(clBtnHighlight, clWindowFrame);
    } else {
        frame(clWindowFrame, clWindowFrame);
        frame(clBtnHighlight, clBtnShadow);
    }
    R = gfx::InflateRect(R, -1, -1);
}
