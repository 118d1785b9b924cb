#pragma once

// What the conversion assistant does, apart from its pages: the summary of
// the choices, the size table and the size rules, the names of the new
// files, and the conversion of one picture entry and of the chosen ones.

#include <cstdint>
#include <functional>
#include <string>

#include "editor/controls/JPEGCompressionWord.h"
#include "platform/graphics/Types.h"

class TPicInfoObject;

enum TConvertWhich : std::uint8_t { cwAll, cwGreenMarked, cwMarked };
enum TConvertFormat : std::uint8_t { cfBMP, cfJPEG, cfTGA };
// What happens to the old files: kept on disk with the new ones in the list,
// deleted, or kept in the list (the new ones only on disk).
enum TConvertOldFiles : std::uint8_t { coDontDelete, coDelete, coDontUseNew };
enum TConvertResult : std::uint8_t { crConverted, crLoadFailed, crSaveFailed };

struct TConvertSettings {
    TConvertWhich Which = cwAll;
    TConvertFormat Format = cfBMP;
    TJPEGCompressionWord JPEGSettings = 0x5000; // quality 80, baseline
    bool TargaCompressed = false;
    bool UseUserDir = false;
    std::string UserDir;
    bool Resize = false;
    int Width = 640;
    int Height = 480;
    bool KeepProportions = true;
    bool OnlySmaller = false;
    bool OnlyBigger = false;
    TConvertOldFiles OldFiles = coDontDelete;
};

struct TConvertCounts {
    int Converted = 0;
    int Failed = 0; // not loaded or not saved
    int Handled() const { return Converted + Failed; }
};

namespace ConvertAssistentLogic {

// The sizes of SizesRadioGroup; the item after them is "Benutzerdefiniert".
struct TSizeItem {
    int Width, Height;
};
inline constexpr TSizeItem Sizes[] = {{320, 200},  {640, 400},  {640, 480},   {800, 600},
                                      {1024, 768}, {1152, 964}, {1280, 1024}, {1600, 1200}};
inline constexpr int SizeCount = 8;
inline constexpr int UserSizeItem = 8;
inline constexpr int StartSizeItem = 2;

// The item whose width and height both match, else UserSizeItem.
int SizeItemFor(int Width, int Height);

std::string SummaryText(const TConvertSettings& Settings);

// The size a picture of Width x Height is converted to.
TPoint TargetSize(int Width, int Height, const TConvertSettings& Settings);

// The new file of a picture at OldPath: the extension of the format, in the
// user's folder when one is chosen, with "_" added before the extension
// while a file of that name exists (letter case ignored).
std::string NewFileName(const std::string& OldPath, const TConvertSettings& Settings);
// A file of that name exists in its folder, letter case ignored.
bool FileExistsIgnoringCase(const std::string& Path);

// Converts one entry. Its file name changes, and the old file is deleted,
// only after the new file was saved; a failure leaves entry and files as
// they were.
TConvertResult ConvertPicture(TPicInfoObject& Entry, const std::string& ShowFile, const TConvertSettings& Settings);

// Converts the chosen pictures of the current show (the editor's access
// layer), telling Progress the file of each before it is converted.
TConvertCounts ConvertPictures(const TConvertSettings& Settings, const std::string& ShowFile,
                               const std::function<void(const std::string& FileName)>& Progress);
// The number of pictures the choice takes.
int ChosenCount(TConvertWhich Which);

// The closing message.
std::string FinalMessage(const TConvertCounts& Counts);

} // namespace ConvertAssistentLogic
