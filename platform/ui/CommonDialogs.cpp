#include "platform/ui/CommonDialogs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Printers.h"

IMPLEMENT_CLASS(TCommonDialog)
IMPLEMENT_CLASS(TOpenDialog)
IMPLEMENT_CLASS(TSaveDialog)
IMPLEMENT_CLASS(TOpenPictureDialog)
IMPLEMENT_CLASS(TSavePictureDialog)
IMPLEMENT_CLASS(TColorDialog)
IMPLEMENT_CLASS(TFontDialog)
IMPLEMENT_CLASS(TPrintDialog)
IMPLEMENT_CLASS(TPrinterSetupDialog)

namespace {

const std::vector<ui::TDialogButton> OkCancel = {{"OK", IDOK}, {"Abbrechen", IDCANCEL}};

ui::TDialogRequest Request(const std::string& kind, const std::string& caption, const std::string& value)
{
    ui::TDialogRequest r;
    r.Kind = kind;
    r.Caption = caption;
    r.Buttons = OkCancel;
    r.DefaultResult = IDCANCEL; // an unscripted test chooses nothing
    r.CancelResult = IDCANCEL;
    r.Value = value;
    return r;
}

// The parts of a text between the separators (empty ones too).
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) { }

// --- open and save ---

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), files_(std::make_unique<TStringList>()) { }

TOpenDialog::~TOpenDialog() = default;

TStrings& TOpenDialog::Files() { return *files_; }

bool TOpenDialog::Execute()
{
    ui::TDialogRequest request = Request(DialogKind(), Title.empty() ? DefaultTitle() : Title, FileName);
    request.Text = Filter;
    bool saving = ForSaving();
    bool multi = Options.Contains(ofAllowMultiSelect) && !saving;
    ui::TDialogAnswer answer = ui::RunDialog(request, [&] {
        ui::backend::TFileWindow window{request.Caption, InitialDir, FileName,          Filter,
                                        saving,          multi,      PreviewsPictures()};
        return ui::backend::ShowFileWindow(window, FilterIndex);
    });
    if (answer.Result != IDOK || answer.Value.empty())
        return false;
    files_->Clear();
    for (std::string file : Split(answer.Value, '\n')) {
        if (file.empty())
            continue;
        if (!DefaultExt.empty() && rtl::ExtractFileExt(file).empty())
            file += "." + DefaultExt;
        files_->Add(file);
        if (!multi)
            break;
    }
    if (files_->Count() == 0)
        return false;
    FileName = files_->Strings(0);
    return AcceptChoice();
}

bool TOpenDialog::AcceptChoice()
{
    if (!Options.Contains(ofFileMustExist))
        return true;
    for (int i = 0; i < files_->Count(); ++i)
        if (!rtl::FileExists(files_->Strings(i))) {
            ui::MessageBox(nullptr, files_->Strings(i) + "\nDatei nicht gefunden.",
                           Title.empty() ? DefaultTitle() : Title, MB_OK | MB_ICONWARNING);
            return false;
        }
    return true;
}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) { }

bool TSaveDialog::AcceptChoice()
{
    if (!Options.Contains(ofOverwritePrompt) || !rtl::FileExists(FileName))
        return true;
    return ui::MessageBox(nullptr, FileName + " existiert bereits.\nMöchten Sie sie ersetzen?",
                          Title.empty() ? DefaultTitle() : Title, MB_YESNO | MB_ICONWARNING) == IDYES;
}

// --- picture dialogs ---

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner)
{
    Filter = gfx::GraphicFilter(TGraphic::StaticClass());
}

TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner)
{
    Filter = gfx::GraphicFilter(TGraphic::StaticClass());
}

namespace ui {

bool PicturePreview(const std::string& FileName, int Width, int Height, TBitmap& Preview)
{
    if (Width <= 0 || Height <= 0 || !rtl::FileExists(FileName))
        return false;
    TPicture picture;
    try {
        picture.LoadFromFile(FileName);
    } catch (const std::exception&) {
        return false; // not a picture this program reads
    }
    TGraphic* graphic = picture.Graphic();
    if (!graphic || graphic->Empty() || graphic->Width() <= 0 || graphic->Height() <= 0)
        return false;
    double scale = std::min(
        {1.0, static_cast<double>(Width) / graphic->Width(), static_cast<double>(Height) / graphic->Height()});
    int w = std::max(1, static_cast<int>(std::lround(graphic->Width() * scale)));
    int h = std::max(1, static_cast<int>(std::lround(graphic->Height() * scale)));
    Preview.SetPixelFormat(pf24bit);
    Preview.SetSize(w, h);
    Preview.Canvas().StretchDraw(Rect(0, 0, w, h), *graphic);
    return true;
}

} // namespace ui

