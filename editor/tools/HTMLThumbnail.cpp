#include "editor/tools/HTMLThumbnail.h"

#include "core/PictureLoading.h"
#include "imageformats/Resample.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Streams.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

namespace HTMLThumbnail {

namespace {

// Proportions inside a square of side m, in whole numbers so that the side
// that fills the square is exactly m.
TPoint FitIntoSquare(std::int64_t width, std::int64_t height, std::int64_t m)
{
    if (width <= 0 || height <= 0)
        return {1, 1};
    if (width >= height)
        return {static_cast<int>(m), static_cast<int>(height * m / width)};
    return {static_cast<int>(width * m / height), static_cast<int>(m)};
}

// The picture on BackColor (what a transparent picture leaves open shows it).
std::unique_ptr<TBitmap> Render(TGraphic& picture, TColor backColor)
{
    auto bitmap = std::make_unique<TBitmap>(picture.Width(), picture.Height(), pf24bit);
    TCanvas& canvas = bitmap->Canvas();
    canvas.Brush.Color = backColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect({0, 0, picture.Width(), picture.Height()});
    canvas.Draw(0, 0, picture);
    return bitmap;
}

std::uint8_t ShadowByte(int c, double ramp, double a)
{
    return static_cast<std::uint8_t>(std::nearbyint(c * ramp * (1 - a) + c * a));
}

} // namespace

TPoint InnerSize(int PictureWidth, int PictureHeight, int Width, int Height, int Shadow)
{
    TPoint size;
    if (Width < 0 || Height < 0) {
        const std::int64_t m = std::max<std::int64_t>(std::abs(static_cast<std::int64_t>(Width)) - Shadow, 1);
        size = FitIntoSquare(PictureWidth, PictureHeight, m);
    } else {
        size.X = Width == 0 ? PictureWidth : Width - Shadow;
        size.Y = Height == 0 ? PictureHeight : Height - Shadow;
    }
    return {std::max(size.X, 1), std::max(size.Y, 1)};
}

void AddShadow(TBitmap& Bitmap, int Shadow, TColor Background)
{
    if (Shadow <= 0)
        return;
    const int w = Bitmap.Width();
    const int h = Bitmap.Height();
    const int W = w + Shadow;
    const int H = h + Shadow;
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(W, H);
    const std::uint32_t rgb = gfx::ColorToPixelRGB(Background);
    // B, G, R as the pixels store them.
    const int c[3] = {static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                      static_cast<int>(rgb & 0xFF)};
    const double s = Shadow;
    for (int y = 0; y < H; ++y) {
        std::uint8_t* row = Bitmap.ScanLine(y);
        double a = 0;
        if (y < Shadow)
            a = 1 - y / s;
        else if (y > H - 1 - Shadow)
            a = 1 - (H - y) / s;
        for (int x = w; x < W; ++x)
            for (int k = 0; k < 3; ++k)
                row[3 * x + k] = ShadowByte(c[k], (x - w) / s, a);
        if (y < h)
            continue;
        for (int x = 0; x < W - Shadow; ++x) {
            const double along = x < Shadow ? 1 - x / s : 0;
            for (int k = 0; k < 3; ++k)
                row[3 * x + k] = ShadowByte(c[k], (y - h) / s, along);
        }
    }
    Bitmap.PixelsChanged({0, 0, W, H});
}

bool MakeThumbnail(const std::string& Source, const std::string& Target, const TThumbnailJob& Job,
                   const std::function<void(int Percent)>& Progress)
{
    const auto report = [&](int percent) {
        if (Progress)
            Progress(percent);
    };
    // A thumbnail needs no more pixels than its square: a JPEG is decoded at
    // the coarsest scale that still covers it.
    TPictureLoadOptions options;
    if (Job.Width != 0 && Job.Height != 0) {
        options.ReduceSize = true;
        options.WidthMaxRed = std::max(std::abs(Job.Width), 1);
        options.HeightMaxRed = std::max(std::abs(Job.Width < 0 || Job.Height < 0 ? Job.Width : Job.Height), 1);
    }
    TPicture picture;
    std::optional<TSize> original;
    if (PictureLoading::LoadPictureAside(Source, Job.ShowFile, picture, options, original) != leOK ||
        !picture.Graphic() || picture.Graphic()->Empty() || !original)
        return false;
    report(25);
    try {
        TGraphic& graphic = *picture.Graphic();
        const TPoint size = InnerSize(original->cx, original->cy, Job.Width, Job.Height, Job.Shadow);
        std::unique_ptr<TBitmap> bitmap = Render(graphic, Job.BackColor);
        if (bitmap->Width() != size.X || bitmap->Height() != size.Y)
            Resample::Stretch(static_cast<std::uint32_t>(size.X), static_cast<std::uint32_t>(size.Y), sfLanczos3, 0,
                              *bitmap);
        AddShadow(*bitmap, Job.Shadow, Job.PageBackground);
        TJPEGImage jpeg;
        jpeg.Assign(bitmap.get());
        JPEGCompressionWord::SetJPEGCompressionWord(jpeg, Job.JPEGWord);
        jpeg.Compress();
        TMemoryStream stream;
        jpeg.SaveToStream(stream);
        rtl::WriteFileAtomically(
            Target,
            std::string_view(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size())));
    } catch (const std::exception&) {
        return false;
    }
    report(100);
    return true;
}

} // namespace HTMLThumbnail
