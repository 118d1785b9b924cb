#include "imageformats/FormatGraphic.h"

#include <algorithm>
#include <cctype>

#include "imageformats/GraphicStrings.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TFormatGraphic)

TFileFormatList* FileFormatList = nullptr;

// ---- TFormatGraphic --------------------------------------------------------

bool TFormatGraphicMeta::CanLoad(TStream&) const { return false; }

bool TFormatGraphicMeta::CanLoad(const std::string& fileName) const
{
    std::unique_ptr<TFileStream> stream;
    try {
        stream = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
    } catch (const EFOpenError&) {
        return false;
    }
    return CanLoad(*stream);
}

TFormatGraphic::TFormatGraphic() : FConverter(std::make_unique<TColorManager>()) { }

TFormatGraphic::~TFormatGraphic() = default;

bool TFormatGraphic::ReadImageProperties(TStream&, int)
{
    FProperties = TImageProperties{};
    return false;
}

void TFormatGraphic::Assign(const TPersistent* source)
{
    if (const auto* graphic = dynamic_cast<const TFormatGraphic*>(source))
        FProperties = graphic->FProperties;
    TBitmap::Assign(source);
}

void TFormatGraphic::LoadFromResourceName(HMODULE instance, const std::string& name)
{
    TResourceStream stream(instance, name, RT_RCDATA);
    LoadFromStream(stream);
}

void TFormatGraphic::LoadFromResourceID(HMODULE instance, int id)
{
    LoadFromResourceName(instance, std::to_string(id));
}

void TFormatGraphic::BeginLoad(TStream& stream)
{
    SetSize(0, 0);
    FSource = &stream;
    FStartPosition = stream.Position();
}

void TFormatGraphic::SetupBitmap(std::uint32_t width, std::uint32_t height, TPixelFormat format,
                                 const std::string& formatName)
{
    int bits = 32;
    switch (format) {
    case pf1bit: bits = 1; break;
    case pf4bit: bits = 4; break;
    case pf8bit: bits = 8; break;
    case pf15bit:
    case pf16bit: bits = 16; break;
    case pf24bit: bits = 24; break;
    case pf32bit: bits = 32; break;
    default: RaiseError(rrPixelFormat, gesInvalidColorFormat, formatName);
    }
    const std::int64_t rowBytes = (std::int64_t{width} * bits + 31) / 32 * 4;
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF || rowBytes * height > MaxPixelBytes)
        RaiseError(rrPictureSize, gesInvalidImage, formatName);
    SetPixelFormat(format);
    SetSize(static_cast<int>(width), static_cast<int>(height));
}

void TFormatGraphic::ProgressStart(const char* message)
{
    FProgressArea = Rect(0, 0, Width(), 1);
    Progress(this, psStarting, 0, false, FProgressArea, message);
}

void TFormatGraphic::ProgressRow(std::uint32_t row, std::uint32_t rows)
{
    const int percent = rows == 0 ? 100 : gfx::MulDiv(static_cast<int>(row), 100, static_cast<int>(rows));
    Progress(this, psRunning, static_cast<std::uint8_t>(std::clamp(percent, 0, 100)), true, FProgressArea, "");
    FProgressArea.Top += 1;
    FProgressArea.Bottom += 1;
}

void TFormatGraphic::ProgressEnd() { Progress(this, psEnding, 0, false, FProgressArea, ""); }

void TFormatGraphic::ReadOrFail(TStream& stream, void* buffer, std::int64_t count, const std::string& formatName)
{
    if (count <= 0)
        return;
    if (stream.Read(buffer, count) != count)
        RaiseError(rrTruncated, gesStreamReadError, formatName);
}

void TFormatGraphic::RaiseError(TRefusalReason reason, const char* message, const std::string& formatName)
{
    throw EImageRefused(reason, Format(message, formatName));
}

// ---- TFileFormatList -------------------------------------------------------

namespace {

int CompareText(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i])),
                  cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// A list of texts, each with the pattern text of its entry; sorted lists
