#include "platform/ui/GlobalMemory.h"

#include <cstring>
#include <new>

struct TGlobalBlock {
    std::vector<std::uint8_t> bytes;
    int locks = 0;
};

namespace ui {

HGLOBAL GlobalAlloc(std::uint32_t /*flags*/, SIZE_T bytes)
{
    if (bytes > MaxGlobalBlock)
        return nullptr;
    auto* block = new (std::nothrow) TGlobalBlock;
    if (!block)
        return nullptr;
    try {
        block->bytes.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        delete block;
        return nullptr;
    }
    return block;
}

HGLOBAL GlobalAllocBytes(const void* data, SIZE_T bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block && bytes > 0)
        std::memcpy(block->bytes.data(), data, bytes);
    return block;
}

HGLOBAL GlobalAllocBytes(const std::vector<std::uint8_t>& bytes)
{
    return GlobalAllocBytes(bytes.data(), bytes.size());
}

HGLOBAL GlobalFree(HGLOBAL block)
{
    delete block;
    return nullptr;
}

void* GlobalLock(HGLOBAL block)
{
    if (!block)
        return nullptr;
    ++block->locks;
    return block->bytes.data();
}

bool GlobalUnlock(HGLOBAL block)
{
    if (!block || block->locks == 0)
        return false;
    return --block->locks > 0;
}

SIZE_T GlobalSize(HGLOBAL block) { return block ? block->bytes.size() : 0; }

std::vector<std::uint8_t> GlobalBytes(HGLOBAL block) { return block ? block->bytes : std::vector<std::uint8_t>{}; }

} // namespace ui
