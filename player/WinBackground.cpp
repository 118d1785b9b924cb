#include "player/WinBackground.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/DesktopWallpaper.h"
#include "platform/ui/Forms.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>

namespace WinBackground {

namespace {

bool IsBitmapFile(const std::string& FileName)
{
    std::string extension = rtl::ExtractFileExt(FileName);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == ".BMP";
}

std::unique_ptr<TBitmap> BackgroundBitmap(int Width, int Height)
{
    try {
        return std::make_unique<TBitmap>(Width, Height, pf24bit);
    } catch (const std::bad_alloc&) {
    } catch (const EOutOfMemory&) {
    }
    throw EOutOfMemory("Nicht genügend Arbeitsspeicher!");
}

bool SetWallpaper(const std::string& FileName, ui::TWallpaperStyle Style)
{
    return ui::SetDesktopWallpaper({FileName, Style, Setup::BackgroundSaveChange});
}

} // namespace

TRect BackgroundRect(const TPicInfoObject& Pic, int PicWidth, int PicHeight, int Width, int Height)
{
    int w = PicWidth;
    int h = PicHeight;
    if (Pic.Stretch && !Pic.Proportions) {
        w = Width;
        h = Height;
    } else if (Pic.Stretch) {
        w = PicHeight == 0 ? 1 : static_cast<int>(static_cast<double>(PicWidth) / PicHeight * Height);
        w = std::min(w, Width);
        h = PicWidth == 0 ? 1 : static_cast<int>(static_cast<double>(PicHeight) / PicWidth * w);
    }
    int x = 0;
    int y = 0;
    if (Pic.Center) {
        x = w < Width ? Width / 2 - w / 2 : 0;
        y = h < Height ? Height / 2 - h / 2 : 0;
    }
    return Bounds(x, y, w, h);
}

void ComposeBackground(const TPicInfoObject& Pic, TGraphic& Picture, TBitmap& Target)
{
    TCanvas& canvas = Target.Canvas();
    canvas.Brush.Color = Pic.BackgroundColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, Target.Width(), Target.Height()));
    canvas.StretchDraw(BackgroundRect(Pic, Picture.Width(), Picture.Height(), Target.Width(), Target.Height()),
                       Picture);
}

std::string BackgroundFolder()
{
    const std::string folder = rtl::DataDir();
    rtl::ForceDirectories(folder);
    return rtl::IsWritableDir(folder) ? folder : std::string();
}

bool WriteBackground(const TPicInfoObject& Pic, const std::string& File, int Width, int Height,
                     const std::string& Target)
{
    TPicture picture;
    if (PictureLoading::LoadPicture(File, std::string(), picture) != leOK || !picture.Graphic())
        return false;
    std::unique_ptr<TBitmap> background = BackgroundBitmap(Width, Height);
    ComposeBackground(Pic, *picture.Graphic(), *background);
    try {
        background->SaveToFile(Target);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

bool SetAsWinBackground(TPicInfoObject* Pic)
{
    if (!Pic)
        return false;
    const std::string file = PictureLoading::RelFileName(Pic->FileName, Setup::VisteloFilename);
    if (file.empty())
        return false;
    if (IsBitmapFile(file) && !Setup::BackgroundVisteloPrefs)
        return SetWallpaper(file, ui::TWallpaperStyle::Centered);

    const std::string folder = BackgroundFolder();
    if (folder.empty())
        return false;
    const std::string target = ui::NextWallpaperFile(folder, Setup::WinBackgroundFilename);
    if (!WriteBackground(*Pic, file, Screen->Width(), Screen->Height(), target))
        return false;
    // Already screen-sized: the desktop must not scale it again.
    return SetWallpaper(target, ui::TWallpaperStyle::Stretched);
}

} // namespace WinBackground
