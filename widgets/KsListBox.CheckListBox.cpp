#include "widgets/KsListBox.h"

#include <algorithm>

#include "widgets/Apputils.h"
#include "widgets/DrawUtils.h"

namespace {

constexpr int CheckCellWidth = 16;
constexpr int CheckCellHeight = 13;
constexpr int CheckColumns = 6;
constexpr int CheckRows = 3;
constexpr TColor CheckKey = clFuchsia;
constexpr std::uint32_t PaletteRelativeFlag = 0x02000000;

// One cell of the check pictures.
void DrawCheckCell(TCanvas& C, int Column, int Row)
{
    const int x = Column * CheckCellWidth, y = Row * CheckCellHeight;
    const bool disabled = Column >= 3;
    const TCheckBoxState state = static_cast<TCheckBoxState>(Column % 3);
    const TColor ink = disabled ? clGray : clBlack;
    const TColor face = disabled ? clSilver : clWhite;
    C.Pen.Width = 1;
    C.Pen.Color = disabled ? clGray : clBlack;
    switch (Row) {
    case 0: // check box
        C.Brush.Color = state == cbGrayed ? clSilver : face;
        C.Rectangle(x + 1, y, x + 14, y + 13);
        break;
    case 1: // radio button
        C.Brush.Color = face;
        C.Ellipse(x + 1, y, x + 14, y + 13);
        break;
    default: // check mark only
        break;
    }
    if (state == cbUnchecked)
        return;
    const TColor mark = state == cbGrayed ? clGray : ink;
    if (Row == 1) {
        C.Brush.Color = mark;
        C.Pen.Color = mark;
        C.Ellipse(x + 5, y + 4, x + 10, y + 9);
        return;
    }
    // A tick of three pixels' thickness.
    for (int i = 0; i < 3; ++i) {
        for (int d = 0; d < 3; ++d)
            C.SetPixels(x + 4 + d, y + 5 + d + i, mark);
        for (int d = 0; d < 4; ++d)
            C.SetPixels(x + 7 + d, y + 6 - d + i, mark);
    }
}

std::unique_ptr<TBitmap> MakeCheckBitmap()
{
    auto bitmap = std::make_unique<TBitmap>(CheckColumns * CheckCellWidth, CheckRows * CheckCellHeight);
    TCanvas& c = bitmap->Canvas();
    c.Brush.Color = CheckKey;
    c.FillRect(Rect(0, 0, bitmap->Width(), bitmap->Height()));
    for (int row = 0; row < CheckRows; ++row)
        for (int column = 0; column < CheckColumns; ++column)
            DrawCheckCell(c, column, row);
    bitmap->SetTransparentColor(CheckKey);
    return bitmap;
}

} // namespace

TBitmap& KSCtrls::CheckBitmap()
{
    static const std::unique_ptr<TBitmap> bitmap = MakeCheckBitmap();
    return *bitmap;
}

// TKsCheckListBox

TKsCheckListBox::TKsCheckListBox(TComponent* AOwner) : TKsCustomListBox(AOwner), iniLink_(std::make_unique<TIniLink>())
{
    SetStyle(lbOwnerDrawFixed);
    SetAutoScroll(true);
    iniLink_->OnSave = [this](TObject* Sender) { IniSave(Sender); };
    iniLink_->OnLoad = [this](TObject* Sender) { IniLoad(Sender); };
}

TKsCheckListBox::~TKsCheckListBox() { iniLink_->SetStorage(nullptr); }

int TKsCheckListBox::CheckWidth() const { return CheckCellWidth + 2; }

void TKsCheckListBox::ItemInserted(int Index) { states_.insert(states_.begin() + Index, TCheckListBoxItem{}); }

void TKsCheckListBox::ItemDeleted(int Index) { states_.erase(states_.begin() + Index); }

void TKsCheckListBox::ItemsCleared() { states_.clear(); }

void TKsCheckListBox::ItemsExchanged(int Index1, int Index2)
{
    std::swap(states_[static_cast<std::size_t>(Index1)], states_[static_cast<std::size_t>(Index2)]);
}

void TKsCheckListBox::ItemsReordered(const std::vector<int>& Order)
{
    std::vector<TCheckListBoxItem> reordered;
    reordered.reserve(states_.size());
    for (int from : Order)
        reordered.push_back(states_[static_cast<std::size_t>(from)]);
    states_ = std::move(reordered);
}

void TKsCheckListBox::ItemMoved(int CurrentIndex, int NewIndex)
{
    TCheckListBoxItem item = states_[static_cast<std::size_t>(CurrentIndex)];
    states_.erase(states_.begin() + CurrentIndex);
    states_.insert(states_.begin() + NewIndex, item);
}

std::intptr_t TKsCheckListBox::GetItemData(int Index) const
{
    TKsCustomListBox::GetItemData(Index); // index check
    return states_[static_cast<std::size_t>(Index)].Data;
}

void TKsCheckListBox::SetItemData(int Index, std::intptr_t Data)
{
    TKsCustomListBox::SetItemData(Index, Data);
    states_[static_cast<std::size_t>(Index)].Data = Data;
}

