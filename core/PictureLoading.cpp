#include "core/PictureLoading.h"

#include "core/RectTools.h"

#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/WinPaths.h"
#include "platform/ui/ImgList.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

namespace PictureLoading {

namespace {

// A stored (possibly Windows) name split into what the lookup needs.
struct TStoredName {
    std::string Rest;     // without drive, "/" separators
    std::string FilePart; // the last component
    bool Relative = true;
};

TStoredName SplitStoredName(const std::string& fileName)
{
    TStoredName name;
    const std::string drive = rtl::ExtractFileDrive(fileName);
    name.Rest = fileName.substr(drive.size());
    std::replace(name.Rest.begin(), name.Rest.end(), '\\', '/');
    name.Relative = drive.empty() && (name.Rest.empty() || name.Rest.front() != '/');
    name.Rest.erase(
        0, name.Rest.find_first_not_of('/') == std::string::npos ? name.Rest.size() : name.Rest.find_first_not_of('/'));
    const std::size_t slash = name.Rest.rfind('/');
    name.FilePart = slash == std::string::npos ? name.Rest : name.Rest.substr(slash + 1);
    return name;
}

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string FirstExisting(const std::vector<std::string>& candidates)
{
    for (const std::string& candidate : candidates) {
        if (candidate.empty() || candidate.back() == '/')
            continue;
        const std::string found = rtl::ResolveFileCase(candidate);
        if (!found.empty() && rtl::FileExists(found))
            return found;
    }
    return {};
}

// Candidates of one base folder: the name itself (a relative one against the
// home folder: the working folder is nobody's to rely on), the name under the
// root, the file part in the base folder and under the root.
std::vector<std::string> Candidates(const TStoredName& name, const std::string& base)
{
    const std::string home = WithSlash(Setup::HomeDir);
    return {
        name.Relative ? home + name.Rest : "/" + name.Rest,
        "/" + name.Rest,
        WithSlash(base) + name.FilePart,
        "/" + name.FilePart,
    };
}

std::string NativeFolderOf(const std::string& showFile)
{
    std::string native = showFile;
    std::replace(native.begin(), native.end(), '\\', '/');
    const std::size_t slash = native.rfind('/');
    return slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
}

void ConvertToSmoothBitmap(TPicture& picture)
{
    TGraphic* graphic = picture.Graphic();
    if (!graphic || dynamic_cast<TMetafile*>(graphic) || dynamic_cast<TSmoothBitmap*>(graphic))
        return;
    try {
        auto bitmap = std::make_unique<TSmoothBitmap>();
        if (auto* jpeg = dynamic_cast<TJPEGImage*>(graphic)) {
            // The decoded pixels are already what drawing them at (0, 0)
            // would give: the JPEG decodes straight into the bitmap.
            bitmap->Assign(jpeg);
            bitmap->SetPixelFormat(pf24bit);
        } else {
            bitmap->SetPixelFormat(pf24bit);
            bitmap->SetSize(graphic->Width(), graphic->Height());
            bitmap->Canvas().Draw(0, 0, *graphic);
        }
        // The picture takes the bitmap itself: a copy would double the
        // memory of a large picture for a moment and cost a pass over it.
        picture.TakeGraphic(std::move(bitmap));
    } catch (const std::bad_alloc&) {
        // Not enough memory for the copy: the picture stays as loaded.
    } catch (const EOutOfMemory&) {
    }
}

} // namespace

std::string RelFileName(const std::string& fileName, const std::string& showFile)
{
    if (fileName.empty())
        return {};
    const TStoredName name = SplitStoredName(fileName);
    for (const std::string& base : {NativeFolderOf(showFile), WithSlash(Setup::HomeDir)}) {
        const std::string found = FirstExisting(Candidates(name, base));
        if (!found.empty())
            return found;
    }
    return {};
}

TJPEGScale JpegScaleFor(int width, int height, int boxWidth, int boxHeight)
{
    if (width / 8 >= boxWidth && height / 8 >= boxHeight)
        return jsEighth;
    if (width / 4 >= boxWidth && height / 4 >= boxHeight)
        return jsQuarter;
    if (width / 2 < boxWidth || height / 2 < boxHeight)
        return jsFullSize;
    return jsHalf;
}

TPictureLoadOptions SharedLoadOptions() { return {Setup::ReduceSize, Setup::WidthMaxRed, Setup::HeightMaxRed}; }

TLoadError LoadPicture(const std::string& fileName, const std::string& showFile, TPicture& picture,
                       const TPictureLoadOptions& options)
{
    std::optional<TSize> original;
    const TLoadError error = LoadPictureAside(fileName, showFile, picture, options, original);
    if (original) {
        Setup::OrigWidth = original->cx;
        Setup::OrigHeight = original->cy;
    }
    return error;
}

TLoadError LoadPictureAside(const std::string& fileName, const std::string& showFile, TPicture& picture,
                            const TPictureLoadOptions& options, std::optional<TSize>& original)
{
    const std::string name = RelFileName(fileName, showFile);
    if (name.empty())
        return leInvalidGraphic;
    std::optional<TDecodedPicture> decoded;
    const TLoadError error = DecodePictureFile(name, picture, options, Setup::SpeedUpJPEGPreview, decoded);
    if (decoded)
        original = decoded->Original;
    if (error == leOK)
        PrepareForDrawing(picture);
    return error;
}

namespace {

// The scale a JPEG of `original` size decodes at under options.
TJPEGScale DecodingScale(TSize original, const TPictureLoadOptions& options, bool speedUpJpeg)
{
    if (!speedUpJpeg || !options.ReduceSize)
        return jsFullSize;
    return JpegScaleFor(original.cx, original.cy, options.WidthMaxRed, options.HeightMaxRed);
}

} // namespace

TLoadError DecodePictureFile(const std::string& file, TPicture& picture, const TPictureLoadOptions& options,
                             bool speedUpJpeg, std::optional<TDecodedPicture>& decoded)
{
    try {
        picture.LoadFromFile(file);
        decoded = TDecodedPicture{TSize{picture.Width(), picture.Height()}, std::nullopt};
        if (auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic())) {
            decoded->JpegScale = DecodingScale(decoded->Original, options, speedUpJpeg);
            jpeg->SetScale(*decoded->JpegScale);
        }
        ConvertToSmoothBitmap(picture);
        if (auto* smooth = dynamic_cast<TSmoothBitmap*>(picture.Graphic()))
            smooth->SetPixelFormat(pf24bit);
        return leOK;
    } catch (const std::bad_alloc&) {
        return leOutOfMemory;
    } catch (const EOutOfMemory&) {
        return leOutOfMemory;
    } catch (...) {
        return leInvalidGraphic;
    }
}