// --- colour ---

namespace ui {

std::string ColorToHex(TColor Color)
{
    TColor rgb = ColorToRGB(Color);
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    return text;
}

bool HexToColor(const std::string& Text, TColor& Color)
{
    if (Text.size() != 6 || Text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    unsigned long v = std::stoul(Text, nullptr, 16);
    Color = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    return true;
}

} // namespace ui

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), customColors_(std::make_unique<TStringList>())
{ }

TColorDialog::~TColorDialog() = default;

TStrings& TColorDialog::CustomColors() { return *customColors_; }

bool TColorDialog::Execute()
{
    ui::TDialogRequest request = Request("ColorDialog", Title.empty() ? "Farbe" : Title, ui::ColorToHex(Color));
    ui::TDialogAnswer answer = ui::RunDialog(request,
                                             [&] { return ui::backend::ShowColorWindow(request, *customColors_); });
    TColor chosen;
    if (answer.Result != IDOK || !ui::HexToColor(answer.Value, chosen))
        return false;
    Color = chosen;
    return true;
}

// --- font ---

namespace {

std::string FontToText(const TFont& font)
{
    std::string styles;
    const char letters[] = "bius";
    for (int s = fsBold; s <= fsStrikeOut; ++s)
        if (font.Style().Contains(static_cast<TFontStyle>(s)))
            styles += letters[s];
    return font.Name() + ";" + std::to_string(font.Size()) + ";" + styles + ";" + ui::ColorToHex(font.Color());
}

// A font size as the toolkit reads numbers: decimal, an optional sign,
// spaces around it allowed; false for anything else.
bool ParseSize(std::string text, int& size)
{
    const char* spaces = " \t\n\v\f\r";
    text.erase(0, text.find_first_not_of(spaces));
    text.erase(text.find_last_not_of(spaces) + 1);
    if (!text.empty() && text[0] == '+')
        text.erase(0, 1);
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, size);
    return !text.empty() && error == std::errc() && stop == end;
}

// False (and the font untouched) for text that does not describe a font.
bool TextToFont(const std::string& text, TFont& font)
{
    std::vector<std::string> parts = Split(text, ';');
    if (parts.size() != 4 || parts[0].empty())
        return false;
    int size = 0;
    if (!ParseSize(parts[1], size) || size <= 0 || size > 1638)
        return false;
    TFontStyles styles;
    for (char c : parts[2]) {
        std::size_t index = std::string_view("bius").find(c);
        if (index == std::string_view::npos)
            return false;
        styles.Include(static_cast<TFontStyle>(index));
    }
    TColor color;
    if (!ui::HexToColor(parts[3], color))
        return false;
    font.SetName(parts[0]);
    font.SetSize(size);
    font.SetStyle(styles);
    font.SetColor(color);
    return true;
}

} // namespace

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), font_(std::make_unique<TFont>()) { }

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute()
{
    ui::TDialogRequest request = Request("FontDialog", Title.empty() ? "Schriftart" : Title, FontToText(*font_));
    ui::TDialogAnswer answer = ui::RunDialog(request, [&] { return ui::backend::ShowFontWindow(request, *font_); });
    return answer.Result == IDOK && TextToFont(answer.Value, *font_);
}

// --- folder ---

namespace ui {

bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory)
{
    TDialogRequest request = Request("BrowseForFolder", Caption, Directory);
    request.Text = Root;
    TDialogAnswer answer = RunDialog(
        request, [&] { return backend::ShowFolderWindow(Caption, Directory.empty() ? Root : Directory); });
    if (answer.Result != IDOK || answer.Value.empty())
        return false;
    Directory = answer.Value;
    return true;
}

