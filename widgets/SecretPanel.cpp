#include "widgets/SecretPanel.h"

#include <algorithm>

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Setters.h"
#include "platform/rtl/Threads.h"
#include "widgets/DrawUtils.h"
#include "widgets/KsTimer.h"

IMPLEMENT_CLASS(TSecretPanel)

namespace {

// Posted by a tick: a new frame waits in the memory image.
constexpr UINT CM_SECRETFRAME = WM_APP + 0x0A51;
constexpr std::uint32_t DefaultInterval = 30;
constexpr std::size_t MaxLineLength = 255;
constexpr std::uint32_t PaletteRelativeFlag = 0x02000000;
// Room between the text rectangle, the edges and the glyph.
constexpr int TextGap = 3;

bool IsBlank(const std::string& Text)
{
    return std::all_of(Text.begin(), Text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// The first MaxLineLength characters (not bytes) of a UTF-8 line.
std::string CutLine(const std::string& Text)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if ((static_cast<unsigned char>(Text[i]) & 0xC0) == 0x80)
            continue;
        if (characters == MaxLineLength)
            return Text.substr(0, i);
        ++characters;
    }
    return Text;
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

int BevelDepth(TPanelBevel Bevel, int Width) { return Bevel == bvNone ? 0 : Width; }

TRect NormalizedOrEmpty(const TRect& R) { return R.Right > R.Left && R.Bottom > R.Top ? R : TRect{}; }

} // namespace

TSecretPanel::TSecretPanel(TComponent* AOwner)
    : TCustomPanel(AOwner), lines_(std::make_unique<TStringList>()), glyph_(std::make_unique<TBitmap>()),
      timer_(std::make_unique<TKsTimer>(nullptr))
{
    ShowCaption = false;
    SetBevelOuter(bvLowered);
    lines_->OnChange = [this](TObject*) { Changed(); };
    glyph_->OnChange = [this](TObject*) { Changed(); };
    timer_->SetEnabled(false);
    timer_->SetInterval(DefaultInterval);
    timer_->SetSyncEvent(!asyncDrawing_);
    timer_->SetOnTimer([this](TObject* Sender) { TimerExpired(Sender); });
}

TSecretPanel::~TSecretPanel()
{
    Destroying();
    lines_->OnChange = nullptr;
    glyph_->OnChange = nullptr;
    SetActive(false);
    // Joins the worker. A stop it handed to this thread meanwhile runs
    // during the join and finds the panel inactive.
    timer_.reset();
}

std::uint32_t TSecretPanel::Interval() const { return timer_->Interval(); }

void TSecretPanel::SetInterval(std::uint32_t Value) { timer_->SetInterval(Value); }

void TSecretPanel::SetAsyncDrawing(bool Value)
{
    asyncDrawing_ = Value;
    timer_->SetSyncEvent(!Value);
}

void TSecretPanel::SetTextStyle(TPanelBevel Value)
{
    if (rtl::AssignIfChanged(textStyle_, Value))
        Changed();
}

void TSecretPanel::SetScrollDirection(KSCtrls::TScrollDirection Value)
{
    if (rtl::AssignIfChanged(direction_, Value))
        Changed();
}

void TSecretPanel::SetGlyphLayout(TGlyphLayout Value)
{
    if (rtl::AssignIfChanged(glyphLayout_, Value))
        Changed();
}

void TSecretPanel::Changed()
{
    if (active_)
        UpdateMemoryImage();
    Invalidate();
}

// ---------------------------------------------------------------------------
// Starting and stopping

void TSecretPanel::SetActive(bool Value)
{
    if (Value == active_)
        return;
    if (Value)
        Start();
    else
        Finish();
    if (ComponentState() & csDestroying)
        return;
    if (Value)
        HideChildren();
    else
        ShowChildren();
    Invalidate();
}

void TSecretPanel::Start()
{
    active_ = true;
    try {
        {
            std::lock_guard frame(frameLock_);
            scrollCount_ = 0;
        }
        UpdateMemoryImage();
        timer_->SetEnabled(true);
        StartPlay();
    } catch (...) {
        active_ = false;
        timer_->SetEnabled(false);
        std::lock_guard frame(frameLock_);
        memoryImage_.reset();
        throw;
    }
}

void TSecretPanel::Finish()
{
    timer_->SetEnabled(false);
    {
        // Waits for a frame in progress; a tick that comes after finds no
        // memory image and draws nothing.
        std::lock_guard frame(frameLock_);
        scrollCount_ = 0;
        memoryImage_.reset();
        frameDrawn_ = false;
    }
    active_ = false;
    StopPlay();
}

void TSecretPanel::StartPlay()
{
    if (OnStartPlay)
        OnStartPlay(this);
}

void TSecretPanel::StopPlay()
{
    if (OnStopPlay)
        OnStopPlay(this);
}

void TSecretPanel::HideChildren()
{
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        if (!child->Visible())
            continue;
        hidden_.push_back(child);
        child->FreeNotification(this);
        if (!(ComponentState() & csDesigning))
            child->Hide();
    }
}

