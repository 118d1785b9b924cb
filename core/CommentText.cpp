#include "core/CommentText.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasText.h"
#include "platform/graphics/Font.h"
#include "platform/rtl/Math.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace CommentText {

int ScaledFontHeight(const TVistelo& show, int height, int clientWidth, int clientHeight)
{
    const int referenceWidth = show.ReferenceWidth;
    const int referenceHeight = show.ReferenceHeight;
    if (!show.ScaleFontToScreen || referenceWidth == -1 || referenceHeight == -1 || referenceWidth == 0 ||
        referenceHeight == 0 || (clientWidth == referenceWidth && clientHeight == referenceHeight))
        return height;
    const double ratio = std::max(static_cast<double>(clientWidth) / referenceWidth,
                                  static_cast<double>(clientHeight) / referenceHeight);
    const std::int64_t scaled = rtl::Round(ratio * height);
    return static_cast<int>(
        std::clamp<std::int64_t>(scaled, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

namespace {

enum class TInk { Text, Effect1, Effect2 };

struct TPass {
    int Dx;
    int Dy;
    TInk Ink;
};

// Every pass of an effect; the last one is the text itself.
std::vector<TPass> PassesOf(TTextEffect effect)
{
    std::vector<TPass> passes;
    switch (effect) {
    case teBorder:
    case teBorder3D:
        for (int dy = 0; dy <= 2; ++dy)
            for (int dx = 0; dx <= 2; ++dx) {
                const bool corner = effect == teBorder3D && dx == 2 && dy == 2;
                passes.push_back({dx, dy, corner ? TInk::Effect2 : TInk::Effect1});
            }
        passes.push_back({1, 1, TInk::Text});
        break;
    case teShadow:
        passes.push_back({1, 1, TInk::Effect1});
        passes.push_back({2, 2, TInk::Effect1});
        passes.push_back({0, 0, TInk::Text});
        break;
    case teNone: passes.push_back({0, 0, TInk::Text}); break;
    }
    return passes;
}

TTextEffect TextEffectOf(TCommentEffects effect)
{
    switch (effect) {
    case ceBorder: return teBorder;
    case ceShadow: return teShadow;
    case ce3DBorder: return teBorder3D;
    case ceNone: break;
    }
    return teNone;
}

void DrawPasses(TCanvas& canvas, TRect& rect, int height, const std::string& text, unsigned flags, TTextEffect effect,
                TColor textColour, TColor colour1, TColor colour2)
{
    canvas.Brush.Style = bsClear;
    if (height != -1)
        canvas.Font.SetHeight(std::abs(height));
    TRect last = rect;
    for (const TPass& pass : PassesOf(effect)) {
        canvas.Font.SetColor(pass.Ink == TInk::Text ? textColour : pass.Ink == TInk::Effect1 ? colour1 : colour2);
        last = gfx::OffsetRect(rect, pass.Dx, pass.Dy);
        gfx::DrawText(canvas, text, last, flags);
    }
    if (flags & DT_CALCRECT)
        rect = last;
}

} // namespace

void DrawCommentText(TCanvas& canvas, TRect& rect, int height, const std::string& text, unsigned flags,
                     TCommentEffects effect, TColor textColour, TColor effectColour1, TColor effectColour2)
{
    DrawPasses(canvas, rect, height, text, flags, TextEffectOf(effect), textColour, effectColour1, effectColour2);
}

void CustomDrawTextWithEffects(TCanvas& canvas, const TFont& font, TRect& rect, int height, const std::string& text,
                               unsigned flags, TTextEffect effect, TColor colour1, TColor colour2)
{
    canvas.Font.Assign(font);
    DrawPasses(canvas, rect, height, text, flags, effect, font.Color(), colour1, colour2);
}

void DrawTextWithEffects(TCanvas& canvas, const TFont& font, const TRect& rect, int height, const std::string& text,
                         unsigned flags, TTextEffect effect, TColor colour1, TColor colour2)
{
    TRect copy = rect;
    CustomDrawTextWithEffects(canvas, font, copy, height, text, flags, effect, colour1, colour2);
}

} // namespace CommentText
