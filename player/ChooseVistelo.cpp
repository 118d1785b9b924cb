#include "player/ChooseVistelo.h"

#include "core/PictureLoading.h"
#include "core/SmoothBitmap.h"
#include "core/VisteloList.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

#include <algorithm>

IMPLEMENT_CLASS(TVisteloInfo)
IMPLEMENT_CLASS(TVisteloListBox)
IMPLEMENT_CLASS(TChooseVisteloForm)

namespace {

constexpr int MinWidth = 363;
constexpr int MinHeight = 200;
constexpr int Margin = 8;
constexpr int ButtonHeight = 25;
// Thumbnail sizes come from the list file: anything beyond a screen is a
// damaged value, not a wish.
constexpr int MaxThumbSize = 4096;

int ThumbSize(std::int32_t Value) { return std::clamp<std::int32_t>(Value, 0, MaxThumbSize); }

// The file name without folder and extension.
std::string BareName(const std::string& FileName) { return rtl::ChangeFileExt(rtl::ExtractFileName(FileName), ""); }

// Picture of Width x Height fitted proportionally into Box, centred.
TRect FitInto(const TRect& Box, int Width, int Height)
{
    if (Width <= 0 || Height <= 0 || Box.IsEmpty())
        return Box;
    int w = Box.Width();
    int h = static_cast<int>(static_cast<long long>(Height) * w / Width);
    if (h > Box.Height()) {
        h = Box.Height();
        w = static_cast<int>(static_cast<long long>(Width) * h / Height);
    }
    const int left = Box.Left + (Box.Width() - w) / 2;
    const int top = Box.Top + (Box.Height() - h) / 2;
    return Rect(left, top, left + w, top + h);
}

} // namespace

TVisteloInfo::TVisteloInfo() = default;
TVisteloInfo::~TVisteloInfo() = default;

// ---------------------------------------------------------------------------

TVisteloListBox::TVisteloListBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetTabStop(true);
    SetColor(clWindow);
}

TVisteloListBox::~TVisteloListBox() = default;

void TVisteloListBox::AddItem(std::unique_ptr<TVisteloInfo> Info)
{
    Items.push_back(std::move(Info));
    Invalidate();
}

void TVisteloListBox::Clear()
{
    Items.clear();
    itemIndex_ = -1;
    topIndex_ = 0;
    Invalidate();
}

void TVisteloListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= static_cast<int>(Items.size()))
        Value = -1;
    if (Value == itemIndex_)
        return;
    itemIndex_ = Value;
    ScrollIntoView();
    Invalidate();
}

void TVisteloListBox::SetTopIndex(int Value)
{
    const int last = std::max(0, static_cast<int>(Items.size()) - VisibleLines());
    Value = std::clamp(Value, 0, last);
    if (Value == topIndex_)
        return;
    topIndex_ = Value;
    Invalidate();
}

int TVisteloListBox::VisibleLines() const { return std::max(1, ClientHeight() / std::max(1, ItemHeight)); }

void TVisteloListBox::ScrollIntoView()
{
    if (itemIndex_ < 0)
        return;
    if (itemIndex_ < topIndex_)
        SetTopIndex(itemIndex_);
    else if (itemIndex_ >= topIndex_ + VisibleLines())
        SetTopIndex(itemIndex_ - VisibleLines() + 1);
}

int TVisteloListBox::ItemAtPos(int, int Y) const
{
    if (Y < 0)
        return -1;
    const int index = topIndex_ + Y / std::max(1, ItemHeight);
    return index < static_cast<int>(Items.size()) ? index : -1;
}

void TVisteloListBox::Paint()
{
    TCanvas& canvas = *Canvas();
    int top = 0;
    for (int i = topIndex_; i < static_cast<int>(Items.size()) && top < ClientHeight(); ++i, top += ItemHeight) {
        const TRect line = Rect(0, top, ClientWidth(), top + ItemHeight);
        TCanvasStateScope state(canvas);
        canvas.IntersectClipRect(line);
        if (OnDrawItem)
            OnDrawItem(i, line, i == itemIndex_);
    }
    if (top < ClientHeight()) {
        canvas.Brush.Color = clWindow;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(Rect(0, top, ClientWidth(), ClientHeight()));
    }
}

void TVisteloListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    const int count = static_cast<int>(Items.size());
    int index = itemIndex_;
    switch (Key) {
    case VK_UP: index = std::max(0, index - 1); break;
    case VK_DOWN: index = std::min(count - 1, index + 1); break;
    case VK_PRIOR: index = std::max(0, index - VisibleLines()); break;
    case VK_NEXT: index = std::min(count - 1, index + VisibleLines()); break;
    case VK_HOME: index = 0; break;
    case VK_END: index = count - 1; break;
    default: TCustomControl::KeyDown(Key, Shift); return;
    }
    if (count > 0)
        SetItemIndex(index);
    Key = 0;
}

void TVisteloListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (CanFocus())
        SetFocus();
    if (Button == mbLeft) {
        const int index = ItemAtPos(X, Y);
        if (index >= 0)
            SetItemIndex(index);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

bool TVisteloListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    SetTopIndex(topIndex_ - WheelDelta / 120);
    return true;
}

// ---------------------------------------------------------------------------

TChooseVisteloForm::TChooseVisteloForm(TComponent* AOwner, std::string& ShowFiles)
    : TForm(AOwner), showFiles_(ShowFiles)
{
    SetCaption("Vistelo auswählen");
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 420, 360);

    TitleLabel = new TLabel(this);
    TitleLabel->SetParent(this);
    TitleLabel->SetAutoSize(false);
    TitleLabel->SetAlignment(taCenter);
    TitleLabel->Font().SetStyle({fsBold});

    VisteloListBox = new TVisteloListBox(this);
    VisteloListBox->SetParent(this);
    VisteloListBox->OnDrawItem = [this](int Index, const TRect& R, bool Selected) { DrawItem(Index, R, Selected); };
    VisteloListBox->OnDblClick = [this](TObject*) { ModalResult = mrOk; };

    StartButton = new TButton(this);
    StartButton->SetParent(this);
    StartButton->SetCaption("Vistelo starten");
    StartButton->Default = true;
    StartButton->ModalResult = mrOk;

    QuitButton = new TButton(this);
    QuitButton->SetParent(this);
    QuitButton->SetCaption("Beenden");
    QuitButton->Cancel = true;
    QuitButton->ModalResult = mrCancel;

    OnResize = [this](TObject* Sender) { FormResize(Sender); };
    ArrangeControls();
}

TChooseVisteloForm::~TChooseVisteloForm() = default;

void TChooseVisteloForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TForm::SetBounds(ALeft, ATop, std::max(AWidth, MinWidth), std::max(AHeight, MinHeight));
}

void TChooseVisteloForm::ArrangeControls()
{
    if (!TitleLabel)
        return;
    const int width = ClientWidth() - 2 * Margin;
    TitleLabel->SetBounds(Margin, Margin, width, 20);
    const int buttonsTop = ClientHeight() - Margin - ButtonHeight;
    VisteloListBox->SetBounds(Margin, Margin + 24, width, std::max(0, buttonsTop - Margin - (Margin + 24)));
    QuitButton->SetBounds(ClientWidth() - Margin - 110, buttonsTop, 110, ButtonHeight);
    StartButton->SetBounds(QuitButton->Left() - Margin - 110, buttonsTop, 110, ButtonHeight);
}

void TChooseVisteloForm::FormResize(TObject*)
{
    ArrangeControls();
    VisteloListBox->Invalidate();
}

