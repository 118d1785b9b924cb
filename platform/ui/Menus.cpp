#include "platform/ui/Menus.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImgList.h"

IMPLEMENT_CLASS(TMenuItem)
IMPLEMENT_CLASS(TMenu)
IMPLEMENT_CLASS(TMainMenu)
IMPLEMENT_CLASS(TPopupMenu)

TShortCut ShortCut(WORD Key, TShiftState Shift)
{
    TShortCut result = Key & 0x00FF;
    if (Shift.Contains(ssShift))
        result |= scShift;
    if (Shift.Contains(ssCtrl))
        result |= scCtrl;
    if (Shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

namespace {

std::string PlainCaption(const std::string& caption)
{
    std::string plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

bool SameText(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The shortcut's text beside an owner-drawn caption.
std::string ShortCutText(TShortCut shortCut) { return ui::backend::ShortCutText(shortCut); }

} // namespace

// --- TMenuItem ---

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { }

TMenuItem::~TMenuItem()
{
    Clear();
    if (parent_)
        parent_->Remove(this);
}

void TMenuItem::SetChecked(bool Value)
{
    checked_ = Value;
    if (!Value || !RadioItem || !parent_)
        return;
    for (TMenuItem* sibling : parent_->items_)
        if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex)
            sibling->checked_ = false;
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
    return items_[static_cast<size_t>(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item || Item->parent_)
        throw EInvalidOperation("Menu item is already inserted");
    if (Index < 0 || Index > Count())
        throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == Item)
            throw EInvalidOperation("Menu item cannot hold itself");
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto it = std::find(items_.begin(), items_.end(), Item);
    if (it == items_.end())
        throw EListError("Menu item not found");
    items_.erase(it);
    Item->parent_ = nullptr;
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Clear()
{
    while (!items_.empty())
        delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const
{
    for (TMenuItem* item : items_)
        if (SameText(PlainCaption(item->Caption), PlainCaption(ACaption)))
            return item;
    return nullptr;
}

void TMenuItem::Click()
{
    if (Enabled && OnClick)
        OnClick(this);
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* root = this;
    while (root->parent_)
        root = root->parent_;
    return root->menu_;
}

namespace {
constexpr int kEntryIndent = 20; // room for the check mark left of the caption
constexpr int kShortCutGap = 24;
} // namespace

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height)
{
    if (IsLine()) {
        Width = kEntryIndent;
        Height = 9;
    } else {
        Width = 2 * kEntryIndent + ACanvas->TextWidth(PlainCaption(Caption));
        if (ShortCut != scNone)
            Width += kShortCutGap + ACanvas->TextWidth(ShortCutText(ShortCut));
        Height = std::max(ACanvas->TextHeight("Ay") + 4, 19);
    }
    if (OnMeasureItem)
        OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel)
{
    (void)TopLevel;
    if (OnAdvancedDrawItem)
        return OnAdvancedDrawItem(this, ACanvas, ARect, State);
    if (OnDrawItem)
        return OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
    ACanvas->FillRect(ARect);
    int middle = (ARect.Top + ARect.Bottom) / 2;
    if (IsLine()) {
        ACanvas->Pen.Color = clBtnShadow;
        ACanvas->MoveTo(ARect.Left + 2, middle - 1);
        ACanvas->LineTo(ARect.Right - 2, middle - 1);
        ACanvas->Pen.Color = clBtnHighlight;
        ACanvas->MoveTo(ARect.Left + 2, middle);
        ACanvas->LineTo(ARect.Right - 2, middle);
        return;
    }
    if (State.Contains(odDisabled))
        ACanvas->Font.SetColor(clGrayText);
    if (State.Contains(odChecked)) { // a tick left of the caption
        ACanvas->Pen.Color = ACanvas->Font.Color();
        ACanvas->MoveTo(ARect.Left + 6, middle);
        ACanvas->LineTo(ARect.Left + 9, middle + 3);
        ACanvas->LineTo(ARect.Left + 15, middle - 3);
    }
    ACanvas->Brush.Style = bsClear;
    int top = middle - ACanvas->TextHeight("Ay") / 2;
    ACanvas->TextOut(ARect.Left + kEntryIndent, top, PlainCaption(Caption));
    if (ShortCut != scNone) {
        std::string keys = ShortCutText(ShortCut);
        ACanvas->TextOut(ARect.Right - kEntryIndent / 2 - ACanvas->TextWidth(keys), top, keys);
    }
}

// --- menus ---

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr))
{
    items_->menu_ = this;
}

TMenu::~TMenu() = default;

void TMenu::SetImages(TImageList* Value)
{
    if (images_)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_)
        images_->FreeNotification(this);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_)
        images_ = nullptr;
}

namespace {

TMenuItem* FindShortCut(TMenuItem& parent, TShortCut shortCut)
{
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (!item->Visible || !item->Enabled)
            continue;
        if (item->ShortCut == shortCut)
            return item;
        if (TMenuItem* inner = FindShortCut(*item, shortCut))
            return inner;
    }
    return nullptr;
}

} // namespace

bool TMenu::IsShortCut(WORD Key, TShiftState Shift)
{
    TShortCut wanted = ShortCut(Key, Shift);
    if (wanted == scNone)
        return false;
    TMenuItem* item = FindShortCut(*items_, wanted);
    if (!item)
        return false;
    item->Click();
    return true;
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) { }

TMainMenu::~TMainMenu() { ShowOn(nullptr); }

void TMainMenu::ShowOn(TCustomForm* Form)
{
    if (bar_) {
        TWinControl* form = bar_->Parent();
        int height = bar_->Height();
        bar_->RemoveFreeNotification(this);
        // Forgotten first: the form measures its client area while the bar goes.
        delete std::exchange(bar_, nullptr);
        if (form)
            form->SetHeight(form->Height() - height);
    }
    if (!Form)
        return;
    bar_ = ui::backend::NewMenuBar(*this);
    bar_->FreeNotification(this);
    Form->SetHeight(Form->Height() + bar_->Height()); // the other controls keep their room
    bar_->SetTop(-1);                                 // above every other control aligned to the top
    bar_->SetParent(Form);
    bar_->SendToBack();
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == bar_)
        bar_ = nullptr;
}

// A right click shows the control's popup menu.
namespace {
const bool popupHandlerInstalled = [] {
    ui::PopupMenuHandler() = [](TPopupMenu* menu, TControl* control, TPoint at) {
        menu->PopupComponent = control;
        menu->Popup(at.X, at.Y);
    };
    // A key is first a shortcut of the popup menus of the control and its
    // parents, then of the form's main menu.
    ui::MenuKeyHandler() = [](TWinControl* control, WORD key, TShiftState shift) {
        for (TControl* c = control; c; c = c->Parent())
            if (TPopupMenu* menu = c->PopupMenu(); menu && menu->IsShortCut(key, shift))
                return true;
        TCustomForm* form = control->ParentForm();
        return form && form->Menu() && form->Menu()->IsShortCut(key, shift);
    };
    return true;
}();
} // namespace
