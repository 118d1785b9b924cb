// Blocks dropped or pasted from other programs: file-drop lists, name maps,
// item-list arrays, file group descriptors and device-independent bitmaps.
// Input: one byte choosing the reader, then the block.
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/GlobalMemory.h"
#include "platform/ui/ShellBlocks.h"
#include "platform/ui/ShellItems.h"
#include "widgets/DropBMPTarget.h"
#include "widgets/DropPIDLTarget.h"
#include "widgets/DropTarget.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Names read from a block survive being written and read again.
void NamesRoundTrip(const std::vector<std::string>& names)
{
    const std::vector<std::uint8_t> rebuilt = ui::BuildDropFiles(names);
    std::vector<std::string> again;
    Check(ui::ParseDropFiles(rebuilt.data(), rebuilt.size(), again) == !names.empty());
    Check(again == names || names.empty());
}

void DropFiles(const std::uint8_t* data, std::size_t size)
{
    HGLOBAL block = ui::GlobalAllocBytes(data, size);
    TStringList files;
    const bool found = DropTarget::GetFilesFromHGlobal(block, files);
    Check(found == (files.Count() > 0));
    std::vector<std::string> names;
    Check(ui::ParseDropFiles(data, size, names) == found);
    NamesRoundTrip(names);
    ui::GlobalFree(block);
}

void NameMap(const std::uint8_t* data, std::size_t size, bool wide)
{
    std::vector<std::string> names;
    if (!ui::ParseNameList(data, size, 0, wide, names))
        return;
    const std::vector<std::uint8_t> rebuilt = wide ? ui::BuildNameListW(names) : ui::BuildNameList(names);
    std::vector<std::string> again;
    Check(ui::ParseNameList(rebuilt.data(), rebuilt.size(), 0, wide, again));
    Check(again == names);
}

void ItemLists(const std::uint8_t* data, std::size_t size)
{
    HGLOBAL block = ui::GlobalAllocBytes(data, size);
    TStringList lists;
    const bool found = DropPIDLTarget::PidlListFromHGlobal(block, lists);
    ui::GlobalFree(block);
    std::vector<std::string> parsed;
    if (!ui::ParseCida(data, size, parsed))
        return;
    Check(found == (parsed.size() >= 2));
    for (std::size_t i = 1; i < parsed.size(); ++i) {
        std::string joined = parsed[0].substr(0, parsed[0].size() - 2) + parsed[i];
        std::string path;
        if (ui::SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(joined.data()), path))
            Check(!path.empty() && path.front() == '/' && path.size() < MAX_PATH);
    }
    const std::vector<std::uint8_t> rebuilt = ui::BuildCida(parsed);
    std::vector<std::string> again;
    Check(ui::ParseCida(rebuilt.data(), rebuilt.size(), again) && again == parsed);
}

void Descriptors(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> names;
    if (ui::ParseFileGroupDescriptor(data, size, names))
        Check(names.size() * ui::FileDescriptorSize <= size);
}

void Dib(const std::uint8_t* data, std::size_t size)
{
    TBitmap bitmap;
    if (DropBMPTarget::CopyDIBToBitmap(bitmap, data, size))
        Check(ui::DibBitsOffset(data, size) != 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t* block = data + 1;
    const std::size_t bytes = size - 1;
    switch (data[0] % 6) {
    case 0: DropFiles(block, bytes); break;
    case 1: NameMap(block, bytes, false); break;
    case 2: NameMap(block, bytes, true); break;
    case 3: ItemLists(block, bytes); break;
    case 4: Descriptors(block, bytes); break;
    default: Dib(block, bytes); break;
    }
    return 0;
}
