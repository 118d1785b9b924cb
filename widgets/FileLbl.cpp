#include "widgets/FileLbl.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Setters.h"

namespace FileLbl {

void sBreakApart(const std::string& Text, const std::string& Separator, TStrings& List)
{
    if (Separator.empty()) {
        List.Add(Text);
        return;
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t at = Text.find(Separator, start);
        if (at == std::string::npos) {
            List.Add(Text.substr(start));
            return;
        }
        List.Add(Text.substr(start, at - start));
        start = at + Separator.size();
    }
}

} // namespace FileLbl

IMPLEMENT_CLASS(TFileLabel)

TFileLabel::TFileLabel(TComponent* AOwner) : TCustomLabel(AOwner), parts_(std::make_unique<TStringList>())
{
    SetAutoSize(false);
    SetWordWrap(false);
}

TFileLabel::~TFileLabel() = default;

void TFileLabel::SetFileName(const std::string& Value)
{
    if (fileName_ == Value)
        return;
    fileName_ = Value;
    FillParts();
    AdjustCaption();
}

void TFileLabel::SetSeparator(const std::string& Value)
{
    if (separator_ == Value)
        return;
    separator_ = Value;
    FillParts();
    AdjustCaption();
}

void TFileLabel::SetDirection(TDirection Value)
{
    if (rtl::AssignIfChanged(direction_, Value))
        AdjustCaption();
}

void TFileLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (parts_)
        AdjustCaption();
}

void TFileLabel::FillParts()
{
    parts_->Clear();
    FileLbl::sBreakApart(fileName_, separator_, *parts_);
    const std::string first = parts_->Count() > 0 ? parts_->Strings(0) : std::string();
    hasDrive_ = first.size() >= 2 && first.back() == ':';
}

void TFileLabel::AdjustCaption() { SetCaption(ShortenedPath()); }

std::string TFileLabel::ShortenedPath()
{
    // Measured with the label's font on a scratch canvas, so the label
    // needs no window for it.
    TBitmap scratch(1, 1);
    TCanvas& canvas = scratch.Canvas();
    canvas.Font.Assign(&Font());
    auto width = [&canvas](const std::string& s) { return canvas.TextWidth(s); };
    const int room = Width();
    if (fileName_.empty() || width(fileName_) <= room || parts_->Count() == 0)
        return fileName_;

    const std::string ellipsis = "..." + separator_;
    const int last = parts_->Count() - 1;
    const std::string lastPart = parts_->Strings(last);
    if (width(lastPart) + width(ellipsis) >= room)
        return lastPart;
    const std::string head = hasDrive_ ? parts_->Strings(0) + separator_ : std::string();
    const int firstMiddle = hasDrive_ ? 1 : 0;
    const int used = width(lastPart) + width(ellipsis) + width(head);
    if (used >= room)
        return ellipsis + lastPart;

    std::string middle;
    if (direction_ == drFromLeft) {
        for (int i = last - 1; i >= firstMiddle; --i) {
            std::string candidate = parts_->Strings(i) + separator_ + middle;
            if (used + width(candidate) > room)
                break;
            middle = candidate;
        }
        return head + ellipsis + middle + lastPart;
    }
    for (int i = firstMiddle; i < last; ++i) {
        std::string candidate = middle + parts_->Strings(i) + separator_;
        if (used + width(candidate) > room)
            break;
        middle = candidate;
    }
    return head + middle + ellipsis + lastPart;
}
