#include "platform/ui/qt/MenuWindow.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidgetAction>

#include "platform/ui/ImgList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/qt/OwnerDraw.h"
#include "platform/ui/qt/Pictures.h"

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