// compare without regard to case and keep the first of equal texts.
class FilterList {
public:
    explicit FilterList(bool sorted) : sorted_(sorted) { }
    void Add(const std::string& text, const std::string& patterns = {})
    {
        if (!sorted_) {
            items_.emplace_back(text, patterns);
            return;
        }
        auto at = std::lower_bound(items_.begin(), items_.end(), text, [](const auto& item, const std::string& t) {
            return CompareText(item.first, t) < 0;
        });
        if (at != items_.end() && CompareText(at->first, text) == 0)
            return;
        items_.insert(at, {text, patterns});
    }
    bool Empty() const { return items_.empty(); }
    const std::vector<std::pair<std::string, std::string>>& Items() const { return items_; }
    // "*.a; *.b" of the texts.
    std::string Patterns() const
    {
        std::string result;
        for (const auto& item : items_)
            result += (result.empty() ? "*." : "; *.") + item.first;
        return result;
    }

private:
    bool sorted_;
    std::vector<std::pair<std::string, std::string>> items_;
};

std::string AfterFirstDot(const std::string& text)
{
    const std::size_t dot = text.find('.');
    return dot == std::string::npos ? text : text.substr(dot + 1);
}

} // namespace

TFileFormatList::TFileFormatList() = default;

TFileFormatList::~TFileFormatList() { Clear(); }

TFileFormatList::ClassRecord& TFileFormatList::ClassRecordOf(TGraphicClass graphicClass)
{
    const int index = FindGraphicClass(graphicClass);
    if (index >= 0)
        return *classes_[index];
    classes_.push_back(std::make_unique<ClassRecord>());
    classes_.back()->GraphicClass = graphicClass;
    return *classes_.back();
}

// One extension less for the class; the last one takes the class out of the
// list and out of the platform.
void TFileFormatList::Release(ClassRecord* record)
{
    if (--record->Count > 0)
        return;
    TPicture::UnregisterGraphicClass(record->GraphicClass);
    std::erase_if(classes_, [&](const auto& c) { return c.get() == record; });
}

void TFileFormatList::RegisterFileFormat(const std::string& extension, const std::string& commonDescription,
                                         const std::string& individualDescription, TFormatTypes formatTypes,
                                         bool replace, TGraphicClass graphicClass)
{
    if (extension.empty() || !graphicClass)
        return;
    const int index = FindExtension(extension);
    ExtensionRecord* record = nullptr;
    if (index < 0) {
        extensions_.push_back(std::make_unique<ExtensionRecord>());
        record = extensions_.back().get();
        record->Extension = extension;
        record->Description = individualDescription;
        record->FormatTypes = formatTypes;
    } else {
        if (!replace)
            throw EInvalidGraphic(Format(gesRegistration, extension));
        record = extensions_[index].get();
    }
    if (!record->Class || record->Class->GraphicClass != graphicClass) {
        ClassRecord* old = record->Class;
        ClassRecord& owner = ClassRecordOf(graphicClass);
        if (!commonDescription.empty())
            owner.Description = commonDescription;
        ++owner.Count;
        record->Class = &owner;
        if (old)
            Release(old);
    }
    const std::string& description = record->Description.empty() ? record->Class->Description : record->Description;
    TPicture::RegisterFileFormat(record->Extension, description, graphicClass);
}

void TFileFormatList::UnregisterFileFormat(const std::string& extension, TGraphicClass graphicClass)
{
    if (!extension.empty()) {
        const int index = FindExtension(extension);
        if (index < 0)
            return;
        ClassRecord* owner = extensions_[index]->Class;
        extensions_.erase(extensions_.begin() + index);
        Release(owner);
        return;
    }
    const int classIndex = FindGraphicClass(graphicClass);
    if (classIndex < 0)
        return;
    ClassRecord* owner = classes_[classIndex].get();
    std::erase_if(extensions_, [&](const auto& e) { return e->Class == owner; });
    owner->Count = 1;
    Release(owner);
}

