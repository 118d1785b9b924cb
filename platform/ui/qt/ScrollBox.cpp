// The scroll bars of scrolling controls as toolkit scroll bars over the
// window's edges.

#include "platform/ui/ScrollBox.h"

#include <QPointer>
#include <QScrollBar>

#include <algorithm>

#include "platform/ui/qt/WindowWidget.h"

// The bar on screen: a native scroll bar over the control's window edge.
struct TControlScrollBar::Native {
    QPointer<QScrollBar> bar;
    ~Native() { delete bar.data(); }
};

TControlScrollBar::TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind)
    : control_(control), kind_(kind), native_(std::make_unique<Native>())
{ }

TControlScrollBar::~TControlScrollBar() = default;

void TControlScrollBar::UpdateNative()
{
    QWidget* window = ui::WidgetOf(control_->WindowSurface());
    if (!window)
        return;
    QScrollBar* bar = native_->bar;
    if (!bar || bar->parentWidget() != window) {
        delete bar;
        bar = new QScrollBar(kind_ == sbHorizontal ? Qt::Horizontal : Qt::Vertical, window);
        native_->bar = bar;
        UINT msg = kind_ == sbHorizontal ? WM_HSCROLL : WM_VSCROLL;
        QObject::connect(bar, &QScrollBar::sliderMoved, bar, [this, msg](int value) {
            control_->Perform(msg, MAKEWPARAM(static_cast<int>(SB_THUMBTRACK), value), 0);
        });
        QObject::connect(bar, &QScrollBar::sliderReleased, bar, [this, msg, bar] {
            control_->Perform(msg, MAKEWPARAM(static_cast<int>(SB_THUMBPOSITION), bar->value()), 0);
        });
        QObject::connect(bar, &QScrollBar::actionTriggered, bar, [this, msg](int action) {
            WPARAM request = action == QAbstractSlider::SliderSingleStepAdd ? SB_LINEDOWN
                : action == QAbstractSlider::SliderSingleStepSub            ? SB_LINEUP
                : action == QAbstractSlider::SliderPageStepAdd              ? SB_PAGEDOWN
                : action == QAbstractSlider::SliderPageStepSub              ? SB_PAGEUP
                                                                            : SB_ENDSCROLL;
            if (request != SB_ENDSCROLL)
                control_->Perform(msg, MAKEWPARAM(static_cast<int>(request), 0), 0);
        });
    }
    const int size = 16;
    int w = control_->Width(), h = control_->Height();
    if (kind_ == sbHorizontal)
        bar->setGeometry(0, h - size, control_->ClientWidth(), size);
    else
        bar->setGeometry(w - size, 0, size, control_->ClientHeight());
    QSignalBlocker block(bar);
    bar->setRange(0, MaxPosition());
    bar->setPageStep(std::max(ControlSize(), 1));
    bar->setSingleStep(Increment);
    if (!bar->isSliderDown())
        bar->setValue(position_);
    bar->setVisible(shown_);
    bar->raise(); // above child windows made after it
}
