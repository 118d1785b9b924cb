#pragma once
// Screen text from FreeType glyphs, resolved by fontconfig: a face at one
// pixel size with the metrics of a device font (ascent, descent, internal and
// external leading from the face's own tables), monochrome glyph masks as the
// screen draws them (no anti-aliasing), cached per face and size.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

// The metrics of a font at its pixel size. Height = Ascent + Descent is the
// cell height; InternalLeading is the part of it above the em square.
struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

// What a font asks of the engine. Height follows the device-font sign rule:
// negative = em height in pixels, positive = cell height, 0 = default size
// (11 pixels); beyond 1000 pixels the size is capped.
struct FontRequest {
    std::string Name;
    int Height = 0;
    bool Bold = false;
    bool Italic = false;
    bool FixedPitch = false;
    friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

// One rendered glyph: a coverage mask (one byte per pixel, 0 or 255) placed
// relative to the pen position on the baseline.
struct Glyph {
    int Advance = 0; // pen movement in pixels
    int Left = 0;    // mask column 0 relative to the pen
    int Top = 0;     // mask row 0 above the baseline (positive = up)
    int Width = 0;
    int Rows = 0;
    std::vector<std::uint8_t> Mask;
};

// A horizontal line decoration relative to the baseline (positive = below).
struct LineDecoration {
    int Offset = 0;
    int Thickness = 1;
};

// A resolved face at one size. Safe to use from several threads.
class FontInstance {
public:
    virtual ~FontInstance() = default;
    virtual const TTextMetric& Metrics() const = 0;
    virtual const std::string& FileName() const = 0;
    virtual const std::string& FamilyName() const = 0;
    // The glyph of a code point (the face's missing-glyph box when absent).
    // The reference stays valid as long as the instance lives.
    virtual const Glyph& GlyphOf(char32_t codePoint) = 0;
    virtual int AdvanceOf(char32_t codePoint) = 0;
    virtual LineDecoration Underline() const = 0;
    virtual LineDecoration StrikeOut() const = 0;
};

// The face that fontconfig finds for the request, at its size; instances are
// cached and shared. Never fails while any font is installed: an unknown name
// falls back to fontconfig's best match. Raises EInvalidGraphic when no font
// at all can be loaded.
std::shared_ptr<FontInstance> AcquireFont(const FontRequest& request);

// The face family the request resolves to (e.g. "Liberation Sans" for
// "Arial"), for display and tests.
std::string ResolvedFamily(const FontRequest& request);

// Forgets every cached face.
void FlushFontCache();

// Font files made available to this process only (fonts beside a show).
// Adding returns false when the file holds no usable font; removal drops all.
bool AddFontFileToEngine(const std::string& path);
void RemoveAddedFontFiles();

struct InstalledFont {
    std::string Family;
    std::string Style;
    std::string File;
};
// Every font file the engine knows, added ones included.
std::vector<InstalledFont> InstalledFonts();
// The fonts installed on the system as a fresh look at the font configuration
// lists them, in its order: without the files added to this process, and with
// fonts installed since the engine started.
std::vector<InstalledFont> SystemFonts();

// UTF-8 to code points; an invalid byte becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

} // namespace gfx
