#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/NativeWidget.h"
#include "platform/ui/OwnerDraw.h"
#include "platform/ui/Surface.h"

IMPLEMENT_CLASS(TNativeControl)
IMPLEMENT_CLASS(TButtonControl)
IMPLEMENT_CLASS(TButton)
IMPLEMENT_CLASS(TCheckBox)
IMPLEMENT_CLASS(TRadioButton)
IMPLEMENT_CLASS(TCustomEdit)
IMPLEMENT_CLASS(TEdit)
IMPLEMENT_CLASS(TMemo)
IMPLEMENT_CLASS(TGroupBox)
IMPLEMENT_CLASS(TRadioGroup)
IMPLEMENT_CLASS(TListBox)
IMPLEMENT_CLASS(TComboBox)
IMPLEMENT_CLASS(TBitBtn)

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The first `limit` characters of a text (all of it for limit 0).
std::string ClipText(const std::string& text, int limit)
{
    if (limit <= 0)
        return text;
    QString q = Q(text);
    return q.size() > limit ? q.left(limit).toStdString() : text;
}

} // namespace

// --- TNativeControl ---

TNativeControl::TNativeControl(TComponent* AOwner) : TWinControl(AOwner) {}

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

void TNativeControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DialogCode();
        return;
    }
    if (Message.Msg == CM_TEXTCHANGED)
        ShowCaption();
    TWinControl::Dispatch(Message);
}

void TNativeControl::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: case WM_CHAR:
        if (native_)
            native_->DeliverKey(Message);
        break;
    default:
        break;
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

TButtonControl::TButtonControl(TComponent* AOwner) : TNativeControl(AOwner) { SetTabStop(true); }

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::Click()
{
    if (ModalResult != mrNone)
        if (TCustomForm* form = ParentForm())
            form->ModalResult = ModalResult;
    TButtonControl::Click();
}

std::unique_ptr<ui::TNativeWidget> TButton::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QPushButton>(this);
    QObject::connect(native->As<QPushButton>(), &QAbstractButton::clicked, native.get(), [this] { Click(); });
    return native;
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (state_ == Value)
        return;
    state_ = Value;
    NativeWidgetCreated();
    Click();
}

