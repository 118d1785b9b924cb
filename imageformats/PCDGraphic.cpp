#include "imageformats/PCDGraphic.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imageformats/GraphicStrings.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TPCDGraphic)

namespace {

const char* const kFormatName = "PCD";
constexpr int kSectorSize = 2048;
constexpr int kPropertyBytes = 6144;
constexpr int kImagePackSector = 96;
constexpr int kOverviewPackSector = 5;
constexpr int kOrientationOffset = 3586;
constexpr int kBaseWidth = 768, kBaseHeight = 512;
constexpr int kMaxResolutionStep = 5;

bool IsOverviewPack(const std::uint8_t* bytes) { return std::memcmp(bytes, "PCD_OPA", 7) == 0; }
bool IsImagePack(const std::uint8_t* bytes) { return std::memcmp(bytes + kSectorSize, "PCD", 3) == 0; }

bool Turned(std::uint8_t orientation) { return orientation == 1 || orientation == 3; }

// Row r of the W-sample block at `from` spread to 2W samples at `to`.
void SpreadRow(const std::uint8_t* from, std::uint8_t* to, int width)
{
    for (int x = width - 1; x >= 0; --x) {
        const int here = from[x];
        to[2 * x] = static_cast<std::uint8_t>(here);
        to[2 * x + 1] = static_cast<std::uint8_t>(x + 1 < width ? (here + from[x + 1] + 1) / 2 : here);
    }
}

} // namespace

void PCDGraphic::DoublePixels(std::uint8_t* plane, int width, int height, int rowDistance)
{
    if (width <= 0 || height <= 0)
        return;
    // From the last row to the first, so that no row is overwritten before it
    // was spread; the row is copied first since row 0 spreads onto itself.
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    for (int r = height - 1; r >= 0; --r) {
        std::copy_n(plane + std::size_t(r) * rowDistance, width, row.begin());
        SpreadRow(row.data(), plane + std::size_t(2 * r) * rowDistance, width);
    }
    const int doubled = 2 * width;
    for (int r = 0; r + 1 < height; ++r) {
        const std::uint8_t* a = plane + std::size_t(2 * r) * rowDistance;
        const std::uint8_t* b = a + 2 * std::size_t(rowDistance);
        std::uint8_t* out = plane + std::size_t(2 * r + 1) * rowDistance;
        for (int x = 0; x < doubled; x += 2) {
            out[x] = static_cast<std::uint8_t>((a[x] + b[x] + 1) / 2);
            out[x + 1] = static_cast<std::uint8_t>(x + 2 < doubled ? (a[x] + a[x + 2] + b[x] + b[x + 2] + 2) / 4
                                                                   : (a[x + 1] + b[x + 1] + 1) / 2);
        }
    }
    std::copy_n(plane + std::size_t(2 * height - 2) * rowDistance, doubled,
                plane + std::size_t(2 * height - 1) * rowDistance);
}

bool TPCDGraphic::CanLoad(TStream& stream)
{
    const std::int64_t position = stream.Position();
    if (stream.Size() - position < kPropertyBytes + 1)
        return false;
    std::uint8_t bytes[kSectorSize + 3];
    const bool complete = stream.Read(bytes, sizeof bytes) == static_cast<std::int64_t>(sizeof bytes);
    stream.SetPosition(position);
    return complete && (IsOverviewPack(bytes) || IsImagePack(bytes));
}

bool TPCDGraphic::ReadImageProperties(TStream& stream, int imageIndex)
{
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    std::vector<std::uint8_t> bytes(kPropertyBytes);
    if (stream.Read(bytes.data(), kPropertyBytes) != kPropertyBytes)
        return false;
    const bool overview = IsOverviewPack(bytes.data());
    if (!overview && !IsImagePack(bytes.data()))
        return false;
    FProperties.OverviewPack = overview;
    FProperties.Orientation = bytes[kOrientationOffset] & 3;
    const int step = overview ? 0 : std::clamp(imageIndex, 0, kMaxResolutionStep);
    FProperties.Width = 192u << step;
    FProperties.Height = 128u << step;
    if (Turned(FProperties.Orientation))
        std::swap(FProperties.Width, FProperties.Height);
    FProperties.ColorScheme = csPhotoYCC;
    FProperties.BitsPerSample = 8;
    FProperties.SamplesPerPixel = 3;
    FProperties.BitsPerPixel = 24;
    FProperties.Compression = step < 3 ? ctNone : ctPCDHuffmann;
    FProperties.PCDVersion = rtl::GetBE16(bytes.data() + 10);
    return true;
}

