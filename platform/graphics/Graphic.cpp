#include "platform/graphics/Graphic.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Streams.h"

IMPLEMENT_CLASS(TGraphic)

void TGraphic::SetTransparent(bool value)
{
    if (value == transparent_)
        return;
    transparent_ = value;
    Changed(this);
}

void TGraphic::SetModified(bool value)
{
    if (value)
        Changed(this);
    else
        modified_ = false;
}

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName)
{
    TMemoryStream stream;
    SaveToStream(stream);
    const auto* bytes = reinterpret_cast<const char*>(stream.Memory());
    rtl::WriteFileAtomically(fileName, std::string_view(bytes, static_cast<size_t>(stream.Size())));
}

void TGraphic::Changed(TObject*)
{
    modified_ = true;
    if (OnChange)
        OnChange(this);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow, const TRect& r,
                        const std::string& msg)
{
    if (OnProgress)
        OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

void TGraphic::AssignTo(TPersistent* dest) const
{
    if (!dest || !dest->InheritsFrom(TBitmap::StaticClass())) {
        TPersistent::AssignTo(dest);
        return;
    }
    auto& bitmap = static_cast<TBitmap&>(*dest);
    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(Width(), Height());
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect({0, 0, Width(), Height()});
    // Drawing does not change the picture; the class interface just is not const.
    const_cast<TGraphic*>(this)->Draw(canvas, {0, 0, Width(), Height()});
}