void TCheckBox::Toggle()
{
    switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(AllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
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
    box->setCheckState(state_ == cbChecked   ? Qt::Checked
                       : state_ == cbGrayed ? Qt::PartiallyChecked
                                            : Qt::Unchecked);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool Value)
{
    if (checked_ == Value)
        return;
    checked_ = Value;
    NativeWidgetCreated();
    if (!Value)
        return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
    Click();
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

// --- edits ---

TCustomEdit::TCustomEdit(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

namespace {
QLineEdit* LineEditOf(const TNativeControl* control) { return ui::NativeOf<QLineEdit>(control); }

QPlainTextEdit* PlainEditOf(const TNativeControl* control) { return ui::NativeOf<QPlainTextEdit>(control); }
} // namespace

void TCustomEdit::SetMaxLength(int Value)
{
    maxLength_ = Value < 0 ? 0 : Value;
    if (QLineEdit* edit = LineEditOf(this)) {
        QSignalBlocker quiet(edit);
        edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    }
    SetText(ClipText(Text(), maxLength_));
}

void TCustomEdit::SetReadOnly(bool Value)
{
    readOnly_ = Value;
    if (QLineEdit* edit = LineEditOf(this))
        edit->setReadOnly(Value);
    else if (QPlainTextEdit* memo = PlainEditOf(this))
        memo->setReadOnly(Value);
}

void TCustomEdit::SetPasswordChar(char Value)
{
    passwordChar_ = Value;
    if (QLineEdit* edit = LineEditOf(this))
        edit->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

int TCustomEdit::SelStart() const
{
    if (QLineEdit* edit = LineEditOf(this))
        return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    return selStart_;
}

void TCustomEdit::SetSelStart(int Value)
{
    int length = static_cast<int>(Q(Text()).size());
    selStart_ = std::clamp(Value, 0, length);
    selLength_ = 0;
    if (QLineEdit* edit = LineEditOf(this))
        edit->setCursorPosition(selStart_);
}

int TCustomEdit::SelLength() const
{
    if (QLineEdit* edit = LineEditOf(this))
        return edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
    return selLength_;
}

void TCustomEdit::SetSelLength(int Value)
{
    int start = SelStart();
    int length = static_cast<int>(Q(Text()).size());
    selStart_ = start;
    selLength_ = std::clamp(Value, 0, length - start);
    if (QLineEdit* edit = LineEditOf(this))
        edit->setSelection(selStart_, selLength_);
}

std::string TCustomEdit::SelText() const
{
    return Q(Text()).mid(SelStart(), SelLength()).toStdString();
}

void TCustomEdit::SelectAll()
{
    SetSelStart(0);
    SetSelLength(static_cast<int>(Q(Text()).size()));
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

std::unique_ptr<ui::TNativeWidget> TCustomEdit::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QLineEdit>(this);
    auto* edit = native->As<QLineEdit>();
    QObject::connect(edit, &QLineEdit::textEdited, native.get(), [this] { Modified = true; });
    QObject::connect(edit, &QLineEdit::textChanged, native.get(),
                     [this](const QString& text) { SetText(text.toStdString()); });
    return native;
}

void TCustomEdit::NativeWidgetCreated()
{
    QLineEdit* edit = LineEditOf(this);
    QSignalBlocker quiet(edit);
    edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    edit->setReadOnly(readOnly_);
    edit->setEchoMode(passwordChar_ ? QLineEdit::Password : QLineEdit::Normal);
    edit->setText(Q(Text()));
    edit->setSelection(selStart_, selLength_);
}

void TCustomEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg != CM_TEXTCHANGED)
        return TNativeControl::Dispatch(Message);
    std::string clipped = ClipText(Text(), maxLength_);
    if (clipped != Text())
        return SetText(clipped); // the nested change reports it
    if (QLineEdit* edit = LineEditOf(this); edit && edit->text().toStdString() != Text()) {
        QSignalBlocker quiet(edit);
        edit->setText(Q(Text()));
    }
    selStart_ = selLength_ = 0;
    TNativeControl::Dispatch(Message);
    Change();
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

// --- memo ---

namespace {

// The lines of a list joined by CR LF, without a break after the last one.
std::string JoinLines(const TStrings& lines)
{
    std::string text = lines.Text();
    if (text.size() >= 2)
        text.resize(text.size() - 2);
    return text;
}

QString ToWidgetText(const std::string& text) { return Q(text).replace("\r\n", "\n"); }

std::string FromWidgetText(const QString& text) { return QString(text).replace("\n", "\r\n").toStdString(); }

} // namespace

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(std::make_unique<TStringList>())
{
    lines_->OnChange = [this](TObject*) { LinesChanged(); };
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() { lines_->OnChange = nullptr; }

TStrings& TMemo::Lines() { return *lines_; }

void TMemo::LinesChanged()
{
    if (syncing_)
        return;
    syncing_ = true;
    SetText(JoinLines(*lines_));
    syncing_ = false;
}

std::unique_ptr<ui::TNativeWidget> TMemo::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QPlainTextEdit>(this);
    auto* edit = native->As<QPlainTextEdit>();
    QObject::connect(edit, &QPlainTextEdit::textChanged, native.get(), [this, edit] {
        Modified = true;
        SetText(FromWidgetText(edit->toPlainText()));
    });
    return native;
}

void TMemo::NativeWidgetCreated()
{
    QPlainTextEdit* edit = PlainEditOf(this);
    QSignalBlocker quiet(edit);
    edit->setReadOnly(ReadOnly());
    edit->setPlainText(ToWidgetText(Text()));
}

void TMemo::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        if (!syncing_) {
            syncing_ = true;
            lines_->SetText(Text());
            syncing_ = false;
        }
        if (QPlainTextEdit* edit = PlainEditOf(this); edit && FromWidgetText(edit->toPlainText()) != Text()) {
            QSignalBlocker quiet(edit);
            edit->setPlainText(ToWidgetText(Text()));
        }
    }
    TCustomEdit::Dispatch(Message);
}

// --- group boxes ---

TGroupBox::TGroupBox(TComponent* AOwner) : TNativeControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    SetBounds(0, 0, 185, 105);
}

