#pragma once

// Byte layouts of the blocks that carry files, shell item lists, text file
// descriptions and bitmaps between programs: the file-drop block (DROPFILES),
// name lists, the item-list array (CIDA), the file group descriptor and the
// device-independent bitmap. Blocks may come from another program: every
// reader checks each offset, count and name against the block's size and
// answers false for anything that does not fit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

namespace ui {

using TBytes = std::vector<std::uint8_t>;

// DROPFILES: file-list offset (20), drop point, non-client flag, wide flag,
// then the names, each ended by a zero, and one more zero.
constexpr std::size_t DropFilesHeaderSize = 20;
TBytes BuildDropFiles(const std::vector<std::string>& names);
// The names of the block (wide or 8-bit); false, with no names, when the
// block is malformed or names no file.
bool ParseDropFiles(const std::uint8_t* data, std::size_t size, std::vector<std::string>& names);

// Zero-terminated names followed by an empty one, 8-bit or UTF-16.
TBytes BuildNameList(const std::vector<std::string>& names);
TBytes BuildNameListW(const std::vector<std::string>& names);
// Reads names from the offset until an empty one; false (and no names) when a
// name runs past the block or the list has no end inside it.
bool ParseNameList(const std::uint8_t* data, std::size_t size, std::size_t offset, bool wide,
                   std::vector<std::string>& names);

// The size of the item-ID list at data, its two-byte terminator included;
// 0 when the list does not end inside the size or an item is malformed.
std::size_t ItemIdListSize(const std::uint8_t* data, std::size_t size);

// CIDA: item count, count + 1 offsets (the folder's first), then the lists.
// Entry 0 of the lists is the folder, the others the items relative to it.
TBytes BuildCida(const std::vector<std::string>& lists);
bool ParseCida(const std::uint8_t* data, std::size_t size, std::vector<std::string>& lists);

// FILEGROUPDESCRIPTOR: a count and 332-byte file descriptors (flags first,
// the 260-byte name last).
constexpr std::size_t FileDescriptorSize = 332;
constexpr std::size_t FileGroupDescriptorSize = 4 + FileDescriptorSize;
constexpr std::uint32_t FD_PROGRESSUI = 0x8000;
TBytes BuildFileGroupDescriptor(const std::string& fileName, std::uint32_t flags);
bool ParseFileGroupDescriptor(const std::uint8_t* data, std::size_t size, std::vector<std::string>& names);

// A bitmap as a device-independent bitmap (a bitmap file without its 14-byte
// file header).
TBytes DibOfBitmap(const TBitmap& bitmap);
// Where a DIB's pixels start, counted from a file header put before it: the
// header, the colour table (its used entries) and the bit-field masks. 0 when
// the header does not fit the block.
std::size_t DibBitsOffset(const std::uint8_t* dib, std::size_t size);
// The DIB with a file header before it; empty when its header is malformed.
TBytes BmpFileOfDib(const std::uint8_t* dib, std::size_t size);

// Text of a block from another program: UTF-16 as is; 8-bit names are UTF-8
// when valid, otherwise the Windows code page.
std::string TextOfWide(const std::uint8_t* data, std::size_t chars);
std::string TextOfNarrow(const std::uint8_t* data, std::size_t bytes);

} // namespace ui
