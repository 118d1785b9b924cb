#include "widgets/KSSwitch.h"

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Setters.h"
#include "widgets/DrawUtils.h"

IMPLEMENT_CLASS(TKsSwitch)

namespace {

constexpr int GlyphWidth = 32;
constexpr int GlyphHeight = 48;
constexpr TColor GlyphKey = clFuchsia;

// The picture with its transparent colour replaced by Background.
std::unique_ptr<TBitmap> OnBackground(TBitmap& Glyph, TColor Background)
{
    auto copy = std::make_unique<TBitmap>(Glyph.Width(), Glyph.Height());
    TCanvas& canvas = copy->Canvas();
    canvas.CopyRect(Rect(0, 0, Glyph.Width(), Glyph.Height()), Glyph.Canvas(),
                    Rect(0, 0, Glyph.Width(), Glyph.Height()));
    const TColor key = ColorToRGB(
        static_cast<TColor>(static_cast<std::uint32_t>(Glyph.TransparentColor()) & 0x00FFFFFF));
    const TColor fill = ColorToRGB(Background);
    for (int y = 0; y < copy->Height(); ++y)
        for (int x = 0; x < copy->Width(); ++x)
            if (canvas.Pixels(x, y) == key)
                canvas.SetPixels(x, y, fill);
    return copy;
}

} // namespace

namespace KSSwitch {

// A lever in a slot: down for off, up (with a lit mark) for on.
std::unique_ptr<TBitmap> DefaultGlyph(int Index)
{
    auto glyph = std::make_unique<TBitmap>(GlyphWidth, GlyphHeight);
    TCanvas& c = glyph->Canvas();
    c.Brush.Style = bsSolid;
    c.Brush.Color = GlyphKey;
    c.FillRect(Rect(0, 0, GlyphWidth, GlyphHeight));
    c.Pen.Color = clGray;
    c.Brush.Color = clSilver;
    c.Rectangle(8, 2, 24, 46); // the slot
    c.Pen.Color = clWhite;
    c.MoveTo(9, 44);
    c.LineTo(9, 3);
    c.LineTo(23, 3);
    const bool on = Index == 1;
    c.Pen.Color = clBlack;
    c.Brush.Color = clGray;
    const int top = on ? 5 : 25;
    c.Rectangle(10, top, 22, top + 18); // the lever
    c.Brush.Color = on ? clLime : clMaroon;
    c.FillRect(Rect(13, top + 7, 19, top + 11));
    return glyph;
}

} // namespace KSSwitch

TKsSwitch::TKsSwitch(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption, csOpaque};
    for (int i = 0; i < 2; ++i) {
        glyphs_[static_cast<std::size_t>(i)] = KSSwitch::DefaultGlyph(i);
        GlyphChanged(i);
    }
    SetColor(clWindow);
    SetBounds(Left(), Top(), 50, 60);
    SetTabStop(true);
}

TKsSwitch::~TKsSwitch() = default;

void TKsSwitch::SetGlyph(int Index, const TBitmap* Value)
{
    auto& glyph = glyphs_[static_cast<std::size_t>(Index)];
    if (Value) {
        glyph->Assign(Value);
        customGlyphs_ |= static_cast<std::uint8_t>(1u << Index);
    } else {
        glyph = KSSwitch::DefaultGlyph(Index);
        customGlyphs_ &= static_cast<std::uint8_t>(~(1u << Index));
    }
    GlyphChanged(Index);
}

TBitmap& TKsSwitch::GlyphForReading(int Index)
{
    if (ComponentState() & csLoading)
        customGlyphs_ |= static_cast<std::uint8_t>(1u << Index);
    return *glyphs_[static_cast<std::size_t>(Index)];
}

void TKsSwitch::WriteData(TStream& Stream) const { Stream.WriteBuffer(&customGlyphs_, 1); }

void TKsSwitch::ReadData(TStream& Stream)
{
    std::uint8_t flags = 0;
    if (Stream.Read(&flags, 1) != 1)
        throw EReadError("Invalid property value");
    customGlyphs_ = flags & 0x03;
}

bool TKsSwitch::DataStored(const TKsSwitch* Ancestor) const
{
    return customGlyphs_ != (Ancestor ? Ancestor->customGlyphs_ : 0);
}

