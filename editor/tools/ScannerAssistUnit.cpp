#include "editor/tools/ScannerAssistUnit.h"

#include <filesystem>

#include "core/Tools.h"
#include "editor/app/TargaCompressionForm.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/DirectoryEdit.h"
#include "editor/controls/JPEGCompressionDlg.h"
#include "editor/tools/AskGotPicture.h"
#include "editor/tools/MultiTWAIN.h"
#include "editor/tools/ToolResources.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TScannerAssistent)

TScannerAssistent* ScannerAssistent = nullptr;

namespace {

constexpr const char* Extensions[3] = {"bmp", "jpg", "tga"};
constexpr int PageCount = 4;

TLabel* AddText(TWinControl* Parent, const std::string& Caption, int Top, int Height = 16)
{
    auto* label = new TLabel(Parent);
    label->SetParent(Parent);
    label->SetAutoSize(false);
    label->SetWordWrap(Height > 16);
    label->SetCaption(Caption);
    label->SetBounds(12, Top, 436, Height);
    return label;
}

TButton* AddButton(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width = 90)
{
    auto* button = new TButton(Parent);
    button->SetParent(Parent);
    button->SetCaption(Caption);
    button->SetBounds(Left, Top, Width, 25);
    return button;
}

// The image handler: the block as a 24-bit bitmap to the assistant.
void ImageArrived(HGLOBAL dib, int number)
{
    std::unique_ptr<TBitmap> bitmap;
    try {
        const int w = TWAIN_ImageWidthOf(dib);
        const int h = std::abs(TWAIN_ImageHeightOf(dib));
        if (w > 0 && h > 0) {
            bitmap = std::make_unique<TBitmap>(w, h, pf24bit);
            TWAIN_PaintImage(bitmap->Canvas(), 0, 0, w, h, dib, 0, 0);
        }
    } catch (...) {
        bitmap.reset();
    }
    TWAIN_ReleaseImageHandle(dib);
    if (!bitmap)
        ui::ShowMessage("Das Bild " + std::to_string(number) + " konnte nicht verarbeitet werden.");
    else if (ScannerAssistent)
        ScannerAssistent->HandleImage(std::move(bitmap), number);
}

} // namespace

TScannerAssistent::TScannerAssistent(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Import-Assistent für Scanner und Digitalkameras");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(460 + ToolResources::PagePictureRoom);
    SetClientHeight(362);
    JPEGDialog = new TJPEGCompressionDlg(this);
    BuildPages();
    BuildButtons();
    FolderEdit->SetText(VisteloSetup::PicDir);
    FolderEdit->InitialDir = VisteloSetup::PicDir;
    TargetFolder = VisteloSetup::PicDir;
    TargaCompression = VisteloSetup::ScanAssistTargaCompression;
    FolderEdit->OnChange = [this](TObject*) {
        TargetFolder = FolderEdit->Text();
        VisteloSetup::PicDir = TargetFolder;
    };
    OnActivate = [this](TObject*) { Activated(); };
    OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    ScannerAssistent = this;
    ShowPage(0);
}

TScannerAssistent::~TScannerAssistent()
{
    if (ScannerAssistent == this)
        ScannerAssistent = nullptr;
}

