#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>
#include <QToolButton>
#include <QIcon>
#include <QPixmap>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/NativeWidget.h"

IMPLEMENT_CLASS(TRangeControl)
IMPLEMENT_CLASS(TTrackBar)
IMPLEMENT_CLASS(TProgressBar)
IMPLEMENT_CLASS(TUpDown)
IMPLEMENT_CLASS(TStatusBar)
IMPLEMENT_CLASS(TTabSheet)
IMPLEMENT_CLASS(TPageControl)
IMPLEMENT_CLASS(TToolButton)
IMPLEMENT_CLASS(TToolBar)
IMPLEMENT_CLASS(TCoolBar)

void TRangeValue::SetRange(int AMin, int AMax)
{
    Min = AMin;
    Max = std::max(AMin, AMax);
    Position = std::clamp(Position, Min, Max);
}

bool TRangeValue::SetPosition(int Value)
{
    int clamped = std::clamp(Value, Min, Max);
    if (clamped == Position)
        return false;
    Position = clamped;
    return true;
}

// --- range controls ---

TRangeControl::TRangeControl(TComponent* AOwner, int AMax) : TNativeControl(AOwner) { range_.SetRange(0, AMax); }

void TRangeControl::SetMin(int Value)
{
    range_.SetRange(Value, Max());
    RangeChanged();
}

void TRangeControl::SetMax(int Value)
{
    range_.SetRange(std::min(Min(), Value), Value);
    RangeChanged();
}

void TRangeControl::SetPosition(int Value)
{
    if (range_.SetPosition(Value))
        RangeChanged();
}

// --- track bar ---

TTrackBar::TTrackBar(TComponent* AOwner) : TRangeControl(AOwner, 10)
{
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value)
{
    orientation_ = Value;
    NativeWidgetCreated();
}

void TTrackBar::Changed()
{
    if (OnChange)
        OnChange(this);
}

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

// --- progress bar ---

TProgressBar::TProgressBar(TComponent* AOwner) : TRangeControl(AOwner, 100) { SetBounds(0, 0, 150, 16); }

std::unique_ptr<ui::TNativeWidget> TProgressBar::MakeNativeWidget()
{
    return ui::MakeNativeWidget<QProgressBar>(this);
}

void TProgressBar::NativeWidgetCreated()
{
    if (auto* bar = ui::NativeOf<QProgressBar>(this)) {
        bar->setTextVisible(false);
        bar->setRange(Min(), Max());
        bar->setValue(Position());
    }
}

// --- up-down ---

TUpDown::TUpDown(TComponent* AOwner) : TRangeControl(AOwner, 100) { SetBounds(0, 0, 17, 25); }

void TUpDown::SetAssociate(TWinControl* Value)
{
    if (associate_)
        RemoveFreeNotification(associate_);
    associate_ = Value;
    if (associate_)
        FreeNotification(associate_);
    ShowInAssociate();
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TRangeControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == associate_)
        associate_ = nullptr;
}

void TUpDown::ShowInAssociate()
{
    if (associate_)
        associate_->SetText(std::to_string(Position()));
}

void TUpDown::Step(TUDBtnType Button)
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow)
        return;
    long next = static_cast<long>(Position()) + (Button == btNext ? Increment : -Increment);
    if (Wrap && next > Max())
        next = Min();
    else if (Wrap && next < Min())
        next = Max();
    if (MovePosition(static_cast<int>(std::clamp<long>(next, Min(), Max()))))
        ShowInAssociate();
    if (OnClick)
        OnClick(this, Button);
}

std::unique_ptr<ui::TNativeWidget> TUpDown::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QWidget>(this);
    QWidget* frame = native->Widget();
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (TUDBtnType button : {btNext, btPrev}) {
        auto* arrow = new QToolButton(frame);
        arrow->setArrowType(button == btNext ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        arrow->setObjectName(button == btNext ? "next" : "prev");
        layout->addWidget(arrow);
        QObject::connect(arrow, &QToolButton::clicked, native.get(), [this, button] { Step(button); });
    }
    return native;
}

