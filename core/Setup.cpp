#include "core/Setup.h"

#include "core/Blendings.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysPaths.h"

namespace Setup {

bool stdStretch = true;
bool stdCenter = true;
bool stdShowComments = true;
bool stdProportions = true;
bool stdShowImage = true;
TColor stdBackgroundColor = 0;
bool stdShowFilenameInNavigationBar = true;
bool stdShowNoDescription = false;
std::int32_t stdPause = 5000;
bool stdStartFullScreen = true;
bool stdShowNavigationBar = true;
bool stdShowCommentsBox = false;
bool stdRandomOrder = false;
std::int32_t CatalogThumbWidth = 80;
std::int32_t CatalogThumbHeight = 60;
bool CatalogShowFilename = true;
bool CatalogMarkDropTarget = true;
bool CatalogMarkDontShow = true;
bool FastPreview = false;
bool DontShowInfoBtn = false;
bool SpeedUpJPEGPreview = true;
bool SmoothScale = true;
bool LowMemory = false;
bool BackgroundVisteloPrefs = true;
std::string WinBackgroundFilename = "Vistelo - Hintergrundbild.bmp";
bool BackgroundSaveChange = false;
bool HideMouseCursor = false;
bool ShowErrorInShow = false;
bool DragFilenames = true;
bool DragManyPicsUseFilenames = false;
bool ForceUseInternalMP3Player = true;

std::string HomeDir;
bool ReduceSize = false;
std::int32_t WidthMaxRed = 0;
std::int32_t HeightMaxRed = 0;
std::int32_t OrigWidth = 0;
std::int32_t OrigHeight = 0;
std::string VisteloFilename;

void SaveSharedData(TSharedData& data)
{
    data.CatalogThumbWidth = CatalogThumbWidth;
    data.CatalogThumbHeight = CatalogThumbHeight;
    data.CatalogShowFilename = CatalogShowFilename;
    data.CatalogMarkDontShow = CatalogMarkDontShow;
    data.CatalogMarkDropTarget = CatalogMarkDropTarget;
    data.SpeedUpJPEGPreview = SpeedUpJPEGPreview;
    data.SmoothScale = SmoothScale;
    data.LowMemory = LowMemory;
    data.BackgroundVisteloPrefs = BackgroundVisteloPrefs;
    data.WinBackgroundFilename = WinBackgroundFilename;
    data.BackgroundSaveChange = BackgroundSaveChange;
    data.HideMouseCursor = HideMouseCursor;
    data.ShowErrorInShow = ShowErrorInShow;
    data.DragFilenames = DragFilenames;
    data.DragManyPicsUseFilenames = DragManyPicsUseFilenames;
    data.HomeDir = HomeDir;
    data.ReduceSize = ReduceSize;
    data.WidthMaxRed = WidthMaxRed;
    data.HeightMaxRed = HeightMaxRed;
    data.OrigWidth = OrigWidth;
    data.OrigHeight = OrigHeight;
    data.VisteloFilename = VisteloFilename;
    data.RandomBlendings = Blendings::RandomBlendings;
}

void RestoreSharedData(const TSharedData& data)
{
    CatalogThumbWidth = data.CatalogThumbWidth;
    CatalogThumbHeight = data.CatalogThumbHeight;
    CatalogShowFilename = data.CatalogShowFilename;
    CatalogMarkDontShow = data.CatalogMarkDontShow;
    CatalogMarkDropTarget = data.CatalogMarkDropTarget;
    SpeedUpJPEGPreview = data.SpeedUpJPEGPreview;
    SmoothScale = data.SmoothScale;
    LowMemory = data.LowMemory;
    BackgroundVisteloPrefs = data.BackgroundVisteloPrefs;
    WinBackgroundFilename = data.WinBackgroundFilename;
    BackgroundSaveChange = data.BackgroundSaveChange;
    HideMouseCursor = data.HideMouseCursor;
    ShowErrorInShow = data.ShowErrorInShow;
    DragFilenames = data.DragFilenames;
    DragManyPicsUseFilenames = data.DragManyPicsUseFilenames;
    HomeDir = data.HomeDir;
    ReduceSize = data.ReduceSize;
    WidthMaxRed = data.WidthMaxRed;
    HeightMaxRed = data.HeightMaxRed;
    OrigWidth = data.OrigWidth;
    OrigHeight = data.OrigHeight;
    VisteloFilename = data.VisteloFilename;
    Blendings::RandomBlendings = data.RandomBlendings;
}

std::int32_t CalcDateSum(const std::string& fileName, bool withThumbSize)
{
    if (!rtl::FileExists(fileName))
        return -1;
    const std::int64_t size = rtl::FileSizeOf(fileName);
    if (size < 0)
        return -1; // vanished or unreadable between the two looks
    // The stamp is defined in 32-bit arithmetic that wraps; unsigned
    // arithmetic gives exactly that without signed overflow.
    auto stamp = static_cast<std::uint32_t>(rtl::FileAge(fileName));
    stamp += static_cast<std::uint32_t>(size / 128);
    if (withThumbSize) {
        stamp += static_cast<std::uint32_t>(CatalogThumbWidth);
        stamp += static_cast<std::uint32_t>(CatalogThumbHeight);
    }
    return static_cast<std::int32_t>(stamp);
}

void LoadJPEGFromResource(HMODULE module, const std::string& resourceName, std::unique_ptr<TJPEGImage>& jpeg)
{
    TResourceStream stream(module, resourceName, RT_RCDATA);
    if (!jpeg)
        jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadFromStream(stream);
}

namespace {

int unitUsers = 0;

std::string ProgramFolder()
{
    return rtl::IncludeTrailingPathDelimiter(rtl::ProgramDir());
}

} // namespace

void InitializeUnit()
{
    if (unitUsers++ > 0)
        return;
    rtl::Randomize();
    HomeDir = ProgramFolder();
    ReduceSize = false;
    WidthMaxRed = 0;
    HeightMaxRed = 0;
    // The smooth bitmap's registration as the picture class of bitmap files
    // and the creation of the plug-in registry MainPlugins join here with
    // their units.
}

void FinalizeUnit()
{
    if (unitUsers == 0 || --unitUsers > 0)
        return;
    // The plug-in registry MainPlugins is freed here once it exists.
    VisteloFilename.clear();
    HomeDir.clear();
    WinBackgroundFilename.clear();
}

namespace {

// Runs the unit's start-up when the package is loaded and its shut-down when
// it is unloaded.
struct UnitLifetime {
    UnitLifetime() { InitializeUnit(); }
    ~UnitLifetime() { FinalizeUnit(); }
} unitLifetime;

} // namespace

} // namespace Setup
