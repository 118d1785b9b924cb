// The toolkit widgets of the standard controls: buttons, check and radio
// boxes, group boxes, and the window that holds them.

#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/qt/NativeWidget.h"
#include "platform/ui/qt/Pictures.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A scroll request (WM_VSCROLL, WM_HSCROLL) to the scrolling part of a
// widget: lists and memos scroll as their own scroll bars would.
void ScrollWidget(QWidget* widget, bool vertical, WPARAM request)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    if (!area)
        area = widget->findChild<QAbstractScrollArea*>();
    if (!area)
        return;
    QScrollBar* bar = vertical ? area->verticalScrollBar() : area->horizontalScrollBar();
    switch (LOWORD(request)) {
    case SB_LINEUP: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case SB_LINEDOWN: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case SB_PAGEUP: bar->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case SB_PAGEDOWN: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: bar->setValue(HIWORD(request)); break;
    case SB_TOP: bar->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case SB_BOTTOM: bar->triggerAction(QAbstractSlider::SliderToMaximum); break;
    default: break;
    }
}

} // namespace

// --- TNativeControl ---

TNativeControl::TNativeControl(TComponent* AOwner) : TWinControl(AOwner) { }

TNativeControl::~TNativeControl() = default;

void TNativeControl::CreateWindowHandle(const TCreateParams& Params)
{
    TWinControl::CreateWindowHandle(Params);
    native_ = MakeNativeWidget();
    ShowCaption();
    NativeWidgetCreated();
}

void TNativeControl::DestroyWnd()
{
    native_.reset();
    TWinControl::DestroyWnd();
}

void TNativeControl::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
        if (native_)
            native_->DeliverKey(Message);
        break;
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (native_ && native_->Widget())
            ScrollWidget(native_->Widget(), Message.Msg == WM_VSCROLL, Message.WParam);
        return;
    default: break;
    }
    TWinControl::DefaultHandler(Message);
}

void TNativeControl::ShowCaption()
{
    if (!native_)
        return;
    if (auto* button = native_->As<QAbstractButton>())
        button->setText(Q(Caption()));
    else if (auto* group = native_->As<QGroupBox>())
        group->setTitle(Q(Caption()));
}

// --- buttons ---

std::unique_ptr<ui::TNativeWidget> TButton::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QPushButton>(this);
    QObject::connect(native->As<QPushButton>(), &QAbstractButton::clicked, native.get(), [this] { Click(); });
    return native;
}

std::unique_ptr<ui::TNativeWidget> TCheckBox::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QCheckBox>(this);
    // The toolkit cycles through the states in another order; the control
    // decides the next state and shows it.
    QObject::connect(native->As<QCheckBox>(), &QAbstractButton::clicked, native.get(), [this] {
        NativeWidgetCreated();
        Toggle();
    });
    return native;
}

void TCheckBox::NativeWidgetCreated()
{
    auto* box = ui::NativeOf<QCheckBox>(this);
    if (!box)
        return;
    QSignalBlocker quiet(box);
    box->setTristate(true);
    box->setCheckState(state_ == cbChecked ? Qt::Checked : state_ == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
}

std::unique_ptr<ui::TNativeWidget> TRadioButton::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QRadioButton>(this);
    auto* radio = native->As<QRadioButton>();
    radio->setAutoExclusive(false); // siblings live in other windows; the control unchecks them
    QObject::connect(radio, &QAbstractButton::clicked, native.get(), [this] {
        NativeWidgetCreated(); // a click on a checked radio button leaves it checked
        SetChecked(true);
    });
    return native;
}

void TRadioButton::NativeWidgetCreated()
{
    if (auto* radio = ui::NativeOf<QRadioButton>(this)) {
        QSignalBlocker quiet(radio);
        radio->setChecked(checked_);
    }
}

std::unique_ptr<ui::TNativeWidget> TGroupBox::MakeNativeWidget() { return ui::MakeNativeWidget<QGroupBox>(this); }

void TBitBtn::GlyphChanged()
{
    auto* button = ui::NativeOf<QPushButton>(this);
    if (!button)
        return;
    if (glyph_->Empty()) {
        button->setIcon({});
        return;
    }
    int width = glyph_->Width() / numGlyphs_;
    TColor see = glyph_->Canvas().Pixels(0, glyph_->Height() - 1);
    QImage strip = ui::ImageOfBitmap(*glyph_, true, see);
    QPixmap first = QPixmap::fromImage(strip.copy(0, 0, std::max(width, 1), strip.height()));
    button->setIcon(QIcon(first));
    button->setIconSize(first.size());
}
