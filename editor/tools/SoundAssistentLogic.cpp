#include "editor/tools/SoundAssistentLogic.h"

#include <sys/stat.h>

#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/media/WAVTools.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"

namespace SoundAssistentLogic {

std::string DescribeSoundFile(const std::string& FileName)
{
    struct stat info { };
    if (FileName.empty() || stat(FileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return NoInformation;
    TWAVInfo wav;
    try {
        WAVTools::ReadWAVHeader(FileName, wav);
    } catch (const std::exception&) {
        return NoInformation;
    }
    // A format without bytes per second would divide by zero.
    if (wav.DataLength < 0 || wav.Format.AvgBytesPerSec == 0)
        return NoInformation;
    const TFormatSettings german;
    const double seconds = static_cast<double>(wav.DataLength) / wav.Format.AvgBytesPerSec;
    return rtl::FloatToStrF(seconds, ffFixed, 18, 3, german) + "s (" +
        rtl::FloatToStrF(static_cast<double>(wav.DataLength), ffNumber, 18, 0, german) + " Bytes)";
}

std::string ProposedSoundName(const std::string& PictureFile, bool UseUserDir, const std::string& UserDir)
{
    const std::string name = rtl::ChangeFileExt(rtl::ExtractFileName(PictureFile), ".wav");
    if (UseUserDir && !UserDir.empty())
        return rtl::IncludeTrailingPathDelimiter(UserDir) + name;
    return rtl::ExtractFilePath(PictureFile) + name;
}

bool IsChosen(int Index, TSoundAssistChoice Choice)
{
    switch (Choice) {
    case scGreenMarked: {
        const TPicInfoObject* entry = PicInfoUnit::GetPicInfoObject(Index);
        return entry && entry->ShowImage;
    }
    case scMarked: return PicInfoUnit::PicSelected(Index);
    default: return Index >= 0 && Index < PicInfoUnit::PicCount();
    }
}

int NextPicture(int Current, TSoundAssistChoice Choice, bool Forward)
{
    const int count = PicInfoUnit::PicCount();
    const int step = Forward ? 1 : -1;
    for (int index = Current + step; index >= 0 && index < count; index += step)
        if (IsChosen(index, Choice))
            return index;
    return Current;
}

} // namespace SoundAssistentLogic
