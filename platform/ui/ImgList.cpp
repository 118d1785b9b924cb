#include "platform/ui/ImgList.h"

#include <algorithm>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Surface.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Setters.h"

IMPLEMENT_CLASS(TImageList)

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

std::unique_ptr<TBitmap> NewPicture(int width, int height) { return std::make_unique<TBitmap>(width, height, pf24bit); }

// Opaque pixels of a picture: those not of the key colour (all for clNone).
std::vector<bool> OpaqueByColor(TBitmap& picture, TColor key)
{
    TPixelBuffer pixels = picture.PixelBuffer();
    std::vector<bool> opaque(static_cast<size_t>(pixels.Width) * static_cast<size_t>(pixels.Height), true);
    if (key == clNone)
        return opaque;
    const std::uint32_t keyPixel = gfx::ColorToPixel(key);
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x)
            opaque[static_cast<size_t>(y) * static_cast<size_t>(pixels.Width) + static_cast<size_t>(x)] =
                gfx::ReadPixel(pixels, x, y) != keyPixel;
    return opaque;
}

// Opaque pixels of a picture by its mask (white: see-through). Pixels the
// mask does not cover are opaque.
std::vector<bool> OpaqueByMask(TBitmap& picture, TBitmap& mask)
{
    TPixelBuffer pixels = picture.PixelBuffer();
    TPixelBuffer maskPixels = mask.PixelBuffer();
    std::vector<bool> opaque(static_cast<size_t>(pixels.Width) * static_cast<size_t>(pixels.Height), true);
    int width = std::min(pixels.Width, maskPixels.Width);
    int height = std::min(pixels.Height, maskPixels.Height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            opaque[static_cast<size_t>(y) * static_cast<size_t>(pixels.Width) + static_cast<size_t>(x)] =
                gfx::ReadPixel(maskPixels, x, y) != kWhite;
    return opaque;
}

} // namespace

// One image: its pixels with the see-through ones black, and a mask that is
// black where the image is opaque and white elsewhere. Drawing ANDs the mask
// onto the target and ORs the pixels over it.
struct TImageList::Image {
    std::unique_ptr<TBitmap> Pixels;
    std::unique_ptr<TBitmap> Mask;

    Image Clone() const
    {
        Image copy{NewPicture(Pixels->Width(), Pixels->Height()), NewPicture(Mask->Width(), Mask->Height())};
        copy.Pixels->Assign(Pixels.get());
        copy.Mask->Assign(Mask.get());
        return copy;
    }
};

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) { }

TImageList::TImageList(int AWidth, int AHeight)
    : TComponent(nullptr), width_(std::max(AWidth, 1)), height_(std::max(AHeight, 1))
{ }

TImageList::~TImageList() = default;

int TImageList::Count() const { return static_cast<int>(images_.size()); }

void TImageList::SetWidth(int Value)
{
    Value = std::max(Value, 1);
    if (rtl::AssignIfChanged(width_, Value))
        Clear();
}

void TImageList::SetHeight(int Value)
{
    Value = std::max(Value, 1);
    if (rtl::AssignIfChanged(height_, Value))
        Clear();
}

void TImageList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation("Ungültiger Index für die Bildliste (" + std::to_string(Index) + ")");
}

TImageList::Image TImageList::MakeImage(TBitmap& Source, int SourceX, const std::vector<bool>* Opaque) const
{
    Image made{NewPicture(width_, height_), NewPicture(width_, height_)};
    TPixelBuffer source = Source.PixelBuffer();
    TPixelBuffer pixels = made.Pixels->PixelBuffer();
    TPixelBuffer mask = made.Mask->PixelBuffer();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            int sx = SourceX + x;
            bool inside = sx < source.Width && y < source.Height;
            bool opaque = inside &&
                (!Opaque ||
                 (*Opaque)[static_cast<size_t>(y) * static_cast<size_t>(source.Width) + static_cast<size_t>(sx)]);
            gfx::WritePixel(pixels, x, y, opaque ? gfx::ReadPixel(source, sx, y) : 0);
            gfx::WritePixel(mask, x, y, opaque ? 0 : kWhite);
        }
    return made;
}

std::vector<TImageList::Image> TImageList::ImagesOf(TBitmap& Source, const std::vector<bool>* Opaque) const
{
    int count = std::max(1, Source.Width() / width_);
    std::vector<Image> made;
    made.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        made.push_back(MakeImage(Source, i * width_, Opaque));
    return made;
}

int TImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    if (!Image || Image->Empty())
        return -1;
    std::vector<bool> opaque = Mask ? OpaqueByMask(*Image, *Mask) : OpaqueByColor(*Image, clNone);
    int first = Count();
    for (auto& made : ImagesOf(*Image, &opaque))
        images_.push_back(std::move(made));
    Change();
    return first;
}

int TImageList::AddMasked(TBitmap& Image, TColor MaskColor)
{
    if (Image.Empty())
        return -1;
    if (MaskColor == clDefault)
        MaskColor = Image.TransparentColor();
    std::vector<bool> opaque = OpaqueByColor(Image, MaskColor);
    int first = Count();
    for (auto& made : ImagesOf(Image, &opaque))
        images_.push_back(std::move(made));
    Change();
    return first;
}

void TImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask)
{
    CheckIndex(Index);
    if (!Image || Image->Empty())
        return;
    std::vector<bool> opaque = Mask ? OpaqueByMask(*Image, *Mask) : OpaqueByColor(*Image, clNone);
    images_[static_cast<size_t>(Index)] = MakeImage(*Image, 0, &opaque);
    Change();
}

void TImageList::ReplaceMasked(int Index, TBitmap& NewImage, TColor MaskColor)
{
    CheckIndex(Index);
    if (NewImage.Empty())
        return;
    if (MaskColor == clDefault)
        MaskColor = NewImage.TransparentColor();
    std::vector<bool> opaque = OpaqueByColor(NewImage, MaskColor);
    images_[static_cast<size_t>(Index)] = MakeImage(NewImage, 0, &opaque);
    Change();
}

void TImageList::Delete(int Index)
{
    CheckIndex(Index);
    images_.erase(images_.begin() + Index);
    Change();
}

void TImageList::Clear()
{
    if (images_.empty())
        return;
    images_.clear();
    Change();
}

void TImageList::Assign(const TPersistent* Source)
{
    auto* other = dynamic_cast<const TImageList*>(Source);
    if (!other)
        return TComponent::Assign(Source);
    if (other == this)
        return;
    width_ = other->width_;
    height_ = other->height_;
    Masked = other->Masked;
    BkColor = other->BkColor;
    DrawingStyle = other->DrawingStyle;
    ImageType = other->ImageType;
    images_.clear();
    for (const Image& image : other->images_)
        images_.push_back(image.Clone());
    Change();
}

void TImageList::Change()
{
    if (OnChange)
        OnChange(this);
}

bool TImageList::Opaque(int Index, int X, int Y) const
{
    CheckIndex(Index);
    if (X < 0 || Y < 0 || X >= width_ || Y >= height_)
        return false;
    return gfx::ReadPixel(images_[static_cast<size_t>(Index)].Mask->PixelBuffer(), X, Y) == 0;
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled)
{
    Draw(Canvas, X, Y, Index, DrawingStyle, ImageType, Enabled);
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
                      bool Enabled)
{
    if (Index < 0 || Index >= Count())
        return; // as the platform's drawing: an index outside the list draws nothing
    const Image& picture = images_[static_cast<size_t>(Index)];
    if (AImageType == itMask)
        return DrawMask(Canvas, X, Y, picture);
    if (!Enabled)
        return DrawDisabled(Canvas, X, Y, picture);
    TColor background = ADrawingStyle == dsTransparent || !Masked ? clNone : BkColor;
    if (!Masked)
        gfx::BitBlt(Canvas, X, Y, width_, height_, &picture.Pixels->Canvas(), 0, 0, SRCCOPY);
    else
        DrawMasked(Canvas, X, Y, picture, background);
}

void TImageList::DrawMasked(TCanvas& Canvas, int X, int Y, const Image& Picture, TColor Background)
{
    if (Background != clNone) {
        int saved = Canvas.SaveState();
        Canvas.Brush.Color = Background;
        Canvas.Brush.Style = bsSolid;
        Canvas.FillRect(Bounds(X, Y, width_, height_));
        Canvas.RestoreState(saved);
    }
    gfx::BitBlt(Canvas, X, Y, width_, height_, &Picture.Mask->Canvas(), 0, 0, SRCAND);
    gfx::BitBlt(Canvas, X, Y, width_, height_, &Picture.Pixels->Canvas(), 0, 0, SRCPAINT);
}

// Disabled: the opaque pixels in greys of their brightness, lightened so
// the image reads as inactive.
void TImageList::DrawDisabled(TCanvas& Canvas, int X, int Y, const Image& Picture)
{
    Image grey{NewPicture(width_, height_), nullptr};
    TPixelBuffer source = Picture.Pixels->PixelBuffer();
    TPixelBuffer target = grey.Pixels->PixelBuffer();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            std::uint32_t rgb = gfx::ReadPixel(source, x, y);
            unsigned luma = (((rgb >> 16) & 0xFF) * 30 + ((rgb >> 8) & 0xFF) * 59 + (rgb & 0xFF) * 11) / 100;
            unsigned level = 0x80 + luma / 2;
            bool opaque = gfx::ReadPixel(Picture.Mask->PixelBuffer(), x, y) == 0;
            gfx::WritePixel(target, x, y, opaque ? (level << 16) | (level << 8) | level : 0);
        }
    gfx::BitBlt(Canvas, X, Y, width_, height_, &Picture.Mask->Canvas(), 0, 0, SRCAND);
    gfx::BitBlt(Canvas, X, Y, width_, height_, &grey.Pixels->Canvas(), 0, 0, SRCPAINT);
}

void TImageList::DrawMask(TCanvas& Canvas, int X, int Y, const Image& Picture)
{
    gfx::BitBlt(Canvas, X, Y, width_, height_, &Picture.Mask->Canvas(), 0, 0, SRCCOPY);
}

void TImageList::GetBitmap(int Index, TBitmap& Image)
{
    CheckIndex(Index);
    Image.SetPixelFormat(pf24bit);
    Image.SetSize(width_, height_);
    TCanvas& canvas = Image.Canvas();
    canvas.Brush.Color = BkColor == clNone ? clBlack : BkColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Bounds(0, 0, width_, height_));
    DrawMasked(canvas, 0, 0, images_[static_cast<size_t>(Index)], clNone);
}
