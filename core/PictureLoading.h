#pragma once

// Loading show pictures and placing them in an output area: finding a
// picture's file also when its show was moved, decoding JPEGs only as large
// as needed, converting to a 24-bit TSmoothBitmap, the placeholder of a
// picture that failed to load, and the placement of a picture by its entry.

#include "platform/graphics/Color.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Types.h"
#include "platform/rtl/Resources.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TBitmap;
class TCanvas;
class TGraphic;
class TImageList;
class TPicture;
class TPicInfoObject;
struct TPlacementRectExt;

enum TLoadError : std::uint8_t { leOK, leInvalidGraphic, leOutOfMemory, leAlreadyLoaded };

// A bitmap resource for an image list and the colour that shows through:
// -1 takes the colour of the bitmap's top-left pixel, clNone adds the
// bitmap without a mask.
struct TImageListItem {
    std::string ResName;
    TColor Color = -1;
};

// How far LoadPicture may shrink a picture while it decodes it: with
// ReduceSize a JPEG is decoded at the coarsest scale that still covers
// WidthMaxRed x HeightMaxRed (where the user allows quicker JPEG decoding,
// Setup::SpeedUpJPEGPreview); otherwise every pixel is kept.
struct TPictureLoadOptions {
    bool ReduceSize = false;
    std::int32_t WidthMaxRed = 0;
    std::int32_t HeightMaxRed = 0;
};

// What a load decoded: the picture's own size and, for a JPEG, the scale it
// was decoded at.
struct TDecodedPicture {
    TSize Original;
    std::optional<TJPEGScale> JpegScale;
};

namespace PictureLoading {

// The existing file a stored picture name refers to, tried against the
// show's folder and then the home folder (also by file name alone); "" when
// none exists. Relative names found are returned with the home folder.
std::string RelFileName(const std::string& fileName, const std::string& showFile);

// The JPEG decoding scale for a picture of width x height shown in a box of
// boxWidth x boxHeight: the smallest of 1/8, 1/4, 1/2 that is not smaller
// than the box in either direction, else full size.
TJPEGScale JpegScaleFor(int width, int height, int boxWidth, int boxHeight);

// The loading options of the shared settings (Setup::ReduceSize,
// WidthMaxRed and HeightMaxRed), for callers that load as the host set up.
TPictureLoadOptions SharedLoadOptions();

// Loads the picture of fileName into picture, shrunk as options allow (see
// the settings of unit Setup: OrigWidth/OrigHeight are set, SmoothScale and
// LowMemory set up the bitmap). Never raises.
TLoadError LoadPicture(const std::string& fileName, const std::string& showFile, TPicture& picture,
                       const TPictureLoadOptions& options = SharedLoadOptions());
// LoadPicture without writing the shared settings, for a load on another
// thread: the picture's own size before any shrinking goes to `original`
// (left empty when the file did not load), for Setup::OrigWidth and
// OrigHeight once the picture is taken over.
TLoadError LoadPictureAside(const std::string& fileName, const std::string& showFile, TPicture& picture,
                            const TPictureLoadOptions& options, std::optional<TSize>& original);

// The decoding of LoadPictureAside alone, of a file already found. It reads
// no shared setting (speedUpJpeg stands for Setup::SpeedUpJPEGPreview as the
// caller read it), so it may run on a worker while the main thread is still
// setting them up; `decoded` is set when the file loaded. PrepareForDrawing
// finishes the picture once it is taken over.
TLoadError DecodePictureFile(const std::string& file, TPicture& picture, const TPictureLoadOptions& options,
                             bool speedUpJpeg, std::optional<TDecodedPicture>& decoded);
// Sets a decoded picture up for drawing as the shared settings say.
void PrepareForDrawing(TPicture& picture);
// Whether a load with `options` gives the same pixels as the one that
// decoded `decoded`: only a JPEG's decoding scale depends on them.
bool DecodesAlike(const TDecodedPicture& decoded, const TPictureLoadOptions& options);

// Paints the placeholder of a picture that failed to load: width x height,
// both diagonals, and two text lines telling why.
void PicLoadError(TPicture& picture, int width, int height, TLoadError error);

// The rectangle of placement scaled to width x height (halves to even).
TRect GetNormalRect(const TPlacementRectExt& placement, int width, int height);
// Where a picture of pw x ph is shown in an area of aw x ah by its entry.
TRect PicPos(int pw, int ph, const TPicInfoObject& entry, int aw, int ah);
// How a stretched slide's picture may be decoded for its area of aw x ah:
// reduced to the box PicPos scales it into (the area, or a user or percent
// box that may be larger than the area) unless that box is sized relative to
// the picture itself. A slide that is not stretched keeps every pixel: its
// area grows with the picture.
TPictureLoadOptions SlideLoadOptions(const TPicInfoObject& entry, int aw, int ah);

// Draws the picture into (0, 0, areaWidth, areaHeight) of the canvas as the
// entry would show it, on the entry's background colour; `stretch` forces
// stretching, and an entry that neither stretches nor keeps proportions is
// drawn keeping them.
void ShowPicCanvas(TCanvas& canvas, int areaWidth, int areaHeight, TGraphic& picture, const TPicInfoObject& entry,
                   bool stretch);

TImageListItem CreateILI(const std::string& resourceName, TColor color);
// Empties the list and adds the module's bitmap resources in order; a
// bitmap of another size than the list's is centred on the list's size,
// the rest filled with its transparent colour.
void FillImageList(TImageList& imageList, HMODULE module, const std::vector<TImageListItem>& items);

// A thumbnail of the entry's picture: proportionally fitted into width x
// height, drawn into a 24-bit bitmap of exactly the fitted size (metafiles on
// the entry's background colour); none when the picture cannot be loaded. A
// JPEG is decoded only as large as the box needs.
std::unique_ptr<TBitmap> DrawThumbnail(const TPicInfoObject& entry, std::int32_t width, std::int32_t height);

} // namespace PictureLoading
