#pragma once

// The common dialogs: open and save a file, pick a colour, a font or a
// folder. All pass through ui::RunDialog, so tests script the answer:
//   open/save: Value holds the chosen path (several for multi-select, one per
//              line), Result IDOK or IDCANCEL; the picture dialogs alike;
//   colour:    Value "RRGGBB" (hex);
//   font:      Value "Name;Size;Styles;RRGGBB" with Styles from "bius";
//   folder:    Value the folder (both folder dialogs);
//   print:     Value "Printer\nCopies\nFile" (File: print into that PDF file);
//   printer set-up: Value "Printer\nHochformat|Querformat\nPaper".

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/Font.h"
#include "platform/rtl/Classes.h"
#include "platform/ui/Controls.h"

class TBitmap;
class TStringList;
class TStrings;

enum TOpenOption : std::uint8_t {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
};
using TOpenOptions = TEnumSet<TOpenOption>;

// What the directory selection dialog does with a folder that does not exist.
enum TSelectDirOpt : std::uint8_t { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = TEnumSet<TSelectDirOpt>;

class TCommonDialog : public TComponent {
    DECLARE_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* AOwner);
    // True when the user chose (OK); false when cancelled.
    virtual bool Execute() = 0;
    std::string Title;
};

class TOpenDialog : public TCommonDialog {
    DECLARE_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    std::string FileName;
    // "Beschreibung|*.a;*.b|Andere|*.c"; FilterIndex counts from 1.
    std::string Filter;
    int FilterIndex = 1;
    // Added (without the dot) to a chosen name that has no extension.
    std::string DefaultExt;
    std::string InitialDir;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    // Every chosen file (one for a single choice).
    TStrings& Files();
    // Whether the window shows a preview of the picture under the cursor.
    virtual bool PreviewsPictures() const { return false; }

    bool Execute() override;

protected:
    virtual std::string DialogKind() const { return "OpenDialog"; }
    virtual std::string DefaultTitle() const { return "Öffnen"; }
    // A dialog for saving asks for a name that need not exist yet.
    virtual bool ForSaving() const { return false; }
    // Checks the choice; false refuses it (the dialog then counts as cancelled).
    virtual bool AcceptChoice();

private:
    std::unique_ptr<TStringList> files_;
};

class TSaveDialog : public TOpenDialog {
    DECLARE_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* AOwner);

protected:
    std::string DialogKind() const override { return "SaveDialog"; }
    std::string DefaultTitle() const override { return "Speichern unter"; }
    bool ForSaving() const override { return true; }
    // With ofOverwritePrompt an existing file is replaced only when the user agrees.
    bool AcceptChoice() override;
};

// The open dialog for pictures: its filter lists the registered picture
// formats, and a preview shows the picture under the cursor.
class TOpenPictureDialog : public TOpenDialog {
    DECLARE_CLASS(TOpenPictureDialog, TOpenDialog)
public:
    explicit TOpenPictureDialog(TComponent* AOwner);
    bool PreviewsPictures() const override { return true; }

protected:
    std::string DialogKind() const override { return "OpenPictureDialog"; }
};

// The save dialog for pictures, with the same filter and preview.
class TSavePictureDialog : public TSaveDialog {
    DECLARE_CLASS(TSavePictureDialog, TSaveDialog)
public:
    explicit TSavePictureDialog(TComponent* AOwner);
    bool PreviewsPictures() const override { return true; }

protected:
    std::string DialogKind() const override { return "SavePictureDialog"; }
};

class TColorDialog : public TCommonDialog {
    DECLARE_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;

    TColor Color = clBlack;
    // "ColorA=RRGGBB" ... "ColorP=RRGGBB": the user's own colours.
    TStrings& CustomColors();

    bool Execute() override;

private:
    std::unique_ptr<TStringList> customColors_;
};

class TFontDialog : public TCommonDialog {
    DECLARE_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;

    TFont& Font() { return *font_; }

    bool Execute() override;

private:
    std::unique_ptr<TFont> font_;
};

// Chooses the printer (or a PDF file) and the number of copies; the
// program prints the copies itself.
class TPrintDialog : public TCommonDialog {
    DECLARE_CLASS(TPrintDialog, TCommonDialog)
public:
    explicit TPrintDialog(TComponent* AOwner);
    int Copies = 1;
    bool Execute() override;
};

// Chooses the printer, the orientation and the paper.
class TPrinterSetupDialog : public TCommonDialog {
    DECLARE_CLASS(TPrinterSetupDialog, TCommonDialog)
public:
    explicit TPrinterSetupDialog(TComponent* AOwner);
    bool Execute() override;
};

namespace ui {

// The folder browser: Directory is the start and, on OK, the choice.
bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory);
// The directory selection dialog ("SelectDirectory"): Directory is the start
// and, on OK, the choice. A chosen folder that does not exist is refused
// with a message unless sdAllowCreate is set; then sdPrompt asks whether to
// make it and sdPerformCreate makes it (a folder that cannot be made is
// refused with a message).
bool SelectDirectory(std::string& Directory, TSelectDirOpts Options);

// The picture of a file made to fit Width x Height, keeping its proportions
// and never enlarged, as a 24-bit bitmap; false when the file is no readable
// picture.
bool PicturePreview(const std::string& FileName, int Width, int Height, TBitmap& Preview);

// A colour as "RRGGBB" and back (nullopt-like: false for text that is not one).
std::string ColorToHex(TColor Color);
bool HexToColor(const std::string& Text, TColor& Color);

} // namespace ui
