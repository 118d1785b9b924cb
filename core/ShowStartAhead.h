#pragma once

// A show file read, and the picture of its first slide decoding, before the
// player's toolkit and window exist: the stand-alone player knows from its
// command line what it will show, and a large photo takes longer to decode
// than the toolkit takes to start. The playback then takes both over.

#include "platform/graphics/Types.h"

#include <memory>
#include <optional>
#include <string>

class TPictureAhead;
class TVistelo;

struct TShowStartAhead {
    TShowStartAhead();
    ~TShowStartAhead();
    std::unique_ptr<TVistelo> Show;
    std::unique_ptr<TPictureAhead> FirstPicture; // null when the first slide has no picture to load
};

namespace ShowStartAhead {

// Reads the show file FileName and starts loading its first slide's picture
// for the picture area the show will have on a screen of Screen's size
// (unknown: the load waits for the window). Show stays empty when the file
// does not load.
std::unique_ptr<TShowStartAhead> Read(const std::string& FileName, std::optional<TSize> Screen);

// Read, done before the start is asked to play FileName and kept for it. A
// file that does not read prepares nothing: the start reads it again and
// reports it.
void Prepare(const std::string& FileName, std::optional<TSize> Screen);

// What Prepare made for FileName, handed over once; null when nothing was.
std::unique_ptr<TShowStartAhead> Claim(const std::string& FileName);

// The picture area a playback of Show will about have on a screen of Screen's
// size: all of it, or the sizeable window's eight tenths of it.
TSize ExpectedPictureArea(const TVistelo& Show, TSize Screen);

// The first slide's picture of Show (from its start) loading for an area of
// Area; null when that slide has no picture or no thread can be had.
std::unique_ptr<TPictureAhead> StartFirstPicture(TVistelo& Show, const std::string& ShowFile, TSize Area);

} // namespace ShowStartAhead
