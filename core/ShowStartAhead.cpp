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

std::unique_ptr<TShowStartAhead> Read(const std::string& FileName, std::optional<TSize> Screen)
{
    auto read = std::make_unique<TShowStartAhead>();
    read->Show = std::make_unique<TVistelo>();
    if (read->Show->LoadFromFile(FileName, false, false) != dlrOK) {
        read->Show.reset();
        return read;
    }
    if (Screen)
        read->FirstPicture = StartFirstPicture(*read->Show, rtl::ExpandFileName(FileName),
                                               ExpectedPictureArea(*read->Show, *Screen));
    return read;
}

void Prepare(const std::string& FileName, std::optional<TSize> Screen)
{
    std::unique_ptr<TShowStartAhead> prepared;
    try {
        prepared = Read(FileName, Screen);
    } catch (const std::exception&) {
        return; // the start reads the file again and reports what it finds
    }
    if (!prepared->Show)
        return;
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