void TFileFormatList::Clear()
{
    for (const auto& record : classes_)
        TPicture::UnregisterGraphicClass(record->GraphicClass);
    classes_.clear();
    extensions_.clear();
}

int TFileFormatList::FindExtension(const std::string& extension) const
{
    if (extension.empty())
        return -1;
    for (std::size_t i = 0; i < extensions_.size(); ++i)
        if (CompareText(extensions_[i]->Extension, extension) == 0)
            return static_cast<int>(i);
    return -1;
}

int TFileFormatList::FindGraphicClass(TGraphicClass graphicClass) const
{
    for (std::size_t i = 0; i < classes_.size(); ++i)
        if (classes_[i]->GraphicClass == graphicClass)
            return static_cast<int>(i);
    return -1;
}

std::string TFileFormatList::GetDescription(TGraphicClass graphicClass) const
{
    const int index = FindGraphicClass(graphicClass);
    return index < 0 ? std::string() : classes_[index]->Description;
}

void TFileFormatList::GetExtensionList(TStringList& list) const
{
    list.Clear();
    for (const auto& record : extensions_)
        list.Add(record->Extension);
}

std::string TFileFormatList::GetGraphicFilter(TFormatTypes formatTypes, TFilterSortType sortType,
                                              TFilterOptions options, TGraphicClass graphicClass) const
{
    if (formatTypes.Empty())
        formatTypes = {ftAnimation, ftLayered, ftMultiImage, ftRaster, ftVector};
    const bool sortDescriptions = sortType == fstBoth || sortType == fstDescription;
    const bool sortExtensions = sortType == fstBoth || sortType == fstExtension;
    const bool includeAll = options.Contains(foIncludeAll);
    FilterList descriptions(sortDescriptions), all(sortExtensions);

    if (options.Contains(foCompact)) {
        for (const auto& owner : classes_) {
            if (graphicClass && owner->GraphicClass != graphicClass)
                continue;
            FilterList entry(sortExtensions);
            for (const auto& record : extensions_) {
                if (record->Class != owner.get() || !record->FormatTypes.Intersects(formatTypes))
                    continue;
                entry.Add(record->Extension);
                if (includeAll)
                    all.Add(record->Extension);
            }
            if (!entry.Empty())
                descriptions.Add(owner->Description, entry.Patterns());
        }
    } else {
        for (const auto& record : extensions_) {
            if (graphicClass && record->Class->GraphicClass != graphicClass)
                continue;
            if (!record->FormatTypes.Intersects(formatTypes))
                continue;
            const std::string& description = record->Description.empty() ? record->Class->Description
                                                                         : record->Description;
            descriptions.Add(description, "*." + record->Extension);
            if (includeAll)
                all.Add(record->Extension);
        }
    }

    std::string result;
    if (includeAll && !all.Empty())
        result = std::string(gesAllImages) + "|" + all.Patterns() + "|";
    const bool withExtension = options.Contains(foIncludeExtension);
    for (const auto& [description, patterns] : descriptions.Items()) {
        result += description;
        if (withExtension)
            result += " (" + patterns + ")";
        result += "|" + patterns + "|";
    }
    if (!result.empty())
        result.pop_back();
    return result;
}

TGraphicClass TFileFormatList::GraphicFromExtension(const std::string& text) const
{
    const int index = FindExtension(AfterFirstDot(text));
    return index < 0 ? nullptr : extensions_[index]->Class->GraphicClass;
}

TGraphicClass TFileFormatList::GraphicFromContent(TStream& stream) const
{
    const std::int64_t position = stream.Position();
    for (const auto& record : classes_) {
        const auto* reader = dynamic_cast<const TFormatGraphicMeta*>(record->GraphicClass);
        if (!reader)
            continue;
        const bool found = reader->CanLoad(stream);
        stream.SetPosition(position);
        if (found)
            return record->GraphicClass;
    }
    return nullptr;
}

TGraphicClass TFileFormatList::GraphicFromContent(const std::string& fileName) const
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    return GraphicFromContent(stream);
}
