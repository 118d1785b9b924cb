// TControl: bounds, properties, painting requests and order among the
// parent's children.

#include "platform/ui/Controls.h"

#include <algorithm>
#include <optional>

#include "platform/rtl/Setters.h"
#include "platform/ui/Forms.h"
#include "platform/ui/WindowSurface.h"

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), ControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks},
      font_(std::make_unique<TFont>())
{
    font_->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
    constraints_.OnChange = [this](TObject*) { ConstraintsChanged(); };
    WindowProc = [this](TMessage& Message) { WndProc(Message); };
}

TControl::~TControl()
{
    Destroying();
    ui::ForgetDragControl(this);
    if (ui::GetCaptureControl() == this)
        ui::SetCaptureControl(nullptr);
    SetParent(nullptr);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (parent_ == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_)
        parent_->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    constraints_.Constrain(AWidth, AHeight);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_)
        return;
    TRect old = BoundsRect();
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    BoundsChanged(old);
}

void TControl::SetBoundsQuietly(int ALeft, int ATop, int AWidth, int AHeight)
{
    realigning_ = true;
    try {
        SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
        realigning_ = false;
        throw;
    }
    realigning_ = false;
}

void TControl::BoundsChanged(const TRect& oldBounds)
{
    if (parent_ && !(ComponentState() & csDestroying)) {
        if (!dynamic_cast<TWinControl*>(this)) {
            TRect both = gfx::UnionRect(oldBounds, BoundsRect());
            parent_->InvalidateRect(&both);
        }
        if (!realigning_)
            parent_->ControlChanged(this);
    }
    if (oldBounds.Width() != width_ || oldBounds.Height() != height_)
        Resize();
}

void TControl::ConstraintsChanged() { SetBounds(left_, top_, width_, height_); }

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

TRect TControl::ClientRect() const { return {0, 0, width_, height_}; }

void TControl::SetClientWidth(int Value) { SetWidth(width_ - ClientWidth() + Value); }

void TControl::SetClientHeight(int Value) { SetHeight(height_ - ClientHeight() + Value); }

TPoint TControl::ClientOrigin() const
{
    if (!parent_) {
        auto* self = dynamic_cast<const TWinControl*>(this);
        if (self && self->WindowSurface())
            if (std::optional<TPoint> origin = self->WindowSurface()->ScreenOrigin())
                return *origin;
        return {left_, top_};
    }
    TPoint origin = parent_->ClientOrigin();
    return {origin.X + left_, origin.Y + top_};
}

TPoint TControl::ClientToScreen(const TPoint& Point) const
{
    TPoint origin = ClientOrigin();
    return {Point.X + origin.X, Point.Y + origin.Y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) const
{
    TPoint origin = ClientOrigin();
    return {Point.X - origin.X, Point.Y - origin.Y};
}

void TControl::SetAlign(TAlign Value)
{
    if (!rtl::AssignIfChanged(align_, Value))
        return;
    if (Value != alNone)
        anchors_ = TAnchors{akLeft, akTop};
    if (parent_)
        parent_->Realign();
}

void TControl::SetAnchors(TAnchors Value) { anchors_ = Value; }

void TControl::SetVisible(bool Value)
{
    if (!rtl::AssignIfChanged(visible_, Value))
        return;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    if (parent_) {
        TRect r = BoundsRect();
        parent_->InvalidateRect(&r);
        parent_->ControlChanged(this);
    }
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool Value)
{
    if (rtl::AssignIfChanged(enabled_, Value))
        Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value)
{
    parentColor_ = false;
    if (rtl::AssignIfChanged(color_, Value))
        Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value)
{
    parentColor_ = Value;
    if (Value)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!parentColor_ || !parent_ || color_ == parent_->Color())
        return;
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value)
{
    parentFont_ = Value;
    if (Value)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!parentFont_ || !parent_)
        return;
    applyingParentFont_ = true;
    font_->Assign(parent_->Font());
    applyingParentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*)
{
    if (applyingParentFont_)
        return;
    parentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetText(const std::string& Value)
{
    if (rtl::AssignIfChanged(text_, Value))
        Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value)
{
    showHint_ = Value;
    parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool Value)
{
    parentShowHint_ = Value;
    if (Value && parent_)
        showHint_ = parent_->ShowHint();
}

void TControl::SetCursor(TCursor Value)
{
    if (rtl::AssignIfChanged(cursor_, Value))
        Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetPopupMenuComponent(TPopupMenu* Menu, TComponent* Component)
{
    if (popupMenuComponent_ && popupMenuComponent_ != Component)
        RemoveFreeNotification(popupMenuComponent_);
    popupMenu_ = Menu;
    popupMenuComponent_ = Component;
    if (Component)
        FreeNotification(Component);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupMenuComponent_) {
        popupMenu_ = nullptr;
        popupMenuComponent_ = nullptr;
    }
}

void TControl::Invalidate()
{
    if (parent_ && visible_) {
        TRect r = BoundsRect();
        parent_->InvalidateRect(&r);
    }
}

void TControl::Update()
{
    if (parent_)
        parent_->Update();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (!parent_)
        return;
    auto& list = parent_->controls_;
    std::erase(list, this);
    list.push_back(this);
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->WindowSurface())
        self->WindowSurface()->Raise();
    Invalidate();
}

void TControl::SendToBack()
{
    if (!parent_)
        return;
    auto& list = parent_->controls_;
    std::erase(list, this);
    list.insert(list.begin(), this);
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->WindowSurface())
        self->WindowSurface()->Lower();
    Invalidate();
}

bool TControl::MouseCapture() const { return ui::GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value)
{
    if (Value)
        ui::SetCaptureControl(this);
    else if (MouseCapture())
        ui::SetCaptureControl(nullptr);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    WindowProc(message);
    return message.Result;
}

TCustomForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}
