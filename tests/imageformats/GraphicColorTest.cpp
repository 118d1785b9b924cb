// The colour manager: row conversions by scheme and depth, the Mask
// convention, palettes, gamma and the configuration errors.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imageformats/GraphicColor.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::uint16_t> Words(const Bytes& bytes)
{
    std::vector<std::uint16_t> words(bytes.size() / 2);
    std::memcpy(words.data(), bytes.data(), words.size() * 2);
    return words;
}

TColorManager Manager(TColorScheme source, TColorScheme target, int sourceBits, int targetBits, int sourceSamples,
                      int targetSamples)
{
    TColorManager m;
    m.SetSourceColorScheme(source);
    m.SetTargetColorScheme(target);
    m.SetSourceBitsPerSample(static_cast<std::uint8_t>(sourceBits));
    m.SetTargetBitsPerSample(static_cast<std::uint8_t>(targetBits));
    m.SetSourceSamplesPerPixel(static_cast<std::uint8_t>(sourceSamples));
    m.SetTargetSamplesPerPixel(static_cast<std::uint8_t>(targetSamples));
    return m;
}

TEST(ColorManager, FreshManagerTurnsRgbIntoBgr)
{
    TColorManager m;
    const Bytes source = {1, 2, 3, 4, 5, 6};
    Bytes target(6);
    m.ConvertRow({source.data()}, target.data(), 2);
    EXPECT_EQ(target, (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(ColorManager, MaskSelectsTargetPixelsAndConsumesSourcePixelsOnlyForThem)
{
    TColorManager m;
    const Bytes source = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    Bytes target(16 * 3, 0xEE);
    m.ConvertRow({source.data()}, target.data(), 16, 0x80);
    EXPECT_EQ(Bytes(target.begin(), target.begin() + 3), (Bytes{3, 2, 1}));
    EXPECT_EQ(Bytes(target.begin() + 24, target.begin() + 27), (Bytes{6, 5, 4}));
    EXPECT_EQ(target[3], 0xEE);
    EXPECT_EQ(target[27], 0xEE);
}

TEST(ColorManager, ColourRowsAcrossDepthsAlphaAndPlanes)
{
    { // 16-bit big-endian RGBA to 8-bit BGRA: scaled, swapped, alpha kept.
        TColorManager m = Manager(csRGBA, csBGRA, 16, 8, 4, 4);
        m.SourceOptions.Include(coNeedByteSwap);
        const Bytes source = {0xFF, 0xFF, 0x80, 0x00, 0x00, 0xFF, 0xFF, 0xFE};
        Bytes target(4);
        m.ConvertRow({source.data()}, target.data(), 1);
        EXPECT_EQ(target, (Bytes{0, 127, 255, 254}));
    }
    { // 8-bit RGBA to BGR drops the alpha; BGR to BGR copies.
        TColorManager m = Manager(csRGBA, csBGR, 8, 8, 4, 3);
        const Bytes source = {1, 2, 3, 99, 4, 5, 6, 99};
        Bytes target(6);
        m.ConvertRow({source.data()}, target.data(), 2);
        EXPECT_EQ(target, (Bytes{3, 2, 1, 6, 5, 4}));
        m.SetSourceColorScheme(csBGR);
        m.SetSourceSamplesPerPixel(3);
        m.ConvertRow({source.data()}, target.data(), 2);
        EXPECT_EQ(target, (Bytes{1, 2, 3, 99, 4, 5}));
    }
    { // 8 to 16 bits widens by 257; planes are read one per component.
        TColorManager m = Manager(csRGB, csRGB, 8, 16, 3, 3);
        const Bytes r = {1}, g = {2}, b = {255};
        Bytes target(6);
        m.ConvertRow({r.data(), g.data(), b.data()}, target.data(), 1);
        EXPECT_EQ(Words(target), (std::vector<std::uint16_t>{257, 514, 65535}));
    }
    { // Gamma applies to colour components only.
        TColorManager m = Manager(csRGBA, csBGRA, 8, 8, 4, 4);
        m.SetGamma(2.0f, 1.0f);
        m.TargetOptions.Include(coApplyGamma);
        const Bytes source = {64, 0, 255, 64};
        Bytes target(4);
        m.ConvertRow({source.data()}, target.data(), 1);
        EXPECT_EQ(target, (Bytes{255, 0, 128, 64})); // (64/255)^(1/2) * 255 = 127.75
    }
}

TEST(ColorManager, PackedIndicesRescaleAndKeepNeighbouringBits)
{
    TColorManager m = Manager(csIndexed, csIndexed, 1, 8, 1, 1);
    const Bytes bits = {0b10100000};
    Bytes target(4);
    m.ConvertRow({bits.data()}, target.data(), 4);
    EXPECT_EQ(target, (Bytes{255, 0, 255, 0}));

    TColorManager shrink = Manager(csG, csG, 8, 4, 1, 1);
    const Bytes grey = {255, 17, 34, 0};
    Bytes packed = {0x00, 0x00};
    shrink.ConvertRow({grey.data()}, packed.data(), 4);
    EXPECT_EQ(packed, (Bytes{0xF1, 0x20}));

    // Interlaced: pixel 1 of each group only; other nibbles stay.
    Bytes kept = {0xAB, 0xCD};
    shrink.ConvertRow({grey.data()}, kept.data(), 4, 0x40);
    EXPECT_EQ(kept, (Bytes{0xAF, 0xCD}));
}

TEST(ColorManager, SixteenBitIndexedAndGreyRows)
{
    TColorManager both = Manager(csIndexed, csIndexed, 16, 16, 1, 1);
    both.SourceOptions.Include(coNeedByteSwap);
    const Bytes big = {0x12, 0x34};
    Bytes target(2);
    both.ConvertRow({big.data()}, target.data(), 1);
    EXPECT_EQ(Words(target)[0], 0x1234);

    TColorManager grey = Manager(csG, csG, 16, 8, 1, 1);
    grey.SourceOptions.Include(coNeedByteSwap);
    const Bytes samples = {0xFF, 0xFF, 0xFF, 0xFE, 0x80, 0x00};
    Bytes out(3);
    grey.ConvertRow({samples.data()}, out.data(), 3);
    EXPECT_EQ(out, (Bytes{255, 254, 127}));

    TColorManager greyAlpha = Manager(csGA, csG, 8, 8, 2, 1);
    const Bytes ga = {10, 99, 20, 99};
    Bytes g(2);
    greyAlpha.ConvertRow({ga.data()}, g.data(), 2);
    EXPECT_EQ(g, (Bytes{10, 20}));
}

TEST(ColorManager, CmykLabAndYCbCrRows)
{
    TColorManager cmyk = Manager(csCMYK, csBGR, 8, 8, 4, 3);
    const Bytes ink = {255, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0};
    Bytes rgb(9);
    cmyk.ConvertRow({ink.data()}, rgb.data(), 3);
    EXPECT_EQ(rgb, (Bytes{255, 255, 0, 0, 0, 0, 255, 255, 255})); // cyan, black, white

    TColorManager lab = Manager(csCIELab, csRGB, 8, 8, 3, 3);
    const Bytes black = {0, 0, 0}, white = {100, 0, 0};
    Bytes out(3);
    lab.ConvertRow({black.data()}, out.data(), 1);
    EXPECT_EQ(out, (Bytes{0, 0, 0}));
    lab.ConvertRow({white.data()}, out.data(), 1);
    // L = 100: X = Y = Z = 1; red = 2.998 - 1.458 - 0.541 = 0.999 -> 255.
    EXPECT_EQ(out, (Bytes{255, 255, 255}));

    TColorManager ycc = Manager(csYCbCr, csRGB, 8, 8, 3, 3);
    const Bytes pixels = {100, 128, 128, 76, 85, 255};
    Bytes colours(6);
    ycc.ConvertRow({pixels.data()}, colours.data(), 2);
    // Grey stays grey. Y 76, Cb 85, Cr 255: red 76 + round(127 * 1.402),
    // green 76 + 15 - 91, blue 76 - 76.
    EXPECT_EQ(colours, (Bytes{100, 100, 100, 254, 0, 0}));
}

TEST(ColorManager, ConfigurationErrors)
{
    TColorManager m;
    EXPECT_THROW(m.SetSourceBitsPerSample(0), EColorConversionError);
    EXPECT_THROW(m.SetTargetBitsPerSample(17), EColorConversionError);
    EXPECT_THROW(m.SetSourceSamplesPerPixel(5), EColorConversionError);
    EXPECT_EQ(m.SourceBitsPerSample(), 8); // a rejected value is not stored
    try {
        m.SetYCbCrParameters({0.5f}, 3, 1);
        ADD_FAILURE();
    } catch (const EColorConversionError& e) {
        EXPECT_EQ(e.Message, "Subsampling Wert ist ungültig. Erlaubt sind 1, 2 und 4.");
    }
    EXPECT_EQ(m.YCbCrCoefficients()[0], 0.5f); // stored before the check failed
    EXPECT_EQ(m.YCbCrCoefficients()[1], 0.587f);
    EXPECT_THROW(m.SetYCbCrParameters({}, 1, 2), EColorConversionError);

    const Bytes row(16);
    Bytes target(16);
    struct Case {
        TColorScheme Source, Target;
        int SourceBits;
        const char* Message;
    };
    const char* unsupported =
        "Farbkonvertierung schlug fehl. Es konnte keine passende Konvertierungsmethode gefunden werden.";
    const Case cases[] = {
        {csIndexed, csBGR, 8,
         "Konvertierung zwischen indizierten und nicht-indizierten Formaten wird nicht unterstützt."},
        {csG, csG, 3, unsupported},
        {csCMY, csBGR, 8, unsupported},
        {csRGB, csGA, 8, unsupported},
    };
    for (const Case& c : cases) {
        TColorManager manager;
        manager.SetSourceColorScheme(c.Source);
        manager.SetTargetColorScheme(c.Target);
        manager.SetSourceBitsPerSample(static_cast<std::uint8_t>(c.SourceBits));
        try {
            manager.ConvertRow({row.data()}, target.data(), 1);
            ADD_FAILURE() << c.Message;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
    }
}

TEST(ColorManager, PixelFormatsOfDescriptions)
{
    struct Case {
        int Samples, Bits;
        TPixelFormat Format;
    };
    const Case cases[] = {{1, 1, pf1bit},  {1, 2, pf4bit},   {1, 4, pf4bit},  {1, 5, pfCustom},
                          {1, 8, pf8bit},  {1, 16, pf8bit},  {3, 5, pf15bit}, {3, 8, pf24bit},
                          {4, 8, pf32bit}, {4, 4, pfCustom}, {2, 8, pfCustom}};
    for (const Case& c : cases) {
        TColorManager m;
        m.SetTargetSamplesPerPixel(static_cast<std::uint8_t>(c.Samples));
        m.SetTargetBitsPerSample(static_cast<std::uint8_t>(c.Bits));
        EXPECT_EQ(m.GetPixelFormat(1), c.Format) << c.Samples << "x" << c.Bits;
        EXPECT_EQ(m.GetPixelFormat(0), pf24bit);
    }
}

TEST(ColorManager, Palettes)
{
    TColorManager m = Manager(csIndexed, csIndexed, 1, 8, 1, 1);
    const Bytes entries = {10, 20, 30, 40, 50, 60};
    const TPaletteEntries stretched = m.CreateColorPalette({entries.data()}, pfInterlaced8Triple, 2, false);
    ASSERT_EQ(stretched.size(), 256u);
    EXPECT_EQ(stretched[255], 0x28323Cu);
    EXPECT_EQ(stretched[254], 0x0A141Eu);
    EXPECT_EQ(stretched[0], 0x0A141Eu);

    TColorManager same;
    same.SetSourceColorScheme(csIndexed);
    same.SetTargetColorScheme(csIndexed);
    const Bytes quads = {1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_EQ(same.CreateColorPalette({quads.data()}, pfInterlaced8Quad, 2, true),
              (TPaletteEntries{0x030201u, 0x060504u}));
    const Bytes r = {1}, g = {2}, b = {3};
    EXPECT_EQ(same.CreateColorPalette({r.data(), g.data(), b.data()}, pfPlane8Triple, 1, true),
              (TPaletteEntries{0x010203u}));
    const std::uint16_t wide[3] = {0xFFFF, 0x8080, 0x0000};
    EXPECT_EQ(same.CreateColorPalette({wide}, pfInterlaced16Triple, 1, false), (TPaletteEntries{0xFF8000u}));

    // A 16-bit source index range cannot reach past the 256 entries.
    TColorManager wideIndex = Manager(csIndexed, csIndexed, 16, 8, 1, 1);
    EXPECT_EQ(wideIndex.CreateColorPalette({entries.data()}, pfInterlaced8Triple, 2, false).size(), 256u);

    TColorManager grey = Manager(csG, csG, 8, 1, 1, 1);
    EXPECT_EQ(grey.CreateGrayscalePalette(false), (TPaletteEntries{0u, 0xFFFFFFu}));
    EXPECT_EQ(grey.CreateGrayscalePalette(true), (TPaletteEntries{0xFFFFFFu, 0u}));
    grey.SetTargetBitsPerSample(8);
    const TPaletteEntries ramp = grey.CreateGrayscalePalette(false);
    ASSERT_EQ(ramp.size(), 256u);
    EXPECT_EQ(ramp[1], 0x010101u);
}

TEST(ColorManager, GammaTableDoesNotDependOnTheDepths)
{
    TColorManager before = Manager(csG, csG, 2, 4, 1, 1);
    before.SetGamma(1.0f, 2.2f);
    TColorManager after;
    after.SetGamma(1.0f, 2.2f);
    EXPECT_EQ(std::memcmp(before.GammaTable(), after.GammaTable(), 256), 0);
    EXPECT_EQ(after.GammaTable()[255], 255);
    EXPECT_EQ(after.GammaTable()[128], 186); // (128/255)^(1/2.2) * 255 = 186.1
}

} // namespace
