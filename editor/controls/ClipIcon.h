#pragma once
// Icons as pictures of their own size: the clipboard format for icons, an
// icon cut down to the one image that suits the screen (at that image's own
// size, where the icon class would draw at the desktop's icon size), and an
// icon's measure.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ui/Messages.h"

class TIcon;

namespace ClipIcon {

// The private clipboard format for icons; 0 until registered.
extern UINT IconClipboardFormat;
// Registers the format once at program start and records its number.
void RegisterIconClipboardFormat();

// One record of an icon file's directory.
struct TIconDirEntry {
    std::uint8_t Width = 0;
    std::uint8_t Height = 0;
    // The colour-count byte and the reserved byte after it, read as one word.
    std::uint16_t ColorCount = 0;
    std::uint16_t Planes = 0;
    std::uint16_t BitCount = 0;
    std::uint32_t BytesInRes = 0;
    std::uint32_t ImageOffset = 0;
};

// 2^bits for palette screens; 0 for true-colour ones (24 bits and more).
int ScreenColorCount(int bitsPerPixel);
// The colour count of this desktop's screens, which are true colour.
int ScreenColorCount();

// The entry to read: one whose colour count equals the screen's is taken at
// once; until then the first not above the screen's is chosen and its count
// remembered, after which every later entry above that remembered count
// becomes the choice. Without any choice, entry 0.
int ChooseIconEntry(const std::vector<TIconDirEntry>& entries, int screenColorCount);

// Reads an icon file and returns an icon holding only the chosen image.
// Damaged data raises EInvalidGraphic.
std::unique_ptr<TIcon> ReadIconOfRealSize(const std::vector<std::uint8_t>& bytes, int screenColorCount);

// A new icon, owned by the caller, holding the image of icon that suits the
// screen, drawn at that image's size. Icons not in the icon-file layout are
// copied as they are; an empty icon raises EInvalidGraphic.
std::unique_ptr<TIcon> MakeIconOfRealSize(TIcon& icon);
std::unique_ptr<TIcon> MakeIconOfRealSize(TIcon& icon, int screenColorCount);

// The icon's image size; the desktop's icon size for an empty icon or none.
void MeasureIcon(const TIcon* icon, int& width, int& height);

} // namespace ClipIcon
