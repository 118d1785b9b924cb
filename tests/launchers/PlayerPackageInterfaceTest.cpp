#include "core/PlayerPackageInterface.h"

#include "core/VisteloList.h"
#include "core/VisteloNPics.h"
#include "platform/rtl/Exceptions.h"
#include "tests/launchers/package/TestPlayerLog.h"

#include <gtest/gtest.h>

#include <functional>

namespace PPI = PlayerPackageInterface;

extern "C" TTestPlayerLog* LaunchersTestPlayerLog()
{
    static TTestPlayerLog log;
    return &log;
}

namespace {

class PlayerPackage : public ::testing::Test {
protected:
    void SetUp() override
    {
        *LaunchersTestPlayerLog() = {};
        PPI::SetPlayerPackageFileForTests("LaunchersTestPlayer.bpl");
    }
    void TearDown() override
    {
        PPI::UnLoadPlayerPackage();
        PPI::SetPlayerPackageFileForTests({});
    }
    static TTestPlayerLog& Log() { return *LaunchersTestPlayerLog(); }
};

struct StartCase {
    const char* call;
    std::function<void(TVistelo&, TVisteloList&)> start;
    std::string fileName;
    std::int32_t start_index;
    std::int32_t listIndexIn;
    bool passesShow;
    bool passesList;
};

std::vector<StartCase> StartCases()
{
    return {
        {"VisteloStartFilename", [](TVistelo&, TVisteloList&) { PPI::VisteloStartFilename("a.vsf"); }, "a.vsf", -1, -2,
         false, false},
        {"VisteloStart", [](TVistelo& s, TVisteloList&) { PPI::VisteloStart(s, 3); }, "", 3, -2, true, false},
        {"VisteloListStartFilename", [](TVistelo&, TVisteloList&) { PPI::VisteloListStartFilename("b.vsl"); }, "b.vsl",
         -1, -1, false, false},
        {"VisteloListStart", [](TVistelo&, TVisteloList& l) { PPI::VisteloListStart(l, 2); }, "", 2, -1, false, true},
    };
}

} // namespace

TEST_F(PlayerPackage, EachStartCreatesCallsFreesAndUnloads)
{
    for (bool throwing : {false, true}) {
        for (const StartCase& c : StartCases()) {
            Log() = {};
            Log().ThrowInCall = throwing;
            TVistelo show;
            TVisteloList list;
            if (throwing)
                EXPECT_THROW(c.start(show, list), EInOutError) << c.call;
            else
                c.start(show, list);

            EXPECT_EQ(Log().Calls, std::vector<std::string>{c.call});
            EXPECT_EQ(Log().FileName, c.fileName) << c.call;
            EXPECT_EQ(Log().Start, c.start_index) << c.call;
            EXPECT_EQ(Log().ListIndexIn, c.listIndexIn) << c.call;
            const void* expected = c.passesShow ? static_cast<const void*>(&show)
                : c.passesList                  ? static_cast<const void*>(&list)
                                                : nullptr;
            EXPECT_EQ(Log().Object, expected) << c.call;
            EXPECT_EQ(Log().Created, 1) << c.call;
            EXPECT_EQ(Log().Destroyed, 1) << c.call;
            EXPECT_FALSE(PPI::PlayerPackageLoaded()) << c.call;
            EXPECT_EQ(rtl::GetClass("TMainPlayer"), nullptr) << c.call;
        }
    }
}

TEST_F(PlayerPackage, TheStartsThatLoadAFileTellWhetherItLoaded)
{
    TVisteloList list;
    for (bool loads : {true, false}) {
        Log() = {};
        Log().Loads = loads;
        EXPECT_EQ(PPI::VisteloStartFilename("a.vsf"), loads);
        EXPECT_EQ(PPI::VisteloListStartFilename("b.vsl"), loads);
        EXPECT_EQ(PPI::VisteloListStart(list, -1), loads);
        EXPECT_EQ(Log().Calls.size(), 3u);
    }
}

TEST_F(PlayerPackage, AShowPlayedIsLeftAsItWas)
{
    TVistelo show;
    show.ReferenceWidth = 640;
    show.ReferenceHeight = 480;
    show.InfoTitle = "Urlaub";
    TVistelo before;
    before.Assign(&show);
    PPI::VisteloStart(show, -1);
    EXPECT_EQ(show.ReferenceWidth, before.ReferenceWidth);
    EXPECT_EQ(show.ReferenceHeight, before.ReferenceHeight);
    EXPECT_EQ(show.InfoTitle, before.InfoTitle);
    EXPECT_EQ(show.Count, before.Count);
}

TEST_F(PlayerPackage, LoadingFailuresReachTheCallerAndPlayNothing)
{
    PPI::SetPlayerPackageFileForTests("LaunchersNoPlayer.bpl");
    EXPECT_THROW(PPI::VisteloStartFilename("a.vsf"), EClassNotFound);
    EXPECT_FALSE(PPI::PlayerPackageLoaded());

    PPI::SetPlayerPackageFileForTests("LaunchersMissingPlayer.bpl");
    EXPECT_THROW(PPI::VisteloStartFilename("a.vsf"), EPackageError);
    EXPECT_FALSE(PPI::PlayerPackageLoaded());
    EXPECT_TRUE(Log().Calls.empty());
}

TEST_F(PlayerPackage, LoadingDirectlyKeepsAPackageWithoutPlayerUntilTheNextLoad)
{
    EXPECT_THROW(PPI::LoadPlayerPackage("LaunchersNoPlayer.bpl"), EClassNotFound);
    EXPECT_TRUE(PPI::PlayerPackageLoaded());

    auto player = PPI::LoadPlayerPackage("LaunchersTestPlayer.bpl");
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->ClassName(), "TMainPlayer");
    player.reset();
    PPI::UnLoadPlayerPackage();
    EXPECT_FALSE(PPI::PlayerPackageLoaded());
}

TEST(PlayerPackageInterfaceBase, OperationsAreAbstract)
{
    TPlayerPackageInterface base;
    TVistelo show;
    TVisteloList list;
    std::int32_t index = -1;
    EXPECT_THROW(base.VisteloStartFilename("a", -1), EAbstractError);
    EXPECT_THROW(base.VisteloStart(show, -1), EAbstractError);
    EXPECT_THROW(base.VisteloListStartFilename("a", -1, index), EAbstractError);
    EXPECT_THROW(base.VisteloListStart(list, -1, index), EAbstractError);
}
