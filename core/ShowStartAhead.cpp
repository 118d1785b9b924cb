#include "core/ShowStartAhead.h"

#include "core/PictureAhead.h"
#include "core/ShowStepper.h"
#include "core/VisteloNPics.h"
#include "platform/rtl/Files.h"

#include <exception>
#include <mutex>
#include <utility>

TShowStartAhead::TShowStartAhead() = default;
TShowStartAhead::~TShowStartAhead() = default;

namespace ShowStartAhead {
namespace {

struct TSlot {
    std::mutex Lock;
    std::string FileName;
    std::unique_ptr<TShowStartAhead> Prepared;
};

TSlot& Slot()
{
    static TSlot slot;
    return slot;
}

} // namespace

void Prepare(const std::string& FileName, std::optional<TSize> Screen)
{
    auto prepared = std::make_unique<TShowStartAhead>();
    try {
        prepared->Show = std::make_unique<TVistelo>();
        if (prepared->Show->LoadFromFile(FileName, false, false) != dlrOK)
            return;
        if (Screen)
            prepared->FirstPicture = StartFirstPicture(*prepared->Show, rtl::ExpandFileName(FileName),
                                                       ExpectedPictureArea(*prepared->Show, *Screen));
    } catch (const std::exception&) {
        return; // the start reads the file again and reports what it finds
    }
    const std::lock_guard<std::mutex> lock(Slot().Lock);
    Slot().FileName = FileName;
    Slot().Prepared = std::move(prepared);
}

std::unique_ptr<TShowStartAhead> Claim(const std::string& FileName)
{
    const std::lock_guard<std::mutex> lock(Slot().Lock);
    if (Slot().FileName != FileName)
        return nullptr;
    Slot().FileName.clear();
    return std::move(Slot().Prepared);
}

TSize ExpectedPictureArea(const TVistelo& Show, TSize Screen)
{
    if (Show.StartFullScreen)
        return Screen;
    return {Screen.cx / 10 * 8, Screen.cy / 10 * 8};
}

std::unique_ptr<TPictureAhead> StartFirstPicture(TVistelo& Show, const std::string& ShowFile, TSize Area)
{
    TShowStepper probe; // from the show's start, as the playback takes it over
    probe.TakeOver(&Show, false);
    return TPictureAhead::StartForSlide(Show, probe.FindNextPicNr(), ShowFile, Area.cx, Area.cy);
}

} // namespace ShowStartAhead
