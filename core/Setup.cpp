#include "core/Setup.h"

#include "core/Blendings.h"
#include "core/Plugins.h"
#include "core/SmoothBitmap.h"
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

namespace {

// Hands every field of the snapshot to visit together with its variable, so
// that taking and restoring the snapshot cannot miss one.
template <typename Visit> void PairSharedData(TSharedData& data, Visit visit)
{
    visit(data.CatalogThumbWidth, CatalogThumbWidth);
    visit(data.CatalogThumbHeight, CatalogThumbHeight);
    visit(data.CatalogShowFilename, CatalogShowFilename);
    visit(data.CatalogMarkDontShow, CatalogMarkDontShow);
    visit(data.CatalogMarkDropTarget, CatalogMarkDropTarget);
    visit(data.SpeedUpJPEGPreview, SpeedUpJPEGPreview);
    visit(data.SmoothScale, SmoothScale);
    visit(data.LowMemory, LowMemory);
    visit(data.BackgroundVisteloPrefs, BackgroundVisteloPrefs);
    visit(data.WinBackgroundFilename, WinBackgroundFilename);
    visit(data.BackgroundSaveChange, BackgroundSaveChange);
    visit(data.HideMouseCursor, HideMouseCursor);
    visit(data.ShowErrorInShow, ShowErrorInShow);
    visit(data.DragFilenames, DragFilenames);
    visit(data.DragManyPicsUseFilenames, DragManyPicsUseFilenames);
    visit(data.HomeDir, HomeDir);
    visit(data.ReduceSize, ReduceSize);
    visit(data.WidthMaxRed, WidthMaxRed);
    visit(data.HeightMaxRed, HeightMaxRed);
    visit(data.OrigWidth, OrigWidth);
    visit(data.OrigHeight, OrigHeight);
    visit(data.VisteloFilename, VisteloFilename);
    visit(data.RandomBlendings, Blendings::RandomBlendings);
}

} // namespace

void SaveSharedData(TSharedData& data)
{
    PairSharedData(data, [](auto& field, const auto& variable) { field = variable; });
}

void RestoreSharedData(const TSharedData& data)
{
    TSharedData snapshot = data;
    PairSharedData(snapshot, [](const auto& field, auto& variable) { variable = field; });
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

std::string ProgramFolder() { return rtl::IncludeTrailingPathDelimiter(rtl::ProgramDir()); }

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
    SmoothBitmap::RegSmoothBitmap();
    MainPlugins = std::make_unique<TPlugins>();
}

void FinalizeUnit()
{
    if (unitUsers == 0 || --unitUsers > 0)
        return;
    MainPlugins.reset();
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
