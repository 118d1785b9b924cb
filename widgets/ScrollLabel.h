#pragma once

// A label whose caption runs to the left: every tick it drops one more
// leading character, and after the last character stood alone the whole text
// comes back.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdLabel.h"

class TScrollLabel : public TLabel {
    DECLARE_CLASS(TScrollLabel, TLabel)
public:
    explicit TScrollLabel(TComponent* AOwner);
    ~TScrollLabel() override;

    bool Active() const;
    void SetActive(bool Value);
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t Value);
    // The full text; what the label shows is its tail from ScrollPos on.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    int ScrollPos() const { return scrollPos_; }

    TTimer& ScrollTimer() { return *scrollTimer_; }

protected:
    // One tick: one character less at the front.
    virtual void Scroll(TObject* Sender);

private:
    std::unique_ptr<TTimer> scrollTimer_;
    std::uint32_t interval_ = 100;
    std::string caption_;
    int scrollPos_ = 0;
};
