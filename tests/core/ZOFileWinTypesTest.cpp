#include "core/ZOFileWinTypes.h"

#include "ContainerBytes.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Jpeg.h"

#include <gtest/gtest.h>

using namespace ContainerBytes;

namespace {

class ZOFileWinTypesTest : public ScratchFolder {
protected:
    // A container positioned on the fields that follow its header.
    std::unique_ptr<c_zofilewintypes> OpenFields(const Bytes& fields)
    {
        const std::string name = Write("fields.zo", Bytes().Header(1, 1, 0, 1).Raw(fields.data));
        return std::make_unique<c_zofilewintypes>(name, zoRead);
    }

    // The bytes that write puts behind a fresh header.
    template <typename Write> std::vector<std::uint8_t> Written(Write write)
    {
        const std::string name = PathOf("written.zo");
        {
            c_zofilewintypes zo(name, zoCreate);
            write(zo);
            zo.close();
        }
        const std::vector<std::uint8_t> all = Read("written.zo");
        return {all.begin() + zoFileHeaderSize, all.end()};
    }
};

// Arial 14 pt, white, bold and italic, as the field stores it.
const Bytes arialField = Bytes().I32(22).I32(22).Raw({0xFF, 0xFF, 0xFF, 0x00}).I32(5).Raw("Arial").I32(14).U8(3);

TEST_F(ZOFileWinTypesTest, FontFieldCarriesItsLengthTwice)
{
    TFont arial;
    arial.SetName("Arial");
    arial.SetSize(14);
    arial.SetColor(0xFFFFFF);
    arial.SetStyle({fsBold, fsItalic});
    EXPECT_EQ(Written([&](c_zofilewintypes& zo) { zo.write_TFont(&arial); }), arialField.data);
    EXPECT_EQ(Written([](c_zofilewintypes& zo) { zo.write_TFont(nullptr); }), Bytes().I32(-1).data);
}

TEST_F(ZOFileWinTypesTest, FontFieldReadsBackFaceSizeColourAndStyle)
{
    auto zo = OpenFields(Bytes(arialField).I32(-1).I32(77));
    std::unique_ptr<TFont> font;
    zo->read_TFont(font);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Name(), "Arial");
    EXPECT_EQ(font->Size(), 14);
    EXPECT_EQ(font->Color(), 0xFFFFFF);
    EXPECT_EQ(font->Style(), TFontStyles({fsBold, fsItalic}));
    // -1: no font, and the next field follows at once.
    zo->read_TFont(font);
    EXPECT_FALSE(font);
    EXPECT_EQ(zo->read_int(), 77);
}

TEST_F(ZOFileWinTypesTest, FontNameLengthCountsStoredBytes)
{
    TFont font;
    font.SetName("Schön");
    const std::vector<std::uint8_t> written = Written([&](c_zofilewintypes& zo) { zo.write_TFont(&font); });
    ASSERT_EQ(written.size(), 4u + 17 + 5);
    EXPECT_EQ(written[12], 5);        // L
    EXPECT_EQ(written[16 + 3], 0xF6); // "ö" as one Windows-1252 byte

    auto zo = OpenFields(Bytes().Raw(written));
    std::unique_ptr<TFont> back;
    zo->read_TFont(back);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Name(), "Schön");
}

TEST_F(ZOFileWinTypesTest, DamagedFontFieldsAreReadErrors)
{
    auto blob = [](std::int32_t length, std::int32_t nameLength, std::string_view name) {
        return Bytes().I32(length).I32(length).I32(0).I32(nameLength).Raw(name).I32(10).U8(0);
    };
    struct Case {
        const char* what;
        Bytes field;
    } cases[] = {
        {"length below the fixed part", Bytes().I32(16).Raw(std::string(16, '\0'))},
        {"negative length other than -1", Bytes().I32(-2).Raw(std::string(20, '\0'))},
        {"length past the end of the file", Bytes().I32(0x7FFFFFFF).Raw(std::string(20, '\0'))},
        {"name longer than the blob", blob(22, 100, "Arial")},
        {"negative name length", blob(22, -5, "Arial")},
    };
    for (const Case& c : cases) {
        auto zo = OpenFields(c.field);
        std::unique_ptr<TFont> font = std::make_unique<TFont>();
        EXPECT_THROW(zo->read_TFont(font), EZOFileError) << c.what;
        EXPECT_FALSE(font) << c.what;
    }
}

TEST_F(ZOFileWinTypesTest, JpegFieldKeepsTheStoredBytes)
{
    // Pictures decode only when drawn, so the field copies any bytes verbatim.
    const std::vector<std::uint8_t> stream{0xFF, 0xD8, 0x01, 0x02, 0x03, 0xFF, 0xD9};
    auto zo = OpenFields(Bytes().I32(7).Raw(stream).I32(0).I32(55));
    std::unique_ptr<TJPEGImage> jpeg;
    zo->read_JPEG(jpeg);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->Data(), stream);
    EXPECT_EQ(Written([&](c_zofilewintypes& out) { out.write_JPEG(jpeg.get()); }), Bytes().I32(7).Raw(stream).data);
    // Count 0 frees the picture held; the next field follows at once.
    zo->read_JPEG(jpeg);
    EXPECT_FALSE(jpeg);
    EXPECT_EQ(zo->read_int(), 55);
    EXPECT_EQ(Written([](c_zofilewintypes& out) { out.write_JPEG(nullptr); }), Bytes().I32(0).data);
}

TEST_F(ZOFileWinTypesTest, JpegCountsTheFileCannotHoldAreReadErrors)
{
    for (std::int32_t count : {-1, 5, 0x7FFFFFFF}) {
        auto zo = OpenFields(Bytes().I32(count).Raw({1, 2, 3, 4}));
        std::unique_ptr<TJPEGImage> jpeg = std::make_unique<TJPEGImage>();
        EXPECT_THROW(zo->read_JPEG(jpeg), EZOFileError) << count;
        EXPECT_FALSE(jpeg) << count;
    }
}

TEST_F(ZOFileWinTypesTest, ColoursAreFourBytesIncludingSystemColours)
{
    EXPECT_EQ(Written([](c_zofilewintypes& zo) {
                  zo.write_TColor(0x00336699);
                  zo.write_TColor(clBtnFace);
              }),
              Bytes().Raw({0x99, 0x66, 0x33, 0x00, 0x0F, 0x00, 0x00, 0x80}).data);
    auto zo = OpenFields(Bytes().Raw({0x0F, 0x00, 0x00, 0x80, 0x01}));
    TColor color = 0;
    zo->read_TColor(color);
    EXPECT_EQ(color, clBtnFace);
    EXPECT_THROW(zo->read_TColor(color), EZOFileError);
}

} // namespace
