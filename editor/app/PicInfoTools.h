#pragma once

// The picture tools the main window, the catalog and the preview share for
// one picture: open it in its program, and print it.

class TPicInfoObject;
class TPicture;

namespace PicInfoTools {

// Opens the entry's file in the program the desktop opens it with.
void OpenPicInfoInApplication(const TPicInfoObject& Entry);
// Prints Picture, or the entry's picture loaded for it when there is none.
void PrintPicture(const TPicInfoObject& Entry, TPicture* Picture);

} // namespace PicInfoTools
