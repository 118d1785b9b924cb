// The screen's size asked of the X server before the toolkit starts.

#include "platform/ui/ScreenProbe.h"

#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

// Last: Xlib defines macros such as Bool and None.
#include "tests/support/XvfbSession.h"

TEST(ScreenProbeTest, TellsTheSizeOfTheServersScreen)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    const xvfb::TPrivateServer server(1000, 700, 181);
    ASSERT_NE(server.Connection(), nullptr);
    const testenv::TScopedVariable display("DISPLAY", server.Name());
    const std::optional<TSize> size = ui::PrimaryScreenSizeBeforeStart();
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(*size, (TSize{1000, 700}));
}

TEST(ScreenProbeTest, WithoutADisplayThereIsNoSize)
{
    const testenv::TScopedVariable display("DISPLAY", std::nullopt);
    EXPECT_FALSE(ui::PrimaryScreenSizeBeforeStart().has_value());
}
