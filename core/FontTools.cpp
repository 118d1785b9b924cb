#include "core/FontTools.h"

#include "core/Tools.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/TextEngine.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"

#include <algorithm>
#include <cstring>

namespace FontTools {

namespace {

constexpr std::int32_t MaxFontPoints = 1 << 16;

bool SameTextAsciiFolded(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(' ', start);
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        if (stop > start)
            words.push_back(text.substr(start, stop - start));
        start = stop + 1;
    }
    return words;
}

// True when needle occurs in text followed by a blank or the end of text.
bool OccursBeforeWordEnd(const std::string& text, const std::string& needle)
{
    if (needle.empty())
        return false;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
        const std::size_t after = at + needle.size();
        if (after == text.size() || text[after] == ' ')
            return true;
    }
    return false;
}

struct FontRegistryEntry {
    std::string Name; // "family style (TrueType)"
    std::string File;
};

bool IsPlainStyle(const std::string& style)
{
    for (const char* plain : {"Regular", "Normal", "Book", "Roman"})
        if (SameTextAsciiFolded(style, plain))
            return true;
    return false;
}

// The installed fonts, named the way the platform's font registry names its
// values, in the font configuration's order. What is installed, as the
// registry lists it, and not the fonts a show brought along.
std::vector<FontRegistryEntry> FontRegistry()
{
    std::vector<FontRegistryEntry> entries;
    for (const gfx::InstalledFont& font : gfx::SystemFonts()) {
        if (font.Family.empty() || font.File.empty())
            continue;
        const std::string name = font.Style.empty() || IsPlainStyle(font.Style) ? font.Family
                                                                                : font.Family + " " + font.Style;
        entries.push_back({name + " (TrueType)", font.File});
    }
    return entries;
}

} // namespace

std::int32_t CreateFontData(const TFont* font, std::vector<std::uint8_t>& blob)
{
    blob.clear();
    if (!font)
        return -1;
    const std::string name = rtl::EncodeFileText(font->Name());
    const auto nameLength = static_cast<std::int32_t>(name.size());
    const std::int32_t length = FontDataFixedSize + nameLength;
    blob.resize(static_cast<std::size_t>(length));
    rtl::PutLE32(&blob[0], length);
    rtl::PutLE32(&blob[4], font->Color());
    rtl::PutLE32(&blob[8], nameLength);
    std::memcpy(&blob[12], name.data(), name.size());
    rtl::PutLE32(&blob[12 + name.size()], font->Size());
    blob[16 + name.size()] = font->Style().Bits();
    return length;
}

std::unique_ptr<TFont> InterpretFontData(const std::vector<std::uint8_t>& blob)
{
    if (blob.size() < FontDataFixedSize)
        return nullptr;
    const std::int32_t nameLength = rtl::GetLE32s(&blob[8]);
    if (nameLength < 0 || static_cast<std::size_t>(nameLength) > blob.size() - FontDataFixedSize)
        return nullptr;
    const auto nameEnd = static_cast<std::size_t>(12 + nameLength);
    auto font = std::make_unique<TFont>();
    font->SetColor(rtl::GetLE32s(&blob[4]));
    font->SetName(rtl::DecodeFileText(
        std::string_view(reinterpret_cast<const char*>(&blob[12]), static_cast<std::size_t>(nameLength))));
    // A size read from a file is clamped to what a font can have, so that the
    // point-to-pixel conversion cannot overflow.
    font->SetSize(std::clamp(rtl::GetLE32s(&blob[nameEnd]), -MaxFontPoints, MaxFontPoints));
    font->SetStyle(TFontStyles::FromBits(blob[nameEnd + 4]));
    return font;
}

void AssignFont(std::unique_ptr<TFont>& target, const TFont* source)
{
    std::vector<std::uint8_t> blob;
    if (CreateFontData(source, blob) < 0)
        return;
    target = InterpretFontData(blob);
}

int SameFontName(const std::string& entryName, const std::string& faceName)
{
    if (entryName.empty() || faceName.empty())
        return 0;
    // The entry's type note in parentheses is not part of the name.
    const std::string entry = Tools::KillBeginEndSpaces(entryName.substr(0, entryName.find('(')));
    const std::string face = Tools::KillBeginEndSpaces(faceName);
    if (SameTextAsciiFolded(entry, face))
        return 1;
    int score = 0;
    if (entry.find(face) != std::string::npos) {
        for (const std::string& word : Words(entry))
            if (OccursBeforeWordEnd(face, word))
                score = score == 0 ? 2 : score + 1;
        if (score != 0)
            return score;
    }
    std::string builtUp;
    for (const std::string& word : Words(face)) {
        builtUp += word;
        if (OccursBeforeWordEnd(entry, builtUp))
            score = score == 0 ? 99 : score - 1;
    }
    return score;
}

std::vector<std::string> GetFontFilename(const TFont& font)
{
    std::vector<std::string> files;
    int best = -1;
    for (const FontRegistryEntry& entry : FontRegistry()) {
        const int score = SameFontName(entry.Name, font.Name());
        if (score == 0 || (best != -1 && score > best))
            continue;
        if (score < best)
            files.clear();
        best = score;
        const std::string file = rtl::ExtractFilePath(entry.File).empty() ? Tools::GetWinDir() + "Fonts/" + entry.File
                                                                          : entry.File;
        if (rtl::FileExists(file))
            files.push_back(file);
    }
    return files;
}

} // namespace FontTools
