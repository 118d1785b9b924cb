#pragma once

// The editor's wallpaper settings: whether the show's placement or the
// desktop's own is used, whether the change lasts, a change now with these
// settings, and the autostart entry that sets a random picture of the show
// at every log-in.

#include <functional>
#include <string>

#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TGroupBox;
class TLabel;
class TPicInfoObject;
class TRadioButton;

class TWinBackgroundSetupDlg : public TForm {
    DECLARE_CLASS(TWinBackgroundSetupDlg, TForm)
public:
    // CurrentPicture gives the main list's current entry (nullptr when
    // there is none); "Jetzt wechseln" is enabled only when there is one.
    TWinBackgroundSetupDlg(TComponent* AOwner, std::function<TPicInfoObject*()> CurrentPicture);

    // The settings into the controls; the constructor calls it.
    void FormActivate();
    // OK: the two settings from the controls.
    void OKBtnClick();
    // The dialog's settings for one change of the current entry.
    void ChangeWinBackgroundNowClick();
    void AutoBackgroundBtnClick();
    void HelpBtnClick();

    TGroupBox* PictureGroup = nullptr;
    TRadioButton* VisteloPrefsCheck = nullptr;
    TRadioButton* WindowsPrefsCheck = nullptr;
    TCheckBox* SaveChangeCheck = nullptr;
    TButton* ChangeWinBackgroundNow = nullptr;
    TGroupBox* AutostartGroup = nullptr;
    TLabel* AutostartText = nullptr;
    TButton* AutoBackgroundBtn = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* HelpBtn = nullptr;

private:
    std::function<TPicInfoObject*()> currentPicture_;
};

namespace WinBackgroundDlg {

inline constexpr int HelpContext = 800;
inline constexpr const char* AutostartFile = "Vistelo - Hintergrundbild wechseln.desktop";
inline constexpr const char* Unsaved = "Unbenannt.vsf";
inline constexpr const char* SaveFirst = "Sie m\xC3\xBCssen die aktuelle Vistelo erst abspeichern!";
inline constexpr const char* AutostartDone =
    "Das automatische Wechseln der Hintergrundbilder wurde im Autostartordner eingerichtet.\r\r"
    "Zum deaktivieren dieser Einstellung, l\xC3\xB6schen Sie einfach den Eintrag aus dem Startmen\xC3\xBC.";
inline constexpr const char* AutostartFailed =
    "Beim Einrichten des automatischen Hintergrundbildwechsels im Autostartordner trat ein Fehler auf!";

// The editor's argument that sets a random wallpaper from ShowFile at the
// session's start ("/B" with the show, single-quoted where that survives
// the editor's own reading of its command line).
std::string RandomWallpaperSwitch(const std::string& ShowFile);

// Shows the dialog modally.
void ShowWinBackgroundSetup(TComponent* Owner, std::function<TPicInfoObject*()> CurrentPicture);

} // namespace WinBackgroundDlg
