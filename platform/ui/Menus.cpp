#include "platform/ui/Menus.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QWidgetAction>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/MenuWindow.h"
#include "platform/ui/Forms.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/NativeWidget.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/OwnerDraw.h"

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

// The shortcut as the toolkit writes it beside the caption.
QKeySequence KeySequenceOf(TShortCut shortCut)
{
    int key = shortCut & 0xFF;
    int qtKey = 0;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        qtKey = key;
    else if (key >= VK_F1 && key < VK_F1 + 24)
        qtKey = Qt::Key_F1 + (key - VK_F1);
    else if (key == VK_DELETE)
        qtKey = Qt::Key_Delete;
    else if (key == VK_RETURN)
        qtKey = Qt::Key_Return;
    else if (key == VK_SPACE)
        qtKey = Qt::Key_Space;
    else if (key == VK_ESCAPE)
        qtKey = Qt::Key_Escape;
    if (!qtKey)
        return {};
    int mods = 0;
    if (shortCut & scShift)
        mods |= Qt::SHIFT;
    if (shortCut & scCtrl)
        mods |= Qt::CTRL;
    if (shortCut & scAlt)
        mods |= Qt::ALT;
    return QKeySequence(qtKey | mods);
}

// The shortcut's text beside an owner-drawn caption.
std::string ShortCutText(TShortCut shortCut)
{
    return KeySequenceOf(shortCut).toString(QKeySequence::NativeText).toStdString();
}

} // namespace

// --- TMenuItem ---

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

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

namespace {

// The bar of a main menu: a toolkit menu bar whose drop-downs are built from
// the items each time they open.
class TMenuBarControl : public TNativeControl {
public:
    explicit TMenuBarControl(TMainMenu* menu) : TNativeControl(nullptr), menu_(menu)
    {
        SetAlign(alTop);
        SetHeight(BarHeight());
    }

    static int BarHeight()
    {
        ui::EnsurePlatform();
        QMenuBar probe; // an empty bar measures nothing
        probe.addAction(QStringLiteral("Ag"));
        return probe.sizeHint().height();
    }

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override
    {
        return ui::MakeNativeWidget<QMenuBar>(this);
    }

    void NativeWidgetCreated() override
    {
        auto* bar = ui::NativeOf<QMenuBar>(this);
        bar->clear();
        TMenuItem& items = menu_->Items();
        for (int i = 0; i < items.Count(); ++i) {
            TMenuItem* item = items.Items(i);
            if (!item->Visible)
                continue;
            QString caption = QString::fromStdString(item->Caption);
            if (item->Count() == 0) {
                QAction* action = bar->addAction(caption);
                action->setEnabled(item->Enabled);
                QObject::connect(action, &QAction::triggered, bar, [item] { item->Click(); });
                continue;
            }
            QMenu* drop = bar->addMenu(caption);
            drop->setEnabled(item->Enabled);
            // The item's OnClick may set up its entries before they show.
            QObject::connect(drop, &QMenu::aboutToShow, drop, [item, drop] {
                item->Click();
                drop->clear();
                ui::FillMenu(drop, *item);
            });
        }
    }

private:
    TMainMenu* menu_;
};

} // namespace

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

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
    bar_ = new TMenuBarControl(this);
    bar_->FreeNotification(this);
    Form->SetHeight(Form->Height() + bar_->Height()); // the other controls keep their room
    bar_->SetTop(-1); // above every other control aligned to the top
    bar_->SetParent(Form);
    bar_->SendToBack();
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == bar_)
        bar_ = nullptr;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    window_ = std::make_unique<ui::TPopupWindow>(Items());
    window_->Menu()->popup(QPoint(X, Y));
}

// --- the toolkit's menu ---