void TSecretPanel::ShowChildren()
{
    std::vector<TControl*> children;
    children.swap(hidden_);
    for (TControl* child : children) {
        child->RemoveFreeNotification(this);
        child->Show();
        child->Repaint();
    }
}

void TSecretPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove)
        std::erase(hidden_, AComponent);
}

// ---------------------------------------------------------------------------
// Layout

void TSecretPanel::RecalcDrawRect(FrameSetup& Setup) const
{
    const int inset = BorderWidth() + BevelDepth(BevelOuter(), BevelWidth()) + BevelDepth(BevelInner(), BevelWidth()) +
        (BorderStyle() == bsSingle ? 1 : 0);
    const TRect client = ClientRect();
    Setup.PaintRect = NormalizedOrEmpty(gfx::InflateRect(client, -inset, -inset));
    TRect text = gfx::InflateRect(client, -(inset + TextGap), -(inset + TextGap));
    const int gw = glyph_->Width();
    const int gh = glyph_->Height();
    const bool hasGlyph = !glyph_->Empty();
    const int centreX = std::max((text.Left + text.Right - gw) / 2, text.Left);
    const int centreY = std::max((text.Top + text.Bottom - gh) / 2, text.Top);
    TPoint origin;
    switch (glyphLayout_) {
    case glGlyphLeft:
        origin = {text.Left + TextGap, centreY};
        if (hasGlyph)
            text.Left = origin.X + gw + inset + TextGap;
        break;
    case glGlyphRight:
        origin = {std::max(text.Right - gw - TextGap, text.Left), centreY};
        if (hasGlyph)
            text.Right = origin.X - inset - TextGap;
        break;
    case glGlyphTop:
        origin = {centreX, text.Top + TextGap};
        if (hasGlyph)
            text.Top = origin.Y + gh + inset + 2 * TextGap;
        break;
    case glGlyphBottom:
        origin = {centreX, std::max(text.Bottom - gh - TextGap, text.Top)};
        if (hasGlyph)
            text.Bottom = origin.Y - inset - 2 * TextGap;
        break;
    }
    Setup.GlyphOrigin = origin;

    if (Setup.Direction == KSCtrls::sdHorizontal) {
        // The block of lines up to the last non-blank one sits in the middle.
        int last = static_cast<int>(Setup.Lines.size()) - 1;
        while (last >= Setup.FirstLine && IsBlank(Setup.Lines[static_cast<std::size_t>(last)]))
            --last;
        if (last >= Setup.FirstLine) {
            const int spare = text.Height() - (last - Setup.FirstLine + 1) * Setup.LineHeight;
            if (spare > 0) {
                text.Top += spare / 2;
                text.Bottom -= spare / 2;
            }
        }
    }
    Setup.TextRect = NormalizedOrEmpty(text);
}

