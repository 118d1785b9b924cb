// Deflate strips decoded on several cores: each strip is a stream of its
// own and goes into rows of its own, so the strips of a large picture are
// inflated side by side, straight into the picture, and turned
// blue-first there while they are still in the cache. A strip whose stream
// is damaged is left to the walk through the strips, which decodes it as
// before with the streaming decoder, so the output is the same either way.

#include "imageformats/TIFFGraphic.Load.h"

#include <algorithm>

#include "imageformats/ParallelJobs.h"
#include "imageformats/PixelOrder.h"
#include "platform/rtl/Streams.h"

using namespace TIFF;

namespace {

// Below this many bytes of picture the threads cost more than they save.
constexpr std::uint64_t kBytesWorthSharing = std::uint64_t{1} << 20;

} // namespace

std::vector<TTIFFGraphic::Load::TStripRows> TTIFFGraphic::Load::StripRows(std::size_t strips) const
{
    const TImageProperties& p = properties_;
    std::vector<TStripRows> result;
    for (std::uint32_t s = 0, row = 0; s < strips && row < p.Height; ++s) {
        const std::uint32_t listed = p.RowsPerStrip[std::min<std::size_t>(s, p.RowsPerStrip.size() - 1)];
        // A strip never holds more rows than are left, whatever RowsPerStrip says.
        const std::uint32_t rows = std::min(std::max(listed, 1u), p.Height - row);
        result.push_back({row, rows});
        row += rows;
    }
    return result;
}

// The stored bytes of the first `strips` strips; a stream that does not lend
// its memory is read into `gathered`. Nothing when the strips' bytes add up
// to more than the file holds (strips sharing their data), which would
// otherwise allocate without bound.
std::vector<std::span<const std::uint8_t>>
TTIFFGraphic::Load::GatherStripBytes(TStream& stream, const std::vector<std::uint32_t>& offsets,
                                     const std::vector<std::uint32_t>& byteCounts, std::size_t strips,
                                     std::vector<std::uint8_t>& gathered)
{
    std::vector<std::span<const std::uint8_t>> stored(strips);
    if (const auto* memory = dynamic_cast<const TCustomMemoryStream*>(&stream); memory && memory->Memory()) {
        for (std::size_t s = 0; s < strips; ++s)
            stored[s] = BlockBytes(stream, offsets[s], byteCounts[s]);
        return stored;
    }
    std::vector<std::size_t> counts(strips);
    std::uint64_t total = 0;
    for (std::size_t s = 0; s < strips; ++s) {
        const std::int64_t available = std::max<std::int64_t>(stream.Size() - (start_ + offsets[s]), 0);
        counts[s] = static_cast<std::size_t>(std::min<std::int64_t>(byteCounts[s], available));
        total += counts[s];
    }
    if (total > static_cast<std::uint64_t>(stream.Size()))
        return {};
    gathered.resize(static_cast<std::size_t>(total));
    std::size_t at = 0;
    for (std::size_t s = 0; s < strips; ++s) {
        const std::span<const std::uint8_t> bytes = BlockBytes(stream, offsets[s], byteCounts[s]);
        std::copy(bytes.begin(), bytes.end(), gathered.begin() + static_cast<std::ptrdiff_t>(at));
        stored[s] = {gathered.data() + at, bytes.size()};
        at += bytes.size();
    }
    return stored;
}

// Decodes the strips of a picture that DecodesIntoPicture takes, when it is
// large enough, on several cores, with the predictor undone and the rows
// turned blue-first. The result holds, for each strip done so, the number of
// its complete rows plus one, and 0 for a strip left to the walk. Rows a
// short strip does not reach are black, as the walk leaves them.
std::vector<std::uint32_t> TTIFFGraphic::Load::DecodeStripsAhead(TStream& stream,
                                                                 const std::vector<std::uint32_t>& offsets,
                                                                 const std::vector<std::uint32_t>& byteCounts,
                                                                 const std::vector<TStripRows>& strips,
                                                                 std::uint32_t bytesPerLine)
{
    const TImageProperties& p = properties_;
    std::vector<std::uint32_t> done(strips.size(), 0);
    const unsigned workers = ParallelJobs::Workers(strips.size());
    // Other schemes decode about as fast as the memory takes their output.
    if (p.Compression != ctLZ77 || workers < 2 || std::uint64_t{bytesPerLine} * p.Height < kBytesWorthSharing)
        return done;
    std::vector<std::uint8_t> gathered;
    const std::vector<std::span<const std::uint8_t>> stored = GatherStripBytes(stream, offsets, byteCounts,
                                                                               strips.size(), gathered);
    if (stored.empty())
        return done;
    // Rows are reached through the picture on this thread only.
    std::vector<std::uint8_t*> firstRows(strips.size());
    for (std::size_t s = 0; s < strips.size(); ++s)
        firstRows[s] = picture_.ScanLine(static_cast<int>(strips[s].First));
    std::vector<std::unique_ptr<TWholeInflater>> inflaters(workers);
    for (auto& inflater : inflaters)
        inflater = std::make_unique<TWholeInflater>();
    const bool fourSamples = p.SamplesPerPixel == 4;

    ParallelJobs::Run(strips.size(), workers, [&](std::size_t s, unsigned worker) {
        std::uint8_t* rows = firstRows[s];
        const std::size_t bytes = std::size_t{strips[s].Count} * bytesPerLine;
        const auto inflated = inflaters[worker]->Inflate(stored[s], {rows, bytes});
        if (!inflated)
            return;
        const std::uint32_t complete = static_cast<std::uint32_t>(inflated->Written / bytesPerLine);
        std::fill(rows + std::size_t{complete} * bytesPerLine, rows + bytes, std::uint8_t{0});
        for (std::uint32_t r = 0; r < complete; ++r) {
            std::uint8_t* row = rows + std::size_t{r} * bytesPerLine;
            if (p.Predictor == 2)
                UndoPredictor(row, p.Width);
            if (fourSamples)
                PixelOrder::ExchangeRedBlue32(row, row, p.Width);
            else
                PixelOrder::ExchangeRedBlue24(row, row, p.Width);
        }
        done[s] = complete + 1;
    });
    return done;
}
