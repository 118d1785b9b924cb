#pragma once

// Making a picture entry's picture the desktop wallpaper, drawn the way the
// entry places it on a screen-sized bitmap.

#include "platform/graphics/Types.h"

#include <string>

class TBitmap;
class TGraphic;
class TPicInfoObject;

namespace WinBackground {

// True when the wallpaper was set. Raises EOutOfMemory ("Nicht genügend
// Arbeitsspeicher!") when the screen-sized bitmap cannot be made.
bool SetAsWinBackground(TPicInfoObject* Pic);

// Where a picture of PicWidth x PicHeight goes on a bitmap of Width x Height
// by the entry's Stretch, Proportions and Center switches.
TRect BackgroundRect(const TPicInfoObject& Pic, int PicWidth, int PicHeight, int Width, int Height);

// Fills Target (already sized) with the entry's background colour and draws
// Picture into it at BackgroundRect.
void ComposeBackground(const TPicInfoObject& Pic, TGraphic& Picture, TBitmap& Target);

// Loads File and writes it composed on a Width x Height bitmap (see
// ComposeBackground) as the BMP Target; false when the picture does not load
// or Target cannot be written. Raises EOutOfMemory as SetAsWinBackground.
bool WriteBackground(const TPicInfoObject& Pic, const std::string& File, int Width, int Height,
                     const std::string& Target);

// The folder the composed wallpaper is written to: the user's data folder
// (made when missing); "" when it cannot be written. The picture alternates
// between two names there (ui::NextWallpaperFile).
std::string BackgroundFolder();

} // namespace WinBackground
