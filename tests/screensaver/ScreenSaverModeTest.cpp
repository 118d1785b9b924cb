// The command lines the screen saver is started with: the module's own
// switches and the forms X11 screen-saver daemons use, which the launcher
// puts in the module's terms.

#include "platform/rtl/Exceptions.h"
#include "screensaver/SSaverInterface.h"
#include "screensaver/launcher/DaemonArguments.h"
#include "widgets/Parameters.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

void CommandLine(std::vector<std::string> args)
{
    args.insert(args.begin(), "slumbrix-launcher");
    Parameters::SetPlatformArguments(std::move(args));
}

TEST(ScreenSaverMode, TheSwitchesGiveModeAndWindowNumber)
{
    struct Case {
        std::vector<std::string> args;
        TScreenSaverMode mode;
        std::uint32_t window;
    };
    const Case cases[] = {
        {{}, ssmSettings, 0},
        {{"/c"}, ssmSettings, 0},
        {{"-C"}, ssmSettings, 0},
        {{"/c:4711"}, ssmSettings, 0},
        {{"/a", "1234"}, ssmPasswordChange, 1234},
        {{"/p", "1234"}, ssmPreview, 1234},
        {{"/p:1234"}, ssmPreview, 1234},
        {{"/p1234"}, ssmPreview, 1234},
        {{"/P"}, ssmPreview, 0},
        {{"/l", "77"}, ssmPreview, 77},
        {{"/s"}, ssmRun, 0},
        {{"-S"}, ssmRun, 0},
        {{"/x"}, ssmNone, 0},
        {{"show.vsf"}, ssmNone, 0},
        // A window number that is not a number does nothing rather than
        // throwing into the launcher.
        {{"/p", "abc"}, ssmNone, 0},
        {{"/p", "99999999999"}, ssmNone, 0},
        // Digit-free characters before the number are dropped, the rest must be one.
        {{"/p:x12"}, ssmPreview, 12},
        {{"/p:12x"}, ssmNone, 0},
    };
    for (const Case& c : cases) {
        CommandLine(c.args);
        SSaverInterface::Mode = ssmRun;
        SSaverInterface::WindowNumber = 5;
        SSaverInterface::ParseScreenSaverMode();
        std::string line;
        for (const std::string& a : c.args)
            line += a + " ";
        EXPECT_EQ(SSaverInterface::Mode, c.mode) << line;
        EXPECT_EQ(SSaverInterface::WindowNumber, c.window) << line;
    }
    Parameters::SetPlatformArguments({});
}

TEST(ScreenSaverMode, ANonNumericWindowNumberRaisesAConversionError)
{
    CommandLine({"/p", "12ab"});
    EXPECT_THROW(SSaverInterface::GetWindowNumberParam('P'), EConvertError);
    CommandLine({"/p:"});
    EXPECT_EQ(SSaverInterface::GetWindowNumberParam('P'), 0u);
    Parameters::SetPlatformArguments({});
}

TEST(ScreenSaverMode, WindowIdsAreReadAsDaemonsWriteThem)
{
    struct Case {
        std::string text;
        std::optional<unsigned long> id;
    };
    const Case cases[] = {
        {"0x1a00007", 0x1a00007},      {"0X1A00007", 0x1a00007},
        {"27262983", 27262983},        {"0xffffffff", 0xffffffffu},
        {"0x100000000", std::nullopt}, {"4294967296", std::nullopt},
        {"0x", std::nullopt},          {"", std::nullopt},
        {"12g", std::nullopt},         {"-5", std::nullopt},
        {"0xzz", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DaemonArguments::ParseWindowId(c.text), c.id) << c.text;
}

TEST(ScreenSaverMode, DaemonCommandLinesBecomeTheModulesSwitches)
{
    using Args = std::vector<std::string>;
    struct Case {
        Args args;
        const char* env;
        Args result;
        bool error;
    };
    const Case cases[] = {
        {{"-root"}, nullptr, {"/s"}, false},
        {{"--root"}, "0x10", {"/s"}, false},
        {{"-window-id", "0x1a00007"}, nullptr, {"/p", "27262983"}, false},
        {{"-window-id", "4711"}, nullptr, {"/p", "4711"}, false},
        {{"-root", "-window-id", "0x10"}, nullptr, {"/p", "16"}, false},
        {{}, "0x2c00001", {"/p", "46137345"}, false},
        {{}, "", {}, false},
        {{}, nullptr, {}, false},
        // The module's own switches pass unchanged, also with a daemon's window around.
        {{"/s"}, "0x10", {"/s"}, false},
        {{"/p", "1234"}, nullptr, {"/p", "1234"}, false},
        {{"/c"}, nullptr, {"/c"}, false},
        {{"-window-id"}, nullptr, {}, true},
        {{"-window-id", "window"}, nullptr, {}, true},
        {{}, "nonsense", {}, true},
    };
    for (const Case& c : cases) {
        std::string error = "old";
        const Args result = DaemonArguments::Translate(c.args, c.env, error);
        std::string line;
        for (const std::string& a : c.args)
            line += a + " ";
        EXPECT_EQ(result, c.result) << line;
        EXPECT_EQ(!error.empty(), c.error) << line << error;
    }
}

// Translated command lines give the modes the daemon meant.
TEST(ScreenSaverMode, TranslatedDaemonCommandLinesGiveRunAndPreview)
{
    std::string error;
    CommandLine(DaemonArguments::Translate({"-root"}, nullptr, error));
    SSaverInterface::ParseScreenSaverMode();
    EXPECT_EQ(SSaverInterface::Mode, ssmRun);
    CommandLine(DaemonArguments::Translate({"-window-id", "0xabc"}, nullptr, error));
    SSaverInterface::ParseScreenSaverMode();
    EXPECT_EQ(SSaverInterface::Mode, ssmPreview);
    EXPECT_EQ(SSaverInterface::WindowNumber, 0xabcu);
    Parameters::SetPlatformArguments({});
}

} // namespace
