#include "editor/controls/BlinkUnit.h"

#include <algorithm>

#include "platform/ui/ExtCtrls.h"

IMPLEMENT_CLASS(TBlinkLabel)

TBlinkLabel::TBlinkLabel(TComponent* AOwner) : TLabel(AOwner)
{
    blinkTimer_ = new TTimer(this);
    blinkTimer_->OnTimer = [this](TObject* Sender) { BlinkTick(Sender); };
    SetInterval(1000);
    blinkTimer_->SetEnabled(true);
}

// The timer is owned by the label and goes with it.
TBlinkLabel::~TBlinkLabel() = default;

void TBlinkLabel::SetInterval(std::int32_t Value)
{
    interval_ = Value;
    UpdateBlinkInterval();
}

bool TBlinkLabel::Blink() const { return blinkTimer_->Enabled(); }

void TBlinkLabel::SetBlink(bool Value) { blinkTimer_->SetEnabled(Value); }

void TBlinkLabel::BlinkTick(TObject*)
{
    SetVisible(!Visible());
    UpdateBlinkInterval();
}

void TBlinkLabel::UpdateBlinkInterval()
{
    // A negative interval would wrap to a huge unsigned wait: it stops the
    // timer as 0 does. The hidden time is at least 1 ms, since a timer of
    // 0 ms never ticks and would leave the label hidden for good.
    const std::int32_t shown = interval_ < 0 ? 0 : interval_;
    const std::int32_t hidden = shown == 0 ? 0 : std::max(1, shown / 3);
    blinkTimer_->SetInterval(static_cast<unsigned>(Visible() ? shown : hidden));
}
