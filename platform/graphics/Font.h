#pragma once
// TFont: the description of a text font as documents and controls keep it
// (face name, height or point size, style, colour), and the run-time font
// files a show brings along. Faces are resolved by fontconfig; the common
// document faces map to installed metric-compatible ones (TextEngine).

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/Graphic.h"
#include "platform/rtl/Classes.h"

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// The set of styles; bit n is TFontStyle n (the order files store it in).
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles)
    {
        for (TFontStyle s : styles)
            bits_ |= Bit(s);
    }
    static constexpr TFontStyles FromBits(std::uint8_t bits)
    {
        TFontStyles set;
        set.bits_ = bits & 0x0F;
        return set;
    }
    constexpr std::uint8_t Bits() const { return bits_; }
    constexpr bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TFontStyles& Include(TFontStyle s)
    {
        bits_ |= Bit(s);
        return *this;
    }
    constexpr TFontStyles& Exclude(TFontStyle s)
    {
        bits_ &= static_cast<std::uint8_t>(~Bit(s));
        return *this;
    }
    friend constexpr TFontStyles operator+(TFontStyles a, TFontStyles b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TFontStyles operator-(TFontStyles a, TFontStyles b)
    {
        return FromBits(a.bits_ & static_cast<std::uint8_t>(~b.bits_));
    }
    friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
    static constexpr std::uint8_t Bit(TFontStyle s) { return static_cast<std::uint8_t>(1u << s); }
    std::uint8_t bits_ = 0;
};

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset OEM_CHARSET = 255;

class TFont : public TPersistent {
    DECLARE_CLASS(TFont, TPersistent)

public:
    // The screen resolution the point size is converted at.
    static constexpr int PixelsPerInch = 96;

    TFont() = default;
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);
    ~TFont() override = default;

    // Copies face, height, style, colour, charset, pitch and orientation; fires
    // OnChange once when anything differed. Other sources: EConvertError.
    void Assign(const TPersistent* source) override;
    void Assign(const TFont& source);

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);

    // Negative: the em height in pixels; positive: the cell height (em plus
    // internal leading); 0: the default size.
    int Height() const { return height_; }
    void SetHeight(int height);

    // Points at 96 dpi: Size = -Height * 72 / 96, Height = -Size * 96 / 72
    // (rounded); a negative size therefore asks for a cell height.
    int Size() const;
    void SetSize(int points);

    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);

    TColor Color() const { return color_; }
    void SetColor(TColor color);

    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset charset);

    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);

    // Escapement in tenths of a degree. Kept and copied; text is drawn level.
    int Orientation() const { return orientation_; }
    void SetOrientation(int tenthsOfDegree);

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    template <typename T> void Set(T& field, const T& value);

    std::string name_ = "Arial";
    int height_ = -11; // 8 points
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    int orientation_ = 0;
};

namespace gfx {

// MulDiv as the platform rounds it: (a * b) / c to the nearest integer, halves
// away from zero; -1 for a zero divisor or a result beyond int.
int MulDiv(int a, int b, int c);

// Makes the fonts of a file usable by name for this process (fonts that come
// with a show). Returns false when the file holds no usable font.
bool AddFontFile(const std::string& path);
// Takes a file added with AddFontFile away again; false when it was not added.
bool RemoveFontFile(const std::string& path);

// The font files of a face, best matches first: a style of the face named
// exactly ("Liberation Sans") before its further styles ("Liberation Sans
// Bold"), several files of the same rank all returned. Empty when none.
std::vector<std::string> FindFontFiles(const std::string& faceName);

} // namespace gfx
