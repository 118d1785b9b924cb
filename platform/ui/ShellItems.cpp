#include "platform/ui/ShellItems.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/rtl/ByteOrder.h"
#include "platform/ui/ShellBlocks.h"

namespace {

// Keeps each block's size in front of it, so GetSize can answer.
class TShellAllocator final : public IMalloc {
public:
    void* Alloc(std::size_t bytes) override
    {
        auto* block = static_cast<std::uint8_t*>(std::malloc(Header + bytes));
        if (!block)
            return nullptr;
        std::memcpy(block, &bytes, sizeof bytes);
        return block + Header;
    }
    void Free(void* block) override
    {
        if (block)
            std::free(static_cast<std::uint8_t*>(block) - Header);
    }
    std::size_t GetSize(void* block) override
    {
        std::size_t bytes = 0;
        if (block)
            std::memcpy(&bytes, static_cast<std::uint8_t*>(block) - Header, sizeof bytes);
        return bytes;
    }

private:
    static constexpr std::size_t Header = alignof(std::max_align_t);
};

const std::uint8_t* BytesOf(LPCITEMIDLIST pidl) { return reinterpret_cast<const std::uint8_t*>(pidl); }

LPITEMIDLIST ListOfNames(const std::vector<std::string>& names)
{
    std::size_t size = 2;
    for (const std::string& name : names)
        size += 2 + name.size();
    auto* bytes = static_cast<std::uint8_t*>(ui::SHGetMalloc()->Alloc(size));
    if (!bytes)
        return nullptr;
    std::size_t at = 0;
    for (const std::string& name : names) {
        const auto cb = static_cast<std::uint16_t>(2 + name.size());
        rtl::PutLE16(bytes + at, cb);
        std::memcpy(bytes + at + 2, name.data(), name.size());
        at += cb;
    }
    bytes[at] = bytes[at + 1] = 0;
    return reinterpret_cast<LPITEMIDLIST>(bytes);
}

// The names of a list's items; false when one is empty or holds a separator.
bool NamesOfList(LPCITEMIDLIST pidl, std::vector<std::string>& names)
{
    names.clear();
    const std::uint8_t* bytes = BytesOf(pidl);
    const std::size_t size = ui::ILGetSize(pidl);
    for (std::size_t at = 0; at + 2 < size;) {
        const std::size_t cb = rtl::GetLE16(bytes + at);
        std::string name(reinterpret_cast<const char*>(bytes + at + 2), cb - 2);
        if (name.empty() || name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
            return false;
        names.push_back(std::move(name));
        at += cb;
    }
    return true;
}

std::string JoinPath(const std::string& folder, const std::vector<std::string>& names)
{
    std::string path = folder;
    for (const std::string& name : names) {
        if (path.empty() || path.back() != '/')
            path += '/';
        path += name;
    }
    return path.empty() ? "/" : path;
}

} // namespace

HRESULT TShellFolder::ParseDisplayName(const std::string& name, LPITEMIDLIST& pidl) const
{
    pidl = nullptr;
    const bool desktop = path_.empty();
    if (name.empty() || desktop != (name.front() == '/'))
        return E_INVALIDARG;
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        std::string item = name.substr(start, end - start);
        if (item == "..")
            return E_INVALIDARG;
        if (item.size() > std::numeric_limits<std::uint16_t>::max() - 2)
            return E_INVALIDARG;
        if (!item.empty() && item != ".")
            items.push_back(std::move(item));
        start = end + 1;
    }
    if (items.empty() && !desktop)
        return E_INVALIDARG;
    pidl = ListOfNames(items);
    return pidl ? S_OK : E_OUTOFMEMORY;
}

HRESULT TShellFolder::BindToObject(LPCITEMIDLIST pidl, std::unique_ptr<TShellFolder>& folder) const
{
    folder.reset();
    std::vector<std::string> names;
    if (!pidl || !NamesOfList(pidl, names))
        return E_INVALIDARG;
    folder = std::make_unique<TShellFolder>(JoinPath(path_.empty() ? "/" : path_, names));
    return S_OK;
}

namespace ui {

IMalloc* SHGetMalloc()
{
    static auto* allocator = new TShellAllocator;
    return allocator;
}

std::unique_ptr<TShellFolder> SHGetDesktopFolder() { return std::make_unique<TShellFolder>(std::string()); }

std::size_t ILGetSize(LPCITEMIDLIST pidl)
{
    return pidl ? ItemIdListSize(BytesOf(pidl), std::numeric_limits<std::size_t>::max() / 2) : 0;
}

LPITEMIDLIST ILClone(LPCITEMIDLIST pidl)
{
    const std::size_t size = ILGetSize(pidl);
    if (size == 0)
        return nullptr;
    void* copy = SHGetMalloc()->Alloc(size);
    if (copy)
        std::memcpy(copy, pidl, size);
    return static_cast<LPITEMIDLIST>(copy);
}

bool SHGetPathFromIDList(LPCITEMIDLIST pidl, std::string& path)
{
    path.clear();
    std::vector<std::string> names;
    if (!pidl || !NamesOfList(pidl, names))
        return false;
    std::string joined = JoinPath("/", names);
    if (joined.size() >= MAX_PATH)
        return false;
    path = std::move(joined);
    return true;
}

namespace {

std::string ListBytes(LPCITEMIDLIST pidl) { return {reinterpret_cast<const char*>(pidl), ILGetSize(pidl)}; }

// Folder and name of a path; false for paths without a folder or name.
bool SplitPath(const std::string& path, std::string& folder, std::string& name)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == path.size())
        return false;
    folder = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
    return true;
}

} // namespace

bool BuildFileCida(const std::vector<std::string>& files, std::vector<std::uint8_t>& block)
{
    block.clear();
    std::string folderPath;
    std::string name;
    if (files.empty() || !SplitPath(files[0], folderPath, name))
        return false;
    auto desktop = SHGetDesktopFolder();
    LPITEMIDLIST folderPidl = nullptr;
    if (FAILED(desktop->ParseDisplayName(folderPath, folderPidl)))
        return false;
    std::unique_ptr<TShellFolder> folder;
    std::vector<std::string> lists{ListBytes(folderPidl)};
    bool ok = SUCCEEDED(desktop->BindToObject(folderPidl, folder));
    SHGetMalloc()->Free(folderPidl);
    for (std::size_t i = 0; ok && i < files.size(); ++i) {
        std::string itemFolder;
        LPITEMIDLIST item = nullptr;
        ok = SplitPath(files[i], itemFolder, name) && itemFolder == folderPath &&
            SUCCEEDED(folder->ParseDisplayName(name, item));
        if (ok)
            lists.push_back(ListBytes(item));
        SHGetMalloc()->Free(item);
    }
    if (ok)
        block = BuildCida(lists);
    return ok;
}

} // namespace ui