std::unique_ptr<ui::TNativeWidget> TGroupBox::MakeNativeWidget() { return ui::MakeNativeWidget<QGroupBox>(this); }

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner), items_(std::make_unique<TStringList>())
{
    ControlStyle.Exclude(csAcceptsControls);
    items_->OnChange = [this](TObject*) { RebuildButtons(); };
}

TRadioGroup::~TRadioGroup() { items_->OnChange = nullptr; }

TStrings& TRadioGroup::Items() { return *items_; }

void TRadioGroup::SetItemIndex(int Value)
{
    Value = std::clamp(Value, -1, static_cast<int>(buttons_.size()) - 1);
    if (Value == itemIndex_)
        return;
    if (Value < 0) {
        updating_ = true;
        buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(false);
        updating_ = false;
        itemIndex_ = -1;
        return;
    }
    buttons_[static_cast<size_t>(Value)]->SetChecked(true); // reports through ButtonClicked
}

void TRadioGroup::SetColumns(int Value)
{
    columns_ = std::clamp(Value, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::ButtonClicked(int Index)
{
    if (updating_ || !buttons_[static_cast<size_t>(Index)]->Checked())
        return;
    itemIndex_ = Index;
    Click();
}

void TRadioGroup::RebuildButtons()
{
    updating_ = true;
    for (TRadioButton* button : buttons_)
        delete button;
    buttons_.clear();
    for (int i = 0; i < items_->Count(); ++i) {
        auto* button = new TRadioButton(this);
        button->SetCaption(items_->Strings(i));
        button->SetParent(this);
        button->OnClick = [this, i](TObject*) { ButtonClicked(i); };
        buttons_.push_back(button);
    }
    if (itemIndex_ >= static_cast<int>(buttons_.size()))
        itemIndex_ = -1;
    if (itemIndex_ >= 0)
        buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(true);
    updating_ = false;
    ArrangeButtons();
}

// The buttons fill the box below its caption, column by column.
void TRadioGroup::ArrangeButtons()
{
    if (buttons_.empty())
        return;
    int count = static_cast<int>(buttons_.size());
    int rows = (count + columns_ - 1) / columns_;
    const int left = 8, top = 16, bottom = 6;
    int columnWidth = std::max(1, (Width() - 2 * left) / columns_);
    int rowHeight = std::max(1, (Height() - top - bottom) / rows);
    for (int i = 0; i < count; ++i)
        buttons_[static_cast<size_t>(i)]->SetBounds(left + (i / rows) * columnWidth, top + (i % rows) * rowHeight,
                                                    columnWidth, std::min(rowHeight, 24));
}

void TRadioGroup::BoundsChanged(const TRect& oldBounds)
{
    TGroupBox::BoundsChanged(oldBounds);
    ArrangeButtons();
}

// --- list box ---

TListBox::TListBox(TComponent* AOwner) : TNativeControl(AOwner), items_(std::make_unique<TStringList>())
{
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() { items_->OnChange = nullptr; }

TStrings& TListBox::Items() { return *items_; }

void TListBox::Clear() { items_->Clear(); }

void TListBox::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= items_->Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= items_->Count())
        Value = -1;
    itemIndex_ = Value;
    if (!multiSelect_)
        for (size_t i = 0; i < selected_.size(); ++i)
            selected_[i] = static_cast<int>(i) == Value;
    ApplySelection();
}

void TListBox::SetMultiSelect(bool Value)
{
    multiSelect_ = Value;
    ApplySelectionMode();
}

void TListBox::SetExtendedSelect(bool Value)
{
    extendedSelect_ = Value;
    ApplySelectionMode();
}

bool TListBox::Selected(int Index) const
{
    CheckIndex(Index);
    return selected_[static_cast<size_t>(Index)];
}

void TListBox::SetSelected(int Index, bool Value)
{
    CheckIndex(Index);
    if (!multiSelect_)
        return SetItemIndex(Value ? Index : (itemIndex_ == Index ? -1 : itemIndex_));
    selected_[static_cast<size_t>(Index)] = Value;
    ApplySelection();
}

int TListBox::SelCount() const
{
    if (!multiSelect_)
        return -1; // as the platform's list box answers in single selection
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TListBox::ItemsChanged()
{
    selected_.assign(static_cast<size_t>(items_->Count()), false);
    heights_.assign(static_cast<size_t>(items_->Count()), 0);
    if (itemIndex_ >= items_->Count())
        itemIndex_ = -1;
    if (itemIndex_ >= 0 && !multiSelect_)
        selected_[static_cast<size_t>(itemIndex_)] = true;
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, items_->Count() - 1));
    NativeWidgetCreated();
}

