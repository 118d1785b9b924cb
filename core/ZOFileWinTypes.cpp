#include "core/ZOFileWinTypes.h"

#include "core/FontTools.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Streams.h"

#include <limits>

void c_zofilewintypes::write_JPEG(TJPEGImage* jpeg)
{
    if (!jpeg) {
        write_int(0);
        return;
    }
    TMemoryStream stream;
    jpeg->SaveToStream(stream);
    if (stream.Size() > std::numeric_limits<std::int32_t>::max())
        error(zoErrWrite);
    // The count is exactly the bytes that follow, wherever the field is written.
    const auto count = static_cast<std::int32_t>(stream.Size());
    write_int(count);
    write_data(stream.Memory(), count);
}

void c_zofilewintypes::read_JPEG(std::unique_ptr<TJPEGImage>& jpeg)
{
    const std::int32_t count = read_int();
    jpeg.reset();
    if (count == 0)
        return;
    const std::vector<std::uint8_t> bytes = read_bytes(count);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), count);
    stream.SetPosition(0);
    jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadFromStream(stream);
}

void c_zofilewintypes::write_TColor(TColor color) { write_int(color); }

void c_zofilewintypes::read_TColor(TColor& color) { color = read_int(); }

void c_zofilewintypes::write_TFont(const TFont* font)
{
    std::vector<std::uint8_t> blob;
    const std::int32_t length = FontTools::CreateFontData(font, blob);
    write_int(length);
    if (length > 0)
        write_data(blob.data(), length);
}

void c_zofilewintypes::read_TFont(std::unique_ptr<TFont>& font)
{
    font.reset();
    const std::int32_t length = read_int();
    if (length == -1)
        return;
    if (length < FontTools::FontDataFixedSize)
        error(zoErrRead);
    font = FontTools::InterpretFontData(read_bytes(length));
    if (!font)
        error(zoErrRead); // the name runs past the end of the blob
}
