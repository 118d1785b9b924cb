// The cool bar: bands side by side, each holding one control.

#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ExtCtrls.h"

namespace {
constexpr int CoolBarEdge = 2;
constexpr int GripWidth = 10;
} // namespace

void TCoolBand::SetControl(TControl* Value)
{
    if (control_ == Value)
        return;
    if (control_)
        bar_->RemoveFreeNotification(control_);
    control_ = Value;
    if (Value) {
        bar_->FreeNotification(Value);
        if (width_ == 0)
            width_ = Value->Width() + (fixedSize_ ? 0 : GripWidth);
        if (minHeight_ == 0)
            minHeight_ = Value->Height();
        Value->SetAlign(alNone);
        Value->SetVisible(visible_);
        Value->SetParent(bar_);
    }
    bar_->BandsChanged();
}

void TCoolBand::SetWidth(int Value)
{
    width_ = std::max(Value, 0);
    bar_->BandsChanged();
}

void TCoolBand::SetMinWidth(int Value)
{
    minWidth_ = std::max(Value, 0);
    bar_->BandsChanged();
}

void TCoolBand::SetMinHeight(int Value)
{
    minHeight_ = std::max(Value, 0);
    bar_->BandsChanged();
}

void TCoolBand::SetFixedSize(bool Value)
{
    fixedSize_ = Value;
    bar_->BandsChanged();
}

void TCoolBand::SetVisible(bool Value)
{
    visible_ = Value;
    if (control_)
        control_->SetVisible(Value);
    bar_->BandsChanged();
}

TCoolBar::TCoolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 2 * CoolBarEdge);
    SetAlign(alTop);
}

TCoolBar::~TCoolBar()
{
    for (auto& band : bands_)
        if (band->control_)
            RemoveFreeNotification(band->control_);
}

TCoolBand& TCoolBar::AddBand()
{
    bands_.push_back(std::make_unique<TCoolBand>(this));
    BandsChanged();
    return *bands_.back();
}

TCoolBand& TCoolBar::Bands(int Index) const
{
    if (Index < 0 || Index >= BandCount())
        throw EListError("Band index out of bounds (" + std::to_string(Index) + ")");
    return *bands_[static_cast<size_t>(Index)];
}

void TCoolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    for (auto& band : bands_)
        if (band->control_ == AComponent)
            band->control_ = nullptr; // the band stays, empty
}

std::vector<TCoolBand*> TCoolBar::VisibleBands() const
{
    std::vector<TCoolBand*> visible;
    for (const auto& band : bands_)
        if (band->visible_)
            visible.push_back(band.get());
    return visible;
}

void TCoolBar::BandsChanged()
{
    if (ComponentState() & csDestroying)
        return;
    int rowHeight = 0;
    for (TCoolBand* band : VisibleBands())
        rowHeight = std::max(rowHeight, band->minHeight_);
    int height = rowHeight + 2 * CoolBarEdge;
    if (height != Height())
        SetHeight(height); // realigns too
    else
        Realign();
    Invalidate();
}

void TCoolBar::AlignControls(TControl*, TRect& Rect)
{
    std::vector<TCoolBand*> bands = VisibleBands();
    auto grip = [](const TCoolBand* band) { return band->fixedSize_ ? 0 : GripWidth; };
    auto widthOf = [&](const TCoolBand* band) { return std::max(band->width_, band->minWidth_ + grip(band)); };
    TCoolBand* stretched = nullptr;
    for (TCoolBand* band : bands)
        if (!band->fixedSize_)
            stretched = band;
    int others = 0;
    for (TCoolBand* band : bands)
        if (band != stretched)
            others += widthOf(band);

    int x = Rect.Left + CoolBarEdge;
    const int top = Rect.Top + CoolBarEdge;
    const int height = std::max(Rect.Height() - 2 * CoolBarEdge, 0);
    for (TCoolBand* band : bands) {
        int width = widthOf(band);
        if (band == stretched)
            width = std::max(Rect.Width() - 2 * CoolBarEdge - others, band->minWidth_ + grip(band));
        band->rect_ = Bounds(x, top, width, height);
        if (band->control_)
            SetChildBounds(band->control_, x + grip(band), top, width - grip(band), height);
        x += width;
    }
}

// An etched frame, and a grip of two raised lines on each band that has one.
void TCoolBar::Paint()
{
    TCanvas& c = *Canvas();
    c.Brush.Color = Color();
    c.FillRect(ClientRect());
    TRect frame = ClientRect();
    ExtCtrls::Frame3D(c, frame, clBtnShadow, clBtnHighlight, 1);
    ExtCtrls::Frame3D(c, frame, clBtnHighlight, clBtnShadow, 1);
    for (TCoolBand* band : VisibleBands()) {
        if (band->fixedSize_)
            continue;
        const TRect& r = band->rect_;
        for (int line = 0; line < 2; ++line) {
            TRect grip = Rect(r.Left + 2 + 3 * line, r.Top + 1, r.Left + 5 + 3 * line, r.Bottom - 1);
            ExtCtrls::Frame3D(c, grip, clBtnHighlight, clBtnShadow, 1);
        }
    }
}