void TKsSwitch::GlyphChanged(int Index)
{
    const auto i = static_cast<std::size_t>(Index);
    if (glyphs_[i]->Empty())
        disabledGlyphs_[i].reset();
    else
        disabledGlyphs_[i] = DrawUtils::CreateDisabledBitmap(*glyphs_[i], clBlack);
    Invalidate();
}

void TKsSwitch::SetStateOn(bool Value)
{
    if (Value == stateOn_)
        return;
    stateOn_ = Value;
    Invalidate();
    if (Value)
        DoOn();
    else
        DoOff();
}

void TKsSwitch::DoOn()
{
    if (OnOn)
        OnOn(this);
}

void TKsSwitch::DoOff()
{
    if (OnOff)
        OnOff(this);
}

void TKsSwitch::SetTextPosition(TTextPos Value)
{
    if (rtl::AssignIfChanged(textPosition_, Value))
        Invalidate();
}

void TKsSwitch::SetBorderStyle(TBorderStyle Value)
{
    if (Value == borderStyle_)
        return;
    borderStyle_ = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TKsSwitch::SetShowFocus(bool Value)
{
    if (Value == showFocus_)
        return;
    showFocus_ = Value;
    if (!(ComponentState() & csDesigning))
        Invalidate();
}

void TKsSwitch::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (borderStyle_ == bsSingle)
        Params.Style |= WS_BORDER;
}

TBitmap& TKsSwitch::ShownGlyph()
{
    const auto i = static_cast<std::size_t>(stateOn_ ? 1 : 0);
    if (!Enabled() && disabledGlyphs_[i])
        return *disabledGlyphs_[i];
    return *glyphs_[i];
}

TRect TKsSwitch::GlyphRect()
{
    TBitmap& glyph = ShownGlyph();
    const int w = glyph.Width(), h = glyph.Height();
    const int cw = ClientWidth(), ch = ClientHeight();
    TPoint at;
    switch (textPosition_) {
    case tpNone: at = {(cw - w) / 2, (ch - h) / 2}; break;
    case tpLeft: at = {cw - w, (ch - h) / 2}; break;
    case tpRight: at = {0, (ch - h) / 2}; break;
    case tpAbove: at = {(cw - w) / 2, ch - h}; break;
    case tpBelow: at = {(cw - w) / 2, 0}; break;
    }
    return Bounds(at.X, at.Y, w, h);
}

TRect TKsSwitch::TextRect(TBitmap& Glyph)
{
    TRect r = ClientRect();
    switch (textPosition_) {
    case tpLeft: r.Right -= Glyph.Width(); break;
    case tpRight: r.Left += Glyph.Width(); break;
    case tpAbove: r.Bottom -= Glyph.Height(); break;
    case tpBelow: r.Top += Glyph.Height(); break;
    case tpNone: break;
    }
    return r;
}

void TKsSwitch::Paint()
{
    TCanvas& canvas = *Canvas();
    canvas.Font.Assign(Font());
    canvas.Brush.Color = Color();
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(ClientRect());
    TBitmap& glyph = ShownGlyph();
    const TRect place = GlyphRect();
    if (!glyph.Empty()) {
        auto picture = OnBackground(glyph, Color());
        canvas.Draw(place.Left, place.Top, *picture);
    }
    if (Focused() && showFocus_ && TabStop() && !(ComponentState() & csDesigning))
        canvas.DrawFocusRect(place);
    if (textPosition_ == tpNone)
        return;
    const TRect text = TextRect(glyph);
    const int lineHeight = canvas.TextHeight("W");
    TRect band = Rect(text.Left, text.Top + (text.Height() - lineHeight) / 2, text.Right, 0);
    band.Bottom = band.Top + lineHeight;
    canvas.Brush.Style = bsClear;
    gfx::DrawText(canvas, Caption(), band, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
}

void TKsSwitch::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (TabStop() && CanFocus())
            SetFocus();
        ToggleSwitch();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TKsSwitch::KeyDown(WORD& Key, TShiftState Shift)
{
    if (ShortCut(Key, Shift) == ToggleKey) {
        ToggleSwitch();
        Key = 0;
        return;
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TKsSwitch::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR: {
        const char32_t accel = DrawUtils::AcceleratorOf(Caption());
        if (accel != 0 && accel == DrawUtils::UpperAscii(static_cast<char32_t>(Message.WParam)) && CanFocus()) {
            SetFocus();
            Message.Result = 1;
            return;
        }
        break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED: Invalidate(); break;
    default: break;
    }
    TCustomControl::Dispatch(Message);
}
