#pragma once

// The player's own settings and the file choice its dialogs offer.

#include <string>

class TOpenDialog;
class TPicInfoObject;

namespace PlayerSetup {

// Reads the [Player] switches of FileName into the shared settings; a missing
// file or key leaves the setting as it is.
void ReadPlayerIni(const std::string& FileName);

// Sets Dialog up to choose a show file: its title, filter and options, and
// the folder of the show playing (or the home folder) to start in.
void PreparePlayerOpenDialog(TOpenDialog& Dialog);

// Asks for another show file, starting in the folder of the show playing (or
// the home folder); "" when cancelled.
std::string ChoosePlayerFilename();

// Shows Pic in the zoomable preview window; the catalog's preview command.
void PreviewImage(TPicInfoObject* Pic);

} // namespace PlayerSetup
