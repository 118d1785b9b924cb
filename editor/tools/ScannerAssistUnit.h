#pragma once

// The import assistant for scanners and cameras: four pages (welcome, the
// source, the files, the scan). Every scanned picture gets the next free
// numbered name in the target folder and is, as the user decides, saved and
// added to the show, only saved, edited first or discarded.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Forms.h"

class TBitmap;
class TButton;
class TCheckBox;
class TDirectoryEdit;
class TJPEGCompressionDlg;
class TLabel;
class TPanel;
class TRadioGroup;

namespace ScannerAssistTexts {

inline constexpr const char* NoDevices =
    "Es sind keine TWAIN32-kompatiblen Geräte vorhanden. Sie können den Assistenten nur mit Scannern und "
    "Digitalkameras verwenden, die über TWAIN32-Schnittstelle ansprechbar sind.";
inline constexpr const char* NoNewSource = "Kein neues TWAIN-Gerät wurde ausgewählt";
inline constexpr const char* NoManagerLoaded = "Unable to load Source Manager";
inline constexpr const char* NoManagerOpened = "Unable to open Source Manager";
inline constexpr const char* NoSourceOpened = "Unable to open default Data Source.";
inline constexpr const char* NoSourceEnabled = "Failed to enable Data Source.";

} // namespace ScannerAssistTexts

class TScannerAssistent : public TForm {
    DECLARE_CLASS(TScannerAssistent, TForm)
public:
    explicit TScannerAssistent(TComponent* AOwner);
    ~TScannerAssistent() override;

    // The numbered name of image `number` (counting from 0) in the folder:
    // "Bild<n>.<ext>" from n = number + 1 on, the first that does not exist.
    static std::string ImageFileName(const std::string& Folder, int Number, int Format);

    // Every time the window becomes active: the settings again, or the
    // message and the end when there is no scanner library.
    void Activated();
    void ShowPage(int Page);
    int Page() const { return page_; }
    // One acquisition ("Start").
    void Acquire();
    // One received picture (owned and freed here).
    void HandleImage(std::unique_ptr<TBitmap> Bitmap, int Number);

    // Adds saved pictures to the open show.
    std::function<void(const std::vector<std::string>& files)> OnAddPictures;
    // Edits a picture in the picture editor; true when it changed.
    std::function<bool(TBitmap& bitmap, const std::string& fileName)> OnEditPicture;

    TPanel* Pages[4] = {};
    TLabel* VersionLabel = nullptr;
    TButton* SelectSourceButton = nullptr;
    TDirectoryEdit* FolderEdit = nullptr;
    TRadioGroup* FormatGroup = nullptr;
    TButton* CompressionButton = nullptr;
    TCheckBox* ImportCheck = nullptr;
    TCheckBox* AutoConfirmCheck = nullptr;
    TButton* StartButton = nullptr;
    TButton* CancelButton = nullptr;
    TButton* BackButton = nullptr;
    TButton* NextButton = nullptr;
    TButton* FinishButton = nullptr;
    TButton* CloseButton = nullptr;
    TJPEGCompressionDlg* JPEGDialog = nullptr;

    std::string TargetFolder;
    bool TargaCompression = false;
    // 0 ask; 1 add, 2 only save (this picture); -1, -2 the same for all;
    // DiscardAll discards all.
    static constexpr int DiscardAll = -3;
    int Decision = 0;

private:
    void BuildPages();
    void BuildButtons();
    void CompressionClick();
    void StoreSettings();
    void RunSourceLoop();

    int page_ = 0;
};

// The open assistant, through which the scanner layer's image handler
// reaches it; nullptr when none is open.
extern TScannerAssistent* ScannerAssistent;
