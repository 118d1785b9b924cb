// The colour popup: its cells and size, the keys and the mouse, choosing
// the cell of a colour, and where it opens.

#include <algorithm>
#include <cmath>

#include "editor/controls/ColorPickerButton.h"
#include "platform/ui/Forms.h"
#include "widgets/DrawUtils.h"

using namespace ColorPickerButton;

IMPLEMENT_CLASS(TColorPopup)

namespace ColorPickerButton {

const TNamedColor ColorCells[ColorCellCount] = {
    {0x000000, "Black"},
    {0x003399, "Brown"},
    {0x003333, "Olive Green"},
    {0x003300, "Dark Green"},
    {0x663300, "Dark Teal"},
    {0x800000, "Dark blue"},
    {0x993333, "Indigo"},
    {0x333333, "Gray-80%"},
    {0x000080, "Dark Red"},
    {0x0066FF, "Orange"},
    {0x008080, "Dark Yellow"},
    {0x008000, "Green"},
    {0x808000, "Teal"},
    {0xFF0000, "Blue"},
    {0x996666, "Blue-Gray"},
    {0x808080, "Gray-50%"},
    {0x0000FF, "Red"},
    {0x0099FF, "Light Orange"},
    {0x00CC99, "Lime"},
    {0x669933, "Sea Green"},
    {0xCCCC33, "Vexa"},
    {0xFF6633, "Light Blue"},
    {0x800080, "Violet"},
    {0x969696, "Grey-40%"},
    {0xFF00FF, "Pink"},
    {0x00CCFF, "Gold"},
    {0x00FFFF, "Yellow"},
    {0x00FF00, "Bright Green"},
    {0xFFFF00, "Turquoise"},
    {0xFFCC00, "Sky Blue"},
    {0x663399, "Plum"},
    {0xC0C0C0, "Gray-25%"},
    {0xCC99FF, "Rose"},
    {0x99CCFF, "Tan"},
    {0x99FFFF, "Light Yellow"},
    {0xCCFFCC, "Light Green"},
    {0xFFFFCC, "Light Turquoise"},
    {0xFFCC99, "Pale Blue"},
    {0xFF99CC, "Lavender"},
    {0xFFFFFF, "White"},
};

namespace {

const char* const SystemNames[SystemCellCount] = {
    "scroll bar",
    "background",
    "active caption",
    "inactive caption",
    "menu",
    "window",
    "window frame",
    "menu text",
    "window text",
    "caption text",
    "active border",
    "inactive border",
    "application workspace",
    "highlight",
    "highlight text",
    "button face",
    "button shadow",
    "gray text",
    "button text",
    "inactive caption text",
    "button highlight",
    "3D dark shadow",
    "3D light",
    "info text",
    "info background",
};

} // namespace

TColor SystemCellColor(int Index) { return static_cast<TColor>(0x80000000u + static_cast<unsigned>(Index)); }

std::string SystemCellName(int Index) { return std::string("system color: ") + SystemNames[Index]; }

} // namespace ColorPickerButton

TColorPopup::TColorPopup(TColorPickerButton* Button) : TCustomControl(Button), button_(Button)
{
    SetColor(clBtnFace);
    SetShowHint(true);
    ControlStyle.Exclude(csClickEvents);
    grayCombs_ = BuildGrayCombs(CombSizeOf((Columns * CellSize * 7) / 16));
    AdjustWindowSize();
    SetLeft(-1000);
    SetVisible(false);
}

TColorPopup::~TColorPopup() = default;

void TColorPopup::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

void TColorPopup::SetDefaultText(const std::string& Value)
{
    if (Value == defaultText_)
        return;
    defaultText_ = Value;
    AdjustWindowSize();
}

void TColorPopup::SetCustomText(const std::string& Value)
{
    if (Value == customText_)
        return;
    customText_ = Value;
    if (customText_.empty() && chosenCell_ == CustomCell)
        chosenCell_ = NoCell;
    AdjustWindowSize();
}

void TColorPopup::SetShowSystemColors(bool Value)
{
    if (Value == showSystemColors_)
        return;
    showSystemColors_ = Value;
    AdjustWindowSize();
}

