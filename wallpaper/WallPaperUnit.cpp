#include "wallpaper/WallPaperUnit.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Autostart.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "wallpaper/KsTrayIcon.h"
#include "wallpaper/PasswordDlgUnit.h"
#include "wallpaper/WallPaperAboutForm.h"
#include "wallpaper/WallPaperDialogs.h"
#include "wallpaper/WallPaperSetup.h"
#include "wallpaper/WallPaperShow.h"
#include "wallpaper/WallpaperOptionsUnit.h"
#include "widgets/DrawUtils.h"

IMPLEMENT_CLASS(TWallPaperForm)

namespace {

// The notification-area picture: a framed landscape.
std::unique_ptr<TIcon> TrayPicture()
{
    const TColor transparent = RGB(255, 0, 255);
    TBitmap bitmap(32, 32, pf24bit);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Color = transparent;
    canvas.FillRect(Rect(0, 0, 32, 32));
    canvas.Brush.Color = RGB(96, 64, 32);
    canvas.FillRect(Rect(2, 4, 30, 28));
    canvas.Brush.Color = RGB(120, 180, 240);
    canvas.FillRect(Rect(4, 6, 28, 18));
    canvas.Brush.Color = RGB(60, 150, 60);
    canvas.FillRect(Rect(4, 18, 28, 26));
    canvas.Brush.Color = RGB(250, 220, 60);
    canvas.FillRect(Rect(20, 8, 25, 13));
    return DrawUtils::CreateIconFromBitmap(bitmap, transparent);
}

TMenuItem* NewItem(TPopupMenu* Menu, const std::string& Caption, std::function<void()> Click = {})
{
    auto* item = new TMenuItem(Menu);
    item->Caption = Caption;
    if (Click)
        item->OnClick = [Click](TObject*) { Click(); };
    Menu->Items().Add(item);
    return item;
}

} // namespace

TWallPaperForm::TWallPaperForm(TComponent* AOwner, bool ConfigMode)
    : TForm(AOwner), configMode_(ConfigMode), changer_(std::make_unique<TWallPaperShow>(this))
{
    SetCaption(WallPaperUnit::Title);
    WallPaperSetup::LoadSettings();

    BuildMenu();
    KsTrayIcon1 = new TKsTrayIcon(this);
    KsTrayIcon1->PopupMenu = PopupMenu1;
    const std::unique_ptr<TIcon> picture = TrayPicture();
    KsTrayIcon1->SetIcon(picture.get());

    StartTimer = new TTimer(this);
    StartTimer->SetInterval(1);
    StartTimer->OnTimer = [this](TObject*) { StartTimerTimer(); };
    OnCloseQuery = [this](TObject*, bool& CanClose) { CanClose = FormCloseQuery(); };
    changer_->OnDesktopRefused = [] { ui::ShowMessage(WallPaperShow::DesktopRefused); };
}

TWallPaperForm::~TWallPaperForm()
{
    FormDestroy();
    BeforeDestruction();
}

void TWallPaperForm::BuildMenu()
{
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->OnPopup = [this](TObject*) { PopupMenu1Popup(); };
    PauseMenuItem = NewItem(PopupMenu1, "&Pause", [this] { PauseMenuItemClick(); });
    Einstellungen1 = NewItem(PopupMenu1, "&Einstellungen", [this] { Einstellungen1Click(); });
    NextPic = NewItem(PopupMenu1,
                      "zum &n\xC3\xA4"
                      "chsten Bild wechseln",
                      [this] { NextPicClick(); });
    NewItem(PopupMenu1, "-");
    WallPaperVisteloimAutostartOrdnerinstallieren1 = NewItem(
        PopupMenu1, "WallPaper-Vistelo im &Autostart-Ordner installieren",
        [this] { WallPaperVisteloimAutostartOrdnerinstallieren1Click(); });
    NewItem(PopupMenu1, "-");
    Info1 = NewItem(PopupMenu1, "&Info", [this] { Info1Click(); });
    NewItem(PopupMenu1, "-");
    Beenden1 = NewItem(PopupMenu1, "&Beenden", [this] { Beenden1Click(); });
}

void TWallPaperForm::StartTimerTimer()
{
    StartTimer->SetEnabled(false);
    if (!configMode_) {
        changer_->StartShow();
        return;
    }
    TOptionsForm options(this);
    WallPaperDialogs::ShowDialog(options);
    WallPaperSetup::SaveSettings();
    Close();
}

void TWallPaperForm::PopupMenu1Popup() { NextPic->Enabled = changer_->HasPictures(); }

void TWallPaperForm::PauseMenuItemClick()
{
    PauseMenuItem->SetChecked(!PauseMenuItem->Checked());
    changer_->SetPaused(PauseMenuItem->Checked());
}

void TWallPaperForm::NextPicClick() { changer_->WallPaperTimerTimer(false); }

void TWallPaperForm::Einstellungen1Click()
{
    const std::string before = WallPaperSetup::ShowFilename;
    {
        TOptionsForm options(this);
        WallPaperDialogs::ShowDialog(options);
    }
    if (WallPaperSetup::ShowFilename != before) {
        WallPaperSetup::ShowPos = 0;
        changer_->StartShow();
    }
    changer_->SetTimerInterval();
    WallPaperSetup::SaveSettings();
}

void TWallPaperForm::Info1Click()
{
    TWallPaperAbout about(this);
    WallPaperDialogs::ShowDialog(about);
}

void TWallPaperForm::WallPaperVisteloimAutostartOrdnerinstallieren1Click()
{
    using namespace WallPaperUnit;
    // The running program itself, as the system names it (argument 0 may
    // be a relative path or a bare name found on PATH).
    const std::string program = Application->ExeName();
    const bool done = !program.empty() &&
        ui::CreateAutostartEntry(AutostartFile, {AutostartName, AutostartComment, {program}});
    ui::ShowMessage(done ? AutostartDone : AutostartFailed);
}

void TWallPaperForm::Beenden1Click() { Close(); }

bool TWallPaperForm::FormCloseQuery()
{
    if (!WallPaperSetup::UseQuitPassword)
        return true;
    TPasswordDlg dialog(this);
    return dialog.AskQuitPassword();
}

void TWallPaperForm::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    try {
        WallPaperSetup::SaveSettings();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    changer_.reset();
}
