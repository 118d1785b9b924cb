#include "widgets/URL.h"

#include "platform/ui/Forms.h"
#include "platform/ui/ShellApi.h"

IMPLEMENT_CLASS(TURL)

namespace {

constexpr TColor LinkColor = static_cast<TColor>(0x000080);

} // namespace

TURL::TURL(TComponent* AOwner) : TLabel(AOwner)
{
    TFontStyles style = Font().Style();
    style.Include(fsUnderline);
    Font().SetStyle(style);
    Font().SetColor(LinkColor);
    SetCursor(crHandPoint);
    OnClick = [this](TObject* Sender) { JumpToUrl(Sender); };
}

void TURL::JumpToUrl(TObject*) { ui::ShellExecute(nullptr, "", URL, "", "", SW_SHOWNORMAL); }
