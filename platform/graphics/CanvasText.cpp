#include "platform/graphics/CanvasText.h"

#include <algorithm>

namespace gfx {

std::shared_ptr<FontInstance> FontOf(const TFont& font)
{
    const TFontStyles style = font.Style();
    return AcquireFont(
        {font.Name(), font.Height(), style.Contains(fsBold), style.Contains(fsItalic), font.Pitch() == fpFixed});
}

TTextMetric GetTextMetrics(TCanvas& canvas) { return FontOf(canvas.Font)->Metrics(); }

} // namespace gfx

namespace {

using gfx::FontInstance;

// A character of laid-out text; Prefixed marks the one an "&" underlines.
struct TextChar {
    char32_t Code;
    bool Prefixed;
};
using TextLine = std::vector<TextChar>;

bool IsLineBreak(char32_t c) { return c == U'\r' || c == U'\n'; }

TextLine PlainText(const std::u32string& text)
{
    TextLine line;
    for (char32_t c : text)
        line.push_back({c, false});
    return line;
}

TextLine PlainText(const std::string& text) { return PlainText(gfx::DecodeUtf8(text)); }

// "&&" is a literal "&", "&x" marks x; a lone "&" at the end shows nothing.
TextLine ResolvePrefixes(const std::u32string& text)
{
    TextLine line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != U'&') {
            line.push_back({text[i], false});
        } else if (i + 1 < text.size()) {
            ++i;
            line.push_back({text[i], text[i] != U'&' && !IsLineBreak(text[i])});
        }
    }
    return line;
}

// Pen positions along a line: glyph advances, and tab stops every eight
// average character widths when tabs are expanded.
class LineMeasure {
public:
    LineMeasure(FontInstance& font, bool expandTabs)
        : font_(font), expandTabs_(expandTabs), tabWidth_(8 * std::max(1, font.Metrics().tmAveCharWidth))
    { }

    bool IsTabStop(char32_t c) const { return expandTabs_ && c == U'\t'; }

    int Advance(int x, char32_t c) const
    {
        if (IsTabStop(c))
            return (x / tabWidth_ + 1) * tabWidth_;
        return x + font_.AdvanceOf(c);
    }

    int Width(const TextLine& line, size_t from = 0, size_t to = SIZE_MAX) const
    {
        int x = 0;
        for (size_t i = from; i < std::min(to, line.size()); ++i)
            x = Advance(x, line[i].Code);
        return x;
    }

private:
    FontInstance& font_;
    bool expandTabs_;
    int tabWidth_;
};

std::vector<TextLine> SplitHardLines(const TextLine& text)
{
    std::vector<TextLine> lines;
    TextLine current;
    bool open = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i].Code;
        if (IsLineBreak(c)) {
            lines.push_back(std::move(current));
            current.clear();
            open = false;
            if (c == U'\r' && i + 1 < text.size() && text[i + 1].Code == U'\n')
                ++i;
            continue;
        }
        current.push_back(text[i]);
        open = true;
    }
    if (open)
        lines.push_back(std::move(current));
    return lines;
}

TextLine Slice(const TextLine& line, size_t from, size_t to)
{
    return TextLine(line.begin() + static_cast<ptrdiff_t>(from), line.begin() + static_cast<ptrdiff_t>(to));
}

// Greedy breaking at blanks: a word goes to the next line when it would make
// the line wider than maxWidth, unless it is the line's first word. Blanks at
// a break are dropped. Every character is measured at most twice.
void WrapLine(const TextLine& line, int maxWidth, const LineMeasure& measure, std::vector<TextLine>& out)
{
    const size_t n = line.size();
    size_t lineStart = 0;
    size_t lineEnd = 0;
    int penAtLineEnd = 0;
    bool lineHasWord = false;
    size_t pos = 0;
    while (true) {
        size_t wordStart = pos;
        while (wordStart < n && line[wordStart].Code == U' ')
            ++wordStart;
        if (wordStart >= n)
            break;
        size_t wordEnd = wordStart;
        while (wordEnd < n && line[wordEnd].Code != U' ')
            ++wordEnd;
        int pen = penAtLineEnd;
        for (size_t i = lineEnd; i < wordEnd; ++i)
            pen = measure.Advance(pen, line[i].Code);
        if (lineHasWord && pen > maxWidth) {
            out.push_back(Slice(line, lineStart, lineEnd));
            lineStart = wordStart;
            pen = measure.Width(line, wordStart, wordEnd);
        }
        lineEnd = wordEnd;
        penAtLineEnd = pen;
        lineHasWord = true;
        pos = wordEnd;
    }
    out.push_back(Slice(line, lineStart, lineHasWord ? lineEnd : n));
}

