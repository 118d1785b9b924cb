#include "editor/controls/DYK.h"

#include "editor/controls/DYKForm.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TTipStrings)
IMPLEMENT_CLASS(TDidYouKnow)

namespace DYK {

std::vector<std::string> SplitTipLines(const std::string& Tip)
{
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (std::string::size_type cr = Tip.find('\r'); cr != std::string::npos; cr = Tip.find('\r', start)) {
        lines.push_back(Tip.substr(start, cr - start));
        start = cr + 1;
    }
    lines.push_back(Tip.substr(start));
    return lines;
}

std::string TipTitle(const std::string& Title, int CurrentTip, int Count, bool ShowNumber)
{
    if (!ShowNumber)
        return Title;
    return Title + " (" + std::to_string(CurrentTip + 1) + " von " + std::to_string(Count) + ")";
}

int NextTipIndex(int CurrentTip, int Count) { return CurrentTip < Count - 1 ? CurrentTip + 1 : 0; }

} // namespace DYK

TDidYouKnow::TDidYouKnow(TComponent* AOwner)
    : TComponent(AOwner), tips_(std::make_unique<TTipStrings>()), font_(std::make_unique<TFont>())
{ }

TDidYouKnow::~TDidYouKnow() = default;

bool TDidYouKnow::Execute()
{
    if (!ShowTip && !ForceShow)
        return true;
    auto form = std::make_unique<TDidYouKnowForm>(this);
    form->ShowTipsCheck->SetChecked(ShowTip);
    form->Tips = tips_.get();
    form->DidYouKnowLabel->SetCaption(Caption);
    form->DidYouKnowEdit->SetFont(*font_);
    form->ShowNumber = ShowTipNr;
    form->ShowTipIndex(RandomTips && tips_->Count() > 0 ? rtl::Random(tips_->Count()) : StartTipNr);
    form->SetTipTitle(Title);
    form->ShowModal();
    ShowTip = form->ShowTipsCheck->Checked();
    StartTipNr = form->CurrentTip + 1;
    return true;
}