std::unique_ptr<ui::TNativeWidget> TListBox::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QListWidget>(this);
    auto* list = native->As<QListWidget>();
    list->setItemDelegate(new ui::TOwnerDrawDelegate(list));
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QObject::connect(list, &QListWidget::itemSelectionChanged, native.get(), [this] { TakeUserSelection(); });
    QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, native.get(), [this](int top) {
        if (!pushing_)
            topIndex_ = top;
    });
    return native;
}

void TListBox::NativeWidgetCreated()
{
    auto* list = ui::NativeOf<QListWidget>(this);
    if (!list)
        return;
    pushing_ = true;
    list->clear();
    for (int i = 0; i < items_->Count(); ++i)
        list->addItem(Q(items_->Strings(i)));
    pushing_ = false;
    ApplyStyle();
    ApplySelectionMode();
    ApplySelection();
    SetTopIndex(topIndex_);
}

void TListBox::SetStyle(TListBoxStyle Value)
{
    style_ = Value;
    heights_.assign(heights_.size(), 0);
    ApplyStyle();
}

void TListBox::SetItemHeight(int Value)
{
    if (Value <= 0)
        return;
    itemHeight_ = Value;
    heights_.assign(heights_.size(), 0);
    ApplyStyle();
}

void TListBox::ApplyStyle()
{
    auto* list = ui::NativeOf<QListWidget>(this);
    if (!list)
        return;
    auto* delegate = static_cast<ui::TOwnerDrawDelegate*>(list->itemDelegate());
    if (style_ == lbStandard) {
        delegate->RowHeight = nullptr;
        delegate->PaintRow = nullptr;
    } else {
        delegate->RowHeight = [this](int row) { return HeightOf(row); };
        delegate->PaintRow = [this, list](QPainter& painter, int row, const QRect& area, const QStyleOptionViewItem&) {
            PaintItem(painter, row, area, list->hasFocus());
        };
    }
    list->setUniformItemSizes(style_ != lbOwnerDrawVariable);
    list->doItemsLayout();
    list->viewport()->update();
}

int TListBox::HeightOf(int Index)
{
    if (style_ != lbOwnerDrawVariable || Index < 0 || Index >= static_cast<int>(heights_.size()))
        return itemHeight_;
    int& height = heights_[static_cast<size_t>(Index)];
    if (height <= 0) {
        int measured = itemHeight_;
        MeasureItem(Index, measured);
        height = std::max(measured, 1);
    }
    return height;
}

void TListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

TCanvas* TListBox::Canvas()
{
    canvas_.Font.Assign(Font());
    return &canvas_;
}

void TListBox::PaintItem(QPainter& Painter, int Index, const QRect& Area, bool HasFocus)
{
    if (Index < 0 || Index >= items_->Count())
        return;
    TOwnerDrawState state;
    bool selected = selected_[static_cast<size_t>(Index)];
    if (selected)
        state.Include(odSelected);
    if (HasFocus && Index == itemIndex_)
        state.Include(odFocused);
    if (!Enabled())
        state.Include(odDisabled);
    TRect rect = Bounds(Area.x(), Area.y(), Area.width(), Area.height());
    ui::PaintWithCanvas(Painter, Area, canvas_, [&] {
        TCanvasStateScope keep(canvas_);
        canvas_.Font.Assign(Font());
        canvas_.Brush.Style = bsSolid;
        canvas_.Brush.Color = selected ? clHighlight : Color();
        if (selected)
            canvas_.Font.SetColor(clHighlightText);
        DrawItem(Index, rect, state);
        if (state.Contains(odFocused))
            canvas_.DrawFocusRect(rect);
    });
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        return OnDrawItem(this, Index, Rect, State);
    canvas_.FillRect(Rect);
    canvas_.TextOut(Rect.Left + 2, Rect.Top, items_->Strings(Index));
}

