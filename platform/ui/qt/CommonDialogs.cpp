// The toolkit's file, colour, font and folder windows of the common dialogs.

#include "platform/ui/qt/CommonDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Backend.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/qt/Pictures.h"

namespace ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

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

constexpr int PreviewSize = 160;

} // namespace

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
        TBitmap picture;
        if (PicturePreview(path.toStdString(), PreviewSize - 4, PreviewSize - 4, picture))
            preview->setPixmap(QPixmap::fromImage(ImageOfBitmap(picture, false, clNone)));
        else
            preview->setPixmap(QPixmap());
    });
}

namespace backend {

TDialogAnswer ShowFileWindow(const TFileWindow& window, int& FilterIndex)
{
    EnsurePlatform();
    QFileDialog dialog(nullptr, Q(window.Caption), Q(window.InitialDir), {});
    dialog.setAcceptMode(window.Saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(window.Saving            ? QFileDialog::AnyFile
                           : window.MultiSelect ? QFileDialog::ExistingFiles
                                                : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // asked through the scriptable layer
    QStringList filters = QtFilters(window.Filter);
    dialog.setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[FilterIndex - 1]);
    if (!window.FileName.empty())
        dialog.selectFile(Q(window.FileName));
    if (window.Preview)
        AddPicturePreview(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {IDCANCEL, {}};
    FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return {IDOK, LinesOf(dialog.selectedFiles())};
}

TDialogAnswer ShowColorWindow(const TDialogRequest& request, TStrings& customColors)
{
    EnsurePlatform();
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
        TColor custom;
        std::string name = "Color" + std::string(1, static_cast<char>('A' + i));
        if (HexToColor(customColors.Values(name), custom))
            QColorDialog::setCustomColor(i, QColor(GetRValue(custom), GetGValue(custom), GetBValue(custom)));
    }
    QColor initial(Q("#" + request.Value));
    QColor chosen = QColorDialog::getColor(initial, nullptr, Q(request.Caption));
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
        QColor c = QColorDialog::customColor(i);
        customColors.SetValues("Color" + std::string(1, static_cast<char>('A' + i)),
                               ColorToHex(RGB(c.red(), c.green(), c.blue())));
    }
    if (!chosen.isValid())
        return {IDCANCEL, {}};
    return {IDOK, ColorToHex(RGB(chosen.red(), chosen.green(), chosen.blue()))};
}

TDialogAnswer ShowFontWindow(const TDialogRequest& request, const TFont& font)
{
    EnsurePlatform();
    QFont initial(Q(font.Name()), font.Size());
    initial.setBold(font.Style().Contains(fsBold));
    initial.setItalic(font.Style().Contains(fsItalic));
    initial.setUnderline(font.Style().Contains(fsUnderline));
    initial.setStrikeOut(font.Style().Contains(fsStrikeOut));
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, initial, nullptr, Q(request.Caption));
    if (!ok)
        return {IDCANCEL, {}};
    std::string styles = std::string(chosen.bold() ? "b" : "") + (chosen.italic() ? "i" : "") +
        (chosen.underline() ? "u" : "") + (chosen.strikeOut() ? "s" : "");
    return {IDOK,
            chosen.family().toStdString() + ";" + std::to_string(chosen.pointSize()) + ";" + styles + ";" +
                ColorToHex(font.Color())};
}

TDialogAnswer ShowFolderWindow(const std::string& caption, const std::string& start, bool allowCreate)
{
    EnsurePlatform();
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    if (!allowCreate)
        options |= QFileDialog::ReadOnly;
    QString chosen = QFileDialog::getExistingDirectory(nullptr, Q(caption), Q(start), options);
    if (chosen.isEmpty())
        return {IDCANCEL, {}};
    return {IDOK, chosen.toStdString()};
}

} // namespace backend

} // namespace ui
