#include "platform/ui/CommonDialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Printers.h"
#include "platform/ui/Surface.h"

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

QString Q(const std::string& s) { return QString::fromStdString(s); }

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

// "Bilder|*.bmp;*.jpg|Alle|*.*" in the toolkit's form "Bilder (*.bmp *.jpg)".
QStringList QtFilters(const std::string& filter)
{
    QStringList parts = Q(filter).split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        result << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return result;
}

std::string LinesOf(const QStringList& files) { return files.join('\n').toStdString(); }

} // namespace

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

// --- open and save ---

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

TStrings& TOpenDialog::Files() { return *files_; }

bool TOpenDialog::Execute()
{
    ui::TDialogRequest request = Request(DialogKind(), Title.empty() ? DefaultTitle() : Title, FileName);
    request.Text = Filter;
    bool saving = ForSaving();
    bool multi = Options.Contains(ofAllowMultiSelect) && !saving;
    ui::TDialogAnswer answer = ui::RunDialog(request, [&]() -> ui::TDialogAnswer {
        ui::EnsurePlatform();
        QFileDialog dialog(nullptr, Q(request.Caption), Q(InitialDir), {});
        dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(saving ? QFileDialog::AnyFile
                           : multi ? QFileDialog::ExistingFiles
                                   : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite); // asked through the scriptable layer
        QStringList filters = QtFilters(Filter);
        dialog.setNameFilters(filters);
        if (FilterIndex >= 1 && FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[FilterIndex - 1]);
        if (!FileName.empty())
            dialog.selectFile(Q(FileName));
        PrepareDialog(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return {IDCANCEL, {}};
        FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
        return {IDOK, LinesOf(dialog.selectedFiles())};
    });
    if (answer.Result != IDOK || answer.Value.empty())
        return false;
    files_->Clear();
    for (const QString& name : Q(answer.Value).split('\n', Qt::SkipEmptyParts)) {
        std::string file = name.toStdString();
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
            ui::MessageBox(nullptr, files_->Strings(i) + "\nDatei nicht gefunden.", Title.empty() ? DefaultTitle() : Title,
                           MB_OK | MB_ICONWARNING);
            return false;
        }
    return true;
}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

bool TSaveDialog::AcceptChoice()
{
    if (!Options.Contains(ofOverwritePrompt) || !rtl::FileExists(FileName))
        return true;
    return ui::MessageBox(nullptr, FileName + " existiert bereits.\nMöchten Sie sie ersetzen?",
                          Title.empty() ? DefaultTitle() : Title, MB_YESNO | MB_ICONWARNING) == IDYES;
}

// --- picture dialogs ---

namespace {

constexpr int PreviewSize = 160;

// A preview beside the file list that follows the file under the cursor.
void AddPicturePreview(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog); // only the toolkit's own dialog takes extra parts
    auto* layout = qobject_cast<QGridLayout*>(dialog.layout());
    if (!layout)
        return;
    auto* preview = new QLabel(&dialog);
    preview->setFixedSize(PreviewSize, PreviewSize);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(preview, 1, layout->columnCount(), layout->rowCount() - 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        QImage picture = ui::PicturePreview(path.toStdString(), PreviewSize - 4, PreviewSize - 4);
        preview->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
    });
}

} // namespace

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner)
{
    Filter = gfx::GraphicFilter(TGraphic::StaticClass());
}

void TOpenPictureDialog::PrepareDialog(QFileDialog& Dialog) { AddPicturePreview(Dialog); }

TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner)
{
    Filter = gfx::GraphicFilter(TGraphic::StaticClass());
}

void TSavePictureDialog::PrepareDialog(QFileDialog& Dialog) { AddPicturePreview(Dialog); }