void TPCDGraphic::LoadFromStream(TStream& stream)
{
    BeginLoad(stream);
    // A pack without its signature would otherwise pass for an empty picture.
    if (!ReadImageProperties(stream, 2))
        RaiseError(rrHeader, gesInvalidImage, kFormatName);
    stream.SetPosition(FStartPosition);
    FProgressArea = Rect(0, 0, static_cast<int>(FProperties.Width), 1);
    ProgressStart(gesPreparing);

    const std::int64_t firstSector = FProperties.OverviewPack ? kOverviewPackSector : kImagePackSector;
    const std::int64_t planeSize = std::int64_t{kBaseWidth} * kBaseHeight;
    // The base image is luma plus two quarter-size chroma planes.
    if (stream.Size() - FStartPosition < firstSector * kSectorSize + planeSize * 3 / 2)
        RaiseError(rrTruncated, gesStreamReadError, kFormatName);
    stream.SetPosition(FStartPosition + firstSector * kSectorSize);

    TColorManager& converter = *FConverter;
    converter.SourceOptions = {};
    converter.TargetOptions = {};
    converter.SetSourceColorScheme(csPhotoYCC);
    converter.SetSourceBitsPerSample(8);
    converter.SetSourceSamplesPerPixel(3);
    converter.SetTargetColorScheme(csBGR);
    converter.SetTargetBitsPerSample(8);
    converter.SetTargetSamplesPerPixel(3);
    converter.SetYCbCrParameters({0.2125f, 0.7154f, 0.0721f}, 2, 2);
    if (Turned(FProperties.Orientation))
        SetupBitmap(kBaseHeight, kBaseWidth, pf24bit, kFormatName);
    else
        SetupBitmap(kBaseWidth, kBaseHeight, pf24bit, kFormatName);
    ProgressEnd();

    std::vector<std::uint8_t> planes(static_cast<std::size_t>(planeSize * 3));
    std::uint8_t* luma = planes.data();
    std::uint8_t* chroma1 = luma + planeSize;
    std::uint8_t* chroma2 = chroma1 + planeSize;
    ReadPlanes(stream, luma, chroma1, chroma2);

    ProgressStart(gesUpsampling);
    PCDGraphic::DoublePixels(chroma1, kBaseWidth / 2, kBaseHeight / 2, kBaseWidth);
    ProgressRow(80, 100);
    PCDGraphic::DoublePixels(chroma2, kBaseWidth / 2, kBaseHeight / 2, kBaseWidth);
    ProgressRow(100, 100);
    ProgressEnd();

    TransferPlanes(luma, chroma1, chroma2);
}

// Row pairs: two luma rows, then a half row of each chroma component. The
// chroma rows are packed at the top of their planes for the doubling.
void TPCDGraphic::ReadPlanes(TStream& stream, std::uint8_t* luma, std::uint8_t* chroma1, std::uint8_t* chroma2)
{
    ProgressStart(gesLoadingData);
    constexpr int pairs = kBaseHeight / 2;
    for (int pair = 0; pair < pairs; ++pair) {
        ProgressRow(static_cast<std::uint32_t>(pair), pairs);
        ReadOrFail(stream, luma + std::size_t(2 * pair) * kBaseWidth, 2 * kBaseWidth, kFormatName);
        ReadOrFail(stream, chroma1 + std::size_t(pair) * kBaseWidth, kBaseWidth / 2, kFormatName);
        ReadOrFail(stream, chroma2 + std::size_t(pair) * kBaseWidth, kBaseWidth / 2, kFormatName);
    }
    ProgressEnd();
}

void TPCDGraphic::TransferPlanes(const std::uint8_t* luma, const std::uint8_t* chroma1, const std::uint8_t* chroma2)
{
    ProgressStart(gesTransfering);
    const std::uint8_t orientation = FProperties.Orientation;
    std::vector<std::uint8_t> row(std::size_t{kBaseWidth} * 3);
    for (int y = 0; y < kBaseHeight; ++y) {
        const std::size_t offset = std::size_t(y) * kBaseWidth;
        const void* sources[3] = {luma + offset, chroma1 + offset, chroma2 + offset};
        if (!Turned(orientation)) {
            FConverter->ConvertRow(sources, 3, ScanLine(y), kBaseWidth);
        } else {
            FConverter->ConvertRow(sources, 3, row.data(), kBaseWidth);
            // A quarter turn: source row y becomes a column of the 512 x 768 bitmap.
            for (int i = 0; i < kBaseWidth; ++i) {
                const int targetRow = orientation == 1 ? kBaseWidth - 1 - i : i;
                const int targetColumn = orientation == 1 ? y : kBaseHeight - 1 - y;
                std::copy_n(&row[std::size_t(i) * 3], 3, ScanLine(targetRow) + std::size_t(targetColumn) * 3);
            }
        }
        ProgressRow(static_cast<std::uint32_t>(y), kBaseHeight);
    }
    ProgressEnd();
}
