// The toolkit's side of menus: the main menu's bar, popup menus shown as
// toolkit menus, and shortcuts as the toolkit writes them.

#include "platform/ui/Menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "platform/ui/Backend.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/qt/MenuWindow.h"
#include "platform/ui/qt/NativeWidget.h"

namespace ui {

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
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override { return ui::MakeNativeWidget<QMenuBar>(this); }

    void NativeWidgetCreated() override
    {
        auto* bar = ui::NativeOf<QMenuBar>(this);
        // In the window, where the form reserved its room: a desktop's global
        // menu would take the bar away from it.
        bar->setNativeMenuBar(false);
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

namespace backend {

std::string ShortCutText(TShortCut shortCut)
{
    return KeySequenceOf(shortCut).toString(QKeySequence::NativeText).toStdString();
}

TWinControl* NewMenuBar(TMainMenu& menu) { return new TMenuBarControl(&menu); }

} // namespace backend

} // namespace ui

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) { }

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    window_ = std::make_unique<ui::TPopupWindow>(Items());
    window_->Menu()->popup(QPoint(X, Y));
}
