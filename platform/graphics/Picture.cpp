#include "platform/graphics/Picture.h"

#include <algorithm>
#include <mutex>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Files.h"

IMPLEMENT_CLASS(TPicture)

namespace {

std::string NormalizedExtension(const std::string& extension)
{
    std::string ext = extension.substr(extension.empty() || extension[0] != '.' ? 0 : 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return ext;
}

// The formats the platform knows by itself; picture libraries add theirs.
std::vector<gfx::TFileFormat> BuiltInFormats()
{
    return {
        {"bmp", "Bitmaps", TBitmap::StaticClass()},
        {"dib", "Bitmaps", TBitmap::StaticClass()},
        {"rle", "Bitmaps", TBitmap::StaticClass()},
        {"jpg", "JPEG Image File", TJPEGImage::StaticClass()},
        {"jpeg", "JPEG Image File", TJPEGImage::StaticClass()},
        {"jpe", "JPEG Image File", TJPEGImage::StaticClass()},
        {"jfif", "JPEG Image File", TJPEGImage::StaticClass()},
        {"ico", "Icons", TIcon::StaticClass()},
        {"wmf", "Metafiles", TMetafile::StaticClass()},
        {"emf", "Enhanced Metafiles", TMetafile::StaticClass()},
    };
}

// Registrations happen at start-up and shut-down; pictures may be loaded by
// worker threads, so every access is locked.
class FormatRegistry {
public:
    static FormatRegistry& Instance()
    {
        static FormatRegistry registry;
        return registry;
    }

    void Register(const std::string& extension, const std::string& description, TGraphicClass graphicClass)
    {
        const std::string ext = NormalizedExtension(extension);
        if (ext.empty() || !graphicClass)
            return;
        std::lock_guard guard(lock_);
        auto found = Find(ext);
        if (found != formats_.end())
            *found = {ext, description, graphicClass};
        else
            formats_.push_back({ext, description, graphicClass});
    }

    void Unregister(TGraphicClass graphicClass)
    {
        std::lock_guard guard(lock_);
        std::erase_if(formats_, [&](const gfx::TFileFormat& f) { return f.GraphicClass->InheritsFrom(graphicClass); });
    }

    std::vector<gfx::TFileFormat> Formats()
    {
        std::lock_guard guard(lock_);
        return formats_;
    }

    TGraphicClass ClassOf(const std::string& extension)
    {
        std::lock_guard guard(lock_);
        auto found = Find(NormalizedExtension(extension));
        return found == formats_.end() ? nullptr : found->GraphicClass;
    }

private:
    FormatRegistry() : formats_(BuiltInFormats()) { }

    std::vector<gfx::TFileFormat>::iterator Find(const std::string& ext)
    {
        return std::find_if(formats_.begin(), formats_.end(),
                            [&](const gfx::TFileFormat& f) { return f.Extension == ext; });
    }

    std::mutex lock_;
    std::vector<gfx::TFileFormat> formats_;
};

std::vector<gfx::TFileFormat> FormatsOfClass(TGraphicClass graphicClass)
{
    std::vector<gfx::TFileFormat> formats = FormatRegistry::Instance().Formats();
    std::erase_if(formats, [&](const gfx::TFileFormat& f) { return !f.GraphicClass->InheritsFrom(graphicClass); });
    return formats;
}

std::string JoinedPatterns(const std::vector<gfx::TFileFormat>& formats)
{
    std::string patterns;
    for (const gfx::TFileFormat& f : formats)
        patterns += (patterns.empty() ? "*." : ";*.") + f.Extension;
    return patterns;
}

} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Hold(std::unique_ptr<TGraphic> graphic)
{
    graphic_ = std::move(graphic);
    if (graphic_) {
        graphic_->OnChange = [this](TObject*) { Changed(this); };
        graphic_->OnProgress = [this](TObject* sender, TProgressStage stage, std::uint8_t percent, bool redraw,
                                      const TRect& r,
                                      const std::string& msg) { Progress(sender, stage, percent, redraw, r, msg); };
    }
    Changed(this);
}

void TPicture::SetGraphic(const TGraphic* graphic)
{
    if (graphic == graphic_.get() && graphic)
        return;
    if (!graphic) {
        Hold(nullptr);
        return;
    }
    auto copy = graphic->ClassType()->CreateAs<TGraphic>();
    copy->Assign(graphic);
    Hold(std::move(copy));
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic) { Hold(std::move(graphic)); }

TBitmap& TPicture::Bitmap()
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get()))
        return *bitmap;
    Hold(std::make_unique<TBitmap>());
    return static_cast<TBitmap&>(*graphic_);
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const std::string& fileName)
{
    const std::string ext = ExtractFileExt(fileName);
    const TGraphicClass graphicClass = gfx::GraphicClassOfExtension(ext);
    if (!graphicClass)
        throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
    auto graphic = graphicClass->CreateAs<TGraphic>();
    graphic->OnProgress = [this](TObject* sender, TProgressStage stage, std::uint8_t percent, bool redraw,
                                 const TRect& r,
                                 const std::string& msg) { Progress(sender, stage, percent, redraw, r, msg); };
    graphic->LoadFromFile(fileName);
    Hold(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName)
{
    if (graphic_)
        graphic_->SaveToFile(fileName);
}

void TPicture::Assign(const TPersistent* source)
{
    if (!source) {
        SetGraphic(nullptr);
    } else if (const auto* picture = dynamic_cast<const TPicture*>(source)) {
        SetGraphic(picture->Graphic());
    } else if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        SetGraphic(graphic);
    } else {
        TPersistent::Assign(source);
    }
}

void TPicture::AssignTo(TPersistent* dest) const
{
    if (graphic_ && dynamic_cast<TGraphic*>(dest)) {
        dest->Assign(graphic_.get());
        return;
    }
    TPersistent::AssignTo(dest);
}

void TPicture::Changed(TObject*)
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow, const TRect& r,
                        const std::string& msg)
{
    if (OnProgress)
        OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphicClass)
{
    FormatRegistry::Instance().Register(extension, description, graphicClass);
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass)
{
    FormatRegistry::Instance().Unregister(graphicClass);
}

namespace gfx {

std::vector<TFileFormat> RegisteredFileFormats() { return FormatRegistry::Instance().Formats(); }

TGraphicClass GraphicClassOfExtension(const std::string& extension)
{
    return FormatRegistry::Instance().ClassOf(extension);
}

std::string GraphicFilter(TGraphicClass graphicClass)
{
    const std::vector<TFileFormat> formats = FormatsOfClass(graphicClass);
    if (formats.empty())
        return {};
    const std::string all = JoinedPatterns(formats);
    std::string filter = "Alle (" + all + ")|" + all;
    for (const TFileFormat& f : formats) {
        const std::string pattern = "*." + f.Extension;
        filter += "|" + f.Description + " (" + pattern + ")|" + pattern;
    }
    return filter;
}

std::string GraphicExtension(TGraphicClass graphicClass)
{
    const std::vector<TFileFormat> formats = FormatsOfClass(graphicClass);
    return formats.empty() ? std::string() : formats.front().Extension;
}

std::string GraphicFileMask(TGraphicClass graphicClass) { return JoinedPatterns(FormatsOfClass(graphicClass)); }

} // namespace gfx
