// The picture and file helpers of the editor's settings unit.

#include "editor/app/VisteloSetup.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "core/VisteloNPics.h"
#include "imageformats/TargaGraphic.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <new>
#include <sys/stat.h>
#include <vector>

namespace VisteloSetup {

int EditPictureFormat = -1;
TJPEGCompressionWord EditPictureJPEGSettings = JPEGCompressionWord::DefaultJPEGCompressionWord;
bool EditPictureTargaCompressed = true;

namespace {

std::string UpperExt(const std::string& fileName)
{
    std::string ext = rtl::ExtractFileExt(fileName);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext;
}

constexpr const char* SavePictureErrorText =
    "Es ist ein Fehler beim Speichern des Bildes aufgetreten. Evtl. ist die Festplatte voll, oder es steht nicht "
    "genügend Arbeitsspeicher für den Speichervorgang zur Verfügung. Bei zu wenig Speicher, versuchen Sie es bitte "
    "mit dem BMP-Format.";

} // namespace

int SaveFormatFromExt(const std::string& FileName)
{
    const std::string ext = UpperExt(FileName);
    if (ext == ".BMP")
        return 0;
    if (ext == ".JPG" || ext == ".JPEG")
        return 1;
    if (ext == ".TGA")
        return 2;
    return -1;
}

std::string ChangeExtToSaveFormat(const std::string& FileName, int Format)
{
    static const char* const extensions[] = {".bmp", ".jpg", ".tga"};
    if (FileName.empty() || Format < 0 || Format > 2)
        return FileName;
    return rtl::ChangeFileExt(FileName, extensions[Format]);
}

bool EqualPlacementRects(const TPlacementRectExt& A, const TPlacementRectExt& B) { return A == B; }

void DrawBitmapScaled(const TBitmap& Source, TCanvas& Canvas, int X, int Y, int Width, int Height)
{
    if (Width <= 0 || Height <= 0 || Source.Empty())
        return;
    // The sampling reads three bytes a pixel.
    std::unique_ptr<TBitmap> converted;
    if (Source.PixelFormat() != pf24bit) {
        converted = std::make_unique<TBitmap>();
        converted->Assign(&Source);
        converted->SetPixelFormat(pf24bit);
    }
    const TBitmap& source = converted ? *converted : Source;
    TBitmap work(Width, Height, pf24bit);
    const double rowStep = static_cast<double>(source.Height()) / Height;
    const double columnStep = static_cast<double>(source.Width()) / Width;
    // Rows are filled from the bottom up, each from the source row as far
    // above the source's last row as this row is above the work's last.
    for (int row = 0; row < Height; ++row) {
        const int sourceRow = std::clamp(static_cast<int>(source.Height() - 1 - row * rowStep), 0, source.Height() - 1);
        const std::uint8_t* from = source.ScanLine(sourceRow);
        std::uint8_t* to = work.ScanLine(Height - 1 - row);
        double column = 0;
        for (int x = 0; x < Width; ++x, column += columnStep) {
            const int sourceColumn = std::min(static_cast<int>(column), source.Width() - 1);
            std::copy_n(from + sourceColumn * 3, 3, to + x * 3);
        }
    }
    work.PixelsChanged(Rect(0, 0, Width, Height));
    Canvas.Draw(X, Y, work);
}

void DrawPictureInImage(TImage& Image, TGraphic& Picture, const TPicInfoObject& Entry, bool ForceStretch)
{
    TPicInfoObject placed;
    placed.Assign(&Entry);
    placed.Stretch = placed.Stretch || ForceStretch;
    if (!placed.Stretch && !placed.Center)
        placed.Proportions = true;
    const int width = Image.Width();
    const int height = Image.Height();
    const TRect target = PictureLoading::PicPos(Picture.Width(), Picture.Height(), placed, width, height);
    TBitmap& canvasBitmap = Image.Picture().Bitmap();
    canvasBitmap.SetPixelFormat(pf24bit);
    canvasBitmap.SetSize(width, height);
    TCanvas& canvas = canvasBitmap.Canvas();
    canvas.Brush.Color = Entry.BackgroundColor;
    canvas.FillRect(Rect(0, 0, width, height));
    canvas.StretchDraw(target, Picture);
    Image.Invalidate();
}

namespace {

// Copies the bytes in blocks; false on any read or write error.
bool CopyBlocks(const std::string& source, const std::string& dest, std::int64_t size, TProgressBar* progress)
{
    std::ifstream in(source, std::ios::binary);
    std::ofstream out(dest, std::ios::binary | std::ios::trunc);
    if (!in || !out)
        return false;
    std::vector<char> block(static_cast<size_t>(std::min(size, CopyBlockSize)));
    for (std::int64_t copied = 0; copied < size;) {
        const std::int64_t count = std::min(CopyBlockSize, size - copied);
        if (!in.read(block.data(), count) || !out.write(block.data(), count))
            return false;
        copied += count;
        if (progress)
            progress->SetPosition(static_cast<int>(std::min<std::int64_t>(copied, INT32_MAX)));
        if (Application)
            Application->ProcessMessages();
    }
    out.close();
    return static_cast<bool>(out);
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

} // namespace

bool CopyFileKeepDate(const std::string& Source, const std::string& Dest, TProgressBar* Progress)
{
    // The same file under another name would be emptied by opening it for
    // writing, so identity counts, not the text of the names.
    if (Source == Dest || SameFile(Source, Dest))
        return true;
    bool copied = false;
    try {
        struct stat info { };
        if (stat(Source.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            if (Progress) {
                Progress->SetMax(static_cast<int>(std::min<std::int64_t>(info.st_size, INT32_MAX)));
                Progress->SetPosition(0);
            }
            copied = CopyBlocks(Source, Dest, info.st_size, Progress);
            if (copied) {
                const struct timespec times[2] = {info.st_atim, info.st_mtim};
                copied = utimensat(AT_FDCWD, Dest.c_str(), times, 0) == 0 &&
                    chmod(Dest.c_str(), info.st_mode & 07777) == 0;
            }
        }
    } catch (const std::exception&) {
        copied = false;
    }
    if (Progress)
        Progress->SetPosition(0);
    return copied;
}

namespace {

// Remembers what kind of file the picture came from, to save it so again.
void RememberEditPictureKind(const TGraphic* graphic)
{
    EditPictureFormat = -1;
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(graphic)) {
        EditPictureFormat = 1;
        EditPictureJPEGSettings = JPEGCompressionWord::GetJPEGCompressionWord(*jpeg);
    } else if (const auto* targa = dynamic_cast<const TTargaGraphic*>(graphic)) {
        EditPictureFormat = 2;
        EditPictureTargaCompressed = targa->ImageProperties().Compression == ctRLE;
    } else if (graphic && graphic->ClassType() == TBitmap::StaticClass()) {
        EditPictureFormat = 0;
    } else if (dynamic_cast<const TSmoothBitmap*>(graphic)) {
        EditPictureFormat = 0;
    }
}

// Replaces the picture's graphic by a 24-bit smooth bitmap of it; metafiles
// and smooth bitmaps stay as they are.
void ConvertForEditing(TPicture& picture)
{
    TGraphic* graphic = picture.Graphic();
    if (!graphic || dynamic_cast<TMetafile*>(graphic) || dynamic_cast<TSmoothBitmap*>(graphic))
        return;
    auto bitmap = std::make_unique<TSmoothBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(graphic->Width(), graphic->Height());
    bitmap->Canvas().Draw(0, 0, *graphic);
    picture.TakeGraphic(std::move(bitmap));
}

} // namespace

int LoadPictureForEditing(const std::string& FileName, const std::string& BaseFileName, TPicture& Picture)
{
    try {
        const std::string name = PictureLoading::RelFileName(FileName, BaseFileName);
        if (name.empty())
            return elInvalidPicture;
        Picture.LoadFromFile(name);
        Setup::OrigWidth = Picture.Width();
        Setup::OrigHeight = Picture.Height();
        RememberEditPictureKind(Picture.Graphic());
        auto* jpeg = dynamic_cast<TJPEGImage*>(Picture.Graphic());
        if (jpeg && Setup::SpeedUpJPEGPreview && Setup::ReduceSize)
            jpeg->SetScale(PictureLoading::JpegScaleFor(Setup::OrigWidth, Setup::OrigHeight, Setup::WidthMaxRed,
                                                        Setup::HeightMaxRed));
        ConvertForEditing(Picture);
        if (auto* smooth = dynamic_cast<TSmoothBitmap*>(Picture.Graphic())) {
            smooth->Smooth = Setup::SmoothScale;
            smooth->DrawToBuffer = !Setup::LowMemory;
            smooth->SetPixelFormat(pf24bit);
        }
        return elOK;
    } catch (const std::bad_alloc&) {
        return elOutOfMemory;
    } catch (const EOutOfMemory&) {
        return elOutOfMemory;
    } catch (...) {
        return elInvalidPicture;
    }
}

namespace {

void SaveJpeg(TBitmap& bitmap, const std::string& fileName, TJPEGCompressionWord settings)
{
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    JPEGCompressionWord::SetJPEGCompressionWord(jpeg, settings);
    jpeg.Compress();
    jpeg.SaveToFile(fileName);
}

void SaveTarga(TBitmap& bitmap, const std::string& fileName, bool compressed)
{
    TTargaGraphic targa;
    targa.Assign(&bitmap);
    TFileStream stream(fileName, fmCreate);
    targa.SaveToStream(stream, compressed);
}

} // namespace

bool SavePictureFile(TBitmap& Bitmap, const std::string& FileName, int Format, bool TargaCompressed,
                     TJPEGCompressionWord JPEGSettings)
{
    if (Format < 0 || Format > 2) {
        char text[128];
        std::snprintf(text, sizeof text, "Ungültiges Bildformat (%d). Versuchen Sie es mit \"Speichern unter\".",
                      Format);
        ui::ShowMessage(text);
        return false;
    }
    try {
        if (Format == 0)
            Bitmap.SaveToFile(FileName);
        else if (Format == 1)
            SaveJpeg(Bitmap, FileName, JPEGSettings);
        else
            SaveTarga(Bitmap, FileName, TargaCompressed);
        return true;
    } catch (...) {
        if (Format != 0)
            ui::ShowMessage(SavePictureErrorText);
        return false;
    }
}

bool LoadPictureIntoImage(const std::string& FileName, const std::string& BaseFileName, TImage& Image)
{
    const TLoadError error = PictureLoading::LoadPicture(FileName, BaseFileName, Image.Picture());
    if (error == leOK)
        return true;
    PictureLoading::PicLoadError(Image.Picture(), Image.Width(), Image.Height(), error);
    return false;
}

void OpenPicturePreview(TPicInfoObject* Picture)
{
    // The editor's preview window is not part of this build yet.
    if (Picture)
        ui::ShowMessage("Die Bildvorschau ist in dieser Version nicht verfügbar.");
}

} // namespace VisteloSetup
