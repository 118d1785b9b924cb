#pragma once

// A label that blinks: its own timer hides and shows it, visible for
// Interval milliseconds and hidden for a third of that.

#include <cstdint>

#include "platform/ui/StdLabel.h"

class TTimer;

class TBlinkLabel : public TLabel {
    DECLARE_CLASS(TBlinkLabel, TLabel)
public:
    explicit TBlinkLabel(TComponent* AOwner);
    ~TBlinkLabel() override;

    // How long the label stays visible, in ms (hidden: Interval div 3).
    std::int32_t Interval() const { return interval_; }
    void SetInterval(std::int32_t Value);
    // Whether it blinks. Stopping keeps the label as it is at that moment.
    bool Blink() const;
    void SetBlink(bool Value);

    void BlinkTick(TObject* Sender);

private:
    // The timer's interval for the state the label is in now.
    void UpdateBlinkInterval();

    TTimer* blinkTimer_ = nullptr;
    std::int32_t interval_ = 1000;
};