void TColorPopup::SetSpacing(int Value)
{
    spacing_ = std::max(Value, 0);
    AdjustWindowSize();
}

void TColorPopup::AdjustWindowSize()
{
    const int m = margin_;
    const int s = spacing_;
    TBitmap measure(1, 1);
    TSize text{0, 0};
    for (const std::string* t : {&defaultText_, &customText_}) {
        if (t->empty())
            continue;
        const TSize extent = measure.Canvas().TextExtent(*t);
        text.cx = std::max(text.cx, extent.cx);
        text.cy = std::max(text.cy, extent.cy);
    }
    text.cx += 2 * m;
    text.cy += 4 * m + 2;
    int width = Columns * CellSize + 2 * m + 2 * s;
    int height = 5 * CellSize + 4 * m;
    combRadius_ = (Columns * CellSize * 7) / 16;
    combSize_ = CombSizeOf(combRadius_);
    gridTop_ = 2 * m;
    defaultRect_ = {};
    if (HasDefault()) {
        width = std::max(width, text.cx);
        defaultRect_ = Rect(m + s, 2 * m, width - (m + s), 2 * m + text.cy);
        gridTop_ = defaultRect_.Bottom;
        height += text.cy + 2 * m;
    }
    systemTop_ = gridTop_ + 3 * m;
    if (showSystemColors_)
        height += 4 * CellSize + 2 * m;
    customRect_ = {};
    if (HasCustom()) {
        customRect_ = Rect(m + s, height, width - (m + s), height + text.cy);
        height += text.cy + 2 * m;
    }
    normalHeight_ = height;
    customHeight_ = height + 2 * combRadius_ + 2 * combSize_ + 2 * m;
    width = std::max(width, m + s + 2 * combRadius_ + 20 + m);
    colorCombs_.clear();
    SetBounds(Left(), Top(), width, chosenCell_ == CustomCell ? customHeight_ : normalHeight_);
    Invalidate();
}

TRect TColorPopup::CellRect(int Cell) const
{
    if (Cell == DefaultCell)
        return defaultRect_;
    if (Cell == CustomCell)
        return customRect_;
    if (Cell < 0 || Cell >= ColorCellCount + SystemCellCount)
        return {};
    const int row = Cell < ColorCellCount ? Cell / Columns : 5 + (Cell - ColorCellCount) / Columns;
    const int column = Cell < ColorCellCount ? Cell % Columns : (Cell - ColorCellCount) % Columns;
    const int top = row * CellSize + (Cell < ColorCellCount ? gridTop_ : systemTop_);
    const int left = column * CellSize + margin_ + spacing_;
    return Rect(left, top, left + CellSize, top + CellSize);
}

int TColorPopup::CellIndex(int Row, int Column) const
{
    if (Column < 0 || Column >= Columns || Row < 0)
        return NoCell;
    if (Row < 5)
        return Row * Columns + Column;
    const int cell = ColorCellCount + (Row - 5) * Columns + Column;
    if (showSystemColors_ && Row <= 8 && cell < ColorCellCount + SystemCellCount)
        return cell;
    return NoCell;
}

int TColorPopup::CellAt(TPoint P) const
{
    if (HasDefault() && defaultRect_.Contains(P.X, P.Y))
        return DefaultCell;
    if (HasCustom() && customRect_.Contains(P.X, P.Y))
        return CustomCell;
    for (int cell = 0; cell <= LastCell(); ++cell)
        if (CellRect(cell).Contains(P.X, P.Y))
            return cell;
    return NoCell;
}

void TColorPopup::SetHotCell(int Cell)
{
    if (Cell > 64 || (Cell >= ColorCellCount && !showSystemColors_))
        Cell = NoCell;
    if (Cell == hotCell_)
        return;
    hotCell_ = Cell;
    Invalidate();
}

