#include "editor/app/MusicListMoves.h"

#include <algorithm>
#include <utility>

namespace MusicListMoves {

void MoveSelectedUp(TMusicList& List)
{
    if (List.empty())
        return;
    if (List.front().Selected) {
        // Taking the first entry out moves every other one up already.
        std::rotate(List.begin(), List.begin() + 1, List.end());
        return;
    }
    for (size_t i = 1; i < List.size(); ++i)
        if (List[i].Selected && !List[i - 1].Selected)
            std::swap(List[i], List[i - 1]);
}

void MoveSelectedDown(TMusicList& List)
{
    if (List.size() < 2)
        return;
    for (size_t i = List.size() - 1; i-- > 0;)
        if (List[i].Selected && !List[i + 1].Selected)
            std::swap(List[i], List[i + 1]);
}

void DeleteSelected(TMusicList& List)
{
    std::erase_if(List, [](const TMusicEntry& entry) { return entry.Selected; });
}

} // namespace MusicListMoves