// --- status bar ---

TStatusBar::TStatusBar(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

void TStatusBar::SetSimplePanel(bool Value)
{
    simplePanel_ = Value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& Value)
{
    simpleText_ = Value;
    UpdatePanels();
}

TStatusPanel& TStatusBar::AddPanel()
{
    panels_.push_back(std::make_unique<TStatusPanel>());
    UpdatePanels();
    return *panels_.back();
}

TStatusPanel& TStatusBar::Panels(int Index)
{
    if (Index < 0 || Index >= PanelCount())
        throw EListError("Status panel index out of bounds (" + std::to_string(Index) + ")");
    return *panels_[static_cast<size_t>(Index)];
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

// --- page control ---

namespace {
constexpr int TabRowHeight = 24;
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) { SetVisible(false); }

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* Value)
{
    if (pageControl_ == Value)
        return;
    if (pageControl_)
        pageControl_->RemovePage(this);
    pageControl_ = Value;
    if (Value)
        Value->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool Value)
{
    tabVisible_ = Value;
    if (pageControl_)
        pageControl_->UpdateTabs();
}

int TTabSheet::PageIndex() const
{
    if (!pageControl_)
        return -1;
    const auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::Dispatch(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && pageControl_)
        pageControl_->UpdateTabs();
}

TPageControl::TPageControl(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    for (TTabSheet* page : pages_)
        page->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError("Page index out of bounds (" + std::to_string(Index) + ")");
    return pages_[static_cast<size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    pages_.push_back(Page);
    Page->SetParent(this);
    if (!activePage_)
        SetActivePage(Page);
    UpdateTabs();
    PlacePages();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    pages_.erase(std::find(pages_.begin(), pages_.end(), Page));
    if (activePage_ == Page) {
        activePage_ = nullptr;
        SetActivePage(pages_.empty() ? nullptr : pages_.front());
    }
    if (!(ComponentState() & csDestroying))
        UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* Page)
{
    if (Page && Page->pageControl_ != this)
        return;
    if (activePage_ && activePage_ != Page)
        activePage_->SetVisible(false);
    activePage_ = Page;
    if (Page) {
        Page->SetVisible(true);
        Page->BringToFront();
    }
    UpdateTabs();
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Index)
{
    SetActivePage(Index >= 0 && Index < PageCount() ? pages_[static_cast<size_t>(Index)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward) const
{
    std::vector<TTabSheet*> tabs = TabPages();
    if (tabs.empty())
        return nullptr;
    auto it = std::find(tabs.begin(), tabs.end(), CurPage);
    if (it == tabs.end())
        return GoForward ? tabs.front() : tabs.back();
    auto index = static_cast<size_t>(it - tabs.begin());
    size_t n = tabs.size();
    return tabs[GoForward ? (index + 1) % n : (index + n - 1) % n];
}

std::vector<TTabSheet*> TPageControl::TabPages() const
{
    std::vector<TTabSheet*> tabs;
    for (TTabSheet* page : pages_)
        if (page->TabVisible())
            tabs.push_back(page);
    return tabs;
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
    QTabBar* tabs = NativeWidget() && NativeWidget()->Widget()
                        ? NativeWidget()->Widget()->findChild<QTabBar*>("tabs")
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

void TPageControl::UserPickedTab(int TabIndex)
{
    std::vector<TTabSheet*> pages = TabPages();
    if (updatingTabs_ || TabIndex < 0 || TabIndex >= static_cast<int>(pages.size()))
        return;
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow) {
        UpdateTabs(); // back to the page that stays
        return;
    }
    SetActivePage(pages[static_cast<size_t>(TabIndex)]);
    if (OnChange)
        OnChange(this);
}

// The pages fill what the tab row leaves; a wizard without tabs gets it all.
TRect TPageControl::AlignRect() const
{
    TRect r = ClientRect();
    if (!TabPages().empty())
        r.Top += TabRowHeight;
    return r;
}

void TPageControl::PlacePages()
{
    TRect r = AlignRect();
    for (TTabSheet* page : pages_)
        SetChildBounds(page, r.Left, r.Top, r.Width(), r.Height());
}

void TPageControl::BoundsChanged(const TRect& oldBounds)
{
    TNativeControl::BoundsChanged(oldBounds);
    PlacePages();
}

// --- tool bar ---

namespace {
constexpr int SeparatorWidth = 8;
}

TToolButton::TToolButton(TComponent* AOwner) : TNativeControl(AOwner) { SetBounds(0, 0, 23, 22); }

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    if (style_ == Value)
        return;
    style_ = Value;
    if (Value == tbsSeparator)
        SetWidth(SeparatorWidth);
    RecreateWnd(); // a gap has no button
}

void TToolButton::SetImageIndex(int Value)
{
    imageIndex_ = Value;
    NativeWidgetCreated();
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

void TToolButton::Dispatch(TMessage& Message)
{
    TNativeControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED)
        NativeWidgetCreated();
}

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

void TToolBar::SetButtonWidth(int Value)
{
    buttonWidth_ = std::max(Value, 0);
    Realign();
}

void TToolBar::SetButtonHeight(int Value)
{
    buttonHeight_ = std::max(Value, 0);
    Realign();
}

void TToolBar::SetFlat(bool Value)
{
    flat_ = Value;
    UpdateButtons();
}

void TToolBar::SetImages(TImageList* Value)
{
    if (images_)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_)
        images_->FreeNotification(this);
    UpdateButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        if (!(ComponentState() & csDestroying))
            UpdateButtons();
    }
}

std::vector<TToolButton*> TToolBar::ToolButtons() const
{
    std::vector<TToolButton*> buttons;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* button = dynamic_cast<TToolButton*>(Controls(i)))
            buttons.push_back(button);
    return buttons;
}

