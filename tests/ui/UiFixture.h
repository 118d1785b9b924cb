#pragma once

// Shared set-up of the UI tests: the offscreen window system, scripted
// dialogs, and helpers that feed synthetic window-system events to a
// control's widget and let the loop turn.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/rtl/Clock.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Surface.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        ui::BeginDialogScript();
        Application->OnException = nullptr;
        Application->OnMessage = nullptr;
    }

    void TearDown() override
    {
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

    static void SendKey(TWinControl* control, QEvent::Type type, int key, Qt::KeyboardModifiers mods = {},
                        const QString& text = {}, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, mods, text, autoRepeat);
        QApplication::sendEvent(ui::WidgetOf(control), &event);
    }

    static void SendMouse(TWinControl* control, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                          Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = {})
    {
        QWidget* w = ui::WidgetOf(control);
        QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, mods);
        QApplication::sendEvent(w, &event);
    }

    static void Click(TWinControl* control, QPoint pos)
    {
        SendMouse(control, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
        SendMouse(control, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
    }

    // The colour of a pixel of the control's back buffer.
    static TColor BackBufferPixel(TWinControl* control, int x, int y)
    {
        QRgb rgb = control->WindowSurface()->BackBuffer().pixel(x, y);
        return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
    }

private:
    std::vector<TCustomForm*> forms_;
};
