// The screen saver's settings in the registry: each value read and written
// by itself, so a missing or mistyped one spoils nothing else.

#include "screensaver/ScreenSaverSetup.h"
#include "core/Setup.h"
#include "platform/rtl/Registry.h"
#include "rtl/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace ScreenSaverSetup;

namespace {

class ScreenSaverSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("VISTELO_REGISTRY", temp_.File("hive.reg").c_str(), 1);
        Mute = false;
        Filename.clear();
        IgnoreOtherApplications = false;
        savedHome_ = Setup::HomeDir;
    }
    void TearDown() override
    {
        ::unsetenv("VISTELO_REGISTRY");
        Setup::HomeDir = savedHome_;
    }

    TempFolder temp_;
    std::string savedHome_;
};

TEST_F(ScreenSaverSettings, WithoutTheKeyNothingChanges)
{
    Mute = true;
    Filename = "kept.vsf";
    ReadScreenSaverSettings();
    EXPECT_TRUE(Mute);
    EXPECT_EQ(Filename, "kept.vsf");
    EXPECT_FALSE(IgnoreOtherApplications);
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists(SettingsKey)) << "reading made the key";
}

TEST_F(ScreenSaverSettings, WrittenValuesReadBackWithThePathBeside)
{
    Setup::HomeDir = "/opt/vistelo/";
    Mute = true;
    Filename = "/shows/Urlaub.vsf";
    IgnoreOtherApplications = true;
    WriteScreenSaverSettings();

    Mute = false;
    Filename.clear();
    IgnoreOtherApplications = false;
    ReadScreenSaverSettings();
    EXPECT_TRUE(Mute);
    EXPECT_EQ(Filename, "/shows/Urlaub.vsf");
    EXPECT_TRUE(IgnoreOtherApplications);

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(SettingsKey));
    EXPECT_EQ(reg.GetDataType("Mute"), rdInteger);
    EXPECT_EQ(reg.GetDataType("IgnoreOtherApplications"), rdInteger);
    EXPECT_EQ(reg.ReadString("Path"), "/opt/vistelo/");
}

// A wrong-typed value keeps its setting; the others are read all the same.
TEST_F(ScreenSaverSettings, AWrongTypedValueKeepsItsSettingOnly)
{
    struct Case {
        const char* wrong; // the value stored with the wrong type
        bool mute;
        const char* file;
        bool ignore;
    };
    const Case cases[] = {
        {"Mute", false, "b.vsf", true},
        {"Filename", true, "", true},
        {"IgnoreOtherApplications", true, "b.vsf", false},
    };
    for (const Case& c : cases) {
        {
            TRegistry reg;
            reg.DeleteKey(SettingsKey);
            ASSERT_TRUE(reg.OpenKey(SettingsKey, true));
            reg.WriteBool("Mute", true);
            reg.WriteString("Filename", "b.vsf");
            reg.WriteBool("IgnoreOtherApplications", true);
            if (std::string(c.wrong) == "Filename")
                reg.WriteInteger(c.wrong, 7);
            else
                reg.WriteString(c.wrong, "1");
        }
        Mute = false;
        Filename.clear();
        IgnoreOtherApplications = false;
        ReadScreenSaverSettings();
        EXPECT_EQ(Mute, c.mute) << c.wrong;
        EXPECT_EQ(Filename, c.file) << c.wrong;
        EXPECT_EQ(IgnoreOtherApplications, c.ignore) << c.wrong;
    }
}

TEST_F(ScreenSaverSettings, AMissingValueKeepsItsSetting)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(SettingsKey, true));
        reg.WriteBool("IgnoreOtherApplications", true);
    }
    Mute = true;
    Filename = "kept.vsf";
    ReadScreenSaverSettings();
    EXPECT_TRUE(Mute);
    EXPECT_EQ(Filename, "kept.vsf");
    EXPECT_TRUE(IgnoreOtherApplications);
}

} // namespace