const TextLine& Dots()
{
    static const TextLine dots{{U'.', false}, {U'.', false}, {U'.', false}};
    return dots;
}

TextLine Joined(const TextLine& a, const TextLine& b, const TextLine& c = {})
{
    TextLine line = a;
    line.insert(line.end(), b.begin(), b.end());
    line.insert(line.end(), c.begin(), c.end());
    return line;
}

// The longest prefix of `head` (kept is its length) with which
// prefix + "..." + tail fits; the width grows with the prefix, so a binary
// search finds it in a few measurements even for long texts.
TextLine LongestFitting(const TextLine& head, const TextLine& tail, int maxWidth, const LineMeasure& measure)
{
    auto candidate = [&](size_t kept) { return Joined(Slice(head, 0, kept), Dots(), tail); };
    size_t fits = 0;
    size_t tooLong = head.size() + 1;
    while (tooLong - fits > 1) {
        const size_t middle = fits + (tooLong - fits) / 2;
        if (measure.Width(candidate(middle)) <= maxWidth)
            fits = middle;
        else
            tooLong = middle;
    }
    return candidate(fits);
}

// Characters leave the end until the rest and "..." fit.
TextLine EndEllipsis(const TextLine& line, int maxWidth, const LineMeasure& measure)
{
    if (line.empty() || measure.Width(line) <= maxWidth)
        return line;
    return LongestFitting(Slice(line, 0, line.size() - 1), {}, maxWidth, measure);
}

// Characters leave the part before the last path separator, so the file
// name stays whole as long as it can.
TextLine PathEllipsis(const TextLine& line, int maxWidth, const LineMeasure& measure)
{
    if (measure.Width(line) <= maxWidth)
        return line;
    size_t separator = line.size();
    for (size_t i = line.size(); i-- > 0;)
        if (line[i].Code == U'\\' || line[i].Code == U'/') {
            separator = i;
            break;
        }
    if (separator == line.size())
        return EndEllipsis(line, maxWidth, measure);
    const TextLine tail = Slice(line, separator, line.size());
    const TextLine shortened = LongestFitting(Slice(line, 0, separator), tail, maxWidth, measure);
    if (measure.Width(shortened) <= maxWidth)
        return shortened;
    return EndEllipsis(Joined(Dots(), tail), maxWidth, measure);
}

std::vector<TextLine> LayoutLines(const std::string& text, int maxWidth, unsigned flags, const LineMeasure& measure)
{
    const std::u32string codes = gfx::DecodeUtf8(text);
    TextLine chars = (flags & DT_NOPREFIX) ? PlainText(codes) : ResolvePrefixes(codes);
    std::vector<TextLine> lines;
    if (flags & DT_SINGLELINE) {
        std::erase_if(chars, [](const TextChar& c) { return IsLineBreak(c.Code); });
        if (!chars.empty())
            lines.push_back(std::move(chars));
    } else {
        for (TextLine& hard : SplitHardLines(chars)) {
            if (flags & DT_WORDBREAK)
                WrapLine(hard, maxWidth, measure, lines);
            else
                lines.push_back(std::move(hard));
        }
    }
    for (TextLine& line : lines) {
        if (flags & DT_PATH_ELLIPSIS)
            line = PathEllipsis(line, maxWidth, measure);
        else if (flags & DT_END_ELLIPSIS)
            line = EndEllipsis(line, maxWidth, measure);
    }
    return lines;
}

// Paints a mask, cut to the clip rectangle when one is given.
void PaintMask(TCanvas& canvas, int x, int y, const std::uint8_t* mask, int width, int height, std::ptrdiff_t stride,
               TColor color, const TRect* clip)
{
    TRect area{x, y, x + width, y + height};
    if (clip)
        area = gfx::IntersectRect(area, *clip);
    if (area.IsEmpty())
        return;
    const std::uint8_t* first = mask + (area.Top - y) * stride + (area.Left - x);
    canvas.DrawGlyphMask(area.Left, area.Top, first, area.Width(), area.Height(), stride, color);
}

void PaintBar(TCanvas& canvas, int x, int y, int width, int height, TColor color, const TRect* clip)
{
    if (width <= 0 || height <= 0)
        return;
    const std::vector<std::uint8_t> solid(static_cast<size_t>(width) * height, 255);
    PaintMask(canvas, x, y, solid.data(), width, height, width, color, clip);
}

