#include "editor/app/ExtPicPrefsApply.h"

#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "platform/graphics/Font.h"

using namespace PicInfoUnit;

namespace ExtPicPrefsApply {

namespace {

bool SameFace(const TFont* A, const TFont* B)
{
    if (!A || !B)
        return A == B;
    return A->Name() == B->Name() && A->Size() == B->Size() && A->Style() == B->Style();
}

TColor FontColor(const TPicInfoObject& Entry) { return Entry.CommentFont ? Entry.CommentFont->Color() : clBlack; }

} // namespace

bool ApplyChanges(const TPicInfoObject& Entry, const TPicInfoObject& Copy, const TControlValues& Controls)
{
    bool changed = false;
    auto step = [&changed](bool differs, auto&& set) {
        if (!differs)
            return;
        set();
        changed = true;
    };

    step(Copy.Sound != Entry.Sound, [&] { SetSound(Copy.Sound); });
    step(Copy.SynchronizeWithSound != Entry.SynchronizeWithSound,
         [&] { SetSynchronizeWithSound(Copy.SynchronizeWithSound); });
    step(Copy.RepeatSound != Entry.RepeatSound, [&] { SetRepeatSound(Copy.RepeatSound); });
    step(Copy.DontStopSound != Entry.DontStopSound, [&] { SetDontStopSound(Copy.DontStopSound); });
    if (Controls.UserDelay)
        step(Controls.Delay != Entry.Pause, [&] { SetPause(Controls.Delay); });
    else
        step(Entry.Pause != -1, [] { SetPause(-1); });
    step(Copy.Placement != Entry.Placement, [&] { SetPlacement(Copy.Placement); });
    step(Copy.CommentEffects != Entry.CommentEffects, [&] { SetCommentEffects(Copy.CommentEffects); });
    step(Controls.EffectColor1 != Entry.EffectColor1, [&] { SetEffectColor1(Controls.EffectColor1); });
    step(Controls.EffectColor2 != Entry.EffectColor2, [&] { SetEffectColor2(Controls.EffectColor2); });
    if (Controls.Font)
        step(!SameFace(Controls.Font, Entry.CommentFont.get()), [&] { SetCommentFont(*Controls.Font); });
    step(Controls.FontColor != FontColor(Entry), [&] { SetCommentFontColor(Controls.FontColor); });
    if (Controls.PixelHeight) {
        step(Controls.PixelHeightValue != Entry.CommentFontHeight,
             [&] { SetCommentFontHeight(Controls.PixelHeightValue); });
    } else if (Entry.CommentFontHeight != -1) {
        // Going back to the font's own size alone shows nothing new in the list.
        SetCommentFontHeight(-1);
    }
    step(Copy.CommentPlacement != Entry.CommentPlacement ||
             !VisteloSetup::EqualPlacementRects(Copy.CommentUserPlacement, Entry.CommentUserPlacement),
         [&] {
             SetCommentPlacement(Copy.CommentPlacement);
             SetCommentUserPlacement(Copy.CommentUserPlacement);
         });
    step(Copy.SizePercent != Entry.SizePercent, [&] {
        SetSizePercent(Copy.SizePercent);
        SetPicPlacement(Copy.PicPlacement);
    });
    step(Copy.Placement != Entry.Placement || !VisteloSetup::EqualPlacementRects(Copy.PicPlacement, Entry.PicPlacement),
         [&] {
             SetPlacement(Copy.Placement);
             SetPicPlacement(Copy.PicPlacement);
         });
    return changed;
}

} // namespace ExtPicPrefsApply
