#pragma once

// Free routines on bitmaps and colours: conversion of pictures to bitmaps,
// rotation, mirroring, cropping, inversion, channel offsets, convolution
// filters, gamma, grey scale, dithering, colour routines and small
// pixel-memory routines. The editor's image form, the transitions, the smooth
// bitmap and the save plug-ins use them.
//
// Routines named 24-bit work on B,G,R pixels of three bytes. A bitmap of any
// other depth is left unchanged by them (the filters return nullptr), since
// reading three bytes per pixel of a narrower row would run past its end.

#include "core/RectTools.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Types.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TIcon;
class TObject;
class TPicture;

// Progress of long bitmap operations; hosts attach OnProgress to drive a
// progress bar. An operation sets Maximum to its row (or column) count and
// reports 0 first, the rows done after each row, and 0 again at the end.
class TBitmapProgress {
public:
    std::int32_t Maximum = 100;
    std::int32_t Position = 0;
    std::function<void(TObject* sender)> OnProgress;

    void SetProgress(std::int32_t value);
};

// Hue in degrees, saturation and value 0-255.
struct THSV {
    std::int32_t H = 0;
    std::uint8_t S = 0;
    std::uint8_t V = 0;
};

// Red in bits 10-14, green in bits 5-9, blue in bits 0-4.
using T16BPPColor = std::uint16_t;

namespace BitmapTools {

// The one progress object of the program; operations report nothing while it
// is empty.
extern std::unique_ptr<TBitmapProgress> BitmapProgress;

// A new bitmap of the picture: bitmaps and JPEGs are assigned, anything else
// is drawn onto a 24-bit bitmap of the picture's size. nullptr for an empty
// picture.
std::unique_ptr<TBitmap> PicToBMP(TPicture& picture);

// The lowest address of the bitmap's pixel rows and the number of bytes from
// there to the end of the last pixel (row padding between rows included).
// An empty bitmap gives nullptr and 0.
std::size_t FirstBitmapByte(TBitmap& bitmap, std::uint8_t*& first);

// Each colour byte minus n, not below 0; high byte 0.
TColor Darken(TColor color, std::uint8_t n);
// Each colour byte scaled by percent / 100 (half to even), kept in 0..255.
TColor DarkenPercent(TColor color, int percent);

// A new 24-bit bitmap of the same size, turned by angle degrees
// (counter-clockwise on screen) about (centreX, centreY); what leaves the
// picture is cut off, what is uncovered gets the background colour.
std::unique_ptr<TBitmap> RotateBitmapFree(TBitmap& bitmap, double angle, int centreX, int centreY, TColor background);
// New bitmaps of exchanged width and height in the same pixel format:
// (x, y) goes to (y, W - 1 - x), and to (H - 1 - y, x) for the 270 turn.
std::unique_ptr<TBitmap> Rotate90DegreesCounterClockwise(TBitmap& bitmap);
std::unique_ptr<TBitmap> Rotate270DegreesCounterClockwise(TBitmap& bitmap);

// In place: left and right exchanged.
void VertMirrorBitmap(TBitmap& bitmap);
// In place: top and bottom exchanged.
void HorzMirrorBitmap(TBitmap& bitmap);
// The vertical mirror when `vert` is set, then the horizontal one when
// `horz` is set (both make a half turn).
void MirrorBitmap(TBitmap& bitmap, bool horz, bool vert);
// In place: the rectangle's content moves to the origin, then the bitmap
// takes the rectangle's size.
void CropBitmap(TBitmap& bitmap, const TRect& rect);
// In place: the pixels inside the rectangle are inverted.
void InvertBitmap(TBitmap& bitmap, const TRect& rect);
// In place: the offsets are added to red, green and blue, clamped to 0..255.
void RGBBitmap24Bit(TBitmap& bitmap, int red, int green, int blue);

// New filtered bitmaps (edge pixels repeat outward), or nullptr on failure.
std::unique_ptr<TBitmap> MedianFilterBitmap24Bit(const TBitmap& bitmap);
std::unique_ptr<TBitmap> MedianStrongFilterBitmap24Bit(const TBitmap& bitmap);
std::unique_ptr<TBitmap> GaussFilterBitmap24Bit(const TBitmap& bitmap);
std::unique_ptr<TBitmap> BlurFilterBitmap24Bit(const TBitmap& bitmap);
std::unique_ptr<TBitmap> BlurMediumFilterBitmap24Bit(const TBitmap& bitmap);
std::unique_ptr<TBitmap> BlurStrongFilterBitmap24Bit(const TBitmap& bitmap);

// In place: byte i becomes 255 * (i / 255)^(5 - g) per channel (4 keeps the
// picture, 5 makes it white).
void GammaBitmap24Bit(TBitmap& bitmap, double red, double green, double blue);
// In place: byte x becomes 255 - 255 * ((255 - x) / 255)^g per channel.
void GammaBitmap24BitInvert(TBitmap& bitmap, double red, double green, double blue);
// In place: every pixel becomes the grey of 0.3 red + 0.59 green + 0.11 blue.
void GrayScaleBitmap24Bit(TBitmap& bitmap);
// In place: random dither before a reduction to 5 bits per channel.
void DitherBitmap24To16(TBitmap& bitmap);
// The same on 32-bit pixels; the fourth byte is not touched.
void DitherBitmap32To16(TBitmap& bitmap);
// In place: every byte of every pixel inverted.
void InvertBitmap24BPP(TBitmap& bitmap);

TColor HSVToRGB(const THSV& hsv);
// The resolved colour with its colour bytes inverted, high byte kept.
TColor InvertColor(TColor color);
// A colour that stands out against the given one: white or black for a colour
// near middle grey, else the inverted colour.
TColor MakeVisibleColor(TColor color);

TPixelFormat CalcPixelFormat(int bitsPerPixel);
// Bits per pixel of the bitmap's pixel format; a device bitmap has the depth
// of its device.
int GetBitsPerPixel(const TBitmap& bitmap);

// Bounding box of the pixels that differ from the colour; right and bottom
// inclusive. (0, 0, 0, 0) when there is none.
void GetExactRec32BPP(TBitmap& bitmap, TColor color, TRect& rect);

// Each 5-bit field times 8 into red, green and blue of a 32-bit pixel.
std::uint32_t Convert16To32RGB(T16BPPColor color);

using RectTools::CorrectRect;

void FillLong(void* memory, std::size_t count, std::uint32_t value);
// count pixels of three bytes, the bytes in argument order.
void Fill24BitRGB(void* memory, std::size_t count, std::uint8_t byte0, std::uint8_t byte1, std::uint8_t byte2);
// count 32-bit words; the areas may overlap.
void MoveLong(const void* source, void* dest, std::size_t count);
std::uint32_t ScanLineRGB32Bit(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
// The same pixel from a colour's bytes (system colours are not resolved).
std::uint32_t TColor2ScanLineRGB32Bit(TColor color);
std::unique_ptr<TBitmap> Create32BitBitmap(int width, int height);

// The program's icon resource of that name, or of the icon group of that
// number; EResNotFound when there is none.
void LoadIconFromResource(const std::string& resourceName, TIcon& icon);
void LoadIconFromResourceID(int resourceId, TIcon& icon);

} // namespace BitmapTools
