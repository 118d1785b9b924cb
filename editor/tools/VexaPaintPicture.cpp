#include "editor/tools/VexaPaintPicture.h"

#include <cmath>
#include <new>

#include "core/BitmapTools.h"
#include "editor/tools/BitmapBC.h"
#include "editor/tools/BitmapRotate.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Dialogs.h"

using namespace BitmapTools;

TVexaPaintPicture::TVexaPaintPicture() : bitmap_(std::make_unique<TBitmap>()), undo_(std::make_unique<TBitmap>()) { }

TVexaPaintPicture::~TVexaPaintPicture() = default;

bool TVexaPaintPicture::CanUndo() const { return !undo_->Empty(); }

void TVexaPaintPicture::Reset(const TBitmap& picture)
{
    bitmap_->Assign(&picture);
    undoEnabled_ = true;
    SetUndo(std::make_unique<TBitmap>());
}

void TVexaPaintPicture::SetUndo(std::unique_ptr<TBitmap> undo)
{
    undo_ = std::move(undo);
    if (OnUndoChanged)
        OnUndoChanged(CanUndo());
}

bool TVexaPaintPicture::SaveUndo()
{
    if (!undoEnabled_)
        return true;
    try {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(bitmap_.get());
        SetUndo(std::move(copy));
        return true;
    } catch (...) {
        undoEnabled_ = false;
    }
    const bool goOn = ui::MessageDlg(VexaPaintTexts::NoMemoryForUndo, mtConfirmation, {mbYes, mbNo}, 0) == mrYes;
    DropUndo();
    return goOn;
}

void TVexaPaintPicture::Undo()
{
    // Without a copy there is nothing to go back to: an empty copy must not
    // replace the picture.
    if (bitmap_->Empty() || undo_->Empty())
        return;
    bitmap_->Assign(undo_.get());
    if (OnChanged)
        OnChanged();
    SetUndo(std::make_unique<TBitmap>());
}

void TVexaPaintPicture::DropUndo() { SetUndo(std::make_unique<TBitmap>()); }

void TVexaPaintPicture::Run(const std::function<void(TBitmap&)>& change)
{
    if (!SaveUndo())
        return;
    if (OnBeforeChange)
        OnBeforeChange();
    change(*bitmap_);
    if (OnChanged)
        OnChanged();
}

void TVexaPaintPicture::RunReplacing(const std::function<std::unique_ptr<TBitmap>(TBitmap&)>& make)
{
    Run([&](TBitmap& bitmap) {
        const char* failure = nullptr;
        try {
            std::unique_ptr<TBitmap> result = make(bitmap);
            if (result)
                bitmap.Assign(result.get());
            else
                failure = VexaPaintTexts::OperationFailed;
        } catch (const std::bad_alloc&) {
            failure = VexaPaintTexts::NoMemoryForOperation;
        } catch (const EOutOfMemory&) {
            failure = VexaPaintTexts::NoMemoryForOperation;
        } catch (...) {
            failure = VexaPaintTexts::OperationFailed;
        }
        if (failure)
            ui::MessageDlg(failure, mtError, {mbOK}, 0);
    });
}

void TVexaPaintPicture::ApplyRGB(int red, int green, int blue)
{
    Run([=](TBitmap& bitmap) { RGBBitmap24Bit(bitmap, red, green, blue); });
}

void TVexaPaintPicture::ApplyBC(int brightness, int contrast)
{
    Run([=](TBitmap& bitmap) { BitmapBC::ApplyBrightnessContrast(bitmap, brightness, contrast); });
}

void TVexaPaintPicture::ApplyGamma(double red, double green, double blue, bool invert)
{
    Run([=](TBitmap& bitmap) {
        if (invert)
            GammaBitmap24BitInvert(bitmap, red, green, blue);
        else
            GammaBitmap24Bit(bitmap, red, green, blue);
    });
}

void TVexaPaintPicture::Crop(const TRect& rect)
{
    Run([&](TBitmap& bitmap) { CropBitmap(bitmap, rect); });
}

void TVexaPaintPicture::MirrorHorizontal()
{
    Run([](TBitmap& bitmap) { MirrorBitmap(bitmap, true, false); });
}

void TVexaPaintPicture::MirrorVertical()
{
    Run([](TBitmap& bitmap) { MirrorBitmap(bitmap, false, true); });
}

void TVexaPaintPicture::Rotate180()
{
    Run([](TBitmap& bitmap) { MirrorBitmap(bitmap, true, true); });
}

void TVexaPaintPicture::Rotate90()
{
    RunReplacing([](TBitmap& bitmap) { return Rotate270DegreesCounterClockwise(bitmap); });
}

void TVexaPaintPicture::Rotate270()
{
    RunReplacing([](TBitmap& bitmap) { return Rotate90DegreesCounterClockwise(bitmap); });
}

void TVexaPaintPicture::RotateFree(double degrees, TColor fillColor)
{
    // A whole turn would still pass through the interpolation and its
    // rounding would darken some pixels by one.
    if (std::fmod(degrees, 360.0) == 0.0)
        return;
    RunReplacing([&](TBitmap& bitmap) -> std::unique_ptr<TBitmap> {
        auto rotated = std::make_unique<TBitmap>();
        const TColor rgb = ColorToRGB(fillColor);
        BitmapRotate::SetRotateFillColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
        if (!BitmapRotate::RotateBitmapBilinear(bitmap, *rotated, bitmap.Width() / 2, bitmap.Height() / 2,
                                                (360 - degrees) * 0.017453292519943295))
            return nullptr;
        return rotated;
    });
}

void TVexaPaintPicture::Invert(const TRect& rect)
{
    Run([&](TBitmap& bitmap) {
        const bool whole = rect.IsEmpty();
        InvertBitmap(bitmap, whole ? TRect{0, 0, bitmap.Width(), bitmap.Height()} : rect);
    });
}

void TVexaPaintPicture::GrayScale()
{
    Run([](TBitmap& bitmap) { GrayScaleBitmap24Bit(bitmap); });
}

void TVexaPaintPicture::Filter(TPaintFilter filter)
{
    using Make = std::unique_ptr<TBitmap> (*)(const TBitmap&);
    static constexpr Make filters[] = {MedianFilterBitmap24Bit,     MedianStrongFilterBitmap24Bit,
                                       GaussFilterBitmap24Bit,      BlurFilterBitmap24Bit,
                                       BlurMediumFilterBitmap24Bit, BlurStrongFilterBitmap24Bit};
    const Make make = filters[filter];
    RunReplacing([make](TBitmap& bitmap) { return make(bitmap); });
}