// Where an arrow key moves from a cell.
int TColorPopup::KeyMove(int From, WORD Key) const
{
    const int last = LastCell();
    // The cell after the grid and the one before it.
    const int afterGrid = HasCustom() ? CustomCell : HasDefault() ? DefaultCell : 0;
    const int beforeGrid = HasDefault() ? DefaultCell : HasCustom() ? CustomCell : last;
    if (From == NoCell)
        return 0;
    const bool forward = Key == VK_RIGHT || Key == VK_DOWN;
    if (From == DefaultCell)
        return forward ? 0 : HasCustom() ? CustomCell : last;
    if (From == CustomCell)
        return forward ? (HasDefault() ? DefaultCell : 0) : last;
    const int row = From < ColorCellCount ? From / Columns : 5 + (From - ColorCellCount) / Columns;
    const int column = From < ColorCellCount ? From % Columns : (From - ColorCellCount) % Columns;
    switch (Key) {
    case VK_LEFT: return From == 0 ? beforeGrid : From - 1;
    case VK_RIGHT: return From >= last ? afterGrid : From + 1;
    case VK_UP: return row == 0 ? beforeGrid : CellIndex(row - 1, column);
    case VK_DOWN: {
        const int below = CellIndex(row + 1, column);
        return below == NoCell ? afterGrid : below;
    }
    default: return From;
    }
}

void TColorPopup::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_RETURN:
    case VK_SPACE:
        chosenCell_ = hotCell_;
        NotifyButton(false);
        break;
    case VK_ESCAPE: NotifyButton(true); break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: SetHotCell(KeyMove(hotCell_ == NoCell ? chosenCell_ : hotCell_, Key)); break;
    default: return;
    }
    Key = 0;
}

// Alt and the underlined letter of a text: the default cell is chosen and
// closes, the custom cell opens its area.
namespace {

bool IsAccel(char32_t Key, const std::string& Text)
{
    if (Key >= 'a' && Key <= 'z')
        Key = Key - 'a' + 'A';
    const char32_t accel = DrawUtils::AcceleratorOf(Text);
    return accel != 0 && accel == Key;
}

} // namespace

bool TColorPopup::AcceleratorChosen(char32_t Key)
{
    if (HasDefault() && IsAccel(Key, defaultText_)) {
        chosenCell_ = DefaultCell;
        NotifyButton(false);
        return true;
    }
    if (HasCustom() && chosenCell_ != CustomCell && IsAccel(Key, customText_)) {
        ChooseCustomCell();
        return true;
    }
    return false;
}

void TColorPopup::ChooseCustomCell()
{
    chosenCell_ = CustomCell;
    PlacePopup();
}

void TColorPopup::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SYSCHAR:
        if (AcceleratorChosen(static_cast<char32_t>(Message.WParam))) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_KILLFOCUS:
        if (button_->DroppedDown())
            button_->SetDroppedDown(false);
        break;
    default: break;
    }
    TCustomControl::Dispatch(Message);
}

void TColorPopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    pressedOnComb_ = false;
    sliding_ = false;
    if (!ClientRect().Contains(X, Y)) {
        NotifyButton(true);
        return;
    }
    const int cell = CellAt({X, Y});
    if (cell != NoCell) {
        SetHotCell(cell);
        Invalidate();
        return;
    }
    if (chosenCell_ != CustomCell)
        return;
    if (SliderRect().Contains(X, Y)) {
        sliding_ = true;
        SlideTo(Y);
    } else if (const int comb = CombAt({X, Y}); comb != 0) {
        customComb_ = comb;
        pressedOnComb_ = true;
        Invalidate();
    }
}

void TColorPopup::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (sliding_ && Shift.Contains(ssLeft)) {
        SlideTo(Y);
        return;
    }
    SetHotCell(CellAt({X, Y}));
    Hint = HintAt({X, Y});
}

void TColorPopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const bool wasSliding = sliding_;
    sliding_ = false;
    if (pressedOnComb_) {
        pressedOnComb_ = false;
        chosenCell_ = CustomCell;
        NotifyButton(false);
        return;
    }
    if (wasSliding)
        return;
    const int cell = CellAt({X, Y});
    if (cell == CustomCell) {
        ChooseCustomCell();
    } else if (cell != NoCell) {
        chosenCell_ = cell;
        NotifyButton(false);
    }
}