namespace {

const char SelectDirectoryCaption[] = "Verzeichnis auswählen";

// A chosen folder that is missing: refused, made, or made after asking.
bool TakeMissingFolder(const std::string& Folder, TSelectDirOpts Options)
{
    if (!Options.Contains(sdAllowCreate)) {
        MessageBox(nullptr, "Das Verzeichnis \"" + Folder + "\" existiert nicht.", SelectDirectoryCaption,
                   MB_OK | MB_ICONWARNING);
        return false;
    }
    if (Options.Contains(sdPrompt) &&
        MessageBox(nullptr, "Das Verzeichnis \"" + Folder + "\" existiert nicht.\nSoll es erstellt werden?",
                   SelectDirectoryCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    if (Options.Contains(sdPerformCreate) && !rtl::ForceDirectories(Folder)) {
        MessageBox(nullptr, "Das Verzeichnis \"" + Folder + "\" konnte nicht erstellt werden.", SelectDirectoryCaption,
                   MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

} // namespace

bool SelectDirectory(std::string& Directory, TSelectDirOpts Options)
{
    TDialogRequest request = Request("SelectDirectory", SelectDirectoryCaption, Directory);
    TDialogAnswer answer = RunDialog(request, [&] {
        return backend::ShowFolderWindow(SelectDirectoryCaption, Directory, Options.Contains(sdAllowCreate));
    });
    if (answer.Result != IDOK || answer.Value.empty())
        return false;
    if (!rtl::DirectoryExists(answer.Value) && !TakeMissingFolder(answer.Value, Options))
        return false;
    Directory = answer.Value;
    return true;
}

} // namespace ui

// --- print and printer set-up ---

namespace {

std::vector<std::string> Lines(const std::string& text, size_t count)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    lines.push_back(text.substr(start));
    lines.resize(count);
    return lines;
}

// Chooses the printer named in an answer; false for one that is not there.
bool ChoosePrinter(TPrinter& printer, const std::string& name)
{
    if (name.empty() || name == printer.PrinterName())
        return true;
    const int index = printer.Printers().IndexOf(name);
    if (index < 0)
        return false;
    printer.SetPrinterIndex(index);
    return true;
}

const char* OrientationName(TPrinterOrientation orientation)
{
    return orientation == poLandscape ? "Querformat" : "Hochformat";
}

} // namespace

TPrintDialog::TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) { }

bool TPrintDialog::Execute()
{
    TPrinter& printer = *Printer();
    ui::TDialogRequest request = Request("PrintDialog", Title.empty() ? "Drucken" : Title,
                                         printer.PrinterName() + "\n" + std::to_string(Copies) + "\n" +
                                             printer.OutputFileName);
    ui::TDialogAnswer answer = ui::RunDialog(request, [&]() -> ui::TDialogAnswer {
        int copies = Copies;
        if (!ui::ShowNativePrintDialog(printer, copies))
            return {IDCANCEL, {}};
        return {IDOK, printer.PrinterName() + "\n" + std::to_string(copies) + "\n" + printer.OutputFileName};
    });
    if (answer.Result != IDOK)
        return false;
    const std::vector<std::string> parts = Lines(answer.Value, 3);
    int copies = 0;
    if (std::sscanf(parts[1].c_str(), "%d", &copies) != 1 || copies < 1 || !ChoosePrinter(printer, parts[0]))
        return false;
    printer.OutputFileName = parts[2];
    Copies = copies;
    return true;
}

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) { }

bool TPrinterSetupDialog::Execute()
{
    TPrinter& printer = *Printer();
    auto describe = [&printer] {
        return printer.PrinterName() + "\n" + OrientationName(printer.Orientation()) + "\n" + printer.PaperName();
    };
    ui::TDialogRequest request = Request("PrinterSetupDialog", Title.empty() ? "Druckereinrichtung" : Title,
                                         describe());
    ui::TDialogAnswer answer = ui::RunDialog(request, [&]() -> ui::TDialogAnswer {
        if (!ui::ShowNativePrinterSetupDialog(printer))
            return {IDCANCEL, {}};
        return {IDOK, describe()};
    });
    if (answer.Result != IDOK)
        return false;
    const std::vector<std::string> parts = Lines(answer.Value, 3);
    if (parts[1] != OrientationName(poPortrait) && parts[1] != OrientationName(poLandscape))
        return false;
    const std::string previousPaper = printer.PaperName();
    if (!ChoosePrinter(printer, parts[0]) || (!parts[2].empty() && !printer.SetPaperName(parts[2]))) {
        printer.SetPaperName(previousPaper);
        return false;
    }
    printer.SetOrientation(parts[1] == OrientationName(poLandscape) ? poLandscape : poPortrait);
    return true;
}
