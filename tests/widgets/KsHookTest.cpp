#include "widgets/KsHook.h"

#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT WM_PROBE = WM_USER + 17;

// A live form with a panel whose own message handling is observed.
class KsHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        panel_ = new TPanel(form_.get());
        panel_->SetParent(form_.get());
        form_->Show();
        TWndMethod own = panel_->WindowProc;
        panel_->WindowProc = [this, own](TMessage& m) {
            if (m.Msg == WM_PROBE || m.Msg == WM_DESTROY)
                log_.push_back(m.Msg == WM_PROBE ? "control" : "control destroy");
            own(m);
            if (m.Msg == WM_PROBE)
                m.Result = 7;
        };
    }
    void TearDown() override
    {
        form_.reset();
        Application->OnException = nullptr;
        Application->ProcessMessages();
    }
    // A hook on the panel that logs under its name and may swallow messages.
    std::unique_ptr<TKsWindowHook> NewHook(const std::string& name, bool handles = false)
    {
        auto hook = std::make_unique<TKsWindowHook>(form_.get());
        hook->BeforeMessage = [this, name, handles](TObject*, TMessage& m, bool& handled) {
            if (m.Msg == WM_PROBE || m.Msg == WM_DESTROY) {
                log_.push_back(name + " before");
                handled = handles;
            }
        };
        hook->AfterMessage = [this, name](TObject*, TMessage& m, bool&) {
            if (m.Msg == WM_PROBE)
                log_.push_back(name + " after " + std::to_string(m.Result));
        };
        hook->SetWinControl(panel_);
        return hook;
    }
    std::vector<std::string> Probe()
    {
        log_.clear();
        panel_->Perform(WM_PROBE, 0, 0);
        return log_;
    }
    using Log = std::vector<std::string>;

    std::unique_ptr<TForm> form_;
    TPanel* panel_ = nullptr;
    Log log_;
};

TEST_F(KsHookTest, HooksShareOneControlHookAndTheLastAttachedGoesFirst)
{
    auto first = NewHook("first");
    auto second = NewHook("second");
    EXPECT_EQ(first->ControlHook(), second->ControlHook());
    EXPECT_EQ(first->WinControl(), panel_);
    EXPECT_EQ(Probe(), Log({"second before", "first before", "control", "second after 7", "first after 7"}));

    // Handled in the newest hook hides the message from the rest.
    auto third = NewHook("third", true);
    EXPECT_EQ(Probe(), Log({"third before"}));
    third->SetActive(false);
    EXPECT_EQ(Probe(), Log({"second before", "first before", "control", "second after 7", "first after 7"}));
}

TEST_F(KsHookTest, DeactivatingTheLastHookRestoresTheChainAtOnce)
{
    auto hook = NewHook("hook");
    TControlHook* shared = hook->ControlHook();
    ASSERT_TRUE(shared->Hooked());
    hook->SetActive(false);
    EXPECT_FALSE(shared->Hooked());
    EXPECT_EQ(hook->ControlHook(), nullptr);
    EXPECT_EQ(Probe(), Log({"control"}));
    hook->SetActive(true);
    EXPECT_EQ(Probe(), Log({"hook before", "control", "hook after 7"}));
}

TEST_F(KsHookTest, DestroyIsAlwaysPassedOnAndHooksSurviveRecreation)
{
    auto hook = NewHook("hook", true);
    ASSERT_TRUE(panel_->HandleAllocated());
    log_.clear();
    panel_->RecreateWnd();
    EXPECT_EQ(log_, Log({"hook before", "control destroy"}));
    // Still hooked on the new window.
    EXPECT_EQ(Probe(), Log({"hook before"}));
}

TEST_F(KsHookTest, FreeingTheControlClearsEveryHook)
{
    auto first = NewHook("first");
    auto second = NewHook("second");
    int before = THookList::Instance().Count();
    delete panel_;
    panel_ = nullptr;
    EXPECT_EQ(first->WinControl(), nullptr);
    EXPECT_EQ(second->WinControl(), nullptr);
    EXPECT_EQ(first->ControlHook(), nullptr);
    // The control hook is freed later, by the posted release.
    Application->ProcessMessages();
    EXPECT_EQ(THookList::Instance().Count(), before - 1);
}

TEST_F(KsHookTest, HookWithoutOwnerDropsItsControlOnAnyRemoval)
{
    TKsWindowHook hook(nullptr);
    hook.SetWinControl(panel_);
    // Told that an unrelated component goes away: an owner-less hook lets go.
    {
        TPanel transient(nullptr);
        transient.FreeNotification(&hook);
    }
    EXPECT_EQ(hook.WinControl(), nullptr);
    EXPECT_EQ(Probe(), Log({"control"}));
}

TEST_F(KsHookTest, HookExceptionReachesTheApplicationAndTheChainGoesOn)
{
    std::vector<std::string> reported;
    Application->OnException = [&](TObject*, Exception& e) { reported.push_back(e.Message); };
    auto first = NewHook("first");
    auto failing = NewHook("failing");
    failing->BeforeMessage = [](TObject*, TMessage& m, bool&) {
        if (m.Msg == WM_PROBE)
            throw Exception("Haken kaputt");
    };
    EXPECT_EQ(Probe(), Log({"first before", "control", "failing after 7", "first after 7"}));
    EXPECT_EQ(reported, std::vector<std::string>({"Haken kaputt"}));
}

TEST_F(KsHookTest, AProcedureInstalledOnTopStaysWorking)
{
    auto hook = NewHook("hook");
    TWndMethod ours = panel_->WindowProc;
    panel_->WindowProc = [this, ours](TMessage& m) {
        if (m.Msg == WM_PROBE)
            log_.push_back("foreign");
        ours(m);
    };
    hook->SetActive(false);
    // Our link stays below the foreign one and only passes messages on.
    EXPECT_EQ(Probe(), Log({"foreign", "control"}));
    // Attaching again links in once more, on top.
    hook->SetActive(true);
    EXPECT_EQ(Probe(), Log({"hook before", "foreign", "control", "hook after 7"}));
}

TEST_F(KsHookTest, AHandlerMayDetachHooksWhileAMessageRuns)
{
    auto first = NewHook("first");
    auto second = NewHook("second");
    second->BeforeMessage = [&](TObject*, TMessage& m, bool&) {
        if (m.Msg == WM_PROBE) {
            first->SetWinControl(nullptr);
            log_.push_back("second before");
        }
    };
    EXPECT_EQ(Probe(), Log({"second before", "control", "second after 7"}));
    second.reset();
    Application->ProcessMessages();
    EXPECT_EQ(Probe(), Log({"control"}));
}

TEST_F(KsHookTest, IsFormNamesTheOwnerForm)
{
    TKsWindowHook hook(form_.get());
    hook.SetIsForm(true);
    EXPECT_EQ(hook.WinControl(), form_.get());
    EXPECT_TRUE(hook.IsForm());
    EXPECT_FALSE(hook.NotIsForm());
    hook.SetWinControl(panel_);
    EXPECT_FALSE(hook.IsForm());
    EXPECT_TRUE(hook.NotIsForm());
    EXPECT_NE(hook.GetHookHandle(), nullptr);
}

} // namespace