void TScannerAssistent::BuildPages()
{
    for (int i = 0; i < PageCount; ++i) {
        Pages[i] = new TPanel(this);
        Pages[i]->SetParent(this);
        Pages[i]->SetBounds(0, 0, ClientWidth(), 312);
        Pages[i]->SetBevelOuter(bvNone);
        Pages[i]->SetCaption("");
    }
    AddText(Pages[0], "Import-Assistent", 16);
    AddText(Pages[0], "für den Import von Bildern über den Scanner oder die Digitalkamera", 40);
    AddText(Pages[0], "mittels TWAIN32-Schnittstelle.", 58);
    AddText(Pages[0],
            "Dieser Assistent hilft Ihnen, Bilder von Ihrem Scanner oder Ihrer Digitalkamera in die Vistelo zu "
            "übernehmen.",
            90, 48);

    AddText(Pages[1], "Quelle auswählen", 16);
    AddText(Pages[1], "Wählen Sie das Gerät aus, von dem Sie Bilder importieren möchten.", 40, 32);
    VersionLabel = AddText(Pages[1], "", 80);
    SelectSourceButton = AddButton(Pages[1], "&Quelle auswählen", 12, 110, 140);
    SelectSourceButton->OnClick = [this](TObject*) {
        if (!TWAIN_SelectImageSource(Handle()))
            ui::ShowMessage(ScannerAssistTexts::NoNewSource);
    };

    AddText(Pages[2], "Dateieinstellungen", 16);
    AddText(Pages[2], "Zielverzeichnis:", 44);
    FolderEdit = new TDirectoryEdit(this);
    FolderEdit->SetParent(Pages[2]);
    FolderEdit->SetBounds(12, 62, 436, 22);
    FormatGroup = new TRadioGroup(this);
    FormatGroup->SetParent(Pages[2]);
    FormatGroup->SetCaption(" Dateiformat: ");
    FormatGroup->SetBounds(12, 94, 300, 96);
    for (const char* item : {"BMP (große Dateien, sehr gute Qualität)", "JPEG (Ideal für Photos)",
                             "TGA (große Dateien, sehr gute Qualität)"})
        FormatGroup->Items().Add(item);
    FormatGroup->OnClick = [this](TObject*) { CompressionButton->SetEnabled(FormatGroup->ItemIndex() >= 1); };
    CompressionButton = AddButton(Pages[2], "Komprimierung", 324, 100, 124);
    CompressionButton->OnClick = [this](TObject*) { CompressionClick(); };
    ImportCheck = new TCheckBox(this);
    ImportCheck->SetParent(Pages[2]);
    ImportCheck->SetCaption("Bilder in die Vistelo aufnehmen");
    ImportCheck->SetBounds(12, 200, 300, 20);
    ImportCheck->SetChecked(true);
    AutoConfirmCheck = new TCheckBox(this);
    AutoConfirmCheck->SetParent(Pages[2]);
    AutoConfirmCheck->SetCaption("automatisch bestätigen");
    AutoConfirmCheck->SetBounds(12, 224, 300, 20);

    AddText(Pages[3], "Scannen/Importieren", 16);
    AddText(Pages[3], "Klicken Sie auf \"Start\", um Bilder zu scannen oder von der Kamera zu übernehmen.", 40, 32);
    StartButton = AddButton(Pages[3], "Start", 12, 84);
    StartButton->OnClick = [this](TObject*) { Acquire(); };

    const char* const pictures[PageCount] = {"SCANASSIST", "SCANSOURCE", "SCANFILES", "SCANSTART"};
    for (int i = 0; i < PageCount; ++i)
        ToolResources::AddPagePicture(Pages[i], pictures[i]);
}

void TScannerAssistent::BuildButtons()
{
    CancelButton = AddButton(this, "&Abbrechen", 12 + ToolResources::PagePictureRoom, 324);
    CancelButton->ModalResult = mrCancel;
    BackButton = AddButton(this, "&Zurück", 170 + ToolResources::PagePictureRoom, 324);
    BackButton->OnClick = [this](TObject*) { ShowPage(page_ - 1); };
    NextButton = AddButton(this, "&Weiter", 264 + ToolResources::PagePictureRoom, 324);
    NextButton->OnClick = [this](TObject*) { ShowPage(page_ + 1); };
    FinishButton = AddButton(this, "&Fertigstellen", 358 + ToolResources::PagePictureRoom, 324);
    FinishButton->OnClick = [this](TObject*) { ShowPage(PageCount - 1); };
    CloseButton = AddButton(this, "&Schließen", 358 + ToolResources::PagePictureRoom, 324);
    CloseButton->OnClick = [this](TObject*) {
        StoreSettings();
        ModalResult = mrOk;
    };
}

std::string TScannerAssistent::ImageFileName(const std::string& Folder, int Number, int Format)
{
    const std::string folder = Tools::DirName(Folder);
    const std::string extension = Extensions[Format >= 0 && Format < 3 ? Format : 0];
    for (int n = Number + 1;; ++n) {
        std::string name = folder + "Bild" + std::to_string(n) + "." + extension;
        std::error_code error;
        if (!std::filesystem::exists(name, error))
            return name;
    }
}

void TScannerAssistent::Activated()
{
    if (!TWAIN_ManagerPresent()) {
        ui::ShowMessage(ScannerAssistTexts::NoDevices);
        Close();
        return;
    }
    TWAIN_FillAppIdentity(3, 5, TWLG_GERMAN, TWCY_GERMANY, "3.509", "Ostrelind", "Vistelo", "Vistelo");
    const std::string version = std::to_string(TWAIN_UnitVersion());
    VersionLabel->SetCaption("TWAIN Version " + version.substr(0, 1) + "." + version.substr(1) + " gefunden");
    FormatGroup->SetItemIndex(VisteloSetup::ScanAssistPicFormat);
    JPEGDialog->CompressionWord = VisteloSetup::ScanAssistJPEGCompression;
    ImportCheck->SetChecked(VisteloSetup::ScanAssistImportToVistelo);
    AutoConfirmCheck->SetChecked(VisteloSetup::ScanAssistDontAskAnymore);
    CompressionButton->SetEnabled(FormatGroup->ItemIndex() >= 1);
    Decision = 0;
}

