#include "core/PictureAhead.h"

#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Picture.h"

#include <system_error>
#include <utility>

std::string SlidePictureFile(const TPicInfoObject& Entry, const std::string& ShowFile)
{
    const std::string found = PictureLoading::RelFileName(Entry.FileName, ShowFile);
    return found.empty() ? Entry.FileName : found;
}

TPictureAhead::TPictureAhead(std::int32_t Index, std::string Name) : index_(Index), name_(std::move(Name)) { }

TPictureAhead::~TPictureAhead() = default;

std::unique_ptr<TPictureAhead> TPictureAhead::StartForSlide(const TVistelo& Show, std::int32_t Index,
                                                            const std::string& ShowFile, int AreaWidth, int AreaHeight)
{
    const TPicInfoObject* entry = Show.GetPicInfo(Index);
    if (!entry || !entry->ShowImage || entry->FileName.empty())
        return nullptr;
    // Found here, with the settings it depends on: the worker reads no shared
    // state. A picture not found is left to the step, which reports it.
    const std::string file = PictureLoading::RelFileName(entry->FileName, ShowFile);
    if (file.empty())
        return nullptr;
    std::unique_ptr<TPictureAhead> ahead(new TPictureAhead(Index, file));
    const TPictureLoadOptions options = PictureLoading::SlideLoadOptions(*entry, AreaWidth, AreaHeight);
    const bool speedUpJpeg = Setup::SpeedUpJPEGPreview;
    try {
        ahead->loaded_ = std::async(std::launch::async, [file, options, speedUpJpeg] {
            TLoaded loaded;
            loaded.Picture = std::make_unique<TPicture>();
            loaded.Error = PictureLoading::DecodePictureFile(file, *loaded.Picture, options, speedUpJpeg,
                                                             loaded.Decoded);
            return loaded;
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return ahead;
}

bool TPictureAhead::IsFor(std::int32_t Index, const std::string& Name) const
{
    return Index == index_ && Name == name_;
}

void TPictureAhead::Take(std::int32_t Index, const std::string& Name, const TPictureLoadOptions& Options,
                         std::unique_ptr<TPicture>& Picture)
{
    Picture.reset();
    if (!IsFor(Index, Name) || !loaded_.valid())
        return;
    TLoaded loaded = loaded_.get();
    // A file that failed is tried again by the caller, which reports it.
    if (loaded.Error != leOK || !loaded.Decoded || !PictureLoading::DecodesAlike(*loaded.Decoded, Options))
        return;
    Setup::OrigWidth = loaded.Decoded->Original.cx;
    Setup::OrigHeight = loaded.Decoded->Original.cy;
    PictureLoading::PrepareForDrawing(*loaded.Picture);
    Picture = std::move(loaded.Picture);
}
