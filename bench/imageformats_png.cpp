// png_decode_{rgb8,rgba8,adam7_rgb8,palette8}: TPNGGraphic reading a
// 2400 x 1800 PNG from memory against libpng (its simplified reader into an
// RGB(A) or palette buffer) on the same bytes. libpng writes the files once.
#include <benchmark/benchmark.h>
#include <png.h>

#include <vector>

#include "bench/ReferenceTools.h"
#include "imageformats/PNGGraphic.h"

namespace {

using namespace benchtools;

struct Figure {
    const char* Name;
    png_uint_32 Format;
    bool Interlaced;
};

// Gradients, flat patches and noise, written by libpng with its default
// filter choice.
Bytes MakeFile(const Figure& f)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = f.Format;
    const std::size_t channels = PNG_IMAGE_SAMPLE_CHANNELS(f.Format);
    const bool palette = (f.Format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    std::vector<std::uint8_t> pixels(std::size_t{kWidth} * kHeight * (palette ? 1 : channels));
    std::vector<std::uint8_t> colormap(256 * 3);
    for (int i = 0; i < 256; ++i)
        colormap[3 * i] = colormap[3 * i + 1] = static_cast<std::uint8_t>(i),
                     colormap[3 * i + 2] = static_cast<std::uint8_t>(255 - i);
    std::uint32_t noise = 7;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const auto rgb = PatternPixel(x, y, noise);
            std::uint8_t* p = &pixels[(std::size_t{static_cast<unsigned>(y)} * kWidth + x) * (palette ? 1 : channels)];
            p[0] = rgb[0];
            if (palette)
                continue;
            p[1] = rgb[1];
            p[2] = rgb[2];
            if (channels == 4)
                p[3] = static_cast<std::uint8_t>(x * 255 / kWidth);
        }
    if (palette)
        image.colormap_entries = 256;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, palette ? colormap.data() : nullptr);
    std::vector<std::uint8_t> file(size);
    png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, palette ? colormap.data() : nullptr);
    file.resize(size);
    if (!f.Interlaced)
        return file;
    // libpng's simplified writer has no interlacing: re-encode through the
    // full writer.
    png_image read{};
    read.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&read, file.data(), file.size());
    read.format = f.Format;
    std::vector<std::uint8_t> back(PNG_IMAGE_SIZE(read));
    png_image_finish_read(&read, nullptr, back.data(), 0, nullptr);
    struct Sink {
        static void Write(png_structp png, png_bytep data, png_size_t length)
        {
            auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
            out->insert(out->end(), data, data + length);
        }
        static void Flush(png_structp) { }
    };
    std::vector<std::uint8_t> interlaced;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &interlaced, &Sink::Write, &Sink::Flush);
    png_set_IHDR(png, info, kWidth, kHeight, 8, channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_bytep> rows(kHeight);
    for (int y = 0; y < kHeight; ++y)
        rows[y] = &back[std::size_t{static_cast<unsigned>(y)} * kWidth * channels];
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return interlaced;
}

void Reference(benchmark::State& state, const Bytes& file, png_uint_32 format)
{
    std::vector<std::uint8_t> colormap(256 * 4);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
            state.SkipWithError("libpng could not read the file");
            break;
        }
        image.format = format;
        std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
        png_image_finish_read(&image, nullptr, pixels.data(), 0, colormap.data());
        benchmark::DoNotOptimize(pixels.data());
    }
}

[[maybe_unused]] const bool registered = [] {
    for (const Figure& f :
         {Figure{"png_decode_rgb8", PNG_FORMAT_RGB, false}, Figure{"png_decode_rgba8", PNG_FORMAT_RGBA, false},
          Figure{"png_decode_adam7_rgb8", PNG_FORMAT_RGB, true},
          Figure{"png_decode_palette8", PNG_FORMAT_RGB_COLORMAP, false}})
        RegisterPair(
            f.Name, [f] { return MakeFile(f); }, LoadLoop<TPNGGraphic>,
            [f](benchmark::State& s, const Bytes& file) { Reference(s, file, f.Format); });
    return true;
}();

} // namespace