int TChooseVisteloForm::Execute(TVisteloList* List, int StartIndex, int LastIndex, std::string&)
{
    list_ = List;
    int result = StartIndex;
    showFiles_.clear();
    int index = 0;
    for (TListItem* node = List->Items->Head; node; node = node->NextItem, ++index) {
        auto* entry = static_cast<TVisteloListItem*>(node);
        if (entry->Active) {
            // A show that cannot be found keeps its stored name, so the
            // chooser can still name it.
            const std::string found = PictureLoading::RelFileName(entry->ShowFile, List->FileName);
            if (!found.empty())
                entry->ShowFile = found;
            showFiles_ += entry->ShowFile + "\r\n";
            if (result == -1) {
                auto info = std::make_unique<TVisteloInfo>();
                info->FileName = entry->ShowFile;
                VisteloListBox->AddItem(std::move(info));
            }
        } else if (result != -1 && result >= index) {
            --result;
        }
    }
    if (result == -1) {
        // Also when a start index fell on a disabled entry: every line the
        // chooser shows has room for its thumbnail.
        VisteloListBox->ItemHeight = ThumbSize(List->ThumbHeight) + 4;
        VisteloListBox->SetItemIndex(0);
        TitleLabel->SetCaption(List->Title);
        if (LastIndex != -1)
            VisteloListBox->SetItemIndex(LastIndex);
        if (ShowModal() == mrOk)
            result = VisteloListBox->ItemIndex();
    }
    list_ = nullptr;
    Release();
    return result;
}

void TChooseVisteloForm::GetVisteloInfo(TVisteloInfo& Info)
{
    if (!Info.NotLoaded)
        return;
    TVistelo show;
    const std::string listFile = list_ ? list_->FileName : std::string();
    show.LoadFromFile(PictureLoading::RelFileName(Info.FileName, listFile), true, true);
    Info.Title = BareName(Info.FileName);
    if (show.InfoValue != -1) {
        Info.Text = show.InfoText;
        if (show.InfoPicture && !show.InfoPicture->Empty()) {
            auto thumbnail = std::make_unique<TSmoothBitmap>(show.InfoPicture->Width(), show.InfoPicture->Height());
            thumbnail->Canvas().Draw(0, 0, *show.InfoPicture);
            Info.Thumbnail = std::move(thumbnail);
        }
        if (!show.InfoTitle.empty())
            Info.Title = show.InfoTitle;
        Info.InfoValue = show.InfoValue;
    }
    Info.NotLoaded = false;
}

void TChooseVisteloForm::DrawItem(int Index, const TRect& Line, bool Highlighted)
{
    TVisteloInfo& info = *VisteloListBox->Items[static_cast<std::size_t>(Index)];
    GetVisteloInfo(info);
    TCanvas& canvas = *VisteloListBox->Canvas();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Highlighted ? clHighlight : clWindow;
    canvas.FillRect(Line);
    canvas.Font.Assign(VisteloListBox->Font());
    canvas.Font.SetColor(Highlighted ? clHighlightText : clWindowText);

    int textLeft = Line.Left + 2;
    if (info.Thumbnail) {
        const int thumbWidth = list_ ? ThumbSize(list_->ThumbWidth) : 0;
        const int thumbHeight = std::min(list_ ? ThumbSize(list_->ThumbHeight) : 0, info.Thumbnail->Height());
        const TRect box = Rect(Line.Left, Line.Top + 2, Line.Left + thumbWidth, Line.Top + 2 + thumbHeight);
        canvas.StretchDraw(FitInto(box, info.Thumbnail->Width(), info.Thumbnail->Height()), *info.Thumbnail);
        textLeft = box.Right + 2;
    }

    canvas.Brush.Style = bsClear;
    TRect titleRect = Rect(textLeft, Line.Top, Line.Right, Line.Bottom);
    canvas.Font.SetStyle({fsBold});
    TRect measured = titleRect;
    const int titleHeight = gfx::DrawText(canvas, info.Title, measured,
                                          DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    gfx::DrawText(canvas, info.Title, titleRect, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    canvas.Font.SetStyle({});
    TRect textRect = Rect(textLeft, Line.Top + titleHeight + 2, Line.Right, Line.Bottom);
    gfx::DrawText(canvas, info.Text, textRect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
