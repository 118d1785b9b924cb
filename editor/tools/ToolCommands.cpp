// Puts the tools' windows behind the main window's commands when the
// program starts.

#include "editor/app/ToolHooks.h"
#include "editor/tools/ConvertAssistentUnit.h"
#include "editor/tools/SoundAssistentUnit.h"

namespace {

// The main window redraws its list afterwards.
void OpenConvertAssistent(TAAForm&)
{
    TConvertAssistentForm form(nullptr);
    form.ShowModal();
}

// The main window shows the current picture again afterwards.
void OpenSoundAssistent(TAAForm&)
{
    TSoundAssistentForm form(nullptr);
    form.ShowModal();
}

const bool registered = [] {
    ToolHooks::ConvertAssistent() = &OpenConvertAssistent;
    ToolHooks::SoundAssistent() = &OpenSoundAssistent;
    return true;
}();

} // namespace
