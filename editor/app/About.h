#pragma once

// The editor's information box: title, version, release, a note, the
// maker's web address, the program's picture (a click shows it in the logo
// window) and scrolling credits.

#include <functional>
#include <string>

#include "platform/ui/Forms.h"

class TBorderLabel;
class TButton;
class TImage;
class TLabel;
class TPanel;
class TSecretPanel;
class TURL;

class TAboutForm : public TForm {
    DECLARE_CLASS(TAboutForm, TForm)
public:
    explicit TAboutForm(TComponent* AOwner);

    TPanel* MainPanel = nullptr;
    TBorderLabel* BorderLabel1 = nullptr;
    TLabel* VersionLabel = nullptr;
    TLabel* ReleaseLabel = nullptr;
    TLabel* NoteLabel = nullptr;
    TURL* HomePageLabel = nullptr;
    TPanel* ImagePanel = nullptr;
    TImage* AboutImage = nullptr;
    TSecretPanel* Credits = nullptr;
    TButton* BitBtn1 = nullptr;

    // The picture file the box and the logo window show.
    static std::string PictureFile();
    // Shows the logo window with the picture until a click or a key.
    void AboutImageClick(TObject* Sender);

private:
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

namespace About {

// Runs the box modally; it frees itself when closed.
void ShowAboutBox(TComponent* AOwner);
// Shows a picture file in the logo window until a click or a key. The
// program installs it (the logo window is built into the program itself).
std::function<void(const std::string& FileName)>& LogoWindow();

} // namespace About
