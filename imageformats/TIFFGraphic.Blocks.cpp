// Reading a TIFF picture's strips and tiles: stored bytes, decoders and the
// horizontal predictor.

#include "imageformats/TIFFGraphic.Load.h"

#include <algorithm>
#include <zlib.h>

#include "imageformats/CCITTDecoders.h"
#include "imageformats/LZ77Decoder.h"
#include "imageformats/LZWDecoders.h"
#include "imageformats/TIFFJPEGDecoder.h"
#include "imageformats/ThunderDecoder.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;
using namespace TIFF;

void TTIFFGraphic::Load::UndoPredictor(std::uint8_t* row, std::uint32_t pixels) const
{
    const std::uint32_t samples = properties_.SamplesPerPixel;
    const std::uint32_t count = pixels * samples;
    if (properties_.BitsPerSample == 8 && samples == 3) {
        // RGB rows, the usual case: the running sums stay in registers, and so
        // does the row's end.
        std::uint8_t red = row[0], green = row[1], blue = row[2];
        for (std::uint8_t *pixel = row + 3, *const end = row + count; pixel < end; pixel += 3) {
            pixel[0] = red = static_cast<std::uint8_t>(red + pixel[0]);
            pixel[1] = green = static_cast<std::uint8_t>(green + pixel[1]);
            pixel[2] = blue = static_cast<std::uint8_t>(blue + pixel[2]);
        }
        return;
    }
    if (properties_.BitsPerSample == 8) {
        for (std::uint32_t i = samples; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - samples]);
        return;
    }
    // 16-bit samples add as words in the file's byte order.
    for (std::uint32_t i = samples; i < count; ++i) {
        std::uint8_t* s = row + 2 * i;
        const std::uint8_t* before = row + 2 * (i - samples);
        const std::uint16_t sum = static_cast<std::uint16_t>(Read16(s) + Read16(before));
        if (bigEndian_)
            rtl::PutBE16(s, sum);
        else
            rtl::PutLE16(s, sum);
    }
}

// The decoder of the file's compression for blocks (strips or tiles) of
// `width` pixels a row; none for uncompressed data.
std::unique_ptr<TDecoder> TTIFFGraphic::Load::CreateDecoder(TStream& stream, std::uint32_t width)
{
    TImageProperties& p = properties_;
    std::unique_ptr<TDecoder> decoder;
    switch (p.Compression) {
    case ctNone: break;
    case ctPackedBits: decoder = std::make_unique<TPackbitsRLEDecoder>(); break;
    case ctLZW: decoder = std::make_unique<TTIFFLZWDecoder>(); break;
    case ctLZ77:
        decoder = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, true);
        wholeInflater_ = std::make_unique<TWholeInflater>();
        break;
    case ctThunderscan: decoder = std::make_unique<TThunderDecoder>(width); break;
    case ctJPEG: {
        // The JPEG decoder checks each strip against the strip geometry.
        if (p.Options.Contains(ioTiled))
            RaiseUnsupported(rrTiledJPEG);
        const std::vector<std::uint32_t> tables = GetValueList(stream, tgJPEGTables);
        p.JPEGTables.assign(tables.begin(), tables.end());
        decoder = std::make_unique<TTIFFJPEGDecoder>(&p);
        break;
    }
    case ctFax3:
    case ctFaxRLE:
    case ctFaxRLEW: {
        const auto options = static_cast<std::int32_t>(GetValue(tgT4Options, 0));
        // Two-dimensional group 3 rows would decode to garbage passed off as a picture.
        if (p.Compression == ctFax3 && (options & 1) != 0)
            RaiseUnsupported(rrTwoDimensionalFax);
        const bool reversed = p.Options.Contains(ioReversed);
        if (p.Compression == ctFax3)
            decoder = std::make_unique<TCCITTFax3Decoder>(options, reversed, false, width);
        else
            decoder = std::make_unique<TCCITTMHDecoder>(options, reversed, p.Compression == ctFaxRLEW, width);
        break;
    }
    default: RaiseUnsupported(rrCompression);
    }
    if (decoder)
        decoder->DecodeInit();
    return decoder;
}

// The stored bytes of the block at `offset`; a byte count beyond the file is
// cut to what the file holds. A stream in memory lends its own bytes, which
// spares a copy of every block.
std::span<const std::uint8_t> TTIFFGraphic::Load::BlockBytes(TStream& stream, std::uint32_t offset,
                                                             std::uint32_t byteCount)
{
    const std::int64_t at = start_ + offset;
    const std::int64_t available = std::max<std::int64_t>(stream.Size() - at, 0);
    const auto count = static_cast<std::size_t>(std::min<std::int64_t>(byteCount, available));
    if (count == 0)
        return {};
    if (const auto* memory = dynamic_cast<const TCustomMemoryStream*>(&stream); memory && memory->Memory())
        return {memory->Memory() + at, count};
    packed_.resize(count);
    stream.SetPosition(at);
    ReadOrFail(stream, packed_.data(), static_cast<std::int64_t>(count), kTIFFName);
    return {packed_.data(), count};
}

