// The settings dialog's About box: credits that run while it is open, and a
// box that goes when it is closed.

#include "screensaver/ScreenSaverAbout.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/ScrollLabel.h"

#include <gtest/gtest.h>

namespace {

// Tells when the form that owns it is freed.
class TDeathWatch : public TComponent {
public:
    TDeathWatch(TComponent* AOwner, bool& Freed) : TComponent(AOwner), freed_(Freed) { freed_ = false; }
    ~TDeathWatch() override { freed_ = true; }

private:
    bool& freed_;
};

TEST(ScreenSaverAbout, TheCreditsRunWhileTheBoxIsOpenAndTheBoxGoesWhenClosed)
{
    Application->Initialize();
    auto* about = new TScreenSaverAboutForm(nullptr);
    bool freed = false;
    new TDeathWatch(about, freed);
    TScrollLabel* credits = about->CreditsLabel;
    bool running = false;
    int scrolled = 0;
    TTimer later(nullptr);
    later.SetInterval(600);
    later.OnTimer = [&](TObject*) {
        later.SetEnabled(false);
        running = credits->Active();
        scrolled = credits->ScrollPos();
        about->OKButton->Click();
    };
    later.SetEnabled(true);
    EXPECT_EQ(about->ShowModal(), mrOk);
    EXPECT_EQ(about->Caption(), "Info");
    EXPECT_TRUE(running);
    EXPECT_GT(scrolled, 0) << "the credits did not move";
    EXPECT_FALSE(credits->Active()) << "closing stops the credits";
    for (int i = 0; i < 5 && !freed; ++i)
        Application->ProcessMessages();
    EXPECT_TRUE(freed) << "the About box frees itself on close";
}

} // namespace
