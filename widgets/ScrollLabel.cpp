#include "widgets/ScrollLabel.h"

#include <vector>

IMPLEMENT_CLASS(TScrollLabel)

namespace {

// Byte offsets of the characters of a UTF-8 text.
std::vector<std::size_t> CharacterStarts(const std::string& Text)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < Text.size(); ++i)
        if ((static_cast<unsigned char>(Text[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    return starts;
}

} // namespace

TScrollLabel::TScrollLabel(TComponent* AOwner) : TLabel(AOwner), scrollTimer_(std::make_unique<TTimer>(nullptr))
{
    scrollTimer_->SetEnabled(false);
    scrollTimer_->SetInterval(interval_);
    scrollTimer_->OnTimer = [this](TObject* Sender) { Scroll(Sender); };
}

TScrollLabel::~TScrollLabel() = default;

bool TScrollLabel::Active() const { return scrollTimer_->Enabled(); }

void TScrollLabel::SetActive(bool Value) { scrollTimer_->SetEnabled(Value); }

void TScrollLabel::SetInterval(std::uint32_t Value)
{
    interval_ = Value;
    scrollTimer_->SetInterval(Value);
}

void TScrollLabel::SetCaption(const std::string& Value)
{
    caption_ = Value;
    scrollPos_ = 0;
    TLabel::SetCaption(Value);
}

void TScrollLabel::Scroll(TObject*)
{
    const std::vector<std::size_t> starts = CharacterStarts(caption_);
    ++scrollPos_;
    if (scrollPos_ > static_cast<int>(starts.size()))
        scrollPos_ = 1;
    const std::size_t from = starts.empty() ? 0 : starts[static_cast<std::size_t>(scrollPos_ - 1)];
    TLabel::SetCaption(caption_.substr(from));
    Repaint();
}
