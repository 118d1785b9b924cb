#pragma once

// A font's byte form as the system's files store it (the font blob), a font
// copy through that form, and the lookup of the files that hold a face.
//
// Font blob, 17 + L bytes, little-endian: total length (17 + L), colour, L,
// the face name (L bytes, as a container string's text), size in points, style
// bits (bold 1, italic 2, underline 4, strike-out 8). Charset, pitch and pixel
// height are not stored.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TFont;

namespace FontTools {

// Fixed part of a blob: length, colour, name length, size and style.
constexpr std::int32_t FontDataFixedSize = 17;

// Fills blob with the byte form of font and returns its length; -1 and an
// empty blob for no font.
std::int32_t CreateFontData(const TFont* font, std::vector<std::uint8_t>& blob);

// A new font with colour, face, size and style from the blob; none when the
// blob is shorter than its fixed part or its name runs past its end.
std::unique_ptr<TFont> InterpretFontData(const std::vector<std::uint8_t>& blob);

// Replaces target by a new font with source's colour, face, size and style;
// no source leaves target as it is.
void AssignFont(std::unique_ptr<TFont>& target, const TFont* source);

// How well the font registry entry entryName ("Arial Bold (TrueType)")
// names the face faceName: 0 not at all, 1 the same name, 2 and up the face
// with further words (fewer is better), 99 down to 3 for names that only
// share the face's leading words. Lower is better.
int SameFontName(const std::string& entryName, const std::string& faceName);

// The font files of the font's face with the best score (several when they
// tie), in the order the font registry lists them; empty when none exists.
// The installed fonts the graphics layer lists stand in for the font registry, each
// entry named "family style (TrueType)" without a plain style's name.
std::vector<std::string> GetFontFilename(const TFont& font);

} // namespace FontTools
