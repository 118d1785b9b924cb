// The current-show access layer of unit PicInfoUnit.

#include "editor/app/PicInfoUnit.h"

#include "platform/graphics/Font.h"

#include <functional>

namespace PicInfoUnit {

TPicInfoAccessMethod PicInfoAccessMethod = paPicListBox;
TVistelo* AccessVistelo = nullptr;
TPicListAccess* PicListAccess = nullptr;
TCatalogAccess* CatalogAccess = nullptr;

namespace {

TVistelo& RequireAccessVistelo()
{
    if (!AccessVistelo)
        throw EPicInfoAccess("AccessVistelo = nil!");
    return *AccessVistelo;
}

bool OverList() { return PicInfoAccessMethod == paPicListBox || PicInfoAccessMethod == paCatalogPicListBoxPicTag; }
bool OverShow() { return PicInfoAccessMethod == paVistelo || PicInfoAccessMethod == paCatalogVistelo; }
bool InCatalog() { return PicInfoAccessMethod == paCatalogPicListBoxPicTag || PicInfoAccessMethod == paCatalogVistelo; }

int ListSelCount()
{
    if (!PicListAccess)
        return -1;
    const int count = PicListAccess->SelCount();
    if (count != -1)
        return count;
    // A list with one selected item at most: its current item is the one.
    return PicListAccess->ItemIndex() >= 0 ? 1 : -1;
}

bool CatalogSelected(int Index)
{
    const TPicInfoObject* entry = GetPicInfoObject(Index);
    return entry && (entry->Flags & pfSelected) != 0;
}

// Runs Change on each picture a setter targets.
void ForEachTarget(const std::function<void(TPicInfoObject&)>& Change)
{
    if (PicSelCount() == 1) {
        if (TPicInfoObject* entry = GetPicInfoObject(PicSelectedIndex()))
            Change(*entry);
        return;
    }
    const int count = PicCount();
    for (int i = 0; i < count; ++i)
        if (PicSelected(i))
            if (TPicInfoObject* entry = GetPicInfoObject(i))
                Change(*entry);
}

TFont& CommentFontOf(TPicInfoObject& Entry)
{
    if (!Entry.CommentFont)
        Entry.CommentFont = std::make_unique<TFont>();
    return *Entry.CommentFont;
}

} // namespace

TVistelo* CurrentVistelo()
{
    if (OverList())
        return PicListAccess ? PicListAccess->Document() : nullptr;
    if (OverShow())
        return &RequireAccessVistelo();
    return nullptr;
}

int PicCount()
{
    if (OverList())
        return PicListAccess ? PicListAccess->Count() : 0;
    if (OverShow())
        return RequireAccessVistelo().Count;
    return -1;
}

TPicInfoObject* GetPicInfoObject(int Index)
{
    if (OverList())
        return PicListAccess && Index >= 0 && Index < PicListAccess->Count() ? PicListAccess->Object(Index) : nullptr;
    if (OverShow())
        return RequireAccessVistelo().GetPicInfo(Index);
    return nullptr;
}

int PicSelCount()
{
    switch (PicInfoAccessMethod) {
    case paPicListBox: return ListSelCount();
    case paCatalogPicListBoxPicTag:
    case paCatalogVistelo: return CatalogAccess ? CatalogAccess->SelCount() : -1;
    default: return -1;
    }
}

bool PicSelected(int Index)
{
    if (PicInfoAccessMethod == paPicListBox) {
        if (!PicListAccess || Index < 0 || Index >= PicListAccess->Count())
            return false;
        if (!PicListAccess->MultiSelect())
            return Index == PicListAccess->ItemIndex();
        return PicListAccess->Selected(Index);
    }
    return PicInfoAccessMethod != paNone && CatalogSelected(Index);
}

bool PicChecked(int Index)
{
    if (PicInfoAccessMethod == paPicListBox)
        return PicListAccess && Index >= 0 && Index < PicListAccess->Count() && PicListAccess->Checked(Index);
    const TPicInfoObject* entry = PicInfoAccessMethod == paNone ? nullptr : GetPicInfoObject(Index);
    return entry && entry->ShowImage;
}

int PicItemIndex()
{
    switch (PicInfoAccessMethod) {
    case paPicListBox: {
        if (!PicListAccess)
            return -1;
        const int current = PicListAccess->ItemIndex();
        const int selected = PicListAccess->SelCount();
        if (selected == 0 || current < 0)
            return -1;
        return current;
    }
    case paCatalogPicListBoxPicTag:
    case paCatalogVistelo: return CatalogAccess ? CatalogAccess->ItemIndex() : -1;
    case paVistelo: {
        const TVistelo& show = RequireAccessVistelo();
        return show.GetOrder(show.CurrentIndex);
    }
    default: return -1;
    }
}

void SetPicItemIndex(int Index)
{
    if (PicInfoAccessMethod == paPicListBox && PicListAccess)
        PicListAccess->SetItemIndex(Index);
    else if (InCatalog() && CatalogAccess)
        CatalogAccess->SelectPicture(Index);
}

int PicSelectedIndex()
{
    if (PicSelCount() != 1)
        return -1;
    if (PicInfoAccessMethod == paPicListBox && PicListAccess && PicListAccess->SelCount() == -1)
        return PicListAccess->ItemIndex();
    // The current item need not be the selected one (a Ctrl-click can take
    // the selection from it), so the selection is searched.
    const int current = PicItemIndex();
    if (current >= 0 && PicSelected(current))
        return current;
    const int count = PicCount();
    for (int i = 0; i < count; ++i)
        if (PicSelected(i))
            return i;
    return -1;
}

void SetStretch(bool Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Stretch = Value || e.SizePercent != pNone; });
}
void SetCenter(bool Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Center = Value; });
}
void SetShowImage(bool Value, bool MarkChange)
{
    ForEachTarget([&](TPicInfoObject& e) {
        if (MarkChange && e.ShowImage != Value)
            e.Flags |= pfChanged;
        e.ShowImage = Value;
    });
}
void SetProportions(bool Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Proportions = Value; });
}
void SetShowComments(bool Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.ShowComments = Value; });
}
void SetBackgroundColor(TColor Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.BackgroundColor = Value; });
}
void SetCommentAlignment(TCommentAlignment Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.CommentAlignment = Value; });
}
void SetCommentPlacement(TCommentPlacement Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.CommentPlacement = Value; });
}
void SetSound(const std::string& Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Sound = Value; });
}
void SetSynchronizeWithSound(TSoundSync Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.SynchronizeWithSound = Value; });
}
void SetRepeatSound(bool Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.RepeatSound = Value; });
}
void SetDontStopSound(bool Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.DontStopSound = Value; });
}
void SetPause(std::int32_t Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Pause = Value; });
}
void SetPlacement(TSpecialPlacement Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Placement = Value; });
    if (Value == spUser)
        SetStretch(true);
}
void SetSizePercent(TSizePercent Value)
{
    ForEachTarget([&](TPicInfoObject& e) {
        if (Value != pNone)
            e.Stretch = true;
        e.SizePercent = Value;
    });
}
void SetCommentUserPlacement(const TPlacementRectExt& Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.CommentUserPlacement = Value; });
}
void SetPicPlacement(const TPlacementRectExt& Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.PicPlacement = Value; });
}
void SetKeywords(const std::string& Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Keywords = Value; });
}
void SetComments(const std::string& Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Comments = Value; });
}
void SetBlending(std::int32_t Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.Blending = Value; });
}
void SetCommentEffects(TCommentEffects Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.CommentEffects = Value; });
}
void SetEffectColor1(TColor Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.EffectColor1 = Value; });
}
void SetEffectColor2(TColor Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.EffectColor2 = Value; });
}
void SetCommentFont(const TFont& Value)
{
    ForEachTarget([&](TPicInfoObject& e) {
        TFont& font = CommentFontOf(e);
        const TColor ownColor = font.Color();
        font.Assign(Value);
        font.SetColor(ownColor);
    });
}
void SetCommentFontColor(TColor Value)
{
    ForEachTarget([&](TPicInfoObject& e) { CommentFontOf(e).SetColor(Value); });
}
void SetCommentFontHeight(std::int32_t Value)
{
    ForEachTarget([&](TPicInfoObject& e) { e.CommentFontHeight = Value; });
}

} // namespace PicInfoUnit
