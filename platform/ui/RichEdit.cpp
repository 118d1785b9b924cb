#include "platform/ui/RichEdit.h"

IMPLEMENT_CLASS(TRichEdit)

TRichEdit::TRichEdit(TComponent* AOwner) : TMemo(AOwner) { }

TRichEdit::~TRichEdit() = default;

void TRichEdit::SelectionChange()
{
    if (OnSelectionChange)
        OnSelectionChange(this);
}
