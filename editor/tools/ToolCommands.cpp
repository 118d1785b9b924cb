// Puts the tools' windows behind the main window's commands when the
// program starts.

#include "editor/app/Config.h"
#include "editor/app/ToolHooks.h"
#include "editor/controls/SymbolChkList.h"
#include "editor/tools/CDAssistentUnit.h"
#include "editor/tools/ConvertAssistentUnit.h"
#include "editor/tools/HtmlAssistentUnit.h"
#include "editor/tools/SoundAssistentUnit.h"

namespace {

void OpenHTMLAssistent(TAAForm&)
{
    THTMLAssistent form(nullptr);
    form.ShowModal();
}

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

// Picture mode works on the main window's list: its show document, its
// items and their refreshing.
void OpenCDAssistent(TAAForm& form)
{
    TCDAssistentDlg dialog(nullptr);
    dialog.BuildShowFromList = [&form] { return form.BuildShowFromList(); };
    dialog.ClearCurrentShow = [&form] { form.Document->Clear(); };
    dialog.PictureListUpdate = [&form](bool Begin) {
        if (Begin)
            form.PicListBox->Items().BeginUpdate();
        else
            form.PicListBox->Items().EndUpdate();
    };
    dialog.UpdateAllListItems = [&form] { form.UpdateAllListItems(); };
    dialog.RemovePicture = [&form](int Index) { form.RemoveItem(Index); };
    dialog.ShowModal();
}

void OpenCDListAssistent(TVisteloList& list)
{
    TCDAssistentDlg dialog(nullptr);
    dialog.Mode = 1;
    dialog.VisteloList = &list;
    dialog.ShowModal();
}

const bool registered = [] {
    ToolHooks::HTMLAssistent() = &OpenHTMLAssistent;
    ToolHooks::ConvertAssistent() = &OpenConvertAssistent;
    ToolHooks::SoundAssistent() = &OpenSoundAssistent;
    ToolHooks::CDAssistent() = &OpenCDAssistent;
    ToolHooks::CDListAssistent() = &OpenCDListAssistent;
    return true;
}();

} // namespace
