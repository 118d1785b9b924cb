#include "imageformats/TIFFJPEGDecoder.h"

#include <algorithm>

#include "imageformats/FormatGraphic.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/Jpg.h"
#include "platform/graphics/Jpeg.h"

using namespace GraphicStrings;
using GraphicCompression::RaiseCompressionError;

TTIFFJPEGDecoder::TTIFFJPEGDecoder(TImageProperties* Properties) : properties_(Properties) { }

TTIFFJPEGDecoder::~TTIFFJPEGDecoder() = default;

void TTIFFJPEGDecoder::DecodeInit()
{
    DecodeEnd();
    try {
        library_ = std::make_unique<gfx::TJpegStreamDecoder>();
        library_->OnDataEnd = [this] {
            if (OnWarning)
                OnWarning(gesWarning, gesJPEGEOI);
        };
        const TByteArray& tables = properties_->JPEGTables;
        if (tables.empty())
            return;
        if (!library_->ReadTables(tables.data(), tables.size()))
            RaiseCompressionError(gesJPEGBogusTableField, rrJPEGTables);
    } catch (const EJPEG& e) {
        Jpg::RaiseJPEGError(e.LibraryCode);
    }
}

int TTIFFJPEGDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    if (!library_)
        DecodeInit();
    try {
        return DecodeStrip(Source, Dest, PackedSize, UnpackedSize);
    } catch (const EJPEG& e) {
        Jpg::RaiseJPEGError(e.LibraryCode);
    }
}

int TTIFFJPEGDecoder::DecodeStrip(const std::uint8_t* Source, std::uint8_t* Dest, int PackedSize, int UnpackedSize)
{
    const TImageProperties& p = *properties_;
    const gfx::TJpegStreamDecoder::THeader info = library_->ReadHeader(
        Source, static_cast<std::size_t>(std::max(PackedSize, 0)));

    const std::uint32_t rowsPerStrip = p.RowsPerStrip.empty() ? p.Height : p.RowsPerStrip[0];
    std::uint32_t width = p.Width;
    std::uint32_t height = std::min(p.Height - std::min(p.CurrentRow, p.Height), rowsPerStrip);
    const std::uint32_t hSub = p.SubSampling.size() >= 2 ? std::max<std::uint8_t>(p.SubSampling[0], 1) : 1;
    const std::uint32_t vSub = p.SubSampling.size() >= 2 ? std::max<std::uint8_t>(p.SubSampling[1], 1) : 1;
    const bool interleaved = p.PlanarConfig != 2;
    if (!interleaved && p.CurrentStrip == p.StripCount) {
        width = (width + hSub - 1) / hSub;
        height = (height + vSub - 1) / vSub;
    }
    if (info.Width != width || info.Height != height)
        RaiseCompressionError(gesJPEGStripSize, rrJPEGStripSize);
    if (info.Components != (interleaved ? p.SamplesPerPixel : 1))
        RaiseCompressionError(gesJPEGComponentCount, rrJPEGComponents);
    if (info.Precision != p.BitsPerSample)
        RaiseCompressionError(gesJPEGDataPrecision, rrJPEGPrecision);
    for (int c = 0; c < info.Components; ++c) {
        const bool first = c == 0 && interleaved;
        const int h = first ? static_cast<int>(hSub) : 1, v = first ? static_cast<int>(vSub) : 1;
        if (info.Sampling[static_cast<std::size_t>(c)] != std::pair{h, v})
            RaiseCompressionError(gesJPEGSamplingFactors, rrJPEGSampling);
    }

    const int stride = static_cast<int>(p.BytesPerLine);
    if (stride <= 0 || UnpackedSize % stride != 0)
        RaiseCompressionError(gesJPEGFractionalLine, rrJPEGPartialRows);
    // A row of the JPEG data must fit the stride it is written to.
    if (static_cast<std::int64_t>(info.Width) * info.Components > stride)
        RaiseCompressionError(gesJPEGStripSize, rrJPEGStripSize);
    const auto color = p.ColorScheme == csYCbCr ? gfx::TJpegStreamDecoder::scYCbCr : gfx::TJpegStreamDecoder::scRGB;
    return library_->ReadRows(color, Dest, stride, UnpackedSize / stride) * stride;
}

void TTIFFJPEGDecoder::DecodeEnd() { library_.reset(); }
