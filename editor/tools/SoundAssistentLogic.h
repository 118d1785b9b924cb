#pragma once

// What the sound assistant decides apart from its pages: the text that
// describes a recording, the name proposed for a picture's recording, and
// which picture comes next for the chosen pictures.

#include <string>

class TPicInfoObject;

enum TSoundAssistChoice : unsigned char { scAll, scGreenMarked, scMarked };

namespace SoundAssistentLogic {

inline constexpr const char* NoInformation = "keine Angabe möglich";

// "1,000s (44.100 Bytes)": the length and the size of the samples of a WAV
// file; NoInformation for a file that is missing or no WAV file, whose data
// length was never filled in, or whose format gives no bytes per second.
std::string DescribeSoundFile(const std::string& FileName);

// The recording's name for a picture: its name with ".wav", in UserDir when
// one is given, else beside the picture.
std::string ProposedSoundName(const std::string& PictureFile, bool UseUserDir, const std::string& UserDir);

// The index of the next (or previous) picture of the choice from Current in
// the current show (the editor's access layer): one step for all pictures;
// the nearest ticked or selected one otherwise, or Current when there is
// none in that direction.
int NextPicture(int Current, TSoundAssistChoice Choice, bool Forward);
// Whether the picture at Index is one of the choice.
bool IsChosen(int Index, TSoundAssistChoice Choice);

} // namespace SoundAssistentLogic
