// The list with marks: image 0 at the left of every item, image 1 at the
// right when there are two, and the text between them, centred or shortened
// as asked.

#include "editor/app/MarkListBox.h"

#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/CanvasText.h"
#include "platform/ui/ImgList.h"
#include "tests/ui/UiFixture.h"

namespace {

constexpr int MarkSize = 16;
constexpr int ListWidth = 240;

class MarkListBoxTest : public UiTest {
protected:
    TMarkListBox* list = nullptr;
    std::unique_ptr<TImageList> images = std::make_unique<TImageList>(MarkSize, MarkSize);

    void SetUp() override
    {
        UiTest::SetUp();
        TForm* form = NewForm(ListWidth + 40, 120);
        list = new TMarkListBox(form);
        list->SetParent(form);
        list->SetBounds(0, 0, ListWidth, 80);
        list->SetColor(clWhite);
        list->Font().SetColor(clBlack);
        list->SetItemHeight(MarkSize);
        form->Show();
        Turn();
    }

    void AddMark(TColor color)
    {
        TBitmap mark(MarkSize, MarkSize);
        mark.Canvas().Brush.Color = color;
        mark.Canvas().FillRect(Rect(0, 0, MarkSize, MarkSize));
        images->AddMasked(mark, clNone);
    }

    ui::test::TShownImage Rows()
    {
        list->Invalidate();
        Turn();
        return ui::test::GrabListRows(list);
    }

    // The columns of the row's rectangle that hold text (dark pixels).
    static std::vector<bool> InkColumns(const ui::test::TShownImage& rows, const TRect& row)
    {
        std::vector<bool> ink(static_cast<size_t>(row.Width()), false);
        for (int x = row.Left; x < row.Right && x < rows.Width; ++x)
            for (int y = row.Top; y < row.Bottom; ++y) {
                const TColor c = rows.Color(x, y);
                if (GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128)
                    ink[static_cast<size_t>(x - row.Left)] = true;
            }
        return ink;
    }

    static std::string Text(const std::vector<bool>& ink)
    {
        std::string s;
        for (bool b : ink)
            s += b ? '#' : '.';
        return s;
    }

    static int FirstInk(const std::vector<bool>& ink)
    {
        for (size_t x = 0; x < ink.size(); ++x)
            if (ink[x])
                return static_cast<int>(x);
        return -1;
    }

    static int LastInk(const std::vector<bool>& ink)
    {
        for (size_t x = ink.size(); x-- > 0;)
            if (ink[x])
                return static_cast<int>(x);
        return -1;
    }

    // The ink columns of the text drawn alone into a rectangle of the item's
    // size with the list's font and the given flags.
    std::vector<bool> ExpectedInk(const std::string& text, int left, int right, unsigned flags)
    {
        const TRect row = list->ItemRect(0);
        TBitmap bitmap(row.Width(), row.Height());
        TCanvas& canvas = bitmap.Canvas();
        canvas.Font.Assign(&list->Font());
        canvas.Brush.Color = clWhite;
        canvas.FillRect(Rect(0, 0, row.Width(), row.Height()));
        TRect r = Rect(left, 0, right, row.Height());
        r.Top = row.Height() / 2 - canvas.TextHeight(text) / 2;
        gfx::DrawText(canvas, text, r, flags);
        std::vector<bool> ink(static_cast<size_t>(row.Width()), false);
        for (int x = 0; x < row.Width(); ++x)
            for (int y = 0; y < row.Height(); ++y) {
                const TColor c = canvas.Pixels(x, y);
                if (GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128)
                    ink[static_cast<size_t>(x)] = true;
            }
        return ink;
    }
};

TEST_F(MarkListBoxTest, MarksFrameTheTextOnlyWhereThereAreImages)
{
    list->Items().Add("Lied.mid");
    const TRect row = list->ItemRect(0);
    const int middle = row.Top + row.Height() / 2;

    EXPECT_LE(FirstInk(InkColumns(Rows(), row)), 2) << "without images the text starts at the left edge";

    AddMark(clRed);
    list->SetImages(images.get());
    ui::test::TShownImage rows = Rows();
    EXPECT_EQ(rows.Color(0, middle), clRed);
    EXPECT_EQ(rows.Color(MarkSize - 1, middle), clRed);
    EXPECT_EQ(rows.Color(row.Right - 1, middle), clWhite) << "one image: no right mark";
    EXPECT_GE(FirstInk(InkColumns(rows, row)), MarkSize);

    AddMark(clBlue);
    rows = Rows();
    EXPECT_EQ(rows.Color(row.Right - MarkSize, middle), clBlue);
    EXPECT_EQ(rows.Color(row.Right - 1, middle), clBlue);
    EXPECT_EQ(rows.Color(0, middle), clRed);

    images.reset();
    EXPECT_EQ(list->Images(), nullptr) << "a freed image list is let go";
    EXPECT_LE(FirstInk(InkColumns(Rows(), row)), 2);
}

TEST_F(MarkListBoxTest, TextIsCentredAndShortenedAsAsked)
{
    AddMark(clRed);
    AddMark(clBlue);
    list->SetImages(images.get());
    const std::string path = "/home/anna/Musik/Sammlungen/Sommer & Sonne/Abendlieder/Lied am Meer.mid";
    list->Items().Add(path);
    const TRect row = list->ItemRect(0);
    const int textRight = row.Width() - MarkSize;

    struct Case {
        const char* Name;
        bool Center;
        TTextEllipsis Ellipsis;
        unsigned Flags;
    };
    const Case cases[] = {
        {"uncut, with a literal ampersand", false, teNone, DT_NOPREFIX},
        {"cut at the end", false, teEnd, DT_NOPREFIX | DT_END_ELLIPSIS},
        {"cut in the middle of the path", false, tePath, DT_NOPREFIX | DT_PATH_ELLIPSIS},
        {"centred and cut in the path", true, tePath, DT_NOPREFIX | DT_CENTER | DT_PATH_ELLIPSIS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        list->Ellipsis = c.Ellipsis;
        list->SetCenterText(c.Center);
        EXPECT_EQ(list->TextFlags(), c.Flags);
        const std::vector<bool> shown = InkColumns(Rows(), row);
        EXPECT_EQ(Text(shown), Text(ExpectedInk(path, MarkSize, textRight, c.Flags)));
        if (c.Ellipsis != teNone) {
            EXPECT_LT(LastInk(shown), textRight) << "the shortened text stays left of the right mark";
        }
    }

    // A short centred text sits in the middle between the marks.
    list->Items().SetStrings(0, "Lied");
    const std::vector<bool> centred = InkColumns(Rows(), row);
    const int leftGap = FirstInk(centred) - MarkSize;
    const int rightGap = textRight - 1 - LastInk(centred);
    EXPECT_NEAR(leftGap, rightGap, 3);
}

} // namespace
