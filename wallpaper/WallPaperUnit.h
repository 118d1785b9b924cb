#pragma once

// The wallpaper program's main form: never shown, it holds the icon in the
// notification area with its menu, the change and the start timers, and the
// show. The menu pauses and resumes the change, sets the next picture,
// opens the options, puts the program into the session's autostart, shows
// the About box and quits (behind the quit password when one is set).

#include <memory>
#include <string>

#include "platform/ui/Forms.h"

class TKsTrayIcon;
class TMenuItem;
class TPopupMenu;
class TTimer;
class TWallPaperShow;

class TWallPaperForm : public TForm {
    DECLARE_CLASS(TWallPaperForm, TForm)
public:
    // ConfigMode: the "C" switch; the first tick opens the options, saves
    // them and ends the program.
    TWallPaperForm(TComponent* AOwner, bool ConfigMode);
    ~TWallPaperForm() override;

    void StartTimerTimer();
    void PopupMenu1Popup();
    void PauseMenuItemClick();
    void NextPicClick();
    void Einstellungen1Click();
    void Info1Click();
    void WallPaperVisteloimAutostartOrdnerinstallieren1Click();
    void Beenden1Click();
    bool FormCloseQuery();
    void FormDestroy();

    TWallPaperShow& Changer() { return *changer_; }

    TTimer* StartTimer = nullptr;
    TKsTrayIcon* KsTrayIcon1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* PauseMenuItem = nullptr;
    TMenuItem* Einstellungen1 = nullptr;
    TMenuItem* NextPic = nullptr;
    TMenuItem* WallPaperVisteloimAutostartOrdnerinstallieren1 = nullptr;
    TMenuItem* Info1 = nullptr;
    TMenuItem* Beenden1 = nullptr;

private:
    void BuildMenu();
    bool configMode_;
    bool destroyed_ = false;
    std::unique_ptr<TWallPaperShow> changer_;
};

namespace WallPaperUnit {
inline constexpr const char* Title = "Wallpaper-Vistelo";
inline constexpr const char* AutostartFile = "WallPaper-Vistelo.desktop";
inline constexpr const char* AutostartName = "WallPaper-Vistelo";
inline constexpr const char* AutostartComment = "Ostrelind WallPaper-Vistelo";
inline constexpr const char* AutostartDone =
    "Die Ostrelind WallPaper-Vistelo wurde erfolgreich im Autostartorder installiert.";
inline constexpr const char* AutostartFailed =
    "Die Ostrelind WallPaper-Vistelo konnte nicht im Autostartorder installiert werden.";
} // namespace WallPaperUnit
