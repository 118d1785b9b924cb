// The picture readers against reference decoders, one table for all: each
// case writes a file from the odd-sized test picture with a tool (ImageMagick,
// netpbm, libtiff's tools, Python's imaging library) and states the outcome,
// the pixels a reference decoder gives for the file or the reason the reader
// refuses it for. Commands run in the case's scratch folder, on src.ppm;
// `magick` is ImageMagick 6. Hand-made files for what no tool writes are
// tested beside each reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ImageTools.h"
#include "imageformats/Refusal.h"
#include "platform/graphics/Picture.h"

using namespace imagetest;

namespace {

// How our pixels must match the reference's.
enum class Match {
    Exact,
    WithinOne,   // rounding of a colour conversion (JPEG, YCbCr)
    TopFiveBits, // 15/16-bit pixels, widened differently
};

struct Case {
    const char* Name;
    const char* File;      // the file Make writes
    const char* Make;      // writes File from src.ppm
    const char* Reference; // writes ref.ppm from File; nullptr: the reader refuses File
    Match How = Match::Exact;
    const char* AlphaReference = nullptr; // writes refa.pgm, the alpha the picture must carry
    TRefusalReason Refusal = rrHeader;    // when refused: why,
    const char* Message = nullptr;        // and the message the user sees
};

constexpr bool kWithAlpha = true;

Case Gif(const char* name, const char* make)
{
    return {name, "out.gif", make, "giftopnm out.gif | ppmtoppm > ref.ppm"};
}
Case Pcx(const char* name, const char* make) { return {name, "out.pcx", make, "pcxtoppm out.pcx > ref.ppm"}; }
Case Ppm(const char* name, const char* make)
{
    return {name, "out.ppm", make, "pnmtopnm out.ppm | pamdepth 255 | ppmtoppm > ref.ppm"};
}
Case Sgi(const char* name, const char* make)
{
    return {name, "out.sgi", make, "sgitopnm out.sgi | pamdepth 255 | ppmtoppm > ref.ppm"};
}

Case Png(const char* name, const char* make, bool alpha = false)
{
    return {name,         "out.png",
            make,         "magick out.png -alpha off -depth 8 ppm:ref.ppm",
            Match::Exact, alpha ? "magick out.png -alpha extract -depth 8 pgm:refa.pgm" : nullptr};
}

// ImageMagick's own reader blends the layer section into colour composites
// with alpha and cannot read its indexed files back, so for those the
// reference is the picture the file was made from; grey files it reads back.
const char* const kPsdSource = "cp src.ppm ref.ppm";
const char* const kPsdGrey = "magick 'out.psd[0]' -alpha off -depth 8 ppm:ref.ppm";
const char* const kPsdQuantized = "ppmtoppm < q.ppm > ref.ppm";
Case Psd(const char* name, const char* make, const char* reference) { return {name, "out.psd", make, reference}; }

// libtiff's own decode (tiffcp -c none, read by ImageMagick) is the
// reference; for JPEG strips and YCbCr rows up to rounding differences of
// the colour conversion, for CMYK libtiff's conversion to RGB, which rounds
// as the colour manager does.
Case Tiff(const char* name, const char* make)
{
    return {name, "out.tif", make,
            "tiffcp -c none out.tif plain.tif && magick plain.tif -alpha off -depth 8 ppm:ref.ppm"};
}
Case TiffJpeg(const char* name, const char* make)
{
    return {name, "out.tif", make, "tiffcp -c none out.tif plain.tif && magick plain.tif -depth 8 ppm:ref.ppm",
            Match::WithinOne};
}
Case TiffCmyk(const char* name, const char* make)
{
    return {name, "out.tif", make, "tiff2rgba out.tif rgba.tif && magick rgba.tif -alpha off -depth 8 ppm:ref.ppm"};
}
// Variants the reader does not decode are refused instead of giving an
// empty or scrambled picture.
Case TiffRefused(const char* name, const char* make, TRefusalReason reason, const char* message)
{
    return {name, "out.tif", make, nullptr, Match::Exact, nullptr, reason, message};
}
const char* const kTiffCompressionRefused =
    "Bild konnte nicht geladen werden. Das Kompressionsformat ist nicht unterstützt für TIF/TIFF Dateien.";
const char* const kTiffImageRefused = "Bild konnte nicht geladen werden. Nicht unterstütztes TIF/TIFF Bildformat.";

// ImageMagick keeps the file's row order as an orientation tag; -auto-orient
// applies it, as the format defines.
const char* const kTgaMagickRef = "magick out.tga -auto-orient -depth 8 ppm:ref.ppm";
const char* const kTgaNetpbmRef = "tgatoppm out.tga > ref.ppm";
Case Tga(const char* name, const char* make, const char* reference, Match how = Match::Exact, bool alpha = false)
{
    return {name,      "out.tga", make,
            reference, how,       alpha ? "magick out.tga -auto-orient -alpha extract -depth 8 pgm:refa.pgm" : nullptr};
}

// PNG files without the chunks (gAMA, cHRM, bKGD) that would make the two
// decodes differ on purpose.
#define PNG_IM "magick src.ppm -define png:exclude-chunk=gAMA,cHRM,bKGD "
#define BASE "magick src.ppm -compress None base.tif && "
#define BILEVEL "magick src.ppm -monochrome -depth 1 -compress None bw.tif && "
#define PIL(args) "/usr/bin/python3 -c \"from PIL import Image; Image.open('src.ppm')" args "\""
const Case kCases[] = {
    Gif("magick", "magick src.ppm out.gif"),
    Gif("magick_interlaced", "magick src.ppm -interlace GIF out.gif"),
    Gif("magick_two_colours", "magick src.ppm -colors 2 out.gif"),
    Gif("magick_comment_and_transparency", "magick src.ppm -comment 'ein Kommentar' -transparent black out.gif"),
    Gif("magick_animation", "magick src.ppm \\( src.ppm -negate \\) -loop 0 out.gif"),
    Gif("netpbm", "pnmquant 256 src.ppm | pamtogif > out.gif"),
    Gif("netpbm_interlaced", "pnmquant 16 src.ppm | pamtogif -interlace > out.gif"),
    Gif("pil", PIL(".quantize(64).save('out.gif')")),
    Gif("pil_tall_interlaced", PIL(".resize((37, 40)).quantize(30).save('out.gif')")),
    Pcx("one_plane_1bit", "pnmquant 2 src.ppm | ppmtopcx -planes=1 > out.pcx"),
    Pcx("two_planes_1bit", "pnmquant 4 src.ppm | ppmtopcx -planes=2 > out.pcx"),
    Pcx("three_planes_1bit", "pnmquant 8 src.ppm | ppmtopcx -planes=3 > out.pcx"),
    Pcx("four_planes_1bit", "pnmquant 16 src.ppm | ppmtopcx -planes=4 > out.pcx"),
    Pcx("packed_2bit", "pnmquant 4 src.ppm | ppmtopcx -packed > out.pcx"),
    Pcx("packed_4bit", "pnmquant 16 src.ppm | ppmtopcx -packed > out.pcx"),
    Pcx("netpbm_8bit", "pnmquant 200 src.ppm | ppmtopcx -8bit > out.pcx"),
    Pcx("netpbm_24bit", "ppmtopcx -24bit src.ppm > out.pcx"),
    Pcx("magick_8bit", "magick src.ppm -colors 60 -type Palette out.pcx"),
    Pcx("magick_24bit", "magick src.ppm out.pcx"),
    Pcx("magick_grey", "magick src.ppm -type Grayscale out.pcx"),
    Png("grey1", PNG_IM "-colorspace Gray -define png:color-type=0 -define png:bit-depth=1 out.png"),
    Png("grey2", PNG_IM "-colorspace Gray -define png:color-type=0 -define png:bit-depth=2 out.png"),
    Png("grey4", PNG_IM "-colorspace Gray -define png:color-type=0 -define png:bit-depth=4 out.png"),
    Png("grey8", PNG_IM "-colorspace Gray -define png:color-type=0 -define png:bit-depth=8 out.png"),
    Png("grey16", PNG_IM "-colorspace Gray -define png:color-type=0 -define png:bit-depth=16 out.png"),
    Png("grey_alpha8", PNG_IM "-colorspace Gray -alpha set -channel A -fx 0.5 -define png:color-type=4 out.png"),
    Png("grey_alpha16",
        PNG_IM "-colorspace Gray -alpha set -channel A -fx 0.5 -define png:color-type=4 "
               "-define png:bit-depth=16 out.png"),
    Png("rgb8", PNG_IM "-define png:color-type=2 out.png"),
    Png("rgb16", PNG_IM "PNG48:out.png"),
    Png("rgba8", PNG_IM "-alpha set -channel A -fx 'i/w' -define png:color-type=6 out.png", kWithAlpha),
    Png("rgba16", PNG_IM "-alpha set -channel A -fx 'i/w' PNG64:out.png", kWithAlpha),
    Png("palette1", PNG_IM "-colors 2 -define png:color-type=3 -define png:bit-depth=1 out.png"),
    Png("palette2", PNG_IM "-colors 4 -define png:color-type=3 -define png:bit-depth=2 out.png"),
    Png("palette4", PNG_IM "-colors 16 -define png:color-type=3 -define png:bit-depth=4 out.png"),
    Png("palette8", PNG_IM "-colors 200 -define png:color-type=3 -define png:bit-depth=8 out.png"),
    Png("filter_none", PNG_IM "-quality 90 -define png:color-type=2 out.png"),
    Png("filter_sub", PNG_IM "-quality 91 -define png:color-type=2 out.png"),
    Png("filter_up", PNG_IM "-quality 92 -define png:color-type=2 out.png"),
    Png("filter_average", PNG_IM "-quality 93 -define png:color-type=2 out.png"),
    Png("filter_paeth", PNG_IM "-quality 94 -define png:color-type=2 out.png"),
    Png("filter_average_grey16", PNG_IM "-quality 93 -colorspace Gray -define png:bit-depth=16 out.png"),
    Png("adam7_rgb", PNG_IM "-interlace PNG -define png:color-type=2 out.png"),
    Png("adam7_rgba16", PNG_IM "-interlace PNG -alpha set -channel A -fx 'j/h' PNG64:out.png", kWithAlpha),
    Png("adam7_grey2", PNG_IM "-interlace PNG -colorspace Gray -define png:bit-depth=2 out.png"),
    Png("adam7_palette4", PNG_IM "-interlace PNG -colors 16 -define png:color-type=3 -define png:bit-depth=4 out.png"),
    Png("netpbm_interlaced", "pnmtopng -interlace src.ppm > out.png"),
    Png("pil_palette4", PIL(".quantize(16).save('out.png', bits=4)")),
    Png("pil_rgb", PIL(".save('out.png')")),
    Png("pil_grey", PIL(".convert('L').save('out.png')")),
    Png("pil_grey_alpha", PIL(".convert('LA').save('out.png')")),
    Png("pil_grey32", PIL(".convert('I').save('out.png')")),
    Png("pil_bilevel", PIL(".convert('1').save('out.png')")),
    Png("pil_palette1", PIL(".quantize(2).save('out.png', bits=1)")),
    Png("pil_palette2", PIL(".quantize(4).save('out.png', bits=2)")),
    Png("pil_rgba", PIL(".convert('RGBA').save('out.png')")),
    Ppm("raw_p6", "cp src.ppm out.ppm"),
    Ppm("raw_p5", "ppmtopgm src.ppm > out.ppm"),
    Ppm("raw_p4", "ppmtopgm src.ppm | pgmtopbm > out.ppm"),
    Ppm("plain_p3", "pnmtoplainpnm src.ppm > out.ppm"),
    Ppm("plain_p2", "ppmtopgm src.ppm | pnmtoplainpnm > out.ppm"),
    Ppm("plain_p1_no_separators", "ppmtopgm src.ppm | pgmtopbm | pnmtoplainpnm > out.ppm"),
    Ppm("magick_plain_p1", "magick src.ppm -monochrome -compress none pbm:out.ppm"),
    Ppm("magick_plain_p2", "magick src.ppm -colorspace Gray -compress none pgm:out.ppm"),
    Ppm("magick_plain_p3", "magick src.ppm -compress none ppm:out.ppm"),
    Ppm("magick_raw_p4", "magick src.ppm -monochrome pbm:out.ppm"),
    Ppm("magick_16bit_p6", "magick src.ppm -depth 16 ppm:out.ppm"),
    Ppm("maxval_15", "pamdepth 15 src.ppm > out.ppm"),
    Psd("rgb_rle", "magick src.ppm -compress RLE out.psd", kPsdSource),
    Psd("rgb_raw", "magick src.ppm -compress None out.psd", kPsdSource),
    Psd("rgb_16bit_rle", "magick src.ppm -depth 16 out.psd", kPsdSource),
    Psd("rgb_16bit_raw", "magick src.ppm -depth 16 -compress None out.psd", kPsdSource),
    Psd("rgba", "magick src.ppm \\( src.ppm -colorspace Gray \\) -alpha off -compose CopyOpacity -composite out.psd",
        kPsdSource),
    Psd("grey_raw", "magick src.ppm -colorspace Gray -compress None out.psd", kPsdGrey),
    Psd("grey_rle", "magick src.ppm -colorspace Gray -compress RLE out.psd", kPsdGrey),
    Psd("grey_16bit", "magick src.ppm -colorspace Gray -depth 16 -compress None out.psd", kPsdGrey),
    Psd("grey_alpha",
        "magick src.ppm -colorspace Gray \\( src.ppm -colorspace Gray \\) -alpha off -compose CopyOpacity "
        "-composite out.psd",
        kPsdGrey),
    Psd("indexed_raw",
        "magick src.ppm -colors 40 -type Palette ppm:q.ppm && magick q.ppm -type Palette -compress None out.psd",
        kPsdQuantized),
    Psd("indexed_rle", "magick src.ppm -colors 40 -type Palette ppm:q.ppm && magick q.ppm -type Palette out.psd",
        kPsdQuantized),
    Sgi("magick_rle", "magick src.ppm out.sgi"),
    Sgi("magick_verbatim", "magick src.ppm -compress None out.sgi"),
    Sgi("magick_16bit_verbatim", "magick src.ppm -depth 16 -compress None out.sgi"),
    Sgi("magick_grey", "magick src.ppm -colorspace Gray out.sgi"),
    Sgi("magick_rgba",
        "magick src.ppm \\( src.ppm -colorspace Gray \\) -alpha off -compose CopyOpacity -composite out.sgi"),
    Sgi("netpbm_rle", "pnmtosgi -rle src.ppm > out.sgi"),
    Sgi("netpbm_verbatim", "pnmtosgi -verbatim src.ppm > out.sgi"),
    Sgi("netpbm_16bit_rle", "pamdepth 65535 src.ppm | pnmtosgi -rle > out.sgi"),
    Sgi("netpbm_16bit_grey_rle", "ppmtopgm src.ppm | pamdepth 65535 | pnmtosgi -rle > out.sgi"),
    Tiff("rgb_none_little_endian", BASE "tiffcp -L -c none base.tif out.tif"),
    Tiff("rgb_none_big_endian", BASE "tiffcp -B -c none base.tif out.tif"),
    Tiff("rgb_short_last_strip", BASE "tiffcp -c none -r 7 base.tif out.tif"),
    Tiff("rgb_lzw", BASE "tiffcp -c lzw base.tif out.tif"),
    Tiff("rgb_lzw_predictor", BASE "tiffcp -c lzw:2 -r 5 base.tif out.tif"),
    Tiff("rgb_deflate", BASE "tiffcp -c zip base.tif out.tif"),
    Tiff("rgb_deflate_predictor_big_endian", BASE "tiffcp -B -c zip:2 base.tif out.tif"),
    Tiff("rgb_packbits", BASE "tiffcp -c packbits -r 4 base.tif out.tif"),
    Tiff("rgb_packbits_imagemagick", "magick src.ppm -compress RLE out.tif"),
    Tiff("rgb_deflate_tag_32946", BASE "tiffcp -c zip base.tif out.tif && tiffset -s 259 32946 out.tif"),
    Tiff("rgb16_deflate_predictor", "magick src.ppm -depth 16 -compress Zip -define tiff:predictor=2 out.tif"),
    Tiff("rgba", "magick src.ppm -alpha set -channel A -fx 'i/w' -compress LZW out.tif"),
    Tiff("grey8", "magick src.ppm -colorspace Gray -compress None out.tif"),
    Tiff("grey16_big_endian", "magick src.ppm -colorspace Gray -depth 16 -endian MSB -compress LZW out.tif"),
    Tiff("grey_alpha", "magick src.ppm -colorspace Gray -alpha set -channel A -fx 0.5 -compress None out.tif"),
    Tiff("grey2_netpbm", "ppmtopgm src.ppm | pnmdepth 3 | pamtotiff -lzw > out.tif"),
    Tiff("grey4_netpbm", "ppmtopgm src.ppm | pnmdepth 15 | pamtotiff -packbits > out.tif"),
    Tiff("bilevel", "magick src.ppm -monochrome -compress None out.tif"),
    Tiff("bilevel_min_is_white",
         "magick src.ppm -monochrome -define quantum:polarity=min-is-white -compress None out.tif"),
    Tiff("grey_min_is_white",
         "magick src.ppm -colorspace Gray -define quantum:polarity=min-is-white -compress None out.tif"),
    Tiff("palette4", "magick src.ppm -colors 16 -type Palette -depth 4 -compress None out.tif"),
    Tiff("palette8", "magick src.ppm -colors 200 -type Palette -compress LZW out.tif"),
    Tiff("pil_lzw", PIL(".save('out.tif', compression='tiff_lzw')")),
    Tiff("pil_deflate", PIL(".save('out.tif', compression='tiff_adobe_deflate')")),
    Tiff("pil_packbits_grey", PIL(".convert('L').save('out.tif', compression='packbits')")),
    Tiff("pil_palette", PIL(".quantize(50).save('out.tif')")),
    Tiff("tiled", BASE "tiffcp -t -c none base.tif out.tif"),
    Tiff("tiled_lzw_predictor_big_endian", BASE "tiffcp -B -t -w 16 -l 32 -c lzw:2 base.tif out.tif"),
    Tiff("tiled_bilevel_packbits", BILEVEL "tiffcp -t -w 16 -l 16 -c packbits bw.tif out.tif"),
    Tiff("tiled_palette4",
         "magick src.ppm -colors 16 -type Palette -depth 4 -compress None p.tif && "
         "tiffcp -t -w 32 -l 16 p.tif out.tif"),
    Tiff("fax_g3_1d", BILEVEL "tiffcp -c g3:1d bw.tif out.tif"),
    Tiff("fax_g3_1d_fill_strips", BILEVEL "tiffcp -c g3:1d:fill -r 5 bw.tif out.tif"),
    Tiff("fax_g3_1d_lsb_first", BILEVEL "tiffcp -c g3:1d -f lsb2msb bw.tif out.tif"),
    Tiff("fax_g3_imagemagick", "magick src.ppm -monochrome -compress Fax out.tif"),
    Tiff("fax_g3_netpbm", "ppmtopgm src.ppm | pgmtopbm | pamtotiff -g3 > out.tif"),
    Tiff("fax_mh_pil", PIL(".convert('1').save('out.tif', compression='tiff_ccitt')")),
    Tiff("fax_g3_pil", PIL(".convert('1').save('out.tif', compression='group3')")),
    TiffJpeg("jpeg_ycbcr_subsampled", BASE "tiffcp -c jpeg -r 16 base.tif out.tif"),
    TiffJpeg("jpeg_rgb", BASE "tiffcp -c jpeg:r -r 8 base.tif out.tif"),
    TiffJpeg("jpeg_imagemagick", "magick src.ppm -compress JPEG out.tif"),
    TiffJpeg("jpeg_grey", "magick src.ppm -colorspace Gray -compress JPEG out.tif"),
    TiffJpeg("jpeg_pil", PIL(".save('out.tif', compression='jpeg')")),
    TiffJpeg("ycbcr_pil", PIL(".convert('YCbCr').save('out.tif', compression='tiff_lzw')")),
    TiffCmyk("cmyk_imagemagick", "magick src.ppm -depth 8 -colorspace CMYK -compress LZW out.tif"),
    TiffCmyk("cmyk_pil", PIL(".convert('CMYK').save('out.tif', compression='packbits')")),
    TiffRefused("tiled_jpeg", BASE "tiffcp -t -c jpeg base.tif out.tif", rrTiledJPEG, kTiffCompressionRefused),
    TiffRefused("separate_planes", BASE "tiffcp -p separate -c none base.tif out.tif", rrSeparatePlanes,
                kTiffImageRefused),
    TiffRefused("group4", BASE "magick base.tif -monochrome -compress Group4 out.tif", rrCompression,
                kTiffCompressionRefused),
    TiffRefused("group3_2d",
                BASE "magick base.tif -monochrome out.pbm && tiffcp -c g3:2d out.pbm out.tif || "
                     "(pamtotiff -g3 -2d out.pbm > out.tif)",
                rrTwoDimensionalFax, kTiffCompressionRefused),
    TiffRefused("old_compression_tag_missing", BASE "tiffcp -c none base.tif out.tif && tiffset -s 259 32947 out.tif",
                rrCompression, kTiffCompressionRefused),
    Tga("type2_24", "magick src.ppm -compress None out.tga", kTgaMagickRef),
    Tga("type10_24", "magick src.ppm -compress RLE out.tga", kTgaMagickRef),
    Tga("type2_24_top_down", "magick src.ppm -orient TopLeft -compress None out.tga", kTgaMagickRef),
    Tga("type9_top_down", "magick src.ppm -orient TopLeft -colors 30 -type Palette -compress RLE out.tga",
        kTgaMagickRef),
    Tga("type2_32_alpha",
        "magick src.ppm \\( src.ppm -colorspace Gray \\) -alpha off -compose CopyOpacity -composite "
        "-compress None out.tga",
        kTgaMagickRef, Match::Exact, kWithAlpha),
    Tga("type10_32_alpha",
        "magick src.ppm \\( src.ppm -colorspace Gray \\) -alpha off -compose CopyOpacity -composite "
        "-compress RLE out.tga",
        kTgaMagickRef, Match::Exact, kWithAlpha),
    Tga("type1_palette", "magick src.ppm -colors 50 -type Palette -compress None out.tga", kTgaMagickRef),
    Tga("type9_palette", "magick src.ppm -colors 50 -type Palette -compress RLE out.tga", kTgaMagickRef),
    Tga("type3_grey", "magick src.ppm -type Grayscale -compress None out.tga", kTgaMagickRef),
    Tga("type11_grey", "magick src.ppm -type Grayscale -compress RLE out.tga", kTgaMagickRef),
    Tga("type11_netpbm_mono", "ppmtopgm src.ppm | pamtotga -mono > out.tga", kTgaNetpbmRef),
    Tga("type9_netpbm_cmap", "pnmquant 40 src.ppm | pamtotga -cmap > out.tga", kTgaNetpbmRef),
    Tga("type2_netpbm_id_field", "pamtotga -rgb -norle src.ppm > out.tga", kTgaNetpbmRef),
    Tga("type10_netpbm", "pamtotga -rgb src.ppm > out.tga", kTgaNetpbmRef),
    Tga("type2_16bit", "magick src.ppm -depth 5 -compress None out.tga", kTgaMagickRef, Match::TopFiveBits),
};
#undef PNG_IM
#undef BASE
#undef BILEVEL
#undef PIL

bool Matches(const Pnm& ours, const Pnm& reference, Match how)
{
    if (ours.Width != reference.Width || ours.Height != reference.Height ||
        ours.Pixels.size() != reference.Pixels.size())
        return false;
    for (std::size_t i = 0; i < ours.Pixels.size(); ++i) {
        const int a = ours.Pixels[i], b = reference.Pixels[i];
        const bool same = how == Match::Exact ? a == b
            : how == Match::WithinOne         ? std::abs(a - b) <= 1
                                              : a >> 3 == b >> 3;
        if (!same)
            return false;
    }
    return true;
}

class ReaderConformance : public ::testing::TestWithParam<Case> { };

TEST_P(ReaderConformance, DecodesLikeTheReferenceOrRefuses)
{
    const Case& c = GetParam();
    const std::string needs = std::string(c.Make) + " && " + (c.Reference ? c.Reference : "") +
        (c.AlphaReference ? std::string(" && ") + c.AlphaReference : "");
    if (const std::string missing = MissingTool(needs); !missing.empty())
        GTEST_SKIP() << missing << " missing";
    ScratchDir dir;
    WritePnm(dir / "src.ppm", TestPicture());
    ASSERT_TRUE(RunIn(dir, c.Make)) << c.Make;

    if (!c.Reference) {
        TPicture picture;
        try {
            picture.LoadFromFile(dir / c.File);
            ADD_FAILURE() << "loaded";
        } catch (const EImageRefused& e) {
            EXPECT_STREQ(RefusalReasonName(e.Reason), RefusalReasonName(c.Refusal));
            EXPECT_EQ(e.Message, c.Message);
        }
        return;
    }
    ASSERT_TRUE(RunIn(dir, c.Reference)) << c.Reference;
    ASSERT_TRUE(Picdecode(dir, c.File, "ours.ppm"));
    const Pnm reference = ReadPnm(dir / "ref.ppm");
    ASSERT_GT(reference.Width, 0);
    EXPECT_TRUE(Matches(ReadPnm(dir / "ours.ppm"), reference, c.How));
    if (c.AlphaReference) {
        ASSERT_TRUE(RunIn(dir, c.AlphaReference)) << c.AlphaReference;
        const Pnm alpha = ReadPnm(dir / "refa.pgm");
        ASSERT_GT(alpha.Width, 0);
        EXPECT_TRUE(ReadPnm(dir / "ours.pgm") == alpha);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ReaderConformance, ::testing::ValuesIn(kCases), [](const auto& info) {
    const std::string file = info.param.File;
    return file.substr(file.find('.') + 1) + "_" + info.param.Name;
});

} // namespace