// Reads (and decodes) the block at `offset` into `block`; returns the bytes
// filled.
std::size_t TTIFFGraphic::Load::ReadBlock(TStream& stream, TDecoder* decoder, std::uint32_t offset,
                                          std::uint32_t byteCount, std::span<std::uint8_t> block)
{
    const std::span<const std::uint8_t> stored = BlockBytes(stream, offset, byteCount);
    if (!decoder) {
        const std::size_t filled = std::min(stored.size(), block.size());
        std::copy_n(stored.data(), filled, block.data());
        return filled;
    }
    // A sound stream gives the same bytes either way; a damaged or short one
    // gets the streaming decoder's partial output.
    if (wholeInflater_)
        if (const auto inflated = wholeInflater_->Inflate(stored, block))
            return inflated->Written;
    const std::uint8_t* source = stored.data();
    std::uint8_t* dest = block.data();
    return static_cast<std::size_t>(
        std::max(decoder->Decode(source, dest, static_cast<int>(stored.size()), static_cast<int>(block.size())), 0));
}

// Packed 8-bit red-first rows are decoded straight into the picture and
// turned blue-first where they lie, while the strip is still in the cache:
// that spares the strip buffer and a copy of every row. It needs rows of the
// same bytes in file and picture, one after another in the picture.
bool TTIFFGraphic::Load::DecodesIntoPicture(const TDecoder* decoder, std::uint32_t bytesPerLine)
{
    const TImageProperties& p = properties_;
    const bool exchangeOnly = p.BitsPerSample == 8 &&
        ((p.ColorScheme == csRGB && p.SamplesPerPixel == 3) || (p.ColorScheme == csRGBA && p.SamplesPerPixel == 4));
    if (!decoder || !exchangeOnly || p.Compression == ctJPEG)
        return false;
    return p.Height == 1 || static_cast<std::size_t>(picture_.ScanLine(1) - picture_.ScanLine(0)) == bytesPerLine;
}

void TTIFFGraphic::Load::ReadStrips(TStream& stream, std::uint32_t bytesPerLine)
{
    TImageProperties& p = properties_;
    const std::vector<std::uint32_t> offsets = GetValueList(stream, tgStripOffsets);
    const std::vector<std::uint32_t> byteCounts = GetValueList(stream, tgStripByteCounts);
    if (offsets.empty() || byteCounts.size() < offsets.size())
        RaiseError(rrStripTable, gesInvalidImage, kTIFFName);
    const std::unique_ptr<TDecoder> decoder = CreateDecoder(stream, p.Width);
    const bool intoPicture = DecodesIntoPicture(decoder.get(), bytesPerLine);
    const std::vector<TStripRows> strips = StripRows(offsets.size());
    // Strips decoded ahead on several cores only report their complete rows here.
    const std::vector<std::uint32_t> doneAhead = intoPicture
        ? DecodeStripsAhead(stream, offsets, byteCounts, strips, bytesPerLine)
        : std::vector<std::uint32_t>(strips.size(), 0);

    p.CurrentRow = 0;
    p.StripCount = static_cast<std::uint32_t>(offsets.size());
    std::vector<std::uint8_t> strip;
    for (p.CurrentStrip = 0; p.CurrentStrip < strips.size(); ++p.CurrentStrip) {
        const std::uint32_t rows = strips[p.CurrentStrip].Count;
        if (const std::uint32_t done = doneAhead[p.CurrentStrip]) {
            for (std::uint32_t r = 0; r < rows; ++r, ++p.CurrentRow)
                if (r < done - 1)
                    picture_.ProgressRow(p.CurrentRow, p.Height);
            continue;
        }
        const std::size_t stripBytes = std::size_t{rows} * bytesPerLine;
        // Uncompressed rows are converted where they are stored; packed ones are
        // decoded into the picture or the strip buffer first. Only complete rows
        // are converted, so the strip buffer needs no clearing.
        const std::uint8_t* rowData;
        std::uint8_t* decoded = nullptr;
        std::size_t filled;
        if (decoder) {
            if (intoPicture) {
                decoded = picture_.ScanLine(static_cast<int>(p.CurrentRow));
            } else {
                strip.resize(stripBytes);
                decoded = strip.data();
            }
            filled = ReadBlock(stream, decoder.get(), offsets[p.CurrentStrip], byteCounts[p.CurrentStrip],
                               {decoded, stripBytes});
            rowData = decoded;
        } else {
            const std::span<const std::uint8_t> stored = BlockBytes(stream, offsets[p.CurrentStrip],
                                                                    byteCounts[p.CurrentStrip]);
            filled = std::min(stored.size(), stripBytes);
            rowData = stored.data();
        }
        // Rows the strip's data does not reach stay black; in the picture, the
        // decoder may have left bytes of them behind.
        const std::uint32_t complete = static_cast<std::uint32_t>(filled / bytesPerLine);
        if (intoPicture && complete < rows)
            std::fill(decoded + std::size_t{complete} * bytesPerLine, decoded + stripBytes, std::uint8_t{0});
        for (std::uint32_t r = 0; r < rows; ++r, ++p.CurrentRow) {
            if (r >= complete)
                continue;
            const std::uint8_t* row = rowData + std::size_t{r} * bytesPerLine;
            // The predictor goes with packed data only, which lies in writable memory.
            if (p.Predictor == 2)
                UndoPredictor(decoded + std::size_t{r} * bytesPerLine, p.Width);
            converter_.ConvertRow({row}, picture_.ScanLine(static_cast<int>(p.CurrentRow)), p.Width);
            picture_.ProgressRow(p.CurrentRow, p.Height);
        }
    }
    if (decoder)
        decoder->DecodeEnd();
}

