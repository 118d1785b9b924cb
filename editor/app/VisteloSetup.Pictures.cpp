// The picture and file helpers of the editor's settings unit.

#include "editor/app/VisteloSetup.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicPreview.h"
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
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
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

// Moves up to Count bytes from one file to the other through a buffer. The
// kernel's own copy would spare the buffer, but in blocks of this size it is
// slower on ordinary local file systems (about a third on ext4). The number
// moved; 0 at an early end, -1 on an error.
std::int64_t MoveBytes(int in, int out, std::int64_t count, std::vector<char>& buffer)
{
    buffer.resize(static_cast<size_t>(count));
    const ssize_t got = read(in, buffer.data(), buffer.size());
    if (got <= 0)
        return got;
    for (ssize_t written = 0; written < got;) {
        const ssize_t put = write(out, buffer.data() + written, static_cast<size_t>(got - written));
        if (put <= 0)
            return -1;
        written += put;
    }
    return got;
}

class FileHandle {
public:
    explicit FileHandle(int handle) : handle_(handle) { }
    ~FileHandle()
    {
        if (handle_ >= 0)
            close(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int Get() const { return handle_; }
    // Closes now: a write error may only show here.
    bool Close()
    {
        const int handle = handle_;
        handle_ = -1;
        return close(handle) == 0;
    }

private:
    int handle_;
};

// Copies the bytes in blocks, reporting after each; false on any read or
// write error or when the source ends early.
bool CopyBlocks(const std::string& source, const std::string& dest, std::int64_t size, const TCopyProgress& progress)
{
    FileHandle in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        return false;
    FileHandle out(open(dest.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (out.Get() < 0)
        return false;
    std::vector<char> buffer;
    for (std::int64_t copied = 0; copied < size;) {
        const std::int64_t count = std::min(CopyBlockSize, size - copied);
        for (std::int64_t blockDone = 0; blockDone < count;) {
            const std::int64_t moved = MoveBytes(in.Get(), out.Get(), count - blockDone, buffer);
            if (moved <= 0)
                return false;
            blockDone += moved;
        }
        copied += count;
        if (progress)
            progress(copied, size);
        if (Application)
            Application->ProcessMessages();
    }
    return out.Close();
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

} // namespace

bool CopyFileKeepDateReporting(const std::string& Source, const std::string& Dest, const TCopyProgress& Progress)
{
    // The same file under another name would be emptied by opening it for
    // writing, so identity counts, not the text of the names.
    if (Source == Dest || SameFile(Source, Dest))
        return true;
    try {
        struct stat info { };
        if (stat(Source.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return false;
        if (Progress)
            Progress(0, info.st_size);
        if (!CopyBlocks(Source, Dest, info.st_size, Progress))
            return false;
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        return utimensat(AT_FDCWD, Dest.c_str(), times, 0) == 0 && chmod(Dest.c_str(), info.st_mode & 07777) == 0;
    } catch (const std::exception&) {
        return false;
    }
}

bool CopyFileKeepDate(const std::string& Source, const std::string& Dest, TProgressBar* Progress)
{
    TCopyProgress report;
    if (Progress) {
        report = [Progress](std::int64_t copied, std::int64_t size) {
            if (copied == 0)
                Progress->SetMax(static_cast<int>(std::min<std::int64_t>(size, INT32_MAX)));
            Progress->SetPosition(static_cast<int>(std::min<std::int64_t>(copied, INT32_MAX)));
        };
    }
    const bool copied = CopyFileKeepDateReporting(Source, Dest, report);
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
    // A window of its own for every call: the window goes when it is closed,
    // and a second preview must not reach for the first one.
    if (!Picture)
        return;
    std::unique_ptr<TPicPreviewForm> form(new TPicPreviewForm(Application));
    form->Execute(*Picture);
}

} // namespace VisteloSetup
