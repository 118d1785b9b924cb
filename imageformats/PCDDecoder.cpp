#include "imageformats/PCDDecoder.h"

#include "imageformats/GraphicColor.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/Refusal.h"
#include "platform/rtl/Streams.h"

namespace {

constexpr int kSectorSize = 2048;
constexpr int kMaxCodeLength = 16;
// Row lengths up to this use one table for all planes, longer ones three.
constexpr int kSingleTableRowLength = 1536;

enum PcdPlane { ppLuma = 0, ppAbort = 1, ppChroma1 = 2, ppChroma2 = 3 };

} // namespace

std::uint8_t TPCDDecoder::NextByte()
{
    if (sectorUsed_ == sectorFill_) {
        sectorFill_ = static_cast<int>(stream_.Read(sector_, kSectorSize));
        sectorUsed_ = 0;
        if (sectorFill_ <= 0) {
            sectorFill_ = 0;
            throw EImageRefused(rrTruncated, GraphicStrings::Format(GraphicStrings::gesStreamReadError, "PCD"));
        }
    }
    return sector_[sectorUsed_++];
}

// Moves the register on by `bits` (at most 24) and refills it below the
// valid bits, so that at least 25 bits are always at hand.
void TPCDDecoder::Consume(int bits)
{
    register_ = bits >= 32 ? 0 : register_ << bits;
    validBits_ -= bits;
    while (validBits_ <= 24) {
        register_ |= std::uint32_t{NextByte()} << (24 - validBits_);
        validBits_ += 8;
    }
}

// Entry count, then per entry: code length - 1, the 16-bit code, the signed
// correction. Each field is taken from the register's low bits right after
// the bytes holding it came in.
bool TPCDDecoder::ReadTable(Table& table)
{
    Consume(8);
    const int count = static_cast<int>(register_ & 0xFF) + 1;
    table.resize(static_cast<std::size_t>(count));
    for (Code& code : table) {
        Consume(8);
        code.Length = static_cast<int>(register_ & 0xFF) + 1;
        if (code.Length > kMaxCodeLength)
            return false;
        Consume(16);
        code.Bits = (register_ & 0xFFFF) << 16;
        Consume(8);
        code.Correction = static_cast<std::int8_t>(register_ & 0xFF);
        code.Mask = ~std::uint32_t{0} << (32 - code.Length);
    }
    return true;
}

// Byte by byte to twelve one bits, then bit by bit to the 24-bit sync
// pattern (23 ones and a zero).
void TPCDDecoder::Synchronise()
{
    while (((register_ >> 12) & 0xFFF) != 0xFFF)
        Consume(8);
    while (!AtSync())
        Consume(1);
}

int TPCDDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    (void)Dest;
    if (PackedSize <= 0 || UnpackedSize <= 0)
        return 0;
    auto* const* planes = reinterpret_cast<std::uint8_t* const*>(Source);
    const std::int64_t rowLength = PackedSize, rows = UnpackedSize;
    const std::int64_t planeSizes[3] = {rowLength * rows, rowLength * ((rows + 1) / 2), rowLength * ((rows + 1) / 2)};

    register_ = 0;
    validBits_ = 32;
    sectorUsed_ = sectorFill_ = 0;
    Table tables[3];
    const int tableCount = rowLength <= kSingleTableRowLength ? 1 : 3;
    for (int t = 0; t < tableCount; ++t)
        if (!ReadTable(tables[t]))
            return 0;

    Consume(16); // the register still holds the last table bytes
    Consume(16);
    Synchronise();

    int corrections = 0;
    std::uint8_t* plane = nullptr;
    std::int64_t position = 0, planeSize = 0;
    const Table* table = nullptr;
    for (;;) {
        if (AtSync()) {
            Consume(16);
            const std::int64_t row = (register_ >> 9) & 0x1FFF;
            if (row >= rows)
                return corrections;
            Consume(8);
            const int kind = static_cast<int>(register_ >> 30);
            Consume(16);
            if (kind == ppAbort)
                return corrections;
            const int index = kind == ppLuma ? 0 : kind == ppChroma1 ? 1 : 2;
            plane = planes[index];
            planeSize = planeSizes[index];
            position = (kind == ppLuma ? row : row / 2) * rowLength;
            table = index < tableCount && !tables[index].empty() ? &tables[index] : nullptr;
            continue;
        }
        const Code* match = nullptr;
        if (table)
            for (const Code& code : *table)
                if ((register_ & code.Mask) == code.Bits) {
                    match = &code;
                    break;
                }
        // Without a table, or with bits no code matches, the data is skipped up
        // to the next row.
        if (!match) {
            Synchronise();
            continue;
        }
        if (plane && position < planeSize) {
            plane[position] = GraphicColor::ClampByte(plane[position] + match->Correction);
            ++corrections;
        }
        ++position;
        Consume(match->Length);
    }
}
