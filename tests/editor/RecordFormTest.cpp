#include "editor/tools/RecordForm.h"

#include <gtest/gtest.h>

#include "platform/rtl/Clock.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

namespace {

TEST(RecordForm, ShowsTheTimeSinceItWasMadeAndClosesOnTheStopButton)
{
    rtl::SetClockForTests(5000);
    auto* form = new TRecordForm(nullptr);
    EXPECT_EQ(form->Caption(), "Soundaufnahme");
    EXPECT_EQ(form->StopButton->Caption(), "Aufnahme stoppen");
    rtl::AdvanceClockForTests(62345);
    form->Timer1Timer(form->Timer1);
    EXPECT_EQ(form->TimeLabel->Caption(), "00:01:02:345");

    bool freed = false;
    form->OnDestroy = [&](TObject*) { freed = true; };
    form->Show();
    form->StopButton->Click();
    EXPECT_FALSE(form->Timer1->Enabled());
    rtl::ResetClock();
    Application->ProcessMessages();
    EXPECT_TRUE(freed) << "the window frees itself once closed";
}

} // namespace
