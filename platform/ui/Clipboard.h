#pragma once

// The clipboard: text, bitmaps and formats of the system's own, which are
// registered by name and travel as MIME types ("application/x-vistelo-<name>").

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/Messages.h"

class TBitmap;

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_HDROP = 15;

namespace ui {

// The number of a format named by the program; the same name gives the same
// number. Empty names are refused with 0.
UINT RegisterClipboardFormat(const std::string& Name);

// The MIME type a registered format travels as; empty for other numbers.
std::string ClipboardFormatMimeType(UINT Format);

} // namespace ui

class TClipboard {
public:
    // UTF-8 text.
    std::string AsText() const;
    void SetAsText(const std::string& Value);

    // Whether the clipboard now holds data of the format.
    bool HasFormat(UINT Format) const;

    // Puts a copy of the bitmap on the clipboard (CF_BITMAP).
    void Assign(TBitmap& Bitmap);
    // The clipboard's picture as a 24-bit bitmap; false when it holds none.
    bool GetBitmap(TBitmap& Bitmap) const;

    // The bytes of a registered format, replacing what the clipboard held;
    // an unregistered format raises EInvalidOperation.
    void SetData(UINT Format, const std::vector<std::uint8_t>& Data);
    // Empty when the clipboard holds nothing of the format.
    std::vector<std::uint8_t> GetData(UINT Format) const;

    void Clear();
};

TClipboard& Clipboard();
