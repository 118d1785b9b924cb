#pragma once

// The editor's own preferences (those that are not shared settings of unit
// Setup), their storage in the registry together with the shared settings
// the editor owns, the player ini that hands four switches to the player,
// and the picture and file helpers the editor's windows and tools share
// (VisteloSetup.Pictures.cpp).

#include "editor/controls/JPEGCompressionWord.h"

#include <cstdint>
#include <functional>
#include <string>

class TBitmap;
class TCanvas;
class TGraphic;
class TImage;
class TPicInfoObject;
class TPicture;
class TProgressBar;
struct TPlacementRectExt;

namespace VisteloSetup {

// The registry key of the editor's preferences, below the current user's root.
inline constexpr const char* VisteloRegistryKey = "\\Software\\Ostrelind\\Vistelo\\3.5 (Shareware)";
// The player ini's name in the home folder, and its section.
inline constexpr const char* PlayerIniName = "Rollavin.ini";
inline constexpr const char* PlayerIniSection = "Player";

extern bool ShowPreview;
extern bool KeepPreviewProportions;
extern bool ConfirmExit;
extern bool DoublePicsCheck;
extern bool AnimateLogo;
extern bool ConvertDescriptionsTags;
extern bool HTMLAddCopyright;
// The last picture and show folders; the home folder until one is stored.
extern std::string PicDir;
extern std::string VisteloDir;
extern bool ScanAssistImportToVistelo;
extern TJPEGCompressionWord ScanAssistJPEGCompression;
extern bool ScanAssistTargaCompression;
extern bool ScanAssistDontAskAnymore;
extern std::int32_t ScanAssistPicFormat; // 0 BMP, 1 JPEG, 2 TGA
// Keep the catalog's thumbnails in saved shows.
extern bool CatalogSaveThumbNailsInVistelo;
extern bool CatalogDropDropSorting;
// How thumbnails are compressed in saved shows.
extern TJPEGCompressionWord CatalogThumbnailJPEGCompression;
extern std::int32_t SoundSampleRate; // Hz
extern std::int32_t SoundSampleSize; // bits
extern bool SoundStereo;
extern bool SoundUseUserDir;
extern std::string SoundUserDir;
extern bool VexaPaintAutoPreview;

// Reads every preference from the registry. A value that is missing or of
// another type leaves its variable as it is, except that a missing string
// reads empty (the two folders keep the home folder then).
void LoadPreferences();
// Writes every preference; a value that cannot be written is skipped.
void SavePreferences();
// Writes the four player switches into the ini file FileName; errors are
// swallowed.
void WritePlayerIni(const std::string& FileName);

// --- Pictures and files (VisteloSetup.Pictures.cpp) ---

// The save format of a file name's extension: 0 BMP, 1 JPEG, 2 TGA, -1 other.
int SaveFormatFromExt(const std::string& FileName);
// FileName with the extension of a save format (".bmp", ".jpg", ".tga"); an
// empty name, or a format that is none of them, leaves it as it is.
std::string ChangeExtToSaveFormat(const std::string& FileName, int Format);
bool EqualPlacementRects(const TPlacementRectExt& A, const TPlacementRectExt& B);

// Draws a 24-bit bitmap scaled to Width x Height at (X, Y) by nearest
// neighbour sampling.
void DrawBitmapScaled(const TBitmap& Source, TCanvas& Canvas, int X, int Y, int Width, int Height);
// Draws Picture into the image control as a show places it by Entry (a
// picture that neither stretches nor is centred keeps its proportions), on
// the entry's background colour.
void DrawPictureInImage(TImage& Image, TGraphic& Picture, const TPicInfoObject& Entry, bool ForceStretch);

// The block size of CopyFileKeepDate.
constexpr std::int64_t CopyBlockSize = 415029;
// Copies Source to Dest keeping its modification time and permission bits,
// in blocks, advancing Progress (when given) and letting the application
// process its messages after each block. The same file under any name is not
// copied (true). Any failure gives false.
bool CopyFileKeepDate(const std::string& Source, const std::string& Dest, TProgressBar* Progress);
// Told the bytes copied so far and the file's size: once with 0 before the
// first block, then after every block.
using TCopyProgress = std::function<void(std::int64_t Copied, std::int64_t Size)>;
// CopyFileKeepDate for a caller with its own kind of progress display.
bool CopyFileKeepDateReporting(const std::string& Source, const std::string& Dest, const TCopyProgress& Progress);

// What LoadPictureForEditing returns.
enum TEditLoadResult : int { elOK = 0, elInvalidPicture = 1, elOutOfMemory = 2 };
// The kind of the picture LoadPictureForEditing loaded last, for saving it
// again: its save format (-1 when none of BMP, JPEG, TGA), a JPEG's settings
// word and whether a TGA was run-length compressed.
extern int EditPictureFormat;
extern TJPEGCompressionWord EditPictureJPEGSettings;
extern bool EditPictureTargaCompressed;
// Loads a picture for the picture editor as a 24-bit smooth bitmap (a JPEG
// decoded only as large as the reduced size needs). Never raises.
int LoadPictureForEditing(const std::string& FileName, const std::string& BaseFileName, TPicture& Picture);
// Saves the bitmap as BMP (0), JPEG (1, with JPEGSettings) or TGA (2); a
// failure of the JPEG or TGA save, or an unknown format, is told in a message.
bool SavePictureFile(TBitmap& Bitmap, const std::string& FileName, int Format, bool TargaCompressed,
                     TJPEGCompressionWord JPEGSettings);
// Loads a picture into the image control; false (and the placeholder of a
// picture that failed to load in the image) when it cannot be loaded.
bool LoadPictureIntoImage(const std::string& FileName, const std::string& BaseFileName, TImage& Image);
// Shows the picture in the editor's preview window.
void OpenPicturePreview(TPicInfoObject* Picture);

} // namespace VisteloSetup
