#include "wallpaper/WallPaperShow.h"

#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "platform/ui/DesktopWallpaper.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "player/WinBackground.h"
#include "wallpaper/WallPaperSetup.h"

#include <algorithm>

namespace {

// A text with its "%s" replaced by Value.
std::string Filled(std::string Text, const std::string& Value)
{
    const std::size_t at = Text.find("%s");
    return at == std::string::npos ? Text : Text.replace(at, 2, Value);
}

} // namespace

TWallPaperShow::TWallPaperShow(TComponent* Owner)
    : SetAsWinBackground(WinBackground::SetAsWinBackground), show_(std::make_unique<TVistelo>())
{
    WallPaperTimer = new TTimer(Owner);
    WallPaperTimer->SetEnabled(false);
    WallPaperTimer->OnTimer = [this](TObject*) { WallPaperTimerTimer(true); };
}

TWallPaperShow::~TWallPaperShow()
{
    WallPaperTimer->OnTimer = nullptr;
    WallPaperTimer->SetEnabled(false);
}

void TWallPaperShow::StartShow()
{
    using namespace WallPaperSetup;
    if (ShowFilename.empty())
        return;
    if (show_->LoadFromFile(ShowFilename, false, true) != dlrOK) {
        ui::ShowMessage(Filled(WallPaperShow::LoadFailed, ShowFilename));
        return;
    }
    Setup::VisteloFilename = ShowFilename;
    if (ShowPos >= 0 && ShowPos < show_->Count)
        show_->CurrentIndex = ShowPos;
    SetTimerInterval();
    WallPaperTimer->SetEnabled(true);
}

void TWallPaperShow::SetTimerInterval()
{
    using namespace WallPaperSetup;
    const std::int32_t interval = UseUserInterval ? UserInterval : show_->Pause;
    // No interval (0) keeps the timer from firing at all.
    WallPaperTimer->SetInterval(static_cast<unsigned>(std::max<std::int32_t>(interval, 0)));
}

void TWallPaperShow::WallPaperTimerTimer(bool FromTimer)
{
    if (paused_ && FromTimer)
        return;
    if (!HasPictures())
        return;
    if (TPicInfoObject* pic = show_->Dia()) {
        Setup::BackgroundSaveChange = true;
        if (!SetAsWinBackground(pic) && ui::LastWallpaperRefused() && !refusalTold_) {
            refusalTold_ = true;
            if (OnDesktopRefused)
                OnDesktopRefused();
        }
    }
    show_->Next();
    WallPaperSetup::ShowPos = show_->CurrentIndex;
}

void TWallPaperShow::SetPaused(bool Value)
{
    paused_ = Value;
    WallPaperTimer->SetEnabled(!Value);
}

bool TWallPaperShow::HasPictures() const { return show_->Count > 0; }
