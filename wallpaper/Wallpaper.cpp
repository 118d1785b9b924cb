// The wallpaper program: one instance per user, no window of its own, an
// icon in the notification area; "/C" (or "-C") opens only the options. The
// end of the session ends it as its menu does, the settings saved.

#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"
#include "wallpaper/OnlyStartOnce.h"
#include "wallpaper/SessionEnd.h"
#include "wallpaper/WallPaperUnit.h"
#include "widgets/Parameters.h"

#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const OnlyStartOnce::TInstanceLock instance(OnlyStartOnce::LockFileName());
    if (instance.OtherInstanceRuns())
        return 0;
    // Before the toolkit starts its threads, which must not take the signals.
    SessionEnd::WatchForSessionEnd([] { Application->Terminate(); });
    rtl::Randomize();
    Parameters::SetPlatformArguments(std::vector<std::string>(argv, argv + argc));
    Application->Initialize();
    Application->Title = WallPaperUnit::Title;
    try {
        // The form stays hidden: the loop runs without showing it.
        auto* form = new TWallPaperForm(Application, Parameters::Param('C'));
        Application->SetMainForm(form);
        while (!Application->Terminated())
            Application->HandleMessage();
        delete form;
    } catch (const std::exception& e) {
        Application->ShowException(e);
        return 1;
    }
    return 0;
}
