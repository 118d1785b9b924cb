#include "screensaver/SSaverInterface.h"
#include "core/ShowStartAhead.h"

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Forms.h"
#include "platform/ui/KeepAwake.h"
#include "platform/ui/ScreenProbe.h"
#include "screensaver/ScreenSaverConfig.h"
#include "screensaver/Show.h"
#include "widgets/Parameters.h"

#include <limits>
#include <memory>

namespace SSaverInterface {

TScreenSaverMode Mode = ssmNone;
std::uint32_t WindowNumber = 0;
std::int32_t MouseThreshold = 5;

namespace {

// A decimal window number; a leading sign as the platform's conversion takes
// it, the value kept to the 32 bits a window handle has.
std::uint32_t ToWindowNumber(const std::string& Text)
{
    std::size_t at = 0;
    const bool negative = !Text.empty() && Text[0] == '-';
    if (!Text.empty() && (Text[0] == '-' || Text[0] == '+'))
        at = 1;
    if (at == Text.size())
        throw EConvertError("'" + Text + "' ist kein gültiger ganzzahliger Wert");
    std::int64_t value = 0;
    for (; at < Text.size(); ++at) {
        const char c = Text[at];
        if (c < '0' || c > '9' || value > std::numeric_limits<std::uint32_t>::max())
            throw EConvertError("'" + Text + "' ist kein gültiger ganzzahliger Wert");
        value = value * 10 + (c - '0');
    }
    if (value > std::numeric_limits<std::uint32_t>::max())
        throw EConvertError("'" + Text + "' ist kein gültiger ganzzahliger Wert");
    return static_cast<std::uint32_t>(negative ? -value : value);
}

void SetMode(TScreenSaverMode NewMode, char Letter)
{
    Mode = NewMode;
    WindowNumber = Letter ? GetWindowNumberParam(Letter) : 0;
}

} // namespace

std::uint32_t GetWindowNumberParam(char Letter)
{
    std::string text;
    if (Parameters::FileNameCount() > 0) {
        text = Parameters::GetFileName(1);
    } else {
        text = Parameters::GetParamFileName(Letter);
        std::size_t digit = 0;
        while (digit < text.size() && (text[digit] < '0' || text[digit] > '9'))
            ++digit;
        text.erase(0, digit);
    }
    return text.empty() ? 0 : ToWindowNumber(text);
}

void ParseScreenSaverMode()
{
    Mode = ssmNone;
    WindowNumber = 0;
    try {
        if (Parameters::Param('C') || !Parameters::Params())
            SetMode(ssmSettings, 0);
        else if (Parameters::Param('A'))
            SetMode(ssmPasswordChange, 'A');
        else if (Parameters::Param('P'))
            SetMode(ssmPreview, 'P');
        else if (Parameters::Param('L'))
            SetMode(ssmPreview, 'L');
        else if (Parameters::Param('S'))
            SetMode(ssmRun, 0);
    } catch (const EConvertError&) {
        Mode = ssmNone;
        WindowNumber = 0;
    }
}

// The locker that started the saver owns the password; there is nothing to
// change here.
void ChangeScreenSaverPassword() { }

// The saver never locks: whoever needs a locked screen runs a locker, which
// asks for the password itself.
bool VerifyScreenSaverPassword(HWND) { return true; }

namespace {
// While the saver runs no other screen saver or screen blanking starts.
std::unique_ptr<ui::TKeepAwake> keepAwake;
} // namespace

void SetScreenSaverRunning(bool On)
{
    if (On)
        keepAwake = std::make_unique<ui::TKeepAwake>("Vistelo", "Der Bildschirmschoner läuft");
    else
        keepAwake.reset();
}

void StartScreenSaverPackage()
{
    ParseScreenSaverMode();
    switch (Mode) {
    case ssmSettings: ScreenSaverConfig::ShowScreenSaverConfig(); break;
    case ssmPasswordChange: ChangeScreenSaverPassword(); break;
    case ssmPreview: Show::RunScreenSaver(); break;
    case ssmRun: {
        std::unique_ptr<TShowStartAhead> prepared = Show::PrepareScreenSaverRun(ui::PrimaryScreenSizeBeforeStart());
        // The pointer can be hidden only once the window system is up.
        Application->Initialize();
        SetScreenSaverRunning(true);
        ui::ShowCursor(false);
        try {
            Show::RunScreenSaver(std::move(prepared));
        } catch (...) {
            ui::ShowCursor(true);
            SetScreenSaverRunning(false);
            throw;
        }
        ui::ShowCursor(true);
        SetScreenSaverRunning(false);
        break;
    }
    case ssmNone: break;
    }
}

} // namespace SSaverInterface
