#include "editor/app/WinBackground.h"

#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/VisteloSetup.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "player/WinBackground.h"

#include <memory>
#include <utility>

namespace EditorWallpaper {

namespace {

TSetter& CurrentSetter()
{
    static TSetter setter;
    return setter;
}

std::string Filled(std::string Text, const std::string& Value)
{
    const std::size_t at = Text.find("%s");
    return at == std::string::npos ? Text : Text.replace(at, 2, Value);
}

} // namespace

bool SetAsWinBackground(TPicInfoObject* Pic)
{
    try {
        return WinBackground::SetAsWinBackground(Pic);
    } catch (const EOutOfMemory&) {
        return false;
    }
}

void SetRandomWallpaperFromShow(const std::string& FileName)
{
    VisteloSetup::LoadPreferences();
    if (!rtl::FileExists(FileName)) {
        ui::ShowMessage(Filled(ShowNotFound, FileName));
        return;
    }
    Setup::VisteloFilename = FileName;
    const auto show = std::make_unique<TVistelo>();
    if (show->LoadFromFile(FileName, false, true) != dlrOK) {
        ui::ShowMessage(Filled(ShowNotLoaded, FileName));
        return;
    }
    show->SetRandomOrder(true);
    const TSetter set = CurrentSetter() ? CurrentSetter() : TSetter(SetAsWinBackground);
    for (std::int32_t position = 0; position < show->Count; ++position) {
        TPicInfoObject* pic = show->GetPicInfo(show->GetOrder(position));
        if (pic && pic->ShowImage && set(pic))
            return;
    }
}

TSetter SetSetter(TSetter Setter)
{
    TSetter previous = std::move(CurrentSetter());
    CurrentSetter() = std::move(Setter);
    return previous;
}

} // namespace EditorWallpaper
