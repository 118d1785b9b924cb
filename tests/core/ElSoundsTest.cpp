#include "core/ElSounds.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <functional>

#include "core/SoundPlayerUnit.h"
#include "media/TestSounds.h"
#include "media/stub/ElampStubState.h"
#include "platform/rtl/SysPaths.h"
#include "platform/rtl/Threads.h"

namespace {

std::string StubModule(const char* name) { return rtl::ProgramDir() + name + ".esp"; }

// The state of the loaded stub module (the player holds it loaded).
ElampStubState& StubState()
{
    void* module = dlopen(StubModule("ElampStub").c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(module, nullptr);
    auto get = reinterpret_cast<ElampStubGetStateFunc>(dlsym(module, "ElampStubGetState"));
    ElampStubState& state = *get();
    dlclose(module);
    return state;
}

TElSError InitError(const std::string& path)
{
    TElPlayer player;
    player.PathToDLL = path;
    try {
        player.Init();
    } catch (const TElSException& e) {
        EXPECT_FALSE(player.Initialized());
        return e.Code;
    }
    return peNoError;
}

TEST(ElPlayerTest, ModulesThatCannotServeAreReportedOnInit)
{
    EXPECT_EQ(InitError(StubModule("NoSuchModule")), peNotLoaded);
    EXPECT_EQ(InitError(StubModule("ElampStubWithoutEQ")), peNotLoaded);
    EXPECT_EQ(InitError(StubModule("ElampStubInitFails")), peNotInitialized);
    EXPECT_EQ(InitError(StubModule("ElampStub")), peNoError);
}

TEST(ElPlayerTest, WrappersWithoutADecoderRaiseNotInitialized)
{
    TElPlayer player;
    const std::vector<std::function<void()>> calls = {
        [&] { player.Open(); },        [&] { player.InitStream(); }, [&] { player.Play(); },
        [&] { player.Stop(); },        [&] { player.Close(); },      [&] { player.GetPlayerMode(); },
        [&] { player.GetPosition(); }, [&] { player.Extensions(); }, [&] { player.SetLeftVolume(1); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const TElSException& e) {
            EXPECT_EQ(e.Code, peNotInitialized);
            EXPECT_EQ(e.Message, "Module not initialized");
        }
    }
}

TEST(ElPlayerTest, AFailedCallRaisesTheModulesErrorUnlessItIsNone)
{
    TElPlayer player;
    player.PathToDLL = StubModule("ElampStub");
    player.Init();
    StubState().failOpenWith = peInputError;
    try {
        player.Open();
        ADD_FAILURE() << "no exception";
    } catch (const TElSException& e) {
        EXPECT_EQ(e.Code, peInputError);
        EXPECT_EQ(e.Message, "Input stream failure");
    }
    EXPECT_EQ(player.LastError(), peInputError);
    StubState().failOpenWith = peNoError;
    EXPECT_FALSE(player.Open());
    EXPECT_EQ(player.LastError(), peNoError);
}

TEST(ElPlayerTest, ValuesSetBeforeInitAreKeptNotSent)
{
    TmyElPlayer player;
    player.PathToDLL = StubModule("ElampStub");
    EXPECT_EQ(player.BuffersCount(), 16);
    EXPECT_EQ(player.BufferSize(), 65535);
    player.Init();
    const std::vector<std::pair<int32_t, int32_t>> sent = {{8, 65535}, {8, 16384}};
    EXPECT_EQ(StubState().buffers, sent);
}

TEST(ElPlayerTest, PlayKeepsTheVolumeOfBothChannels)
{
    TElPlayer player;
    player.PathToDLL = StubModule("ElampStub");
    player.Init();
    StubState().volume = 0xABCD1234; // left 0x1234, right 0xABCD
    player.InitStream();
    ASSERT_TRUE(player.Play());
    EXPECT_EQ(StubState().volume, 0xABCD1234u);
    EXPECT_EQ(player.LeftVolume(), 0x1234);
    EXPECT_EQ(player.RightVolume(), 0xABCD);
    player.OutputMode = omCallback;
    EXPECT_EQ(player.LeftVolume(), 0);
}

// Serves the main-thread queue until `done` or `ms` real milliseconds.
bool ServeUntil(const std::function<bool()>& done, int ms = 3000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        rtl::CheckSynchronize(5);
    return done();
}

class ElampModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsounds::UseDummyAudioUnlessChosen();
        player_.PathToDLL = VISTELO_ELAMP_MODULE;
        player_.Init();
        player_.OnEndOfOutput = [this](TObject*) { ++ends_; };
        player_.InputName = testsounds::FixtureDir() + "tone.mp3";
    }
    TmyElPlayer player_;
    int ends_ = 0;
};

TEST_F(ElampModuleTest, PlaysToTheEndAndReportsItOnce)
{
    ASSERT_TRUE(player_.Open());
    EXPECT_EQ(player_.GetPlayerMode(), pmOpened);
    ASSERT_TRUE(player_.InitStream());
    EXPECT_EQ(player_.GetPlayerMode(), pmReady);
    EXPECT_NEAR(player_.GetSize(), 300, 60);
    ASSERT_TRUE(player_.Play());
    EXPECT_EQ(player_.GetPlayerMode(), pmPlaying);
    ASSERT_TRUE(ServeUntil([&] { return player_.GetPlayerMode() == pmStopped; }));
    ServeUntil([&] { return ends_ > 1; }, 300);
    EXPECT_EQ(ends_, 1);
    // From the end, Play starts again at the beginning.
    ASSERT_TRUE(player_.Play());
    EXPECT_LT(player_.GetPosition(), 100);
    EXPECT_TRUE(player_.Stop()); // the user's stop is no end of the sound
    EXPECT_EQ(ends_, 1);
}

TEST_F(ElampModuleTest, VolumeRoundTripIsTheIdentity)
{
    ASSERT_TRUE(player_.Open() && player_.InitStream());
    player_.SetLeftVolume(0x1234);
    player_.SetRightVolume(0xABCD);
    ASSERT_TRUE(player_.Play());
    EXPECT_EQ(player_.LeftVolume(), 0x1234);
    EXPECT_EQ(player_.RightVolume(), 0xABCD);
}

TEST_F(ElampModuleTest, ModuleErrorsBecomeExceptions)
{
    player_.InputName = testsounds::FixtureDir() + "missing.mp3";
    EXPECT_THROW(player_.Open(), TElSException);
    EXPECT_EQ(player_.LastError(), peInputError);
    EXPECT_THROW(player_.Play(), TElSException); // nothing is open
    EXPECT_EQ(player_.LastError(), peIncorrectMode);
}

TEST_F(ElampModuleTest, TheManagerFindsThePlayerByExtension)
{
    TElPlayerMan manager(nullptr);
    TElPlayer* idle = manager.Players().Add(); // not initialised: passed over
    TElPlayer* ready = manager.Players().Add();
    ready->PathToDLL = VISTELO_ELAMP_MODULE;
    ready->Init();
    EXPECT_EQ(manager.WhoseType(".mp3"), ready);
    EXPECT_EQ(manager.WhoseType("Mp2"), ready);
    EXPECT_EQ(manager.WhoseType(".wav"), nullptr);
    EXPECT_EQ(manager.WhoseType("."), nullptr);
    EXPECT_EQ(manager.Players().Items(0), idle);
}

} // namespace