// Tiles are gathered a band (one row of tiles) at a time into full picture
// rows, which are then converted like the rows of a strip. Tile widths are
// multiples of 16 pixels, so every tile starts on a whole byte of its row.
void TTIFFGraphic::Load::ReadTiles(TStream& stream, std::uint32_t bytesPerLine)
{
    TImageProperties& p = properties_;
    const std::uint32_t tileWidth = p.TileWidth, tileLength = p.TileLength;
    const std::uint64_t tileRowBytes = (std::uint64_t{p.BitsPerPixel} * tileWidth + 7) / 8;
    const std::uint64_t tileBytes = tileRowBytes * tileLength;
    // The TIFF rule on tile sizes keeps the column offsets whole bytes.
    // A tile no data of the file could fill is damage, not a reason to allocate.
    if (tileWidth % 16 != 0 || tileLength % 16 != 0 || tileBytes > static_cast<std::uint64_t>(MaxPixelBytes) ||
        tileBytes / 4096 > static_cast<std::uint64_t>(stream.Size()))
        RaiseError(rrTileSize, gesInvalidImage, kTIFFName);
    const std::uint32_t across = static_cast<std::uint32_t>((std::uint64_t{p.Width} + tileWidth - 1) / tileWidth);
    const std::uint32_t down = static_cast<std::uint32_t>((std::uint64_t{p.Height} + tileLength - 1) / tileLength);
    const std::vector<std::uint32_t> offsets = GetValueList(stream, tgTileOffsets);
    const std::vector<std::uint32_t> byteCounts = GetValueList(stream, tgTileByteCounts);
    if (offsets.size() < std::uint64_t{across} * down || byteCounts.size() < offsets.size())
        RaiseError(rrTileTable, gesInvalidImage, kTIFFName);
    const std::unique_ptr<TDecoder> decoder = CreateDecoder(stream, tileWidth);

    std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileBytes));
    std::vector<std::uint8_t> band(std::size_t{bytesPerLine} * std::min(tileLength, p.Height));
    p.CurrentRow = 0;
    for (std::uint32_t ty = 0; ty < down; ++ty) {
        const std::uint32_t rows = std::min(tileLength, p.Height - ty * tileLength);
        std::fill(band.begin(), band.end(), 0);
        for (std::uint32_t tx = 0; tx < across; ++tx) {
            const std::size_t index = std::size_t{ty} * across + tx;
            std::fill(tile.begin(), tile.end(), 0);
            ReadBlock(stream, decoder.get(), offsets[index], byteCounts[index], tile);
            const std::uint64_t column = tileRowBytes * tx;
            const std::size_t copy = static_cast<std::size_t>(
                std::min<std::uint64_t>(tileRowBytes, bytesPerLine - column));
            for (std::uint32_t r = 0; r < rows; ++r) {
                std::uint8_t* from = tile.data() + r * tileRowBytes;
                if (p.Predictor == 2)
                    UndoPredictor(from, tileWidth);
                std::copy_n(from, copy, band.data() + std::size_t{r} * bytesPerLine + column);
            }
        }
        for (std::uint32_t r = 0; r < rows; ++r, ++p.CurrentRow) {
            converter_.ConvertRow({band.data() + std::size_t{r} * bytesPerLine},
                                  picture_.ScanLine(static_cast<int>(p.CurrentRow)), p.Width);
            picture_.ProgressRow(p.CurrentRow, p.Height);
        }
    }
    if (decoder)
        decoder->DecodeEnd();
}