namespace ui {

namespace {

// The entry's picture from its menu's image list.
void SetIcon(QAction* action, const TMenuItem& item)
{
    TMenu* menu = item.GetParentMenu();
    TImageList* images = menu ? menu->Images() : nullptr;
    if (!images || item.ImageIndex < 0 || item.ImageIndex >= images->Count())
        return;
    action->setIcon(QIcon(QPixmap::fromImage(ui::PictureOfImage(*images, item.ImageIndex))));
}

bool OwnerDrawn(const TMenuItem& item)
{
    TMenu* menu = item.GetParentMenu();
    return menu && menu->OwnerDraw;
}

// An entry the item measures and draws through a canvas. Entries that open
// a sub-menu stay the toolkit's.
class TOwnerDrawnEntry : public QWidget {
public:
    TOwnerDrawnEntry(TMenuItem* item, QMenu* menu, QAction* action)
        : QWidget(menu), item_(item), menu_(menu), action_(action)
    {
        setMouseTracking(true);
        QObject::connect(menu, &QMenu::hovered, this, [this] { update(); });
        PrepareCanvas(false, false);
        int width = 0;
        int height = 0;
        item_->MeasureItem(&canvas_, width, height);
        size_ = QSize(std::max(width, 1), std::max(height, 1));
        setMinimumSize(size_);
    }

    QSize sizeHint() const override { return size_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        bool selected = menu_->activeAction() == action_ && !item_->IsLine();
        TOwnerDrawState state;
        if (selected)
            state.Include(odSelected);
        if (!item_->Enabled)
            state = state + TOwnerDrawState{odDisabled, odGrayed};
        if (item_->Checked())
            state.Include(odChecked);
        if (item_->Default)
            state.Include(odDefault);
        QPainter painter(this);
        TRect area = Bounds(0, 0, width(), height());
        ui::PaintWithCanvas(painter, rect(), canvas_, [&] {
            PrepareCanvas(selected, item_->Default);
            item_->AdvancedDrawItem(&canvas_, area, state, item_->Parent() == &item_->GetParentMenu()->Items());
        });
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !item_->Enabled || item_->IsLine())
            return;
        QMenu* root = menu_;
        while (auto* outer = qobject_cast<QMenu*>(root->parentWidget()))
            root = outer;
        root->close();
        action_->trigger();
    }

    void enterEvent(QEnterEvent*) override
    {
        if (!item_->IsLine())
            menu_->setActiveAction(action_);
    }

private:
    void PrepareCanvas(bool selected, bool bold)
    {
        canvas_.Font.SetName(menu_->font().family().toStdString());
        canvas_.Font.SetSize(std::max(menu_->font().pointSize(), 1));
        canvas_.Font.SetStyle(bold ? TFontStyles{fsBold} : TFontStyles{});
        canvas_.Font.SetColor(selected ? clHighlightText : clMenuText);
        canvas_.Brush.Style = bsSolid;
        canvas_.Brush.Color = selected ? clHighlight : clMenu;
        canvas_.Pen.Color = clMenuText;
    }

    TMenuItem* item_;
    QMenu* menu_;
    QAction* action_;
    TCanvas canvas_;
    QSize size_;
};

void AddOwnerDrawnEntry(QMenu* menu, TMenuItem* item)
{
    auto* action = new QWidgetAction(menu);
    action->setEnabled(item->Enabled);
    action->setDefaultWidget(new TOwnerDrawnEntry(item, menu, action));
    menu->addAction(action);
    QObject::connect(action, &QAction::triggered, menu, [item] { item->Click(); });
}

} // namespace

void FillMenu(QMenu* menu, TMenuItem& parent)
{
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (!item->Visible)
            continue;
        if (item->IsLine() && !OwnerDrawn(*item)) {
            menu->addSeparator();
            continue;
        }
        QString caption = QString::fromStdString(item->Caption);
        if (item->Count() > 0) {
            QMenu* sub = menu->addMenu(caption);
            sub->setEnabled(item->Enabled);
            FillMenu(sub, *item);
            continue;
        }
        if (OwnerDrawn(*item)) {
            AddOwnerDrawnEntry(menu, item);
            continue;
        }
        QAction* action = menu->addAction(caption);
        action->setEnabled(item->Enabled);
        action->setCheckable(item->Checked() || item->RadioItem);
        action->setChecked(item->Checked());
        SetIcon(action, *item);
        // Shown only: the shortcut itself is handled by the menu's owner.
        action->setShortcut(KeySequenceOf(item->ShortCut));
        action->setShortcutContext(Qt::WidgetShortcut);
        QObject::connect(action, &QAction::triggered, menu, [item] { item->Click(); });
    }
}

TPopupWindow::TPopupWindow(TMenuItem& items) : menu_(std::make_unique<QMenu>()) { FillMenu(menu_.get(), items); }

// The menu may be replaced from inside one of its own item's clicks.
TPopupWindow::~TPopupWindow() { menu_.release()->deleteLater(); }

} // namespace ui

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
