#pragma once

// The pictures of the HTML export: a picture loaded, scaled with the
// Lanczos-3 filter, given a soft shadow on the page's background and saved
// as a JPEG, for thumbnails and for converted pictures alike.

#include "editor/controls/JPEGCompressionWord.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Types.h"

#include <functional>
#include <string>

class TBitmap;

namespace HTMLThumbnail {

// The picture's size before the shadow. Width and Height 0 keep the
// picture's own width or height; otherwise the shadow is taken off them. A
// negative width or height keeps the picture's proportions inside a square
// of |Width| less the shadow: the longer side fills it and the other side
// follows the proportions of the picture, both truncated (a portrait
// 300 x 400 in 60 with shadow 5 gives 41 x 55, as a landscape 400 x 300
// gives 55 x 41). Never below 1 x 1.
TPoint InnerSize(int PictureWidth, int PictureHeight, int Width, int Height, int Shadow);

// Enlarges Bitmap (24-bit) by Shadow pixels to the right and at the bottom
// and draws the shadow there: black at the picture's edge, running into
// Background at the outer edge and at both ends.
void AddShadow(TBitmap& Bitmap, int Shadow, TColor Background);

// What MakeThumbnail needs besides the files.
struct TThumbnailJob {
    TColor BackColor = clWhite;       // behind transparent parts of the picture
    TColor PageBackground = clSilver; // the shadow runs into it
    TJPEGCompressionWord JPEGWord = JPEGCompressionWord::DefaultJPEGCompressionWord;
    int Shadow = 0;
    int Width = 0; // as InnerSize takes them
    int Height = 0;
    std::string ShowFile; // relative picture names are found against it
};

// Loads Source, scales it, adds the shadow and writes Target as a JPEG.
// Progress gets 25 after loading and 100 when the file is written. False
// when the picture cannot be loaded or the file cannot be written.
bool MakeThumbnail(const std::string& Source, const std::string& Target, const TThumbnailJob& Job,
                   const std::function<void(int Percent)>& Progress = {});

} // namespace HTMLThumbnail