void PrepareForDrawing(TPicture& picture)
{
    if (auto* smooth = dynamic_cast<TSmoothBitmap*>(picture.Graphic())) {
        smooth->Smooth = Setup::SmoothScale;
        smooth->DrawToBuffer = !Setup::LowMemory;
    }
}

bool DecodesAlike(const TDecodedPicture& decoded, const TPictureLoadOptions& options)
{
    return !decoded.JpegScale ||
        *decoded.JpegScale == DecodingScale(decoded.Original, options, Setup::SpeedUpJPEGPreview);
}

void PicLoadError(TPicture& picture, int width, int height, TLoadError error)
{
    TBitmap& bitmap = picture.Bitmap();
    bitmap.SetSize(width, height);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 3;
    canvas.MoveTo(0, 0);
    canvas.LineTo(width - 1, height - 1);
    canvas.MoveTo(width - 1, 0);
    canvas.LineTo(0, height - 1);
    std::string line1 = "Bild kann nicht";
    std::string line2 = "geladen werden!";
    if (error == leOK) {
        line1 = "Alles";
        line2 = "OK";
    } else if (error == leOutOfMemory) {
        line1 = "Bild ist zu";
        line2 = "groß.";
    }
    const int height1 = canvas.TextHeight(line1);
    canvas.TextOut(width / 2 - canvas.TextWidth(line1) / 2, height / 2 - height1 - height1 / 2, line1);
    canvas.TextOut(width / 2 - canvas.TextWidth(line2) / 2, canvas.TextHeight(line2) / 2 + height / 2, line2);
}

TRect GetNormalRect(const TPlacementRectExt& placement, int width, int height)
{
    auto scaled = [](double fraction, int extent) {
        return static_cast<int>(std::nearbyint(std::clamp(fraction * extent, -2147483648.0, 2147483647.0)));
    };
    return Rect(scaled(placement.Left, width), scaled(placement.Top, height), scaled(placement.Right, width),
                scaled(placement.Bottom, height));
}

namespace {

int CenterOffset(int outer, int inner) { return inner < outer ? (outer - inner) / 2 : 0; }

TSize BoxOf(int pw, int ph, const TPicInfoObject& entry, int aw, int ah)
{
    TRect r = Rect(0, 0, aw, ah);
    if (entry.Placement == spUser || entry.SizePercent == pWindow)
        r = GetNormalRect(entry.PicPlacement, aw, ah);
    else if (entry.SizePercent == pPicture)
        r = GetNormalRect(entry.PicPlacement, pw, ph);
    return {r.Width(), r.Height()};
}

TSize SizeIn(int pw, int ph, const TPicInfoObject& entry, TSize box)
{
    if (!entry.Stretch && entry.SizePercent == pNone)
        return {pw, ph};
    if (!entry.Proportions)
        return box;
    int w = ph == 0 ? 1 : static_cast<int>(std::trunc(static_cast<double>(pw) / ph * box.cy));
    w = std::min(w, box.cx);
    const int h = pw == 0 ? 1 : static_cast<int>(std::trunc(static_cast<double>(ph) / pw * w));
    return {w, h};
}

} // namespace