void TListBox::Invalidate()
{
    TNativeControl::Invalidate();
    if (auto* list = ui::NativeOf<QListWidget>(this))
        list->viewport()->update();
}

int TListBox::TopIndex() const
{
    if (auto* list = ui::NativeOf<QListWidget>(this))
        return list->verticalScrollBar()->value();
    return topIndex_;
}

void TListBox::SetTopIndex(int Value)
{
    topIndex_ = std::clamp(Value, 0, std::max(0, items_->Count() - 1));
    if (auto* list = ui::NativeOf<QListWidget>(this)) {
        pushing_ = true;
        list->doItemsLayout();
        list->verticalScrollBar()->setValue(topIndex_);
        pushing_ = false;
    }
}

TRect TListBox::ItemRect(int Index) const
{
    int count = items_->Count();
    if (Index < 0 || Index > count || count == 0)
        return {};
    if (Index == count) { // the place for one more item, under the last
        TRect last = ItemRect(count - 1);
        return Bounds(last.Left, last.Bottom, last.Width(), last.Height());
    }
    if (auto* list = ui::NativeOf<QListWidget>(this)) {
        list->doItemsLayout();
        QRect r = list->visualItemRect(list->item(Index));
        return Bounds(r.x(), r.y(), r.width(), r.height());
    }
    // Without the widget: stacked from the top item down.
    auto* self = const_cast<TListBox*>(this); // measuring caches heights
    int top = 0;
    int first = TopIndex();
    for (int i = first; i < Index; ++i)
        top += self->HeightOf(i);
    for (int i = Index; i < first; ++i)
        top -= self->HeightOf(i);
    return Bounds(0, top, ClientWidth(), self->HeightOf(Index));
}

int TListBox::ItemAtPos(const TPoint& Pos, bool Existing) const
{
    int count = items_->Count();
    if (auto* list = ui::NativeOf<QListWidget>(this)) {
        if (!list->viewport()->rect().contains(Pos.X, Pos.Y))
            return -1;
        list->doItemsLayout();
        if (QListWidgetItem* item = list->itemAt(Pos.X, Pos.Y))
            return list->row(item);
        return Existing ? -1 : count;
    }
    if (!ClientRect().Contains(Pos.X, Pos.Y))
        return -1;
    auto* self = const_cast<TListBox*>(this);
    int top = 0;
    for (int i = TopIndex(); i < count && top <= Pos.Y; ++i) {
        int bottom = top + self->HeightOf(i);
        if (Pos.Y >= top && Pos.Y < bottom)
            return i;
        top = bottom;
    }
    return Existing ? -1 : count;
}

void TListBox::ApplySelectionMode()
{
    if (auto* list = ui::NativeOf<QListWidget>(this))
        list->setSelectionMode(!multiSelect_     ? QAbstractItemView::SingleSelection
                               : extendedSelect_ ? QAbstractItemView::ExtendedSelection
                                                 : QAbstractItemView::MultiSelection);
}

void TListBox::ApplySelection()
{
    auto* list = ui::NativeOf<QListWidget>(this);
    if (!list)
        return;
    pushing_ = true;
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(selected_[static_cast<size_t>(i)]);
    list->setCurrentRow(itemIndex_, QItemSelectionModel::NoUpdate);
    pushing_ = false;
}

void TListBox::TakeUserSelection()
{
    auto* list = NativeWidget()->As<QListWidget>();
    if (pushing_ || !list)
        return;
    for (int i = 0; i < list->count(); ++i)
        selected_[static_cast<size_t>(i)] = list->item(i)->isSelected();
    itemIndex_ = list->currentRow();
    Click();
}

