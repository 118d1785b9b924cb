#pragma once

// The bitmap every shown picture lives in: a TBitmap that, when drawn
// stretched and holding 24-bit pixels, scales with bilinear interpolation of
// its own instead of the platform's nearest-neighbour stretch.

#include "platform/graphics/Bitmap.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Told the time a draw took, as text.
using TSNE = std::function<void(TObject* Sender, const std::string& S)>;

class TSmoothBitmap;
// Receives destination row `row` (a one-row 32-bit bitmap) in row mode.
using TSmoothRowCallback = void (*)(TSmoothBitmap* bitmap, int row, TBitmap* rowBitmap);

class TSmoothBitmap : public TBitmap {
    DECLARE_CLASS(TSmoothBitmap, TBitmap)

public:
    TSmoothBitmap() = default;
    TSmoothBitmap(int width, int height, TPixelFormat format = pf24bit) : TBitmap(width, height, format) { }

    bool Smooth = true;
    TSNE OnDrawTime;
    TSmoothRowCallback RowCallback = nullptr;
    // Build the whole scaled picture first and copy it in one block.
    bool DrawToBuffer = true;
    // Hand each finished row to RowCallback instead of drawing it.
    bool RowMode = false;

    // Copies Smooth too when source is a TSmoothBitmap.
    void Assign(const TPersistent* source) override;
    void Draw(TCanvas& canvas, const TRect& rect) override;

private:
    struct TScaleState;
    struct TRowCache;

    void DrawInherited(TCanvas& canvas, const TRect& rect);
    void PrepareSmoothScale(TScaleState& state) const;
    // Computes all destination rows; false when the scaled picture could not
    // be made (the caller then stretches the platform's way).
    bool SmoothScaleRows(TScaleState& state, TCanvas& canvas, const TRect& rect);
    void ScaleBands(TScaleState& state);
    void ScaleRows(TScaleState& state, int first, int end, TRowCache& cache);
    void SmoothScaleRow(TScaleState& state, TRowCache& cache, int row);
    void InterpolateSourceRow(const TScaleState& state, TRowCache& cache, int sourceRow, std::uint32_t* out) const;
    void DeliverRow(TScaleState& state, int row);
    void ReportDrawTime(double start);
};

namespace SmoothBitmap {

// Makes TSmoothBitmap the picture class of ".bmp" files ("Bitmaps").
void RegSmoothBitmap();

} // namespace SmoothBitmap
