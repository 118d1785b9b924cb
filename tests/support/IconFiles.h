#pragma once
// Icon files made in memory: square images of one colour each, opaque, with
// the directory values chosen by the test.

#include <cstdint>
#include <vector>

#include "platform/rtl/ByteOrder.h"

namespace iconfiles {

struct Image {
    int Side = 16;
    int Bits = 32;             // 1, 4, 8, 24 or 32 bits per pixel
    std::uint16_t ColorCount = 0; // the directory's colour-count word
    std::uint8_t Blue = 0, Green = 0, Red = 0;
};

inline size_t Stride(int width, int bits) { return static_cast<size_t>((width * bits + 31) / 32 * 4); }

inline std::vector<std::uint8_t> Dib(const Image& image)
{
    const size_t palette = image.Bits <= 8 ? (size_t{1} << image.Bits) * 4 : 0;
    const size_t colour = Stride(image.Side, image.Bits) * static_cast<size_t>(image.Side);
    const size_t mask = Stride(image.Side, 1) * static_cast<size_t>(image.Side);
    std::vector<std::uint8_t> dib(40 + palette + colour + mask, 0);
    rtl::PutLE32(&dib[0], 40);
    rtl::PutLE32(&dib[4], static_cast<std::uint32_t>(image.Side));
    rtl::PutLE32(&dib[8], static_cast<std::uint32_t>(image.Side * 2));
    rtl::PutLE16(&dib[12], 1);
    rtl::PutLE16(&dib[14], static_cast<std::uint16_t>(image.Bits));
    if (palette) { // every pixel is index 0
        dib[40] = image.Blue;
        dib[41] = image.Green;
        dib[42] = image.Red;
        return dib;
    }
    const size_t step = static_cast<size_t>(image.Bits / 8);
    for (int y = 0; y < image.Side; ++y)
        for (int x = 0; x < image.Side; ++x) {
            std::uint8_t* pixel = &dib[40 + Stride(image.Side, image.Bits) * static_cast<size_t>(y) + step * static_cast<size_t>(x)];
            pixel[0] = image.Blue;
            pixel[1] = image.Green;
            pixel[2] = image.Red;
            if (step == 4)
                pixel[3] = 0xFF;
        }
    return dib;
}

inline std::vector<std::uint8_t> File(const std::vector<Image>& images)
{
    std::vector<std::uint8_t> file(6 + 16 * images.size(), 0);
    rtl::PutLE16(&file[2], 1);
    rtl::PutLE16(&file[4], static_cast<std::uint16_t>(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const std::vector<std::uint8_t> dib = Dib(images[i]);
        std::uint8_t* record = &file[6 + 16 * i];
        record[0] = record[1] = static_cast<std::uint8_t>(images[i].Side);
        rtl::PutLE16(record + 2, images[i].ColorCount);
        rtl::PutLE16(record + 4, 1);
        rtl::PutLE16(record + 6, static_cast<std::uint16_t>(images[i].Bits));
        rtl::PutLE32(record + 8, static_cast<std::uint32_t>(dib.size()));
        rtl::PutLE32(record + 12, static_cast<std::uint32_t>(file.size()));
        file.insert(file.end(), dib.begin(), dib.end());
    }
    return file;
}

} // namespace iconfiles
