#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/NativeWidget.h"
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
    if (Message.Msg == CM_TEXTCHANGED)
        ShowCaption();
    TWinControl::Dispatch(Message);
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
    if (itemIndex_ >= items_->Count())
        itemIndex_ = -1;
    if (itemIndex_ >= 0 && !multiSelect_)
        selected_[static_cast<size_t>(itemIndex_)] = true;
    NativeWidgetCreated();
}

std::unique_ptr<ui::TNativeWidget> TListBox::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QListWidget>(this);
    QObject::connect(native->As<QListWidget>(), &QListWidget::itemSelectionChanged, native.get(),
                     [this] { TakeUserSelection(); });
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
    ApplySelectionMode();
    ApplySelection();
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
    NativeWidgetCreated();
}

std::unique_ptr<ui::TNativeWidget> TComboBox::MakeNativeWidget()
{
    auto native = ui::MakeNativeWidget<QComboBox>(this);
    auto* combo = native->As<QComboBox>();
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
    combo->setEditable(style_ == csDropDown || style_ == csSimple);
    if (combo->isEditable())
        combo->setCompleter(nullptr); // the typed text stays as typed
    combo->setMaxVisibleItems(std::max(1, DropDownCount));
    combo->setCurrentIndex(itemIndex_);
    if (combo->isEditable())
        combo->setEditText(Q(Text()));
    pushing_ = false;
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
        if (style_ == csDropDownList && index < 0 && !Text().empty())
            return SetText(itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string());
        if (style_ == csDropDownList)
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