void TColorPopup::SelectColorCell(TColor Color)
{
    customComb_ = 0;
    chosenCell_ = NoCell;
    if (Color == clNone)
        return;
    if (Color == clDefault) {
        chosenCell_ = HasDefault() ? DefaultCell : NoCell;
        return;
    }
    if (Color < 0 && showSystemColors_) {
        const int index = Color & 0xFF;
        if (index < SystemCellCount)
            chosenCell_ = ColorCellCount + index;
        return;
    }
    const TColor rgb = ColorToRGB(Color);
    for (int i = 0; i < ColorCellCount; ++i)
        if (ColorCells[i].Value == rgb) {
            chosenCell_ = i;
            return;
        }
    if (showSystemColors_ && Color >= 0)
        for (int j = 0; j < SystemCellCount; ++j)
            if (ColorToRGB(SystemCellColor(j)) == rgb) {
                chosenCell_ = ColorCellCount + j;
                return;
            }
    if (!HasCustom())
        return;
    for (std::size_t i = 0; i < grayCombs_.size(); ++i)
        if (grayCombs_[i].Color == rgb) {
            chosenCell_ = CustomCell;
            customComb_ = -static_cast<int>(i) - 1;
            return;
        }
    const auto& combs = ColorCombs();
    for (std::size_t i = 0; i < combs.size(); ++i)
        if (combs[i].Color == rgb) {
            chosenCell_ = CustomCell;
            customComb_ = static_cast<int>(i) + 1;
            return;
        }
}

void TColorPopup::PlacePopup()
{
    const int width = Width();
    const int height = chosenCell_ == CustomCell ? customHeight_ : normalHeight_;
    const TPoint buttonTop = button_->ClientToScreen({0, 0});
    int x = buttonTop.X - 1;
    int y = buttonTop.Y + button_->Height();
    const int screenWidth = Screen ? Screen->Width() : 0;
    const int screenHeight = Screen ? Screen->Height() : 0;
    if (screenHeight > 0 && y + height > screenHeight) {
        y = screenHeight - height;
        if (y < buttonTop.Y + button_->Height() && y + height > buttonTop.Y)
            y = buttonTop.Y - height;
    }
    if (screenWidth > 0 && x + width > screenWidth)
        x = screenWidth - width;
    x = std::max(x, 0);
    SetBounds(x, y, width, height);
    SetVisible(true);
    ui::SetWindowPos(Handle(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void TColorPopup::NotifyButton(bool Cancelled)
{
    if (!Cancelled) {
        if (chosenCell_ >= 0 && chosenCell_ < ColorCellCount)
            button_->SetSelectionColor(ColorCells[chosenCell_].Value);
        else if (chosenCell_ >= ColorCellCount && chosenCell_ <= LastCell())
            button_->SetSelectionColor(SystemCellColor(chosenCell_ - ColorCellCount));
        else if (chosenCell_ == CustomCell && customComb_ != 0)
            button_->SetSelectionColor(CombColor());
        else if (chosenCell_ == DefaultCell)
            button_->DoDefaultSelect();
    }
    button_->SetDroppedDown(false);
}

std::string TColorPopup::HintAt(TPoint P)
{
    if (!button_->ShowHint())
        return {};
    const int cell = CellAt(P);
    if (cell >= 0 && cell < ColorCellCount)
        return ColorCells[cell].Name;
    if (cell >= ColorCellCount)
        return SystemCellName(cell - ColorCellCount);
    if (cell == NoCell && chosenCell_ == CustomCell) {
        if (SliderRect().Contains(P.X, P.Y))
            return "Intensity: " + std::to_string(static_cast<int>(std::nearbyint(100 * brightness_))) + "%";
        if (const int comb = CombAt(P); comb != 0) {
            const int saved = customComb_;
            customComb_ = comb;
            const TColor c = CombColor();
            customComb_ = saved;
            return "red: " + std::to_string(GetRValue(c)) + ", green: " + std::to_string(GetGValue(c)) +
                ", blue: " + std::to_string(GetBValue(c));
        }
    }
    std::string text;
    if (button_->OnHint)
        button_->OnHint(button_, cell, text);
    if (text.empty() && cell != NoCell)
        text = button_->Hint;
    return text;
}
