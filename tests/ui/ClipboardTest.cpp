#include "platform/ui/Clipboard.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "tests/ui/UiFixture.h"

#include <algorithm>

namespace {

class ClipboardTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Clipboard().Clear();
    }
};

TEST_F(ClipboardTest, TextRoundTripReplacesOtherFormats)
{
    UINT icon = ui::RegisterClipboardFormat("Icon");
    Clipboard().SetData(icon, {1, 2, 3});
    Clipboard().SetAsText("Diaschau – Größe");
    EXPECT_EQ(Clipboard().AsText(), "Diaschau – Größe");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_FALSE(Clipboard().HasFormat(icon));
    EXPECT_FALSE(Clipboard().HasFormat(CF_BITMAP));
}

TEST_F(ClipboardTest, BitmapRoundTripKeepsEveryPixel)
{
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    source.SetSize(5, 3); // odd width: rows are padded
    for (int y = 0; y < 3; ++y) {
        std::uint8_t* row = source.ScanLine(y);
        for (int x = 0; x < 5; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(10 * x);      // blue
            row[3 * x + 1] = static_cast<std::uint8_t>(50 * y);  // green
            row[3 * x + 2] = static_cast<std::uint8_t>(200 + x); // red
        }
    }
    Clipboard().Assign(source);
    ASSERT_TRUE(Clipboard().HasFormat(CF_BITMAP));

    TBitmap copy;
    ASSERT_TRUE(Clipboard().GetBitmap(copy));
    ASSERT_EQ(copy.Width(), 5);
    ASSERT_EQ(copy.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 15; ++x)
            EXPECT_EQ(copy.ScanLine(y)[x], source.ScanLine(y)[x]) << x << "," << y;

    Clipboard().SetAsText("kein Bild");
    EXPECT_FALSE(Clipboard().GetBitmap(copy));
    EXPECT_EQ(copy.Width(), 5); // untouched
}

TEST_F(ClipboardTest, RegisteredFormatsCarryTheirBytesUnderTheirName)
{
    UINT icon = ui::RegisterClipboardFormat("KsIcon");
    EXPECT_EQ(ui::RegisterClipboardFormat("KsIcon"), icon);
    UINT other = ui::RegisterClipboardFormat("KsOther");
    EXPECT_NE(other, icon);
    EXPECT_EQ(ui::RegisterClipboardFormat(""), 0u);

    std::vector<std::uint8_t> bytes{0, 255, 7, 0};
    Clipboard().SetData(icon, bytes);
    EXPECT_TRUE(Clipboard().HasFormat(icon));
    EXPECT_FALSE(Clipboard().HasFormat(other));
    EXPECT_EQ(Clipboard().GetData(icon), bytes);
    EXPECT_TRUE(Clipboard().GetData(other).empty());
    const std::vector<std::string> types = ui::test::ClipboardTypes();
    EXPECT_NE(std::find(types.begin(), types.end(), "application/x-vistelo-KsIcon"), types.end());
    EXPECT_THROW(Clipboard().SetData(0x7777, bytes), EInvalidOperation);
    EXPECT_EQ(Clipboard().GetData(icon), bytes); // the refused call changed nothing
}

} // namespace
