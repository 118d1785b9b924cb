// The toolkit's combo box behind TComboBox: its items, the user's choice and
// typing, and the owner-drawn closed field and rows.

#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include <QComboBox>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "platform/rtl/StringList.h"
#include "platform/ui/qt/NativeWidget.h"
#include "platform/ui/qt/OwnerDraw.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

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
        PaintField(painter, style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this));
    }
};

} // namespace

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
        ui::PaintOwnerDrawnItem(painter, area, *this, drawn_, state,
                                [this, row](const TRect& rect, TOwnerDrawState s) { DrawItem(row, rect, s); });
    };
    // The closed box shows the chosen item (or an empty field) as the
    // program draws it; it has the focus look while the box has the focus.
    combo->PaintField = [this, combo](QPainter& painter, const QRect& area) {
        TOwnerDrawState state{odComboBoxEdit};
        if (combo->hasFocus())
            state = state + TOwnerDrawState{odSelected, odFocused};
        ui::PaintOwnerDrawnItem(painter, area, *this, drawn_, state,
                                [this](const TRect& rect, TOwnerDrawState s) { DrawItem(itemIndex_, rect, s); });
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
