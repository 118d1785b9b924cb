#pragma once

// The settings that every program of the suite shares through the run-time
// package: defaults for new shows and picture entries, display and loading
// switches, the catalog thumbnail size, the home folder and the state the
// picture loader hands back. Hosts fill them from their own settings before
// they create shows; the player takes a snapshot (SaveSharedData) before it
// changes them and puts it back (RestoreSharedData) when it ends.
//
// The variables are initialised constantly or at load time; code running in
// other units' static initialisers must not rely on HomeDir yet.

#include "platform/graphics/Color.h"
#include "platform/rtl/Resources.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TJPEGImage;
class TPlugins;

namespace Setup {

// Defaults of new picture entries.
extern bool stdStretch;
extern bool stdCenter;
extern bool stdShowComments;
extern bool stdProportions;
extern bool stdShowImage;
extern TColor stdBackgroundColor;
// Defaults of new shows.
extern bool stdShowFilenameInNavigationBar;
extern bool stdShowNoDescription;
extern std::int32_t stdPause; // ms
extern bool stdStartFullScreen;
extern bool stdShowNavigationBar;
extern bool stdShowCommentsBox;
extern bool stdRandomOrder;
// Catalog.
extern std::int32_t CatalogThumbWidth;
extern std::int32_t CatalogThumbHeight;
extern bool CatalogShowFilename;
extern bool CatalogMarkDropTarget;
extern bool CatalogMarkDontShow;
// Editor, player and loader switches.
extern bool FastPreview;
extern bool DontShowInfoBtn;
extern bool SpeedUpJPEGPreview;
extern bool SmoothScale;
extern bool LowMemory;
extern bool BackgroundVisteloPrefs;
extern std::string WinBackgroundFilename;
extern bool BackgroundSaveChange;
extern bool HideMouseCursor;
extern bool ShowErrorInShow;
extern bool DragFilenames;
extern bool DragManyPicsUseFilenames;
extern bool ForceUseInternalMP3Player;

// State. HomeDir is the folder of the running program and always ends with "/".
extern std::string HomeDir;
// The picture loader's reduction for callers that pass no options of their
// own (PictureLoading::SharedLoadOptions).
extern bool ReduceSize;
extern std::int32_t WidthMaxRed;
extern std::int32_t HeightMaxRed;
extern std::int32_t OrigWidth;
extern std::int32_t OrigHeight;
extern std::string VisteloFilename;
// The process-wide plug-in registry, from package start to package end.
extern std::unique_ptr<TPlugins> MainPlugins;

} // namespace Setup

// Snapshot of the shared state that a nested user (the player inside the
// editor) may change. The std... defaults, FastPreview, DontShowInfoBtn,
// ForceUseInternalMP3Player and the plug-in registry are not part of it.
struct TSharedData {
    std::int32_t CatalogThumbWidth = 0;
    std::int32_t CatalogThumbHeight = 0;
    bool CatalogShowFilename = false;
    bool CatalogMarkDontShow = false;
    bool CatalogMarkDropTarget = false;
    bool SpeedUpJPEGPreview = false;
    bool SmoothScale = false;
    bool LowMemory = false;
    bool BackgroundVisteloPrefs = false;
    std::string WinBackgroundFilename;
    bool BackgroundSaveChange = false;
    bool HideMouseCursor = false;
    bool ShowErrorInShow = false;
    bool DragFilenames = false;
    bool DragManyPicsUseFilenames = false;
    std::string HomeDir;
    bool ReduceSize = false;
    std::int32_t WidthMaxRed = 0;
    std::int32_t HeightMaxRed = 0;
    std::int32_t OrigWidth = 0;
    std::int32_t OrigHeight = 0;
    std::string VisteloFilename;
    std::array<bool, 32> RandomBlendings{};
};

namespace Setup {

void SaveSharedData(TSharedData& data);
void RestoreSharedData(const TSharedData& data);

// Freshness stamp of a thumbnail: the file's packed modification time plus
// its size in whole 128-byte records (plus the catalog thumbnail size when
// withThumbSize), in wrapping 32-bit arithmetic; -1 when the file is missing.
std::int32_t CalcDateSum(const std::string& fileName, bool withThumbSize);

// Loads the JPEG stored as an RCDATA resource of that name in the module into
// jpeg, creating it when it holds none. A missing resource raises EResNotFound.
void LoadJPEGFromResource(HMODULE module, const std::string& resourceName, std::unique_ptr<TJPEGImage>& jpeg);

// Start-up and shut-down of the unit. The package runs them once when it is
// loaded and unloaded; nested calls are counted and only the outermost acts.
void InitializeUnit();
void FinalizeUnit();

} // namespace Setup
