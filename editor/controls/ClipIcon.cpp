#include "editor/controls/ClipIcon.h"

#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Clipboard.h"

namespace ClipIcon {

UINT IconClipboardFormat = 0;

namespace {

constexpr size_t HeaderSize = 6;
constexpr size_t EntrySize = 16;
constexpr std::uint16_t IconType = 1;

[[noreturn]] void Invalid(const std::string& why) { throw EInvalidGraphic("Invalid icon: " + why); }

std::vector<TIconDirEntry> ReadDirectory(const std::vector<std::uint8_t>& bytes)
{
    const size_t count = rtl::GetLE16(bytes.data() + 4);
    if (count == 0)
        Invalid("the file holds no image");
    if (bytes.size() < HeaderSize + count * EntrySize)
        Invalid("the directory is truncated");
    std::vector<TIconDirEntry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const std::uint8_t* record = bytes.data() + HeaderSize + i * EntrySize;
        TIconDirEntry& entry = entries[i];
        entry.Width = record[0];
        entry.Height = record[1];
        entry.ColorCount = rtl::GetLE16(record + 2);
        entry.Planes = rtl::GetLE16(record + 4);
        entry.BitCount = rtl::GetLE16(record + 6);
        entry.BytesInRes = rtl::GetLE32(record + 8);
        entry.ImageOffset = rtl::GetLE32(record + 12);
    }
    return entries;
}

// The chosen image as an icon file of its own, so the icon class reads it
// (and checks its bitmap) like any other file.
std::vector<std::uint8_t> SingleImageFile(const std::vector<std::uint8_t>& bytes, size_t directoryEnd,
                                          const TIconDirEntry& entry)
{
    const size_t offset = entry.ImageOffset;
    const size_t size = entry.BytesInRes;
    // The image follows the directory; an offset back into it is damage.
    if (offset < directoryEnd || offset > bytes.size() || size > bytes.size() - offset)
        Invalid("the image lies outside the file");
    std::vector<std::uint8_t> file(HeaderSize + EntrySize);
    rtl::PutLE16(file.data() + 2, IconType);
    rtl::PutLE16(file.data() + 4, 1);
    std::uint8_t* record = file.data() + HeaderSize;
    record[0] = entry.Width;
    record[1] = entry.Height;
    rtl::PutLE16(record + 2, entry.ColorCount);
    rtl::PutLE16(record + 4, entry.Planes);
    rtl::PutLE16(record + 6, entry.BitCount);
    rtl::PutLE32(record + 8, static_cast<std::uint32_t>(size));
    rtl::PutLE32(record + 12, static_cast<std::uint32_t>(HeaderSize + EntrySize));
    file.insert(file.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
    return file;
}

std::unique_ptr<TIcon> IconFromBytes(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromStream(stream);
    // The icon class draws the image nearest the size asked for; asking for
    // the image's own size keeps it unscaled.
    const TBitmap* image = icon->Image();
    if (image)
        icon->SetSize(icon->Width(), icon->Height());
    return icon;
}

std::unique_ptr<TIcon> CopyOf(const TIcon& icon)
{
    auto copy = std::make_unique<TIcon>();
    copy->Assign(&icon);
    return copy;
}

} // namespace

void RegisterIconClipboardFormat()
{
    if (IconClipboardFormat == 0)
        IconClipboardFormat = ui::RegisterClipboardFormat("Vistelo Icon");
}

int ScreenColorCount(int bitsPerPixel) { return bitsPerPixel >= 24 || bitsPerPixel <= 0 ? 0 : 1 << bitsPerPixel; }

int ScreenColorCount() { return ScreenColorCount(24); }

int ChooseIconEntry(const std::vector<TIconDirEntry>& entries, int screenColorCount)
{
    int chosen = -1;
    int remembered = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int colors = entries[i].ColorCount;
        if (colors == screenColorCount)
            return static_cast<int>(i);
        if (chosen < 0) {
            if (colors <= screenColorCount) {
                chosen = static_cast<int>(i);
                remembered = colors;
            }
        } else if (colors > remembered) {
            chosen = static_cast<int>(i);
        }
    }
    return chosen < 0 ? 0 : chosen;
}

std::unique_ptr<TIcon> ReadIconOfRealSize(const std::vector<std::uint8_t>& bytes, int screenColorCount)
{
    if (bytes.size() < HeaderSize)
        Invalid("the header is truncated");
    if (rtl::GetLE16(bytes.data() + 2) != IconType)
        Invalid("not an icon file");
    const std::vector<TIconDirEntry> entries = ReadDirectory(bytes);
    const TIconDirEntry& entry = entries[static_cast<size_t>(ChooseIconEntry(entries, screenColorCount))];
    return IconFromBytes(SingleImageFile(bytes, HeaderSize + entries.size() * EntrySize, entry));
}

std::unique_ptr<TIcon> MakeIconOfRealSize(TIcon& icon) { return MakeIconOfRealSize(icon, ScreenColorCount()); }

std::unique_ptr<TIcon> MakeIconOfRealSize(TIcon& icon, int screenColorCount)
{
    if (icon.Empty())
        Invalid("the icon is empty");
    TMemoryStream stream;
    icon.SaveToStream(stream);
    const std::vector<std::uint8_t> bytes(stream.Memory(), stream.Memory() + stream.Size());
    if (bytes.size() >= HeaderSize && rtl::GetLE16(bytes.data() + 2) == IconType)
        return ReadIconOfRealSize(bytes, screenColorCount);
    return CopyOf(icon);
}

void MeasureIcon(const TIcon* icon, int& width, int& height)
{
    if (icon && icon->Image()) {
        width = icon->Image()->Width();
        height = icon->Image()->Height();
        return;
    }
    width = TIcon::DefaultSize;
    height = TIcon::DefaultSize;
}

} // namespace ClipIcon
