#include "platform/ui/ClipboardData.h"

#include <map>
#include <vector>

#include "platform/ui/Backend.h"

namespace ui {
namespace {

struct ClipboardSession {
    bool open = false;
    bool emptied = false;
    std::map<UINT, HGLOBAL> placed; // set since opening
    std::map<UINT, HGLOBAL> read;   // handed out since opening
};

ClipboardSession& Session()
{
    static auto* session = new ClipboardSession;
    return *session;
}

void FreeAll(std::map<UINT, HGLOBAL>& blocks)
{
    for (auto& [format, block] : blocks)
        GlobalFree(block);
    blocks.clear();
}

} // namespace

bool OpenClipboard()
{
    ClipboardSession& s = Session();
    if (s.open)
        return false;
    s.open = true;
    s.emptied = false;
    return true;
}

bool EmptyClipboard()
{
    ClipboardSession& s = Session();
    if (!s.open)
        return false;
    FreeAll(s.placed);
    s.emptied = true;
    return true;
}

bool SetClipboardData(UINT format, HGLOBAL block)
{
    ClipboardSession& s = Session();
    if (!s.open || !block) {
        GlobalFree(block);
        return false;
    }
    auto [it, added] = s.placed.emplace(format, block);
    if (!added) {
        GlobalFree(it->second);
        it->second = block;
    }
    return true;
}

bool CloseClipboard()
{
    ClipboardSession& s = Session();
    if (!s.open)
        return false;
    if (s.emptied || !s.placed.empty()) {
        std::map<UINT, std::vector<std::uint8_t>> blocks;
        for (const auto& [format, block] : s.placed)
            blocks.emplace(format, GlobalBytes(block));
        backend::PublishClipboard(blocks);
    }
    FreeAll(s.placed);
    FreeAll(s.read);
    s.open = false;
    s.emptied = false;
    return true;
}

bool IsClipboardFormatAvailable(UINT format) { return backend::ClipboardOffers(format); }

HGLOBAL GetClipboardData(UINT format)
{
    ClipboardSession& s = Session();
    std::vector<std::uint8_t> block;
    if (!s.open || !backend::ClipboardBlock(format, block))
        return nullptr;
    HGLOBAL& kept = s.read[format];
    GlobalFree(kept);
    kept = GlobalAllocBytes(block);
    return kept;
}

} // namespace ui
