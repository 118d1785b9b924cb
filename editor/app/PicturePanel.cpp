#include "editor/app/PicturePanel.h"

#include "core/VisteloNPics.h"
#include "platform/graphics/Font.h"

#include <algorithm>

namespace PicturePanel {

namespace {

// The placement that fills the window (its own stretching).
constexpr int FillPlacement = 9;

} // namespace

bool CommentFormatIsDefault(const TPicInfoObject& Picture)
{
    const TFont* font = Picture.CommentFont.get();
    return font && font->Name() == "Arial" && font->Size() == 14 && Picture.CommentFontHeight == -1 &&
        font->Style() == TFontStyles{} && font->Color() == TColor(0xFFFFFF) && Picture.CommentPlacement != cpUser &&
        Picture.CommentEffects == ceBorder && Picture.EffectColor1 == 0 && Picture.EffectColor2 == 0;
}

TPanelGlyphs PanelGlyphs(const TPicInfoObject& Picture)
{
    TPanelGlyphs glyphs;
    if (Picture.Sound.empty())
        glyphs.Sound = "SpeakerRed";
    else
        glyphs.Sound = Picture.SynchronizeWithSound != ssNoSync ? "SpeakerGreenS" : "SpeakerGreen";
    glyphs.Font = CommentFormatIsDefault(Picture) ? "ARed" : "AGreen";
    glyphs.Sleep = Picture.Pause != -1 ? "SleepGreen" : "SleepRed";
    glyphs.SpecPlacement = Picture.Placement != 0 || Picture.SizePercent != pNone ? "LandScapeGreen" : "LandScapeRed";
    return glyphs;
}

bool StretchSwitchable(const TPicInfoObject& Picture)
{
    return Picture.SizePercent == pNone && Picture.Placement != FillPlacement && Picture.ShowImage;
}

TMenuEnabling MenuEnabling(const TListState& State)
{
    TMenuEnabling enabling;
    enabling.PictureCommands = State.Selected >= 1;
    enabling.MarkCommands = State.Selected >= 1 && !State.SortMode;
    enabling.ListCommands = State.Count >= 1;
    enabling.PopupCommands = State.HasTarget;
    enabling.Assistants = State.Count >= 1;
    enabling.PictureOptions = State.Selected >= 1;
    return enabling;
}

int SortDropIndex(int Source, int Target) { return Target < Source ? Target + 1 : Target; }

TScrollStep ScrollTick(int X, int Y, int ClientWidth, int ClientHeight, int ItemHeight, unsigned Interval)
{
    TScrollStep step;
    const bool across = X >= 0 && X < ClientWidth;
    if (across && Y >= 0 && Y <= ItemHeight)
        step.Scroll = -1;
    else if (across && Y >= ClientHeight - ItemHeight && Y <= ClientHeight)
        step.Scroll = 1;
    if (step.Scroll == 0)
        return step;
    step.Tag = 1;
    step.Interval = Interval > 50 ? Interval / 2 : Interval;
    return step;
}

int FirstPaneAfterResize(int FirstSize, int SecondSize, int SecondLimit)
{
    if (SecondSize >= SecondLimit)
        return FirstSize;
    return std::max(0, FirstSize - (SecondLimit - SecondSize));
}

} // namespace PicturePanel
