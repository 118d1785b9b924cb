#include "editor/tools/ConvertAssistentLogic.h"

#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

#include "core/PictureLoading.h"
#include "core/RectTools.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "imageformats/Resample.h"
#include "imageformats/TargaGraphic.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"

namespace ConvertAssistentLogic {
namespace {

const char* const Extensions[] = {".bmp", ".jpg", ".tga"};

std::string Printf(const char* format, int a, int b = 0)
{
    char text[1024];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

bool UsesUserDir(const TConvertSettings& settings) { return settings.UseUserDir && !settings.UserDir.empty(); }

std::string WhichText(TConvertWhich which)
{
    switch (which) {
    case cwGreenMarked: return "allen Dateien aus der Bilderliste, die mit einem grünen Häkchen markiert sind ";
    case cwMarked: return "allen markierten Dateien aus der Bilderliste ";
    default: return "allen Dateien aus der Bilderliste ";
    }
}

std::string FormatText(const TConvertSettings& settings)
{
    switch (settings.Format) {
    case cfJPEG:
        return Printf("JPEG (Kompression: %d%%) - verlustbehaftet",
                      100 - JPEGCompressionWord::QualityOf(settings.JPEGSettings));
    case cfTGA: return "TrueVision Targa (TGA) - verlustfrei";
    default: return "Windows Bitmap (BMP) - verlustfrei";
    }
}

std::string SizeText(const TConvertSettings& settings)
{
    if (!settings.Resize)
        return "Die Größe (Breite, Höhe) der Bilder wird nicht verändert.\r\n\r\n";
    const char* which = settings.OnlySmaller ? "nur kleinere Bilder"
        : settings.OnlyBigger                ? "nur größere Bilder"
                                             : "alle Bilder";
    return Printf("Die Größe der Bilder wird verändert:\r\nBreite: %d Pixel, Höhe: %d Pixel,\r\nWobei ", settings.Width,
                  settings.Height) +
        which + " verändert werden. Die Seitenverhältnisse werden dabei " + (settings.KeepProportions ? "" : "nicht ") +
        "beibehalten.\r\n\r\n";
}

std::string OldFilesText(TConvertOldFiles oldFiles)
{
    switch (oldFiles) {
    case coDelete: return "Die alten Bilder werden unwiderruflich vom Datenträger gelöscht.";
    case coDontUseNew: return "Die alten Bilder werden in der Bilderliste belassen.";
    default:
        return "Die alten Bilder werden auf dem Datenträger belassen, aber durch die neuen in der Bilderliste "
               "ausgetauscht.";
    }
}

// The picture on the entry's background colour (what a transparent picture
// leaves open shows it), at the target size.
std::unique_ptr<TBitmap> Render(TGraphic& picture, TColor background, TPoint size)
{
    auto canvasBitmap = std::make_unique<TBitmap>(picture.Width(), picture.Height(), pf24bit);
    TCanvas& canvas = canvasBitmap->Canvas();
    canvas.Brush.Color = background;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect({0, 0, picture.Width(), picture.Height()});
    canvas.Draw(0, 0, picture);
    if (size.X == picture.Width() && size.Y == picture.Height())
        return canvasBitmap;
    auto scaled = std::make_unique<TBitmap>();
    Resample::Stretch(static_cast<std::uint32_t>(size.X), static_cast<std::uint32_t>(size.Y), sfLanczos3, 0,
                      *canvasBitmap, *scaled);
    return scaled;
}

// The file's bytes in the chosen format.
std::string Encode(TBitmap& bitmap, const TConvertSettings& settings)
{
    TMemoryStream stream;
    if (settings.Format == cfJPEG) {
        TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        JPEGCompressionWord::SetJPEGCompressionWord(jpeg, settings.JPEGSettings);
        jpeg.Compress();
        jpeg.SaveToStream(stream);
    } else if (settings.Format == cfTGA) {
        TTargaGraphic targa;
        targa.Assign(&bitmap);
        targa.SaveToStream(stream, settings.TargaCompressed);
    } else {
        bitmap.SaveToStream(stream);
    }
    return {reinterpret_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size())};
}

bool IsChosen(TConvertWhich which, int index)
{
    switch (which) {
    case cwGreenMarked: {
        const TPicInfoObject* entry = PicInfoUnit::GetPicInfoObject(index);
        return entry && entry->ShowImage;
    }
    case cwMarked: return PicInfoUnit::PicSelected(index);
    default: return true;
    }
}

} // namespace

int SizeItemFor(int Width, int Height)
{
    for (int i = 0; i < SizeCount; ++i)
        if (Sizes[i].Width == Width && Sizes[i].Height == Height)
            return i;
    return UserSizeItem;
}

std::string SummaryText(const TConvertSettings& Settings)
{
    std::string text = "Konvertieren von " + WhichText(Settings.Which) + "in folgendes Format:\r\n\r\n" +
        FormatText(Settings) + "\r\n\r\n" + SizeText(Settings) + OldFilesText(Settings.OldFiles);
    text += " Die neuen Bilder werden mit einer neuen Dateierweiterung im ";
    text += UsesUserDir(Settings) ? "Verzeichnis \"" + Settings.UserDir + "\"" : std::string("selben Verzeichnis");
    text += " gespeichert. Wenn der Dateiname schon vorhanden ist, wird er um \"_\" verlängert, also nicht "
            "überschrieben.";
    return text;
}

TPoint TargetSize(int Width, int Height, const TConvertSettings& Settings)
{
    if (!Settings.Resize)
        return {Width, Height};
    if (Settings.OnlySmaller && !(Width < Settings.Width && Height < Settings.Height))
        return {Width, Height};
    if (Settings.OnlyBigger && !(Width > Settings.Width || Height > Settings.Height))
        return {Width, Height};
    if (!Settings.KeepProportions)
        return {Settings.Width, Settings.Height};
    const TRect fit = RectTools::ProportionalScale({0, 0, Width, Height}, {0, 0, Settings.Width, Settings.Height},
                                                   false);
    return {fit.Right - fit.Left, fit.Bottom - fit.Top};
}

bool FileExistsIgnoringCase(const std::string& Path)
{
    struct stat info { };
    if (lstat(Path.c_str(), &info) == 0)
        return true;
    const std::string folder = rtl::ExtractFilePath(Path);
    const std::string name = rtl::ExtractFileName(Path);
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* item = readdir(dir))
        if (rtl::AnsiSameText(item->d_name, name)) {
            found = true;
            break;
        }
    closedir(dir);
    return found;
}