TCheckBoxState TKsCheckListBox::GetState(int Index) const
{
    TKsCustomListBox::GetItemData(Index);
    const TCheckBoxState state = states_[static_cast<std::size_t>(Index)].State;
    return checkKind_ == ckRadioButtons && state == cbGrayed ? cbUnchecked : state;
}

void TKsCheckListBox::SetState(int Index, TCheckBoxState Value)
{
    TKsCustomListBox::GetItemData(Index);
    if (checkKind_ == ckRadioButtons && Value == cbGrayed)
        Value = cbUnchecked;
    if (Value == GetState(Index) && !inUpdate_)
        return;
    if (checkKind_ == ckRadioButtons) {
        // A radio list keeps one item checked.
        if (Value == cbUnchecked && GetState(Index) == cbChecked)
            return;
    }
    states_[static_cast<std::size_t>(Index)].State = Value;
    if (checkKind_ == ckRadioButtons && Value == cbChecked)
        for (int i = 0; i < Items().Count(); ++i)
            if (i != Index && states_[static_cast<std::size_t>(i)].State == cbChecked) {
                states_[static_cast<std::size_t>(i)].State = cbUnchecked;
                InvalidateCheck(i);
            }
    InvalidateCheck(Index);
    if (!(ComponentState() & csReading))
        ChangeItemState(Index);
}

bool TKsCheckListBox::GetItemEnabled(int Index) const
{
    TKsCustomListBox::GetItemData(Index);
    return states_[static_cast<std::size_t>(Index)].Enabled;
}

void TKsCheckListBox::SetItemEnabled(int Index, bool Value)
{
    TKsCustomListBox::GetItemData(Index);
    states_[static_cast<std::size_t>(Index)].Enabled = Value;
    Invalidate();
}

void TKsCheckListBox::SetCheckKind(TCheckKind Value)
{
    if (Value == checkKind_)
        return;
    checkKind_ = Value;
    UpdateCheckStates();
    Invalidate();
}

int TKsCheckListBox::CheckedIndex() const
{
    if (checkKind_ != ckRadioButtons)
        return -1;
    for (int i = 0; i < Items().Count(); ++i)
        if (GetState(i) == cbChecked)
            return i;
    return -1;
}

void TKsCheckListBox::SetCheckedIndex(int Value)
{
    if (checkKind_ == ckRadioButtons && Items().Count() > 0)
        SetState(std::min(std::max(Value, 0), Items().Count() - 1), cbChecked);
}

void TKsCheckListBox::UpdateCheckStates()
{
    if (checkKind_ != ckRadioButtons || Items().Count() == 0)
        return;
    inUpdate_ = true;
    try {
        SetState(std::max(CheckedIndex(), 0), cbChecked);
    } catch (...) {
        inUpdate_ = false;
        throw;
    }
    inUpdate_ = false;
}

void TKsCheckListBox::Loaded()
{
    TKsCustomListBox::Loaded();
    UpdateCheckStates();
}

void TKsCheckListBox::ApplyState(TCheckBoxState AState, bool EnabledOnly)
{
    if (checkKind_ == ckRadioButtons)
        return;
    for (int i = 0; i < Items().Count(); ++i)
        if (!EnabledOnly || GetItemEnabled(i))
            SetState(i, AState);
}

void TKsCheckListBox::ToggleItem(int Index)
{
    if (Index < 0 || Index >= Items().Count() || !GetItemEnabled(Index))
        return;
    switch (GetState(Index)) {
    case cbUnchecked: SetState(Index, GrayedAllowed() ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(Index, cbUnchecked); break;
    case cbGrayed: SetState(Index, cbChecked); break;
    }
    ClickCheck();
}

void TKsCheckListBox::ClickCheck()
{
    if (OnClickCheck)
        OnClickCheck(this);
}

void TKsCheckListBox::ChangeItemState(int Index)
{
    if (OnStateChange)
        OnStateChange(this, Index);
}

void TKsCheckListBox::InvalidateCheck(int Index)
{
    if (HandleAllocated()) {
        const TRect r = ItemRect(Index);
        const TRect check = Rect(r.Left, r.Top, r.Left + CheckWidth(), r.Bottom);
        InvalidateRect(&check);
    }
}

int TKsCheckListBox::GetItemHeight() const
{
    if (Style() == lbOwnerDrawVariable || (Style() == lbOwnerDrawFixed && OnDrawItem()))
        return TKsCustomListBox::GetItemHeight();
    TBitmap scratch(1, 1);
    scratch.Canvas().Font.Assign(Font());
    int height = std::max(scratch.Canvas().TextHeight("Wg"), CheckCellHeight);
    if (Style() == lbOwnerDrawFixed)
        height = std::max(height, TKsCustomListBox::GetItemHeight());
    return height;
}

int TKsCheckListBox::GetItemWidth(int Index) { return TKsCustomListBox::GetItemWidth(Index) + CheckWidth(); }

void TKsCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas& canvas = *Canvas();
    const TRect checkArea = CheckArea(Rect);
    if (DrawUtils::UseRightToLeftReading(BiDiMode))
        Rect.Right = checkArea.Left;
    else
        Rect.Left = checkArea.Right;
    // The check picture on the list's colour.
    const bool enabled = GetItemEnabled(Index) && Enabled();
    const int cell = static_cast<int>(checkKind_) * CheckColumns + static_cast<int>(GetState(Index)) +
        (enabled ? 0 : 3);
    TBitmap picture;
    DrawUtils::AssignBitmapCell(KSCtrls::CheckBitmap(), picture, CheckColumns, CheckRows, cell);
    const TColor back = canvas.Brush.Color;
    canvas.Brush.Color = Color();
    canvas.FillRect(checkArea);
    canvas.Brush.Color = back;
    const TColor key = static_cast<TColor>(static_cast<std::uint32_t>(picture.TransparentColor()) &
                                           ~PaletteRelativeFlag);
    DrawUtils::DrawBitmapTransparent(canvas, checkArea.Left + (checkArea.Width() - picture.Width()) / 2,
                                     checkArea.Top + (checkArea.Height() - picture.Height()) / 2, picture, key);
    if (!GetItemEnabled(Index))
        canvas.Font.SetColor(State.Contains(odSelected) ? clInactiveCaptionText : clGrayText);
    TKsCustomListBox::DrawItem(Index, Rect, State);
}

void TKsCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TKsCustomListBox::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const int index = ItemAtPos({X, Y}, true);
    if (index < 0)
        return;
    const TRect area = CheckArea(ItemRect(index));
    if (X >= area.Left && X < area.Right)
        ToggleItem(index);
}

TRect TKsCheckListBox::CheckArea(const TRect& Item) const
{
    // At the edge the reading starts at.
    if (DrawUtils::UseRightToLeftReading(BiDiMode))
        return ::Rect(Item.Right - CheckWidth(), Item.Top, Item.Right, Item.Bottom);
    return ::Rect(Item.Left, Item.Top, Item.Left + CheckWidth(), Item.Bottom);
}

void TKsCheckListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SPACE) {
        ToggleItem(ItemIndex());
        Key = 0;
        return;
    }
    TKsCustomListBox::KeyDown(Key, Shift);
}

void TKsCheckListBox::KeyPress(char32_t& Key)
{
    if (Key == '+' || Key == '-') {
        ApplyState(Key == '+' ? cbChecked : cbUnchecked, true);
        ClickCheck();
        Key = 0;
        return;
    }
    if (Key == ' ') {
        Key = 0; // handled with the key-down
        return;
    }
    TKsCustomListBox::KeyPress(Key);
}

void TKsCheckListBox::SaveTo(TObject* IniObject, const std::string& Section)
{
    Apputils::IniEraseSection(IniObject, Section);
    Apputils::IniWriteInteger(IniObject, Section, "Count", Items().Count());
    for (int i = 0; i < Items().Count(); ++i)
        Apputils::IniWriteInteger(IniObject, Section, "Item" + std::to_string(i), static_cast<int>(GetState(i)));
}

void TKsCheckListBox::RestoreFrom(TObject* IniObject, const std::string& Section)
{
    const int count = std::min(Apputils::IniReadInteger(IniObject, Section, "Count", 0), Items().Count());
    for (int i = 0; i < count; ++i) {
        const int value = Apputils::IniReadInteger(IniObject, Section, "Item" + std::to_string(i), 0);
        // A file may hold anything: only the three states count.
        const TCheckBoxState state = value >= cbUnchecked && value <= cbGrayed ? static_cast<TCheckBoxState>(value)
                                                                               : cbUnchecked;
        SetState(i, state);
        // A radio list takes the first item the file checks.
        if (checkKind_ == ckRadioButtons && state == cbChecked)
            break;
    }
}

void TKsCheckListBox::SaveStates(TCustomIniFile& IniFile) { SaveTo(&IniFile, Apputils::GetDefaultSection(this)); }
void TKsCheckListBox::RestoreStates(TCustomIniFile& IniFile)
{
    RestoreFrom(&IniFile, Apputils::GetDefaultSection(this));
}
void TKsCheckListBox::SaveStatesReg(TRegIniFile& IniFile) { SaveTo(&IniFile, Apputils::GetDefaultSection(this)); }
void TKsCheckListBox::RestoreStatesReg(TRegIniFile& IniFile)
{
    RestoreFrom(&IniFile, Apputils::GetDefaultSection(this));
}

TFormPlacement* TKsCheckListBox::IniStorage() const { return iniLink_->Storage(); }

void TKsCheckListBox::SetIniStorage(TFormPlacement* Value) { iniLink_->SetStorage(Value); }

void TKsCheckListBox::IniSave(TObject*)
{
    TObject* ini = iniLink_->IniObject();
    if (!Name().empty() && ini)
        SaveTo(ini, iniLink_->RootSection() + Apputils::GetDefaultSection(this));
}

void TKsCheckListBox::IniLoad(TObject*)
{
    TObject* ini = iniLink_->IniObject();
    if (!Name().empty() && ini)
        RestoreFrom(ini, iniLink_->RootSection() + Apputils::GetDefaultSection(this));
}
