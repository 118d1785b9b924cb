#include "player/ShowInput.h"

#include "platform/rtl/Clock.h"
#include "platform/ui/Messages.h"
#include "player/Show.h"

namespace {

constexpr std::uint32_t CursorHideMs = 3000;

} // namespace

TShowInput::TShowInput(TShowForm& Form) : form_(Form)
{
    SavedOnMessage = Application->OnMessage;
    Application->OnMessage = [this](TMsg& Msg, bool& Handled) { ShowMessageHandler(Msg, Handled); };
}

TShowInput::~TShowInput()
{
    ShowCursorAgain();
    Application->OnMessage = SavedOnMessage;
}

void TShowInput::ShowCursorAgain()
{
    if (!CursorVisible) {
        ui::ShowCursor(true);
        CursorVisible = true;
    }
}

void TShowInput::FormKeyUp(WORD& Key, TShiftState)
{
    TShowStepper& stepper = form_.Stepper;
    switch (Key) {
    case VK_ESCAPE: form_.End->ExitBtnClick(); break;
    case VK_SPACE:
        if (stepper.TimerEnabled())
            stepper.Pause();
        else
            stepper.Start();
        break;
    case VK_LEFT: stepper.PrevDia(); break;
    case VK_RIGHT: stepper.NextDia(true); break;
    default: break;
    }
}

void TShowInput::FormKeyPress(char32_t& Key)
{
    const char32_t key = Key >= U'a' && Key <= U'z' ? Key - U'a' + U'A' : Key;
    switch (key) {
    case U'A': form_.CatalogToolBtnClick(); break;
    case U'I': form_.InfoBtnClick(); break;
    case U'K': form_.ShowCommentsBtnClick(); break;
    case U'M': form_.Sounds->EnableMusicButtonClick(); break;
    case U'P': form_.SetDelayBtnClick(); break;
    case U'S': form_.Sounds->EnableSoundButtonClick(); break;
    default: break;
    }
}

void TShowInput::DiaImageMouseUp(TMouseButton Button, TShiftState, int, int)
{
    form_.WithHandlersDetached([&] {
        if (Button == mbLeft) {
            form_.NavigationBarPanel->SetVisible(!form_.NavigationBarPanel->Visible());
            form_.Display->InvalidateNextBitmap();
            form_.Display->RedrawStretchedSlide();
        } else if (Button == mbRight) {
            if (form_.WindowMaximized())
                form_.MakeSizeableWindow();
            else
                form_.SetWindowFullScreen();
            form_.Display->InvalidateNextBitmap();
            form_.Sounds->MusicPlayer->SetNotify();
            form_.SetFormStyle();
            form_.Display->RedrawStretchedSlide();
        }
    });
}

void TShowInput::MouseCaptureTimerTimer()
{
    const std::uint32_t now = GetTickCount();
    if (MouseStillSince == 0)
        MouseStillSince = now;
    TPoint position;
    ui::GetCursorPos(position);
    if (position.X == MousePos.X && position.Y == MousePos.Y) {
        if (now - MouseStillSince < CursorHideMs)
            return;
        MouseStillSince = now;
        const TPoint local = form_.DiaScrollBox->ScreenToClient(position);
        const bool overPicture = form_.DiaScrollBox->ClientRect().Contains(local.X, local.Y);
        if (overPicture && form_.Active() && CursorVisible) {
            ui::ShowCursor(false);
            CursorVisible = false;
        }
        return;
    }
    ShowCursorAgain();
    MousePos = position;
    MouseStillSince = now;
}

void TShowInput::ShowMessageHandler(TMsg& Msg, bool& Handled)
{
    if (Msg.message == WM_SYSCOMMAND && (Msg.wParam == SC_SCREENSAVE || Msg.wParam == SC_MONITORPOWER)) {
        Handled = true;
        return;
    }
    if (SavedOnMessage)
        SavedOnMessage(Msg, Handled);
}