std::string NewFileName(const std::string& OldPath, const TConvertSettings& Settings)
{
    std::string name = rtl::ChangeFileExt(OldPath, Extensions[Settings.Format]);
    if (UsesUserDir(Settings))
        name = rtl::IncludeTrailingPathDelimiter(Settings.UserDir) + rtl::ExtractFileName(name);
    const std::string extension = Extensions[Settings.Format];
    while (FileExistsIgnoringCase(name))
        name.insert(name.size() - extension.size(), "_");
    return name;
}

TConvertResult ConvertPicture(TPicInfoObject& Entry, const std::string& ShowFile, const TConvertSettings& Settings)
{
    const std::string oldPath = PictureLoading::RelFileName(Entry.FileName, ShowFile);
    TPicture picture;
    if (oldPath.empty() || PictureLoading::LoadPicture(Entry.FileName, ShowFile, picture, {}) != leOK ||
        !picture.Graphic() || picture.Graphic()->Empty())
        return crLoadFailed;
    const std::string newPath = NewFileName(oldPath, Settings);
    try {
        TGraphic& graphic = *picture.Graphic();
        const auto bitmap = Render(graphic, Entry.BackgroundColor,
                                   TargetSize(graphic.Width(), graphic.Height(), Settings));
        rtl::WriteFileAtomically(newPath, Encode(*bitmap, Settings));
    } catch (const std::exception&) {
        return crSaveFailed;
    }
    if (Settings.OldFiles == coDontDelete) {
        Entry.FileName = newPath;
    } else if (Settings.OldFiles == coDelete) {
        std::remove(oldPath.c_str());
        Entry.FileName = newPath;
    }
    return crConverted;
}

int ChosenCount(TConvertWhich Which)
{
    int count = 0;
    for (int i = 0; i < PicInfoUnit::PicCount(); ++i)
        if (IsChosen(Which, i))
            ++count;
    return count;
}

TConvertCounts ConvertPictures(const TConvertSettings& Settings, const std::string& ShowFile,
                               const std::function<void(const std::string& FileName)>& Progress)
{
    TConvertCounts counts;
    for (int i = 0; i < PicInfoUnit::PicCount(); ++i) {
        if (!IsChosen(Settings.Which, i))
            continue;
        TPicInfoObject* entry = PicInfoUnit::GetPicInfoObject(i);
        if (!entry)
            continue;
        if (Progress)
            Progress(entry->FileName);
        if (ConvertPicture(*entry, ShowFile, Settings) == crConverted) {
            entry->Flags |= PicInfoUnit::pfChanged;
            ++counts.Converted;
        } else {
            ++counts.Failed;
        }
    }
    return counts;
}

std::string FinalMessage(const TConvertCounts& Counts)
{
    if (Counts.Failed == 0)
        return Printf("Die Konvertierung von %d Dateien wurde erfolgreich abgeschlossen.", Counts.Converted);
    return Printf("Die Konvertierung von %d Bildern wurde abgeschlossen.\r\rEs konnten %d Bilder nicht konvertiert "
                  "werden!\r\rDas kann daran liegen, dass der Dateiträger schreibgeschützt ist, die Datei nicht "
                  "geöffnet werden kann oder die Datei teilweise oder ganz beschädigt ist.",
                  Counts.Handled(), Counts.Failed);
}

} // namespace ConvertAssistentLogic