// The text background: the brush colour, solid, unless the brush is clear.
void FillBackground(TCanvas& canvas, TRect box, const TRect* clip)
{
    if (canvas.Brush.Style == bsClear)
        return;
    if (clip)
        box = gfx::IntersectRect(box, *clip);
    if (box.IsEmpty())
        return;
    const TBrush saved = canvas.Brush;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Bitmap = nullptr;
    canvas.FillRect(box);
    canvas.Brush = saved;
}

// Draws one line with its top-left at (x, y); returns the pen's end.
int DrawLine(TCanvas& canvas, FontInstance& font, const LineMeasure& measure, const TextLine& line, int x, int y,
             const TRect* clip)
{
    const TColor color = canvas.Font.Color();
    const int baseline = y + font.Metrics().tmAscent;
    const gfx::LineDecoration underline = font.Underline();
    int pen = x;
    for (const TextChar& c : line) {
        const int next = measure.Advance(pen, c.Code);
        if (!measure.IsTabStop(c.Code)) {
            const gfx::Glyph& glyph = font.GlyphOf(c.Code);
            if (!glyph.Mask.empty())
                PaintMask(canvas, pen + glyph.Left, baseline - glyph.Top, glyph.Mask.data(), glyph.Width, glyph.Rows,
                          glyph.Width, color, clip);
        }
        if (c.Prefixed)
            PaintBar(canvas, pen, baseline + underline.Offset, next - pen, underline.Thickness, color, clip);
        pen = next;
    }
    const TFontStyles style = canvas.Font.Style();
    if (style.Contains(fsUnderline))
        PaintBar(canvas, x, baseline + underline.Offset, pen - x, underline.Thickness, color, clip);
    if (style.Contains(fsStrikeOut)) {
        const gfx::LineDecoration strike = font.StrikeOut();
        PaintBar(canvas, x, baseline + strike.Offset, pen - x, strike.Thickness, color, clip);
    }
    return pen;
}

int AlignedLeft(const TRect& rect, int lineWidth, unsigned flags)
{
    if (flags & DT_CENTER)
        return rect.Left + (rect.Width() - lineWidth) / 2;
    if (flags & DT_RIGHT)
        return rect.Right - lineWidth;
    return rect.Left;
}

} // namespace

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    auto font = gfx::FontOf(Font);
    const LineMeasure measure(*font, false);
    const TextLine line = PlainText(text);
    const int width = measure.Width(line);
    FillBackground(*this, {x, y, x + width, y + font->Metrics().tmHeight}, nullptr);
    DrawLine(*this, *font, measure, line, x, y, nullptr);
    SetPenPos({x + width, y});
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text)
{
    auto font = gfx::FontOf(Font);
    const LineMeasure measure(*font, false);
    FillBackground(*this, rect, nullptr);
    DrawLine(*this, *font, measure, PlainText(text), x, y, &rect);
}

TSize TCanvas::TextExtent(const std::string& text)
{
    auto font = gfx::FontOf(Font);
    return {LineMeasure(*font, false).Width(PlainText(text)), font->Metrics().tmHeight};
}

int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

namespace gfx {

int DrawText(TCanvas& canvas, const std::string& text, TRect& rect, unsigned flags)
{
    auto font = FontOf(canvas.Font);
    const TTextMetric& metrics = font->Metrics();
    const LineMeasure measure(*font, (flags & DT_EXPANDTABS) != 0);
    const std::vector<TextLine> lines = LayoutLines(text, rect.Width(), flags, measure);
    const int lineHeight = metrics.tmHeight + ((flags & DT_EXTERNALLEADING) ? metrics.tmExternalLeading : 0);
    const int textHeight = lineHeight * static_cast<int>(lines.size());

    if (flags & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines)
            widest = std::max(widest, measure.Width(line));
        rect.Right = rect.Left + widest;
        rect.Bottom = rect.Top + textHeight;
        return textHeight;
    }

    const bool single = (flags & DT_SINGLELINE) != 0;
    int y = rect.Top;
    if (single && (flags & DT_VCENTER))
        y = rect.Top + (rect.Height() - textHeight) / 2;
    else if (single && (flags & DT_BOTTOM))
        y = rect.Bottom - textHeight;
    const TRect* clip = (flags & DT_NOCLIP) ? nullptr : &rect;
    const int top = y;
    for (const TextLine& line : lines) {
        const int width = measure.Width(line);
        const int x = AlignedLeft(rect, width, flags);
        FillBackground(canvas, {x, y, x + width, y + lineHeight}, clip);
        DrawLine(canvas, *font, measure, line, x, y, clip);
        y += lineHeight;
    }
    return single && (flags & (DT_VCENTER | DT_BOTTOM)) ? top - rect.Top + textHeight : textHeight;
}

} // namespace gfx
