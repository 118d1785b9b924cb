// The screen: its size and work area, the cursors of the application.

#include "platform/ui/Forms.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Setters.h"
#include "platform/ui/Backend.h"

namespace {

int cursorCounter = 0;

void ApplyApplicationCursor()
{
    ui::backend::ShowApplicationCursor(cursorCounter < 0, Screen ? Screen->Cursor() : crDefault);
}

} // namespace

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) { }

TScreen::~TScreen() = default;

int TScreen::Width() const { return ui::backend::ScreenRect(false).Width(); }

int TScreen::Height() const { return ui::backend::ScreenRect(false).Height(); }

TRect TScreen::WorkAreaRect() const { return ui::backend::ScreenRect(true); }

void TScreen::SetCursor(TCursor Value)
{
    if (rtl::AssignIfChanged(cursor_, Value))
        ApplyApplicationCursor();
}

std::uintptr_t TScreen::Cursors(int Index) const
{
    auto it = cursors_.find(Index);
    if (it != cursors_.end())
        return it->second;
    // Built-in shapes answer with their own number; unknown ones with the arrow.
    return Index <= 0 && Index >= crSizeAll ? static_cast<std::uintptr_t>(static_cast<std::intptr_t>(Index))
                                            : static_cast<std::uintptr_t>(static_cast<std::intptr_t>(crArrow));
}

void TScreen::SetCursors(int Index, std::uintptr_t Handle) { cursors_[Index] = Handle; }

TCustomForm* TScreen::Forms(int Index) const
{
    if (Index < 0 || Index >= FormCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return forms_[static_cast<size_t>(Index)];
}

void TScreen::AddForm(TCustomForm* Form) { forms_.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form)
{
    std::erase(forms_, Form);
    if (activeForm_ == Form)
        activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form)
{
    activeForm_ = Form;
    // The most recently active form comes first.
    std::erase(forms_, Form);
    forms_.insert(forms_.begin(), Form);
}

namespace ui {

int ShowCursor(bool Show)
{
    int before = cursorCounter;
    cursorCounter += Show ? 1 : -1;
    if ((before < 0) != (cursorCounter < 0))
        ApplyApplicationCursor();
    return cursorCounter;
}

bool SystemParametersInfo(UINT Action, UINT, void* Param, UINT)
{
    if (Action != SPI_GETWORKAREA || !Param)
        return false;
    *static_cast<TRect*>(Param) = Screen->WorkAreaRect();
    return true;
}

} // namespace ui