// --- combo box ---

namespace {

QComboBox* ComboOf(const TNativeControl* control) { return ui::NativeOf<QComboBox>(control); }

// A combo box whose closed field shows what the control paints there.
class TOwnerDrawCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void(QPainter& Painter, const QRect& Area)> PaintField;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!PaintField)
            return QComboBox::paintEvent(event);
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        option.currentIcon = {};
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        PaintField(painter,
                   style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this));
    }
};

} // namespace

TComboBox::TComboBox(TComponent* AOwner) : TNativeControl(AOwner), items_(std::make_unique<TStringList>())
{
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { items_->OnChange = nullptr; }

TStrings& TComboBox::Items() { return *items_; }

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    style_ = Value;
    NativeWidgetCreated();
}

void TComboBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= items_->Count())
        Value = -1;
    itemIndex_ = Value;
    pushing_ = true;
    SetText(Value >= 0 ? items_->Strings(Value) : std::string());
    if (QComboBox* combo = ComboOf(this))
        combo->setCurrentIndex(Value);
    pushing_ = false;
}

void TComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TComboBox::ItemsChanged()
{
    if (itemIndex_ >= items_->Count())
        itemIndex_ = -1;
    heights_.assign(static_cast<size_t>(items_->Count()), 0);
    NativeWidgetCreated();
}

void TComboBox::SetItemHeight(int Value)
{
    if (Value <= 0)
        return;
    itemHeight_ = Value;
    heights_.assign(heights_.size(), 0);
    ApplyOwnerDraw();
}

TCanvas* TComboBox::Canvas()
{
    canvas_.Font.Assign(Font());
    return &canvas_;
}

int TComboBox::HeightOf(int Index)
{
    if (style_ != csOwnerDrawVariable || Index < 0 || Index >= static_cast<int>(heights_.size()))
        return itemHeight_;
    int& height = heights_[static_cast<size_t>(Index)];
    if (height <= 0) {
        int measured = itemHeight_;
        MeasureItem(Index, measured);
        height = std::max(measured, 1);
    }
    return height;
}

void TComboBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem)
        return OnDrawItem(this, Index, Rect, State);
    (void)State;
    canvas_.FillRect(Rect);
    if (Index >= 0)
        canvas_.TextOut(Rect.Left + 2, Rect.Top, items_->Strings(Index));
}

void TComboBox::PaintItem(QPainter& Painter, int Index, const QRect& Area, TOwnerDrawState State)
{
    if (!Enabled())
        State.Include(odDisabled);
    bool selected = State.Contains(odSelected);
    TRect rect = Bounds(Area.x(), Area.y(), Area.width(), Area.height());
    ui::PaintWithCanvas(Painter, Area, canvas_, [&] {
        TCanvasStateScope keep(canvas_);
        canvas_.Font.Assign(Font());
        canvas_.Brush.Style = bsSolid;
        canvas_.Brush.Color = selected ? clHighlight : Color();
        if (selected)
            canvas_.Font.SetColor(clHighlightText);
        DrawItem(Index, rect, State);
        if (State.Contains(odFocused))
            canvas_.DrawFocusRect(rect);
    });
}

void TComboBox::ApplyOwnerDraw()
{
    auto* combo = dynamic_cast<TOwnerDrawCombo*>(ComboOf(this));
    if (!combo)
        return;
    auto* delegate = static_cast<ui::TOwnerDrawDelegate*>(combo->itemDelegate());
    if (!OwnerDrawn()) {
        combo->PaintField = nullptr;
        delegate->RowHeight = nullptr;
        delegate->PaintRow = nullptr;
        combo->update();
        return;
    }
    delegate->RowHeight = [this](int row) { return HeightOf(row); };
    delegate->PaintRow = [this](QPainter& painter, int row, const QRect& area, const QStyleOptionViewItem& option) {
        TOwnerDrawState state;
        if (option.state & QStyle::State_Selected)
            state.Include(odSelected);
        if (option.state & QStyle::State_HasFocus)
            state.Include(odFocused);
        PaintItem(painter, row, area, state);
    };
    // The closed box shows the chosen item (or an empty field) as the
    // program draws it; it has the focus look while the box has the focus.
    combo->PaintField = [this, combo](QPainter& painter, const QRect& area) {
        TOwnerDrawState state{odComboBoxEdit};
        if (combo->hasFocus())
            state = state + TOwnerDrawState{odSelected, odFocused};
        PaintItem(painter, itemIndex_, area, state);
    };
    combo->update();
}

