#include "platform/graphics/Font.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <set>

#include "platform/graphics/TextEngine.h"

IMPLEMENT_CLASS(TFont)

TFont::TFont(const TFont& other)
    : TPersistent(other), name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_),
      charset_(other.charset_), pitch_(other.pitch_), orientation_(other.orientation_)
{ }

TFont& TFont::operator=(const TFont& other)
{
    Assign(other);
    return *this;
}

void TFont::Assign(const TPersistent* source)
{
    if (const auto* font = dynamic_cast<const TFont*>(source)) {
        Assign(*font);
        return;
    }
    TPersistent::Assign(source);
}

void TFont::Assign(const TFont& source)
{
    if (&source == this)
        return;
    const bool differs = name_ != source.name_ || height_ != source.height_ || style_ != source.style_ ||
        color_ != source.color_ || charset_ != source.charset_ || pitch_ != source.pitch_ ||
        orientation_ != source.orientation_;
    if (!differs)
        return;
    name_ = source.name_;
    height_ = source.height_;
    style_ = source.style_;
    color_ = source.color_;
    charset_ = source.charset_;
    pitch_ = source.pitch_;
    orientation_ = source.orientation_;
    Changed();
}

template <typename T> void TFont::Set(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TFont::SetName(const std::string& name) { Set(name_, name); }
void TFont::SetHeight(int height) { Set(height_, height); }
int TFont::Size() const { return -gfx::MulDiv(height_, 72, PixelsPerInch); }
void TFont::SetSize(int points) { SetHeight(-gfx::MulDiv(points, PixelsPerInch, 72)); }
void TFont::SetStyle(TFontStyles style) { Set(style_, style); }
void TFont::SetColor(TColor color) { Set(color_, color); }
void TFont::SetCharset(TFontCharset charset) { Set(charset_, charset); }
void TFont::SetPitch(TFontPitch pitch) { Set(pitch_, pitch); }
void TFont::SetOrientation(int tenthsOfDegree) { Set(orientation_, tenthsOfDegree); }

void TFont::Changed()
{
    if (OnChange)
        OnChange(this);
}

namespace gfx {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long divisor = std::llabs(static_cast<long long>(c));
    const long long magnitude = (std::llabs(product) + divisor / 2) / divisor;
    if (magnitude > std::numeric_limits<int>::max())
        return -1;
    const bool negative = (product < 0) != (c < 0);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

namespace {

std::mutex& AddedFontsLock()
{
    static std::mutex lock;
    return lock;
}

std::set<std::string>& AddedFonts()
{
    static std::set<std::string> files;
    return files;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return text;
}

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = text.find_first_not_of(' ', pos);
        if (start == std::string::npos)
            break;
        const size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        pos = end;
    }
    return words;
}

// True when `needle` occurs in `text` as whole words: at the start or after a
// blank, and followed by a blank or the end. (A plain substring test would let
// the face "No" match "Mono".)
bool OccursAsWords(const std::string& text, const std::string& needle)
{
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
        const size_t after = at + needle.size();
        if ((at == 0 || text[at - 1] == ' ') && (after == text.size() || text[after] == ' '))
            return true;
    }
    return false;
}

// How well a font's full name matches a face name; 0 = not at all, 1 = the
// same name, small numbers = the face with a style, 99 and below = a name
// built from the face's leading words. Lower is better.
int FontNameScore(std::string entry, std::string face)
{
    entry = Trim(Lower(entry.substr(0, entry.find('('))));
    face = Trim(Lower(face));
    if (entry.empty() || face.empty())
        return 0;
    if (entry == face)
        return 1;
    int score = 0;
    if (OccursAsWords(entry, face)) {
        for (const std::string& word : Words(entry))
            if (OccursAsWords(face, word))
                score = score == 0 ? 2 : score + 1;
        if (score != 0)
            return score;
    }
    std::string builtUp;
    for (const std::string& word : Words(face)) {
        builtUp += word;
        if (OccursAsWords(entry, builtUp))
            score = score == 0 ? 99 : score - 1;
    }
    return score;
}

struct FontFileName {
    std::string FullName; // family, plus the style unless it is the plain one
    std::string File;
};

std::vector<FontFileName> InstalledFontFiles()
{
    std::vector<FontFileName> files;
    for (const InstalledFont& font : InstalledFonts()) {
        const std::string style = Lower(font.Style);
        const bool plain = style.empty() || style == "regular" || style == "normal" || style == "book" ||
            style == "roman";
        files.push_back({plain ? font.Family : font.Family + " " + font.Style, font.File});
    }
    std::sort(files.begin(), files.end(), [](const FontFileName& a, const FontFileName& b) {
        return a.FullName != b.FullName ? a.FullName < b.FullName : a.File < b.File;
    });
    return files;
}

} // namespace

bool AddFontFile(const std::string& path)
{
    std::lock_guard guard(AddedFontsLock());
    if (AddedFonts().count(path))
        return true;
    if (!AddFontFileToEngine(path))
        return false;
    AddedFonts().insert(path);
    return true;
}

bool RemoveFontFile(const std::string& path)
{
    std::lock_guard guard(AddedFontsLock());
    if (AddedFonts().erase(path) == 0)
        return false;
    // Added fonts can only be dropped all at once.
    RemoveAddedFontFiles();
    for (const std::string& file : AddedFonts())
        AddFontFileToEngine(file);
    return true;
}

std::vector<std::string> FindFontFiles(const std::string& faceName)
{
    std::vector<std::string> result;
    int best = -1;
    for (const FontFileName& font : InstalledFontFiles()) {
        const int score = FontNameScore(font.FullName, faceName);
        if (score == 0 || (best != -1 && score > best))
            continue;
        if (score < best)
            result.clear();
        best = score;
        if (std::find(result.begin(), result.end(), font.File) == result.end())
            result.push_back(font.File);
    }
    return result;
}

} // namespace gfx