void TSecretPanel::UpdateMemoryImage()
{
    FrameSetup setup;
    setup.Lines.reserve(static_cast<std::size_t>(lines_->Count()));
    for (int i = 0; i < lines_->Count(); ++i)
        setup.Lines.push_back(CutLine(lines_->Strings(i)));
    const int count = static_cast<int>(setup.Lines.size());
    while (setup.FirstLine < count && IsBlank(setup.Lines[static_cast<std::size_t>(setup.FirstLine)]))
        ++setup.FirstLine;
    setup.Color = Color();
    setup.FontColor = Font().Color();
    setup.Alignment = Alignment();
    setup.TextStyle = textStyle_;
    setup.Direction = direction_;
    setup.BiDiMode = BiDiMode;

    std::lock_guard frame(frameLock_);
    if (!memoryImage_)
        memoryImage_ = std::make_unique<TBitmap>();
    TCanvas& canvas = memoryImage_->Canvas();
    canvas.Font.Assign(Font());
    const gfx::TTextMetric metrics = gfx::GetTextMetrics(canvas);
    setup.LineHeight = metrics.tmHeight + metrics.tmExternalLeading + (textStyle_ != bvNone ? 1 : 0);
    RecalcDrawRect(setup);
    if (direction_ == KSCtrls::sdVertical) {
        setup.MaxScroll = setup.TextRect.Height() + (count - setup.FirstLine) * setup.LineHeight;
    } else {
        int widest = 0;
        for (int i = setup.FirstLine; i < count; ++i)
            widest = std::max(widest, canvas.TextWidth(setup.Lines[static_cast<std::size_t>(i)]));
        setup.MaxScroll = setup.TextRect.Width() + widest;
    }
    memoryImage_->SetSize(setup.TextRect.Width(), setup.TextRect.Height());
    frameDrawn_ = false;
    canvas.Brush.Color = setup.Color;
    canvas.Brush.Style = bsClear;
    setup_ = std::move(setup);
    window_ = HandleAllocated() ? Handle() : nullptr;
}

void TSecretPanel::AlignControls(TControl* AControl, TRect& Rect)
{
    TCustomPanel::AlignControls(AControl, Rect);
    if (active_)
        UpdateMemoryImage();
}

void TSecretPanel::Resize()
{
    TCustomPanel::Resize();
    if (active_)
        UpdateMemoryImage();
}

void TSecretPanel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_SECRETFRAME: {
        framePosted_ = false;
        if (!HandleAllocated())
            return;
        std::lock_guard frame(frameLock_);
        if (!memoryImage_)
            return;
        TCanvas& canvas = *Canvas();
        canvas.Lock();
        PresentFrame(canvas);
        canvas.Unlock();
        return;
    }
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
        TCustomPanel::Dispatch(Message);
        Changed();
        return;
    default: TCustomPanel::Dispatch(Message);
    }
}

// ---------------------------------------------------------------------------
// Ticks and frames

void TSecretPanel::TimerExpired(TObject*)
{
    bool finished = false;
    HWND target = nullptr;
    {
        std::lock_guard frame(frameLock_);
        if (!memoryImage_)
            return; // stopped meanwhile
        if (scrollCount_ < setup_.MaxScroll)
            ++scrollCount_;
        else if (Cycled)
            scrollCount_ = 0;
        else
            finished = true;
        if (!finished)
            PaintText();
        target = window_;
    }
    if (finished)
        RequestStop();
    else if (target && !framePosted_.exchange(true))
        ui::PostMessage(target, CM_SECRETFRAME, 0, 0);
}

void TSecretPanel::RequestStop()
{
    auto stop = [this] {
        if (active_)
            Stop();
    };
    if (rtl::IsMainThread())
        stop();
    else
        timer_->TimerThread().Synchronize(stop);
}

