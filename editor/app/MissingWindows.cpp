#include "editor/app/MissingWindows.h"

#include "platform/ui/Dialogs.h"

namespace MissingWindows {

std::string NotAvailableText(TMissingWindow Window)
{
    switch (Window) {
    case mwShowOptions: return "Die Vistelo-Einstellungen sind noch nicht verfügbar.";
    }
    return "Dieses Fenster ist noch nicht verfügbar.";
}

void SayNotAvailable(TMissingWindow Window) { ui::ShowMessage(NotAvailableText(Window)); }

} // namespace MissingWindows
