// picdecode FILE OUT: loads FILE through the picture loader, chosen by its
// extension, and writes the pixels as a 24-bit binary PPM to OUT. When the
// picture carries alpha, the alpha goes to OUT with the extension ".pgm".
// Exit code 0 on success, 1 when the picture cannot be loaded (the message on
// stderr), 2 on wrong usage. A test utility, not installed.
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "imageformats/FormatGraphic.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Files.h"

namespace {

bool HasAlpha(const TGraphic* graphic)
{
    const auto* reader = dynamic_cast<const TFormatGraphic*>(graphic);
    return reader && reader->ImageProperties().HasAlpha && reader->PixelFormat() == pf32bit;
}

void WritePnm(const std::string& path, const char* magic, int width, int height, const std::vector<char>& data)
{
    std::ofstream out(path, std::ios::binary);
    out << magic << "\n" << width << " " << height << "\n255\n";
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: picdecode FILE OUT\n");
        return 2;
    }
    try {
        TPicture picture;
        picture.LoadFromFile(argv[1]);
        TBitmap bitmap;
        bitmap.Assign(picture.Graphic());
        const bool alpha = HasAlpha(picture.Graphic());
        const int width = bitmap.Width(), height = bitmap.Height();
        std::vector<char> alphaBytes;
        if (alpha)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    alphaBytes.push_back(static_cast<char>(bitmap.ScanLine(y)[4 * x + 3]));
        bitmap.SetPixelFormat(pf24bit);
        std::vector<char> rgb;
        rgb.reserve(static_cast<std::size_t>(width) * height * 3);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < width; ++x) {
                rgb.push_back(static_cast<char>(row[3 * x + 2]));
                rgb.push_back(static_cast<char>(row[3 * x + 1]));
                rgb.push_back(static_cast<char>(row[3 * x]));
            }
        }
        WritePnm(argv[2], "P6", width, height, rgb);
        if (alpha)
            WritePnm(ChangeFileExt(argv[2], ".pgm"), "P5", width, height, alphaBytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