namespace ui {

QImage PicturePreview(const std::string& FileName, int Width, int Height)
{
    if (Width <= 0 || Height <= 0 || !rtl::FileExists(FileName))
        return {};
    TPicture picture;
    try {
        picture.LoadFromFile(FileName);
    } catch (const std::exception&) {
        return {}; // not a picture this program reads
    }
    TGraphic* graphic = picture.Graphic();
    if (!graphic || graphic->Empty() || graphic->Width() <= 0 || graphic->Height() <= 0)
        return {};
    double scale = std::min({1.0, static_cast<double>(Width) / graphic->Width(),
                             static_cast<double>(Height) / graphic->Height()});
    int w = std::max(1, static_cast<int>(std::lround(graphic->Width() * scale)));
    int h = std::max(1, static_cast<int>(std::lround(graphic->Height() * scale)));
    TBitmap fitted(w, h, pf24bit);
    fitted.Canvas().StretchDraw(Rect(0, 0, w, h), *graphic);
    return ImageOfBitmap(fitted, false, clNone);
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

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), customColors_(std::make_unique<TStringList>())
{
}

TColorDialog::~TColorDialog() = default;

TStrings& TColorDialog::CustomColors() { return *customColors_; }

bool TColorDialog::Execute()
{
    ui::TDialogRequest request = Request("ColorDialog", Title.empty() ? "Farbe" : Title, ui::ColorToHex(Color));
    ui::TDialogAnswer answer = ui::RunDialog(request, [&]() -> ui::TDialogAnswer {
        ui::EnsurePlatform();
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
            TColor custom;
            std::string name = "Color" + std::string(1, static_cast<char>('A' + i));
            if (ui::HexToColor(customColors_->Values(name), custom))
                QColorDialog::setCustomColor(i, QColor(GetRValue(custom), GetGValue(custom), GetBValue(custom)));
        }
        QColor initial(Q("#" + request.Value));
        QColor chosen = QColorDialog::getColor(initial, nullptr, Q(request.Caption));
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
            QColor c = QColorDialog::customColor(i);
            customColors_->SetValues("Color" + std::string(1, static_cast<char>('A' + i)),
                                     ui::ColorToHex(RGB(c.red(), c.green(), c.blue())));
        }
        if (!chosen.isValid())
            return {IDCANCEL, {}};
        return {IDOK, ui::ColorToHex(RGB(chosen.red(), chosen.green(), chosen.blue()))};
    });
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

// False (and the font untouched) for text that does not describe a font.
bool TextToFont(const std::string& text, TFont& font)
{
    QStringList parts = Q(text).split(';');
    if (parts.size() != 4 || parts[0].isEmpty())
        return false;
    bool ok = false;
    int size = parts[1].toInt(&ok);
    if (!ok || size <= 0 || size > 1638)
        return false;
    TFontStyles styles;
    for (QChar c : parts[2]) {
        int index = static_cast<int>(QString("bius").indexOf(c));
        if (index < 0)
            return false;
        styles.Include(static_cast<TFontStyle>(index));
    }
    TColor color;
    if (!ui::HexToColor(parts[3].toStdString(), color))
        return false;
    font.SetName(parts[0].toStdString());
    font.SetSize(size);
    font.SetStyle(styles);
    font.SetColor(color);
    return true;
}

} // namespace

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), font_(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute()
{
    ui::TDialogRequest request = Request("FontDialog", Title.empty() ? "Schriftart" : Title, FontToText(*font_));
    ui::TDialogAnswer answer = ui::RunDialog(request, [&]() -> ui::TDialogAnswer {
        ui::EnsurePlatform();
        QFont initial(Q(font_->Name()), font_->Size());
        initial.setBold(font_->Style().Contains(fsBold));
        initial.setItalic(font_->Style().Contains(fsItalic));
        initial.setUnderline(font_->Style().Contains(fsUnderline));
        initial.setStrikeOut(font_->Style().Contains(fsStrikeOut));
        bool ok = false;
        QFont chosen = QFontDialog::getFont(&ok, initial, nullptr, Q(request.Caption));
        if (!ok)
            return {IDCANCEL, {}};
        std::string styles = std::string(chosen.bold() ? "b" : "") + (chosen.italic() ? "i" : "") +
                             (chosen.underline() ? "u" : "") + (chosen.strikeOut() ? "s" : "");
        return {IDOK, chosen.family().toStdString() + ";" + std::to_string(chosen.pointSize()) + ";" + styles + ";" +
                          ui::ColorToHex(font_->Color())};
    });
    return answer.Result == IDOK && TextToFont(answer.Value, *font_);
}

// --- folder ---

namespace ui {

bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory)
{
    TDialogRequest request = Request("BrowseForFolder", Caption, Directory);
    request.Text = Root;
    TDialogAnswer answer = RunDialog(request, [&]() -> TDialogAnswer {
        EnsurePlatform();
        QString start = Q(Directory.empty() ? Root : Directory);
        QString chosen = QFileDialog::getExistingDirectory(nullptr, Q(Caption), start);
        if (chosen.isEmpty())
            return {IDCANCEL, {}};
        return {IDOK, chosen.toStdString()};
    });
    if (answer.Result != IDOK || answer.Value.empty())
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

TPrintDialog::TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrintDialog::Execute()
{
    TPrinter& printer = *Printer();
    ui::TDialogRequest request =
        Request("PrintDialog", Title.empty() ? "Drucken" : Title,
                printer.PrinterName() + "\n" + std::to_string(Copies) + "\n" + printer.OutputFileName);
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

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrinterSetupDialog::Execute()
{
    TPrinter& printer = *Printer();
    auto describe = [&printer] {
        return printer.PrinterName() + "\n" + OrientationName(printer.Orientation()) + "\n" + printer.PaperName();
    };
    ui::TDialogRequest request = Request("PrinterSetupDialog", Title.empty() ? "Druckereinrichtung" : Title, describe());
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
