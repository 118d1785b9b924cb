#pragma once

// Shell item-ID lists: a path as a chain of items, each a 16-bit size
// (itself included) followed by the item's name, ended by a zero size. The
// desktop folder is the root of the file system; a list from it is absolute,
// one parsed in another folder is relative to that folder. Lists are allocated
// by the shell's allocator, and whoever receives one frees it there.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Ole.h"

struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

constexpr std::size_t MAX_PATH = 260;

// The shell's memory allocator.
class IMalloc {
public:
    virtual ~IMalloc() = default;
    // nullptr when the memory cannot be had.
    virtual void* Alloc(std::size_t bytes) = 0;
    virtual void Free(void* block) = 0;
    virtual std::size_t GetSize(void* block) = 0;
};

// A folder of the shell's name space.
class TShellFolder {
public:
    explicit TShellFolder(std::string path) : path_(std::move(path)) { }

    // The item-ID list of the name, relative to this folder (the desktop
    // takes absolute paths). E_INVALIDARG for names that leave the folder or
    // name nothing.
    HRESULT ParseDisplayName(const std::string& name, LPITEMIDLIST& pidl) const;
    // The folder a relative list names.
    HRESULT BindToObject(LPCITEMIDLIST pidl, std::unique_ptr<TShellFolder>& folder) const;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

namespace ui {

IMalloc* SHGetMalloc();
std::unique_ptr<TShellFolder> SHGetDesktopFolder();

// Size of a list made in this process, its terminator included.
std::size_t ILGetSize(LPCITEMIDLIST pidl);
// A copy in the shell's allocator.
LPITEMIDLIST ILClone(LPCITEMIDLIST pidl);
// The absolute path of an absolute list; false when an item is malformed or
// the path does not fit MAX_PATH characters.
bool SHGetPathFromIDList(LPCITEMIDLIST pidl, std::string& path);

// An item-list array (CIDA) of files: their folder parsed from the desktop,
// then each name parsed in that folder. Item lists are relative to one
// folder, so files of several folders (or relative paths) give none.
bool BuildFileCida(const std::vector<std::string>& files, std::vector<std::uint8_t>& block);

} // namespace ui