void TSecretPanel::PaintText()
{
    const FrameSetup& s = setup_;
    if (s.Lines.empty() || s.TextRect.IsEmpty() || !window_)
        return;
    TCanvas& canvas = memoryImage_->Canvas();
    // The background is painted in panel coordinates, so that a picture
    // behind the text lines up with the rest of the panel.
    canvas.SetWindowOrg({s.TextRect.Left, s.TextRect.Top});
    canvas.Brush.Color = s.Color;
    canvas.Brush.Style = bsSolid;
    PaintClient(canvas, s.PaintRect);
    canvas.SetWindowOrg({0, 0});
    canvas.Brush.Style = bsClear;

    const int width = s.TextRect.Width();
    const int height = s.TextRect.Height();
    TRect line = Rect(0, 0, width, height);
    if (s.Direction == KSCtrls::sdVertical) {
        line.Top = line.Bottom - scrollCount_;
    } else if (DrawUtils::UseRightToLeftReading(s.BiDiMode)) {
        line.Right = line.Left + scrollCount_;
        line.Left = line.Right + width - s.MaxScroll;
    } else {
        line.Left = line.Right - scrollCount_;
        line.Right = line.Left + s.MaxScroll - width;
    }
    line.Bottom = line.Top + s.LineHeight;
    const unsigned format = DrawUtils::DrawTextBiDiModeFlags(
        s.BiDiMode, AlignmentFlag(s.Alignment) | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX);
    const int count = static_cast<int>(s.Lines.size());
    // One blank line follows the last one.
    for (int i = s.FirstLine; i <= count; ++i) {
        if (line.Top >= height)
            break;
        if (line.Bottom > 0) {
            const std::string& text = i < count ? s.Lines[static_cast<std::size_t>(i)] : std::string(" ");
            if (s.TextStyle != bvNone) {
                const int shift = s.TextStyle == bvLowered ? 1 : -1;
                TRect relief = gfx::OffsetRect(line, shift, shift);
                canvas.Font.SetColor(clBtnHighlight);
                gfx::DrawText(canvas, text, relief, format);
            }
            TRect place = line;
            canvas.Font.SetColor(s.FontColor);
            gfx::DrawText(canvas, text, place, format);
        }
        line = gfx::OffsetRect(line, 0, s.LineHeight);
    }
    frameDrawn_ = true;
}

void TSecretPanel::PresentFrame(TCanvas& Target)
{
    const TRect& area = setup_.TextRect;
    if (!frameDrawn_ || area.IsEmpty())
        return;
    Target.CopyRect(area, memoryImage_->Canvas(), Rect(0, 0, area.Width(), area.Height()));
}

void TSecretPanel::PaintClient(TCanvas& Canvas, const TRect& Rect)
{
    if (OnPaintClient)
        OnPaintClient(this, Canvas, Rect);
    else
        Canvas.FillRect(Rect);
}

void TSecretPanel::Paint()
{
    TCanvas& canvas = *Canvas();
    TRect inside = ClientRect();
    if (BorderStyle() == bsSingle)
        ExtCtrls::Frame3D(canvas, inside, clWindowFrame, clWindowFrame, 1);
    auto bevel = [&](TPanelBevel Kind) {
        if (Kind == bvNone)
            return;
        const bool lowered = Kind == bvLowered;
        ExtCtrls::Frame3D(canvas, inside, lowered ? clBtnShadow : clBtnHighlight,
                          lowered ? clBtnHighlight : clBtnShadow, BevelWidth());
    };
    bevel(BevelOuter());
    ExtCtrls::Frame3D(canvas, inside, Color(), Color(), BorderWidth());
    bevel(BevelInner());

    TCanvasStateScope state(canvas);
    canvas.IntersectClipRect(inside);
    canvas.Brush.Color = Color();
    canvas.Brush.Style = bsSolid;
    PaintClient(canvas, inside);
    if (!active_)
        return;
    std::lock_guard frame(frameLock_);
    if (!glyph_->Empty()) {
        const TColor key = static_cast<TColor>(static_cast<std::uint32_t>(glyph_->TransparentColor()) &
                                               ~PaletteRelativeFlag);
        DrawUtils::DrawBitmapTransparent(canvas, setup_.GlyphOrigin.X, setup_.GlyphOrigin.Y, *glyph_, key);
    }
    if (memoryImage_)
        PresentFrame(canvas);
}

int TSecretPanel::ScrollCount()
{
    std::lock_guard frame(frameLock_);
    return scrollCount_;
}

int TSecretPanel::MaxScroll()
{
    std::lock_guard frame(frameLock_);
    return setup_.MaxScroll;
}

int TSecretPanel::FirstLine()
{
    std::lock_guard frame(frameLock_);
    return setup_.FirstLine;
}

int TSecretPanel::LineHeight()
{
    std::lock_guard frame(frameLock_);
    return setup_.LineHeight;
}

TRect TSecretPanel::TextRect()
{
    std::lock_guard frame(frameLock_);
    return setup_.TextRect;
}

TPoint TSecretPanel::GlyphOrigin()
{
    std::lock_guard frame(frameLock_);
    return setup_.GlyphOrigin;
}