int TToolBar::ButtonCount() const { return static_cast<int>(ToolButtons().size()); }

TToolButton* TToolBar::Buttons(int Index) const
{
    std::vector<TToolButton*> buttons = ToolButtons();
    if (Index < 0 || Index >= static_cast<int>(buttons.size()))
        throw EListError("Tool button index out of bounds (" + std::to_string(Index) + ")");
    return buttons[static_cast<size_t>(Index)];
}

void TToolBar::UpdateButtons()
{
    for (TToolButton* button : ToolButtons())
        button->NativeWidgetCreated();
}

// Any change of a child moves the ones after it.
void TToolBar::ControlChanged(TControl* Child)
{
    TCustomControl::ControlChanged(Child);
    if (auto* button = dynamic_cast<TToolButton*>(Child); button && button->Parent() == this)
        button->NativeWidgetCreated(); // the bar's images and look
    Realign();
}

void TToolBar::AlignControls(TControl*, TRect& Rect)
{
    int x = Rect.Left;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible())
            continue;
        auto* button = dynamic_cast<TToolButton*>(c);
        int width = button && button->Style() == tbsButton ? buttonWidth_ : c->Width();
        int height = button ? buttonHeight_ : c->Height();
        SetChildBounds(c, x, Rect.Top, width, height);
        x += width;
    }
}

// --- cool bar ---

namespace {
constexpr int CoolBarEdge = 2;
constexpr int GripWidth = 10;
} // namespace

void TCoolBand::SetControl(TControl* Value)
{
    if (control_ == Value)
        return;
    if (control_)
        bar_->RemoveFreeNotification(control_);
    control_ = Value;
    if (Value) {
        bar_->FreeNotification(Value);
        if (width_ == 0)
            width_ = Value->Width() + (fixedSize_ ? 0 : GripWidth);
        if (minHeight_ == 0)
            minHeight_ = Value->Height();
        Value->SetAlign(alNone);
        Value->SetVisible(visible_);
        Value->SetParent(bar_);
    }
    bar_->BandsChanged();
}

void TCoolBand::SetWidth(int Value)
{
    width_ = std::max(Value, 0);
    bar_->BandsChanged();
}

void TCoolBand::SetMinWidth(int Value)
{
    minWidth_ = std::max(Value, 0);
    bar_->BandsChanged();
}

