#pragma once

// Global memory blocks: the byte blocks that data exchange hands from a data
// object to its reader and that the clipboard keeps. A block is made by
// GlobalAlloc and freed by GlobalFree (or by the medium that carries it).

#include <cstddef>
#include <cstdint>
#include <vector>

struct TGlobalBlock;
using HGLOBAL = TGlobalBlock*;
using SIZE_T = std::size_t;

constexpr std::uint32_t GMEM_FIXED = 0x0000;
constexpr std::uint32_t GMEM_MOVEABLE = 0x0002;
constexpr std::uint32_t GMEM_ZEROINIT = 0x0040;
constexpr std::uint32_t GMEM_SHARE = 0x2000;
constexpr std::uint32_t GMEM_DDESHARE = GMEM_SHARE;
constexpr std::uint32_t GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

namespace ui {

// The largest block handed out; larger requests fail like an exhausted heap,
// so a size taken from foreign data cannot claim the machine's memory.
constexpr SIZE_T MaxGlobalBlock = SIZE_T{1} << 30;

// A new block (zero-filled: every block is, whatever the flags); nullptr
// when the size is beyond MaxGlobalBlock.
HGLOBAL GlobalAlloc(std::uint32_t flags, SIZE_T bytes);
// A block holding a copy of the bytes; nullptr when too large.
HGLOBAL GlobalAllocBytes(const void* data, SIZE_T bytes);
HGLOBAL GlobalAllocBytes(const std::vector<std::uint8_t>& bytes);
// Frees the block; returns nullptr as the platform call does.
HGLOBAL GlobalFree(HGLOBAL block);

// The block's bytes (nullptr for no block). Locks nest; a locked block stays
// where it is until it is freed.
void* GlobalLock(HGLOBAL block);
bool GlobalUnlock(HGLOBAL block);
SIZE_T GlobalSize(HGLOBAL block);

// A copy of the block's bytes.
std::vector<std::uint8_t> GlobalBytes(HGLOBAL block);

} // namespace ui
