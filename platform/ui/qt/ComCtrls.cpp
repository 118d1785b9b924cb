// The toolkit widgets of the common controls: slider, progress bar, arrow
// buttons, status bar panels, the page control's tab row and tool buttons.

#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ui/ImgList.h"
#include "platform/ui/qt/NativeWidget.h"
#include "platform/ui/qt/Pictures.h"

std::unique_ptr<ui::TNativeWidget> TTrackBar::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QSlider>(this);
    auto* slider = native->As<QSlider>();
    QObject::connect(slider, &QSlider::valueChanged, native.get(), [this](int value) {
        if (MovePosition(value))
            Changed();
    });
    return native;
}

void TTrackBar::NativeWidgetCreated()
{
    auto* slider = ui::NativeOf<QSlider>(this);
    if (!slider)
        return;
    QSignalBlocker quiet(slider);
    slider->setOrientation(orientation_ == trHorizontal ? Qt::Horizontal : Qt::Vertical);
    slider->setRange(Min(), Max());
    slider->setValue(Position());
    slider->setTickInterval(std::max(1, Frequency));
    slider->setTickPosition(QSlider::TicksBelow);
}

std::unique_ptr<ui::TNativeWidget> TProgressBar::MakeNativeWidget() { return ui::MakeNativeWidget<QProgressBar>(this); }

void TProgressBar::NativeWidgetCreated()
{
    if (auto* bar = ui::NativeOf<QProgressBar>(this)) {
        bar->setTextVisible(false);
        bar->setRange(Min(), Max());
        bar->setValue(Position());
    }
}

std::unique_ptr<ui::TNativeWidget> TCustomUpDown::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QWidget>(this);
    QWidget* frame = native->Widget();
    auto* layout = new QBoxLayout(QBoxLayout::TopToBottom, frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (TUDBtnType button : {btNext, btPrev}) {
        auto* arrow = new QToolButton(frame);
        arrow->setAutoRepeat(true);
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        arrow->setObjectName(button == btNext ? "next" : "prev");
        layout->addWidget(arrow);
        QObject::connect(arrow, &QToolButton::clicked, native.get(), [this, button] { Step(button); });
    }
    return native;
}

// Vertical: next above previous; horizontal: previous left of next.
void TCustomUpDown::NativeWidgetCreated()
{
    QWidget* frame = NativeWidget() ? NativeWidget()->Widget() : nullptr;
    if (!frame)
        return;
    auto* layout = static_cast<QBoxLayout*>(frame->layout());
    const bool vertical = orientation_ == udVertical;
    layout->setDirection(vertical ? QBoxLayout::TopToBottom : QBoxLayout::RightToLeft);
    frame->findChild<QToolButton*>("next")->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
    frame->findChild<QToolButton*>("prev")->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
}

std::unique_ptr<ui::TNativeWidget> TStatusBar::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QWidget>(this);
    auto* layout = new QHBoxLayout(native->Widget());
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(2);
    return native;
}

// One label for the simple text, else one per panel; the last panel takes
// what is left.
void TStatusBar::UpdatePanels()
{
    QWidget* frame = NativeWidget() ? NativeWidget()->Widget() : nullptr;
    if (!frame)
        return;
    for (QLabel* old : frame->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        delete old;
    QLayout* layout = frame->layout();
    auto addLabel = [&](const std::string& text, int width) {
        auto* label = new QLabel(QString::fromStdString(text), frame);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        if (width >= 0)
            label->setFixedWidth(width);
        layout->addWidget(label);
    };
    if (simplePanel_ || panels_.empty()) {
        addLabel(simplePanel_ ? simpleText_ : std::string(), -1);
        return;
    }
    for (size_t i = 0; i < panels_.size(); ++i)
        addLabel(panels_[i]->Text, i + 1 < panels_.size() ? std::max(0, panels_[i]->Width) : -1);
}

std::unique_ptr<ui::TNativeWidget> TPageControl::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QWidget>(this);
    auto* layout = new QVBoxLayout(native->Widget());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tabs = new QTabBar(native->Widget());
    tabs->setFixedHeight(TabRowHeight);
    tabs->setObjectName("tabs");
    layout->addWidget(tabs);
    layout->addStretch();
    QObject::connect(tabs, &QTabBar::currentChanged, native.get(), [this](int index) { UserPickedTab(index); });
    return native;
}

void TPageControl::UpdateTabs()
{
    QTabBar* tabs = NativeWidget() && NativeWidget()->Widget() ? NativeWidget()->Widget()->findChild<QTabBar*>("tabs")
                                                               : nullptr;
    if (tabs) {
        updatingTabs_ = true;
        while (tabs->count() > 0)
            tabs->removeTab(0);
        std::vector<TTabSheet*> pages = TabPages();
        for (TTabSheet* page : pages)
            tabs->addTab(QString::fromStdString(page->Caption()));
        auto active = std::find(pages.begin(), pages.end(), activePage_);
        tabs->setCurrentIndex(active == pages.end() ? -1 : static_cast<int>(active - pages.begin()));
        tabs->setVisible(!pages.empty());
        updatingTabs_ = false;
    }
    PlacePages();
}

std::unique_ptr<ui::TNativeWidget> TToolButton::MakeNativeWidget()
{
    if (style_ == tbsSeparator)
        return ui::MakeNativeWidget<QWidget>(this);
    auto native = ui::MakeNativeWidget<QToolButton>(this);
    QObject::connect(native->As<QToolButton>(), &QAbstractButton::clicked, native.get(), [this] { Click(); });
    return native;
}

void TToolButton::NativeWidgetCreated()
{
    auto* button = ui::NativeOf<QToolButton>(this);
    if (!button)
        return;
    TToolBar* bar = ToolBar();
    TImageList* images = bar ? bar->Images() : nullptr;
    QIcon icon;
    if (images && imageIndex_ >= 0 && imageIndex_ < images->Count())
        icon = QIcon(QPixmap::fromImage(ui::PictureOfImage(*images, imageIndex_)));
    button->setIcon(icon);
    if (images)
        button->setIconSize(QSize(images->Width(), images->Height()));
    button->setText(QString::fromStdString(Caption()));
    button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    button->setAutoRaise(bar && bar->Flat());
}
