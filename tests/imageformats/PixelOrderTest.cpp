// Red-blue exchange of pixel rows: every length around the shuffle widths,
// into another row and in place, with rows sized exactly so that a read or
// write past the end is caught.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "imageformats/PixelOrder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Distinct bytes, so a byte taken from the wrong place shows.
Bytes Row(std::uint32_t pixels, int pixelBytes)
{
    Bytes row(std::size_t{pixels} * static_cast<std::size_t>(pixelBytes));
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return row;
}

Bytes Exchanged(const Bytes& row, int pixelBytes)
{
    Bytes expected = row;
    for (std::size_t i = 0; i + 2 < row.size(); i += static_cast<std::size_t>(pixelBytes)) {
        expected[i] = row[i + 2];
        expected[i + 2] = row[i];
    }
    return expected;
}

TEST(PixelOrder, ExchangesRedAndBlueOfEveryPixelIntoAnotherRowAndInPlace)
{
    using Exchange = void (*)(const std::uint8_t*, std::uint8_t*, std::uint32_t);
    const struct {
        int PixelBytes;
        Exchange Function;
    } kinds[] = {{3, PixelOrder::ExchangeRedBlue24}, {4, PixelOrder::ExchangeRedBlue32}};
    for (const auto& kind : kinds) {
        for (std::uint32_t pixels :
             {1u, 3u, 4u, 5u, 6u, 7u, 8u, 10u, 11u, 15u, 16u, 17u, 21u, 22u, 23u, 37u, 43u, 64u, 2400u}) {
            SCOPED_TRACE(testing::Message() << kind.PixelBytes << " bytes, " << pixels << " pixels");
            const Bytes source = Row(pixels, kind.PixelBytes);
            const Bytes expected = Exchanged(source, kind.PixelBytes);
            Bytes target(source.size());
            kind.Function(source.data(), target.data(), pixels);
            EXPECT_EQ(target, expected);
            Bytes inPlace = source;
            kind.Function(inPlace.data(), inPlace.data(), pixels);
            EXPECT_EQ(inPlace, expected);
        }
    }
}

} // namespace