void TScannerAssistent::ShowPage(int Page)
{
    page_ = std::clamp(Page, 0, PageCount - 1);
    for (int i = 0; i < PageCount; ++i)
        Pages[i]->SetVisible(i == page_);
    const bool last = page_ == PageCount - 1;
    BackButton->SetEnabled(page_ >= 1);
    NextButton->SetEnabled(!last);
    FinishButton->SetEnabled(!last);
    FinishButton->SetVisible(!last);
    CancelButton->SetEnabled(true);
    CloseButton->SetVisible(last);
}

void TScannerAssistent::CompressionClick()
{
    if (FormatGroup->ItemIndex() == 1) {
        JPEGDialog->Execute();
    } else if (FormatGroup->ItemIndex() == 2) {
        TTargaCompressionForm form(this);
        form.CompressionCheck->SetChecked(TargaCompression);
        if (form.ShowModal() == mrOk)
            TargaCompression = form.CompressionCheck->Checked();
    }
}

void TScannerAssistent::StoreSettings()
{
    VisteloSetup::ScanAssistPicFormat = FormatGroup->ItemIndex();
    VisteloSetup::ScanAssistJPEGCompression = JPEGDialog->CompressionWord;
    VisteloSetup::ScanAssistImportToVistelo = ImportCheck->Checked();
    VisteloSetup::ScanAssistDontAskAnymore = AutoConfirmCheck->Checked();
    VisteloSetup::ScanAssistTargaCompression = TargaCompression;
}

void TScannerAssistent::Acquire()
{
    TWAIN_InstallImageHandler(ImageArrived);
    TWAIN_EmptyImageTable();
    HWND window = Handle();
    if (!TWAIN_LoadManagerLibrary()) {
        ui::ShowMessage(ScannerAssistTexts::NoManagerLoaded);
    } else {
        if (!TWAIN_OpenManagerSession(window)) {
            ui::ShowMessage(ScannerAssistTexts::NoManagerOpened);
        } else {
            if (!TWAIN_OpenStandardSource()) {
                ui::ShowMessage(ScannerAssistTexts::NoSourceOpened);
            } else {
                TWAIN_ChoosePixelKind(0);
                if (!TWAIN_ActivateSource(window)) {
                    ui::ShowMessage(ScannerAssistTexts::NoSourceEnabled);
                } else {
                    RunSourceLoop();
                    TWAIN_DeactivateSource();
                }
                TWAIN_ShutSource();
            }
            TWAIN_CloseManagerSession(window);
        }
        TWAIN_FreeManagerLibrary();
    }
    TWAIN_RemoveImageHandler();
}

// The source's session: its messages go to it until it has left state 5.
void TScannerAssistent::RunSourceLoop()
{
    SetEnabled(false);
    bool ended = false;
    TMsg message;
    while (!ended) {
        ui::PumpPlatformEvents();
        if (!ui::PeekMessage(message, nullptr, 0, 0, PM_REMOVE)) {
            ui::WaitForEvents(50);
            continue;
        }
        if (message.message == WM_QUIT) {
            ui::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (TWAIN_FilterWindowMessage(message)) {
            ended = TWAIN_CurrentStage() < 5;
        } else {
            ui::TranslateMessage(message);
            ui::DispatchMessage(message);
        }
    }
    SetEnabled(true);
}

void TScannerAssistent::HandleImage(std::unique_ptr<TBitmap> Bitmap, int Number)
{
    const int format = std::max(FormatGroup->ItemIndex(), 0);
    std::string name = ImageFileName(TargetFolder, Number, format);
    bool applyToAll = false;
    if (AutoConfirmCheck->Checked()) {
        Decision = ImportCheck->Checked() ? -1 : -2;
        applyToAll = true;
    }
    if (Decision >= 0) {
        TAskGotPictureForm form(this);
        form.Format = format;
        form.OnEdit = OnEditPicture;
        Decision = form.Execute(*Bitmap, name, applyToAll);
    }
    // "For all" must stay negative also for "Verwerfen" (0), or the next
    // picture would ask again.
    if (applyToAll)
        Decision = Decision == 0 ? DiscardAll : -std::abs(Decision);
    const int what = std::abs(Decision);
    if (what == 1 || what == 2)
        VisteloSetup::SavePictureFile(*Bitmap, name, format, TargaCompression, JPEGDialog->CompressionWord);
    if (what == 1 && OnAddPictures)
        OnAddPictures({name});
}
