#include "platform/graphics/TextEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <list>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/Exceptions.h"

namespace gfx {

namespace {

// FreeType faces are not thread-safe and the cache is shared, so every use of
// the engine's state runs under this one lock.
std::recursive_mutex& EngineLock()
{
    static std::recursive_mutex lock;
    return lock;
}

// The engine's own fontconfig configuration (not the process default, which
// other libraries share), released at exit.
class FontconfigSession {
public:
    FontconfigSession() : config_(FcInitLoadConfigAndFonts())
    {
        if (!config_)
            throw EInvalidGraphic("The font configuration cannot be loaded");
    }
    ~FontconfigSession() { FcConfigDestroy(config_); }
    FontconfigSession(const FontconfigSession&) = delete;
    FontconfigSession& operator=(const FontconfigSession&) = delete;
    FcConfig* Config() const { return config_; }

private:
    FcConfig* config_;
};

FcConfig* Fontconfig()
{
    static FontconfigSession session;
    return session.Config();
}

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0)
            throw EInvalidGraphic("The font library cannot be started");
        return lib;
    }();
    return library;
}

// The faces a document names and the metric-compatible faces installed in
// their place, so that text measures as it was designed.
const char* MetricCompatibleFamily(const std::string& name)
{
    struct Alias {
        const char* requested;
        const char* installed;
    };
    static const Alias aliases[] = {
        {"arial", "Liberation Sans"},
        {"times new roman", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
    };
    std::string lower;
    for (char c : name)
        lower += static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
    for (const Alias& alias : aliases)
        if (lower == alias.requested)
            return alias.installed;
    return nullptr;
}

struct ResolvedFace {
    std::string File;
    int Index = 0;
    std::string Family;
    bool SynthesizeBold = false;
    bool SynthesizeItalic = false;
};

ResolvedFace ResolveFace(const FontRequest& request)
{
    FcPattern* pattern = FcPatternCreate();
    const char* alias = MetricCompatibleFamily(request.Name);
    const std::string family = alias ? alias : request.Name;
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (request.FixedPitch)
        FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Fontconfig(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(Fontconfig(), pattern, &result);
    FcPatternDestroy(pattern);
    ResolvedFace face;
    if (!match)
        return face;
    FcChar8* file = nullptr;
    FcChar8* matchedFamily = nullptr;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        face.File = reinterpret_cast<char*>(file);
    if (FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch)
        face.Family = reinterpret_cast<char*>(matchedFamily);
    FcPatternGetInteger(match, FC_INDEX, 0, &face.Index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    face.SynthesizeBold = request.Bold && weight < FC_WEIGHT_DEMIBOLD;
    face.SynthesizeItalic = request.Italic && slant == FC_SLANT_ROMAN;
    FcPatternDestroy(match);
    return face;
}

int RoundToInt(double v) { return static_cast<int>(std::lround(v)); }

class FreeTypeFont final : public FontInstance {
public:
    FreeTypeFont(const ResolvedFace& resolved, int height) : file_(resolved.File), family_(resolved.Family)
    {
        if (FT_New_Face(Library(), resolved.File.c_str(), resolved.Index, &face_) != 0)
            throw EInvalidGraphic("Cannot load the font file \"" + resolved.File + "\"");
        synthesizeBold_ = resolved.SynthesizeBold;
        if (resolved.SynthesizeItalic) {
            FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000}; // about 12 degrees
            FT_Set_Transform(face_, &shear, nullptr);
        }
        SetSize(height);
    }
    ~FreeTypeFont() override { FT_Done_Face(face_); }
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;

    const TTextMetric& Metrics() const override { return metrics_; }
    const std::string& FileName() const override { return file_; }
    const std::string& FamilyName() const override { return family_; }
    LineDecoration Underline() const override { return underline_; }
    LineDecoration StrikeOut() const override { return strikeOut_; }

    const Glyph& GlyphOf(char32_t codePoint) override
    {
        std::lock_guard guard(EngineLock());
        auto found = glyphs_.find(codePoint);
        if (found != glyphs_.end())
            return found->second;
        return glyphs_.emplace(codePoint, Render(codePoint)).first->second;
    }

    int AdvanceOf(char32_t codePoint) override { return GlyphOf(codePoint).Advance; }

private:
    // The em size in pixels and the cell metrics. A cell height (positive)
    // sizes the em square so that the face's ascent plus descent fills it.
    void SetSize(int height)
    {
        const TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
        const double unitsPerEm = face_->units_per_EM ? face_->units_per_EM : 2048;
        const double ascentUnits = os2 && os2->usWinAscent ? os2->usWinAscent : face_->ascender;
        const double descentUnits = os2 && os2->usWinDescent ? os2->usWinDescent : -face_->descender;
        const double cellUnits = std::max(1.0, ascentUnits + descentUnits);
        if (height == 0)
            height = -DefaultEmPixels;
        height = std::clamp(height, -MaxEmPixels, MaxEmPixels);
        const double em = height < 0 ? -height : height * unitsPerEm / cellUnits;
        FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72);
        const double scale = em / unitsPerEm;
        metrics_.tmAscent = RoundToInt(ascentUnits * scale);
        metrics_.tmDescent = height > 0 ? height - metrics_.tmAscent : RoundToInt(descentUnits * scale);
        metrics_.tmHeight = metrics_.tmAscent + metrics_.tmDescent;
        metrics_.tmInternalLeading = std::max(0, metrics_.tmHeight - RoundToInt(em));
        const double lineGap = face_->height - (face_->ascender - face_->descender);
        const double extraCell = cellUnits - (face_->ascender - face_->descender);
        metrics_.tmExternalLeading = std::max(0, RoundToInt((lineGap - extraCell) * scale));
        metrics_.tmAveCharWidth = os2 && os2->xAvgCharWidth > 0 ? RoundToInt(os2->xAvgCharWidth * scale)
                                                                : RoundToInt(em / 2);
        metrics_.tmMaxCharWidth = RoundToInt(face_->max_advance_width * scale);
        underline_ = {RoundToInt(-face_->underline_position * scale),
                      std::max(1, RoundToInt(face_->underline_thickness * scale))};
        const double strikeSize = os2 && os2->yStrikeoutSize > 0 ? os2->yStrikeoutSize : face_->underline_thickness;
        const double strikePos = os2 && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition : ascentUnits / 3;
        strikeOut_ = {-RoundToInt(strikePos * scale), std::max(1, RoundToInt(strikeSize * scale))};
    }

    Glyph Render(char32_t codePoint)
    {
        Glyph glyph;
        const FT_UInt index = FT_Get_Char_Index(face_, codePoint);
        if (FT_Load_Glyph(face_, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0)
            return glyph;
        FT_GlyphSlot slot = face_->glyph;
        if (synthesizeBold_ && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            const FT_Pos strength = std::max<FT_Pos>(64,
                                                     FT_MulFix(face_->units_per_EM, face_->size->metrics.y_scale) / 24);
            FT_Outline_EmboldenXY(&slot->outline, strength, 0);
            slot->advance.x += strength;
        }
        glyph.Advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
            return glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.Left = slot->bitmap_left;
        glyph.Top = slot->bitmap_top;
        glyph.Width = static_cast<int>(bitmap.width);
        glyph.Rows = static_cast<int>(bitmap.rows);
        glyph.Mask.assign(static_cast<size_t>(glyph.Width) * glyph.Rows, 0);
        for (int y = 0; y < glyph.Rows; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            for (int x = 0; x < glyph.Width; ++x)
                if (row[x >> 3] & (0x80 >> (x & 7)))
                    glyph.Mask[static_cast<size_t>(y) * glyph.Width + x] = 255;
        }
        return glyph;
    }

    static constexpr int DefaultEmPixels = 11; // 8 points at 96 dpi
    // Larger requests (from damaged documents) are drawn at this size, which
    // keeps every cached glyph mask within about a megabyte.
    static constexpr int MaxEmPixels = 1000;

    FT_Face face_ = nullptr;
    std::string file_;
    std::string family_;
    bool synthesizeBold_ = false;
    TTextMetric metrics_;
    LineDecoration underline_;
    LineDecoration strikeOut_;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

struct CacheEntry {
    FontRequest Request;
    std::shared_ptr<FontInstance> Font;
};

// A small most-recently-used list: documents use a handful of fonts.
std::list<CacheEntry>& Cache()
{
    static std::list<CacheEntry> cache;
    return cache;
}

constexpr size_t MaxCachedFonts = 48;

} // namespace

std::shared_ptr<FontInstance> AcquireFont(const FontRequest& request)
{
    std::lock_guard guard(EngineLock());
    Fontconfig(); // created before the cache, so released after it
    auto& cache = Cache();
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (it->Request == request) {
            cache.splice(cache.begin(), cache, it);
            return it->Font;
        }
    }
    ResolvedFace face = ResolveFace(request);
    if (face.File.empty())
        throw EInvalidGraphic("No font found for \"" + request.Name + "\"");
    auto font = std::make_shared<FreeTypeFont>(face, request.Height);
    cache.push_front({request, font});
    if (cache.size() > MaxCachedFonts)
        cache.pop_back();
    return font;
}

std::string ResolvedFamily(const FontRequest& request)
{
    std::lock_guard guard(EngineLock());
    return ResolveFace(request).Family;
}

void FlushFontCache()
{
    std::lock_guard guard(EngineLock());
    Cache().clear();
}

bool AddFontFileToEngine(const std::string& path)
{
    std::lock_guard guard(EngineLock());
    if (!FcConfigAppFontAddFile(Fontconfig(), reinterpret_cast<const FcChar8*>(path.c_str())))
        return false;
    Cache().clear();
    return true;
}

void RemoveAddedFontFiles()
{
    std::lock_guard guard(EngineLock());
    FcConfigAppFontClear(Fontconfig());
    Cache().clear();
}

namespace {

std::vector<InstalledFont> ListFonts(FcConfig* config)
{
    std::vector<InstalledFont> fonts;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, nullptr);
    FcFontSet* set = pattern && objects ? FcFontList(config, pattern, objects) : nullptr;
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
    if (!set)
        return fonts;
    for (int i = 0; i < set->nfont; ++i) {
        FcChar8* family = nullptr;
        FcChar8* style = nullptr;
        FcChar8* file = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch ||
            FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        InstalledFont font{reinterpret_cast<char*>(family), {}, reinterpret_cast<char*>(file)};
        if (FcPatternGetString(set->fonts[i], FC_STYLE, 0, &style) == FcResultMatch)
            font.Style = reinterpret_cast<char*>(style);
        fonts.push_back(std::move(font));
    }
    FcFontSetDestroy(set);
    return fonts;
}

} // namespace

std::vector<InstalledFont> InstalledFonts()
{
    std::lock_guard guard(EngineLock());
    return ListFonts(Fontconfig());
}

std::vector<InstalledFont> SystemFonts()
{
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return {};
    std::vector<InstalledFont> fonts = ListFonts(config);
    FcConfigDestroy(config);
    return fonts;
}

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
        char32_t cp = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool valid = extra >= 0 && i + extra < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (valid && (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            valid = false;
        if (valid) {
            out += cp;
            i += extra + 1;
        } else {
            out += U'\uFFFD';
            ++i;
        }
    }
    return out;
}

} // namespace gfx