std::unique_ptr<ui::TNativeWidget> TComboBox::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<TOwnerDrawCombo>(this);
    auto* combo = native->As<QComboBox>();
    combo->setItemDelegate(new ui::TOwnerDrawDelegate(combo));
    combo->setInsertPolicy(QComboBox::NoInsert); // typed text never becomes an item by itself
    QObject::connect(combo, &QComboBox::activated, native.get(), [this](int index) { UserPicked(index); });
    QObject::connect(combo, &QComboBox::editTextChanged, native.get(), [this](const QString& text) {
        if (!pushing_)
            UserTyped(text.toStdString());
    });
    return native;
}

void TComboBox::NativeWidgetCreated()
{
    QComboBox* combo = ComboOf(this);
    if (!combo)
        return;
    pushing_ = true;
    combo->clear();
    for (int i = 0; i < items_->Count(); ++i)
        combo->addItem(Q(items_->Strings(i)));
    combo->setEditable(Editable());
    if (combo->isEditable())
        combo->setCompleter(nullptr); // the typed text stays as typed
    combo->setMaxVisibleItems(std::max(1, DropDownCount));
    combo->setCurrentIndex(itemIndex_);
    if (combo->isEditable())
        combo->setEditText(Q(Text()));
    pushing_ = false;
    ApplyOwnerDraw();
}

void TComboBox::UserPicked(int Index)
{
    itemIndex_ = Index;
    pushing_ = true;
    SetText(items_->Strings(Index));
    pushing_ = false;
    Click();
    Change();
}

void TComboBox::UserTyped(const std::string& Text)
{
    if (Text == this->Text())
        return;
    itemIndex_ = items_->IndexOf(Text);
    pushing_ = true;
    SetText(Text);
    pushing_ = false;
    Change();
}

void TComboBox::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED && !pushing_) {
        // Text set from code: a drop-down list can only show one of its items.
        int index = items_->IndexOf(Text());
        if (!Editable() && index < 0 && !Text().empty())
            return SetText(itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string());
        if (!Editable())
            itemIndex_ = index;
        if (QComboBox* combo = ComboOf(this)) {
            pushing_ = true;
            if (combo->isEditable())
                combo->setEditText(Q(Text()));
            else
                combo->setCurrentIndex(itemIndex_);
            pushing_ = false;
        }
    }
    TNativeControl::Dispatch(Message);
}

// --- bitmap button ---

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), glyph_(std::make_unique<TBitmap>()) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetNumGlyphs(int Value)
{
    numGlyphs_ = std::clamp(Value, 1, 4);
    GlyphChanged();
}

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

void TBitBtn::SetKind(TBitBtnKind Value)
{
    struct KindInfo {
        const char* caption;
        TModalResult result;
    };
    static const KindInfo kinds[] = {
        {"", mrNone},           {"OK", mrOk},        {"Abbrechen", mrCancel},       {"&Hilfe", mrNone},
        {"&Ja", mrYes},         {"&Nein", mrNo},     {"&Schließen", mrNone},        {"Abbrechen", mrAbort},
        {"&Wiederholen", mrRetry}, {"&Ignorieren", mrIgnore}, {"&Alle", mrAll},
    };
    kind_ = Value;
    if (Value == bkCustom)
        return;
    SetCaption(kinds[Value].caption);
    ModalResult = kinds[Value].result;
    Default = Value == bkOK || Value == bkYes;
    Cancel = Value == bkCancel || Value == bkNo;
}

void TBitBtn::Click()
{
    // A close button closes its form.
    if (kind_ == bkClose)
        if (TCustomForm* form = ParentForm()) {
            form->Close();
            return;
        }
    TButton::Click();
}
