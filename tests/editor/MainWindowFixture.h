#pragma once

// The editor's main window on the offscreen platform with scripted dialogs,
// in a scratch world: its home folder (where starting and closing write the
// player's ini, which the player's tests read at the same time) is the
// scratch folder, and the start step has run before the test begins.

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "tests/editor/EditorScratch.h"

#include <gtest/gtest.h>

#include <string>

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        ui::BeginDialogScript();
        savedHomeDir_ = Setup::HomeDir;
        Setup::HomeDir = Scratch.Path("");
        Form = new TAAForm(nullptr);
        BeforeStart();
        // The start step runs at once, before the test fills the list.
        Form->StartTimerTimer(nullptr);
        ui::ClearRecordedDialogs();
    }
    void TearDown() override
    {
        delete Form;
        Setup::HomeDir = savedHomeDir_;
        ui::EndDialogScript();
    }
    // What a test wires into the new window before its start step runs.
    virtual void BeforeStart() { }

    EditorScratch Scratch;
    TAAForm* Form = nullptr;

private:
    std::string savedHomeDir_;
};
