#pragma once

// What the main window's preview and the catalog share when they drag
// pictures out to other programs: the names they offer, the picture itself,
// and the image that stands for many file names under the pointer.

#include <memory>
#include <string>

class TBitmap;

namespace PictureDragOut {

// The name a picture's file is offered under: found beside the open show
// where it was stored relative to it, else as stored.
std::string OfferedFileName(const std::string& StoredName);
// The picture as a bitmap to hand over; null when it cannot be loaded, and
// then no drag starts.
std::unique_ptr<TBitmap> LoadedBitmap(const std::string& StoredName);
// Sizes Image to "N Dateinamen" in black on white and draws it there.
void PaintFileCount(TBitmap& Image, int Count);

} // namespace PictureDragOut
