#pragma once

// Shared set-up of the UI tests: the offscreen window system, scripted
// dialogs, helpers that feed synthetic window-system events to a control's
// window (through the layer's test driver) and let the loop turn, and actions
// posted to run once a (modal) loop handles messages.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "platform/graphics/Surface.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/TestDriver.h"
#include "platform/ui/WindowSurface.h"

class UiTest : public ::testing::Test {
protected:
    using TKey = ui::test::TKey;
    using TKeyAction = ui::test::TKeyAction;
    using TKeyModifiers = ui::test::TKeyModifiers;
    using TMouseAction = ui::test::TMouseAction;

    void SetUp() override
    {
        ui::EnsurePlatform();
        ui::BeginDialogScript();
        Application->OnException = nullptr;
        Application->OnMessage = nullptr;
    }

    void TearDown() override
    {
        // Actions still queued would run on forms that are gone.
        if (postedWindow_)
            ui::DeallocateHWnd(postedWindow_);
        postedWindow_ = nullptr;
        postedActions_.clear();
        for (TCustomForm* form : forms_)
            delete form;
        forms_.clear();
        Turn();
        // Nothing a test left queued reaches the next one.
        TMsg msg;
        while (ui::PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        ui::EndDialogScript();
        ui::SetVirtualTimeForTests(false);
        rtl::ResetClock();
    }

    // A form the fixture frees after the test.
    TForm* NewForm(int width = 200, int height = 150)
    {
        auto* form = new TForm(nullptr);
        form->SetBounds(10, 10, width, height);
        forms_.push_back(form);
        return form;
    }

    static void Turn() { Application->ProcessMessages(); }

    // Runs fn when the loop next handles messages: a hidden window's handler
    // runs the action the posted message names. Inside ShowModal that is the
    // modal loop, with the form up.
    void Later(std::function<void()> fn)
    {
        if (!postedWindow_)
            postedWindow_ = ui::AllocateHWnd([this](TMessage& m) {
                if (m.Msg == WM_USER)
                    postedActions_.at(m.WParam)();
            });
        // A deque: an action that posts the next one must not move itself.
        postedActions_.push_back(std::move(fn));
        ui::PostMessage(postedWindow_, WM_USER, postedActions_.size() - 1, 0);
    }

    // The form of type F that is shown modally now, or nullptr.
    template <class F> static F* ModalForm()
    {
        for (int i = 0; i < Screen->FormCount(); ++i) {
            auto* form = dynamic_cast<F*>(Screen->Forms(i));
            if (form && form->Modal())
                return form;
        }
        return nullptr;
    }

    // Runs during on the modal form of type F from inside its modal loop.
    template <class F> void LaterOnModalForm(std::function<void(F&)> during)
    {
        Later([during] {
            F* form = ModalForm<F>();
            ASSERT_NE(form, nullptr) << "the form is not shown modally";
            during(*form);
        });
    }

    static void SendKey(TWinControl* control, TKeyAction action, TKey key, TKeyModifiers modifiers = {},
                        const std::string& text = {}, bool autoRepeat = false)
    {
        ui::test::SendKey(control, action, key, modifiers, text, autoRepeat);
    }

    // State: the buttons held after the event and the modifier keys.
    static void SendMouse(TWinControl* control, TMouseAction action, TPoint pos, TMouseButton button, TShiftState state)
    {
        ui::test::SendMouse(control, action, pos, button, state);
    }

    static void Click(TWinControl* control, TPoint pos)
    {
        SendMouse(control, TMouseAction::Press, pos, mbLeft, {ssLeft});
        SendMouse(control, TMouseAction::Release, pos, mbLeft, {});
    }

    // The colour of a pixel of the control's back buffer.
    static TColor BackBufferPixel(TWinControl* control, int x, int y)
    {
        std::uint32_t rgb = gfx::ReadPixel(control->WindowSurface()->PixelBuffer(), x, y);
        return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }

private:
    std::vector<TCustomForm*> forms_;
    HWND postedWindow_ = nullptr;
    std::deque<std::function<void()>> postedActions_;
};
