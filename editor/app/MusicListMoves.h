#pragma once

// The moves of the show options' music list on its entries and their
// selection, kept together: an entry keeps its selection wherever it goes.

#include <string>
#include <vector>

namespace MusicListMoves {

struct TMusicEntry {
    std::string FileName;
    bool Selected = false;
};
using TMusicList = std::vector<TMusicEntry>;

// Every selected entry one place up. A selected first entry goes to the end
// of the list (the others then move up with the wrap); selected neighbours
// move as a block.
void MoveSelectedUp(TMusicList& List);
// Every selected entry one place down where there is a place below it; a
// block at the end stays.
void MoveSelectedDown(TMusicList& List);
// Removes the selected entries.
void DeleteSelected(TMusicList& List);

} // namespace MusicListMoves