void TCoolBand::SetMinHeight(int Value)
{
    minHeight_ = std::max(Value, 0);
    bar_->BandsChanged();
}

void TCoolBand::SetFixedSize(bool Value)
{
    fixedSize_ = Value;
    bar_->BandsChanged();
}

void TCoolBand::SetVisible(bool Value)
{
    visible_ = Value;
    if (control_)
        control_->SetVisible(Value);
    bar_->BandsChanged();
}

TCoolBar::TCoolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 2 * CoolBarEdge);
    SetAlign(alTop);
}

TCoolBar::~TCoolBar()
{
    for (auto& band : bands_)
        if (band->control_)
            RemoveFreeNotification(band->control_);
}

TCoolBand& TCoolBar::AddBand()
{
    bands_.push_back(std::make_unique<TCoolBand>(this));
    BandsChanged();
    return *bands_.back();
}

TCoolBand& TCoolBar::Bands(int Index) const
{
    if (Index < 0 || Index >= BandCount())
        throw EListError("Band index out of bounds (" + std::to_string(Index) + ")");
    return *bands_[static_cast<size_t>(Index)];
}

void TCoolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    for (auto& band : bands_)
        if (band->control_ == AComponent)
            band->control_ = nullptr; // the band stays, empty
}

std::vector<TCoolBand*> TCoolBar::VisibleBands() const
{
    std::vector<TCoolBand*> visible;
    for (const auto& band : bands_)
        if (band->visible_)
            visible.push_back(band.get());
    return visible;
}

void TCoolBar::BandsChanged()
{
    if (ComponentState() & csDestroying)
        return;
    int rowHeight = 0;
    for (TCoolBand* band : VisibleBands())
        rowHeight = std::max(rowHeight, band->minHeight_);
    int height = rowHeight + 2 * CoolBarEdge;
    if (height != Height())
        SetHeight(height); // realigns too
    else
        Realign();
    Invalidate();
}

void TCoolBar::AlignControls(TControl*, TRect& Rect)
{
    std::vector<TCoolBand*> bands = VisibleBands();
    auto grip = [](const TCoolBand* band) { return band->fixedSize_ ? 0 : GripWidth; };
    auto widthOf = [&](const TCoolBand* band) { return std::max(band->width_, band->minWidth_ + grip(band)); };
    TCoolBand* stretched = nullptr;
    for (TCoolBand* band : bands)
        if (!band->fixedSize_)
            stretched = band;
    int others = 0;
    for (TCoolBand* band : bands)
        if (band != stretched)
            others += widthOf(band);

    int x = Rect.Left + CoolBarEdge;
    const int top = Rect.Top + CoolBarEdge;
    const int height = std::max(Rect.Height() - 2 * CoolBarEdge, 0);
    for (TCoolBand* band : bands) {
        int width = widthOf(band);
        if (band == stretched)
            width = std::max(Rect.Width() - 2 * CoolBarEdge - others, band->minWidth_ + grip(band));
        band->rect_ = Bounds(x, top, width, height);
        if (band->control_)
            SetChildBounds(band->control_, x + grip(band), top, width - grip(band), height);
        x += width;
    }
}

// An etched frame, and a grip of two raised lines on each band that has one.
void TCoolBar::Paint()
{
    TCanvas& c = *Canvas();
    c.Brush.Color = Color();
    c.FillRect(ClientRect());
    TRect frame = ClientRect();
    ExtCtrls::Frame3D(c, frame, clBtnShadow, clBtnHighlight, 1);
    ExtCtrls::Frame3D(c, frame, clBtnHighlight, clBtnShadow, 1);
    for (TCoolBand* band : VisibleBands()) {
        if (band->fixedSize_)
            continue;
        const TRect& r = band->rect_;
        for (int line = 0; line < 2; ++line) {
            TRect grip = Rect(r.Left + 2 + 3 * line, r.Top + 1, r.Left + 5 + 3 * line, r.Bottom - 1);
            ExtCtrls::Frame3D(c, grip, clBtnHighlight, clBtnShadow, 1);
        }
    }
}