TRect PicPos(int pw, int ph, const TPicInfoObject& entry, int aw, int ah)
{
    const TSize size = SizeIn(pw, ph, entry, BoxOf(pw, ph, entry, aw, ah));
    const int w = size.cx;
    const int h = size.cy;
    int x = 0;
    int y = 0;
    switch (entry.Placement) {
    case spCenter:
        x = CenterOffset(aw, w);
        y = CenterOffset(ah, h);
        break;
    case spTopLeft: break;
    case spTopCenter: x = CenterOffset(aw, w); break;
    case spTopRight: x = aw - w; break;
    case spRightCenter:
        x = aw - w;
        y = CenterOffset(ah, h);
        break;
    case spBottomRight:
        x = aw - w;
        y = ah - h;
        break;
    case spBottomCenter:
        x = CenterOffset(aw, w);
        y = ah - h;
        break;
    case spBottomLeft: y = ah - h; break;
    case spLeftCenter: y = CenterOffset(ah, h); break;
    case spUser: {
        const TRect r = GetNormalRect(entry.PicPlacement, aw, ah);
        x = r.Left + CenterOffset(r.Width(), w);
        y = r.Top + CenterOffset(r.Height(), h);
        break;
    }
    }
    return Rect(x, y, x + w, y + h);
}

TPictureLoadOptions SlideLoadOptions(const TPicInfoObject& entry, int aw, int ah)
{
    if (!entry.Stretch || (entry.SizePercent == pPicture && entry.Placement != spUser))
        return {};
    const TSize box = BoxOf(0, 0, entry, aw, ah);
    if (box.cx <= 0 || box.cy <= 0)
        return {};
    return {true, box.cx, box.cy};
}

std::unique_ptr<TBitmap> DrawThumbnail(const TPicInfoObject& entry, std::int32_t width, std::int32_t height)
{
    TPicture picture;
    const TPictureLoadOptions fitBox{true, width, height};
    if (LoadPicture(entry.FileName, Setup::VisteloFilename, picture, fitBox) != leOK || !picture.Graphic())
        return nullptr;
    const TRect fitted = RectTools::ProportionalScale(Rect(0, 0, picture.Width(), picture.Height()),
                                                      Rect(0, 0, width, height), true);
    auto bitmap = std::make_unique<TBitmap>(std::max(1, fitted.Width()), std::max(1, fitted.Height()), pf24bit);
    TCanvas& canvas = bitmap->Canvas();
    const TRect whole = Rect(0, 0, bitmap->Width(), bitmap->Height());
    if (dynamic_cast<TMetafile*>(picture.Graphic())) {
        canvas.Brush.Color = entry.BackgroundColor;
        canvas.FillRect(whole);
    }
    canvas.StretchDraw(whole, *picture.Graphic());
    return bitmap;
}

void ShowPicCanvas(TCanvas& canvas, int areaWidth, int areaHeight, TGraphic& picture, const TPicInfoObject& entry,
                   bool stretch)
{
    TPicInfoObject shown;
    shown.Assign(&entry);
    shown.Stretch = entry.Stretch || stretch;
    if (!entry.Stretch && !entry.Proportions)
        shown.Proportions = true;
    canvas.Brush.Color = entry.BackgroundColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, areaWidth, areaHeight));
    canvas.StretchDraw(PicPos(picture.Width(), picture.Height(), shown, areaWidth, areaHeight), picture);
}

TImageListItem CreateILI(const std::string& resourceName, TColor color) { return {resourceName, color}; }

namespace {

// The bitmap centred on a bitmap of width x height filled with its
// transparent colour; what does not fit is cut off on the right and bottom.
std::unique_ptr<TBitmap> CentredOn(TBitmap& bitmap, int width, int height, TColor fill)
{
    auto framed = std::make_unique<TBitmap>(width, height);
    framed->Canvas().Brush.Color = fill;
    framed->Canvas().FillRect(Rect(0, 0, width, height));
    const int w = std::min(bitmap.Width(), width);
    const int h = std::min(bitmap.Height(), height);
    const int x = (width - w) / 2;
    const int y = (height - h) / 2;
    framed->Canvas().CopyRect(Rect(x, y, x + w, y + h), bitmap.Canvas(), Rect(0, 0, w, h));
    return framed;
}

} // namespace

void FillImageList(TImageList& imageList, HMODULE module, const std::vector<TImageListItem>& items)
{
    imageList.Clear();
    for (const TImageListItem& item : items) {
        TBitmap bitmap;
        bitmap.LoadFromResourceName(module, item.ResName);
        const TColor transparent = item.Color == -1 ? (bitmap.Canvas().Pixels(0, 0) & 0x00FFFFFF) : item.Color;
        bitmap.SetTransparentColor(transparent);
        bitmap.SetTransparent(true);
        std::unique_ptr<TBitmap> framed;
        TBitmap* image = &bitmap;
        if (bitmap.Width() != imageList.Width() || bitmap.Height() != imageList.Height()) {
            framed = CentredOn(bitmap, imageList.Width(), imageList.Height(), transparent);
            image = framed.get();
        }
        if (item.Color == clNone)
            imageList.Add(image, nullptr);
        else
            imageList.AddMasked(*image, transparent);
    }
}

} // namespace PictureLoading
