#include "widgets/Gauges.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/Ksprgrss.h"

namespace {

constexpr TColor Fore = clBlack;
constexpr TColor Back = clWhite;

class TCountingGauge : public TGauge {
public:
    using TGauge::TGauge;
    void Invalidate() override
    {
        ++Invalidations;
        TGauge::Invalidate();
    }
    int Invalidations = 0;
};

class GaugeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(0, 0, 200, 200);
        form_->SetColor(clGreen);
        gauge_ = new TCountingGauge(form_.get());
        gauge_->SetParent(form_.get());
        gauge_->Font().SetName("Courier New");
        gauge_->Font().SetHeight(-12);
        gauge_->SetColor(clSilver);
    }

    // The gauge painted into a bitmap of its size.
    std::unique_ptr<TBitmap> Paint()
    {
        TBitmap whole(form_->ClientWidth(), form_->ClientHeight());
        form_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&whole.Canvas()), 0);
        auto image = std::make_unique<TBitmap>(gauge_->Width(), gauge_->Height());
        image->Canvas().CopyRect(Rect(0, 0, gauge_->Width(), gauge_->Height()), whole.Canvas(), gauge_->BoundsRect());
        return image;
    }

    // Columns [From, To) of row Y all have Color.
    static bool RowIs(TBitmap& Image, int Y, int From, int To, TColor Color)
    {
        for (int x = From; x < To; ++x)
            if (Image.Canvas().Pixels(x, Y) != Color)
                return false;
        return true;
    }

    std::unique_ptr<TForm> form_;
    TCountingGauge* gauge_ = nullptr;
};

TEST_F(GaugeTest, PercentDoneOfTheRange)
{
    struct Case {
        int min, max, progress, percent;
    } cases[] = {
        {0, 0, 0, 0},
        {0, 100, 50, 50},
        {0, 100, 100, 100},
        {-100, 100, 0, 50},
        {0, 3, 2, 66},
        {0, 2000000000, 1000000000, 50}, // no overflow of the product
        {-2000000000, 2000000000, 1999999999, 99},
    };
    for (const Case& c : cases) {
        TGauge gauge(nullptr);
        gauge.SetMaxValue(c.max);
        gauge.SetMinValue(c.min);
        gauge.SetProgress(c.progress);
        EXPECT_EQ(gauge.PercentDone(), c.percent) << c.min << ".." << c.max << " " << c.progress;
    }
}

TEST_F(GaugeTest, RangeIsKeptAndProgressClamped)
{
    EXPECT_THROW(gauge_->SetMaxValue(-1), EInvalidOperation);
    EXPECT_THROW(gauge_->SetMinValue(101), EInvalidOperation);
    EXPECT_EQ(gauge_->MaxValue(), 100);
    gauge_->SetProgress(150);
    EXPECT_EQ(gauge_->Progress(), 100);
    gauge_->SetProgress(-5);
    EXPECT_EQ(gauge_->Progress(), 0);
    gauge_->SetProgress(80);
    gauge_->SetMaxValue(60); // lowers the progress with it
    EXPECT_EQ(gauge_->Progress(), 60);
    gauge_->SetMinValue(10);
    gauge_->SetProgress(0);
    EXPECT_EQ(gauge_->Progress(), 10);

    // A form being read sets the ends in any order.
    TGauge loading(nullptr);
    loading.BeginLoading();
    EXPECT_NO_THROW(loading.SetMaxValue(-10));
    EXPECT_NO_THROW(loading.SetMinValue(-20));
    loading.EndLoading();
    EXPECT_EQ(loading.MinValue(), -20);
}

TEST_F(GaugeTest, ProgressRepaintsOnlyWhenThePercentageChanges)
{
    gauge_->SetMaxValue(1000);
    const int before = gauge_->Invalidations;
    gauge_->SetProgress(5); // still 0 %
    EXPECT_EQ(gauge_->Invalidations, before);
    gauge_->SetProgress(10);
    EXPECT_EQ(gauge_->Invalidations, before + 1);
    gauge_->AddProgress(1); // always repaints
    EXPECT_EQ(gauge_->Progress(), 11);
    EXPECT_EQ(gauge_->Invalidations, before + 2);
}

TEST_F(GaugeTest, BarsFillTheirShareInsideTheFrame)
{
    gauge_->SetShowText(false);
    struct Case {
        TGaugeKind kind;
        int width, height, progress;
        TRect filled; // where the fore colour is, inside the frame
    } cases[] = {
        {gkHorizontalBar, 100, 20, 50, {1, 1, 49, 19}},
        {gkHorizontalBar, 100, 20, 100, {1, 1, 99, 19}}, // up to the frame
        {gkHorizontalBar, 100, 20, 0, {}},
        {gkVerticalBar, 20, 100, 50, {1, 50, 19, 99}},
        {gkVerticalBar, 20, 100, 100, {1, 1, 19, 99}}, // one short of the height, up to the frame
    };
    for (const Case& c : cases) {
        gauge_->SetKind(c.kind);
        gauge_->SetBounds(0, 0, c.width, c.height);
        gauge_->SetProgress(c.progress);
        auto image = Paint();
        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const bool frame = x == 0 || y == 0 || x == c.width - 1 || y == c.height - 1;
                const bool fore = x >= c.filled.Left && x < c.filled.Right && y >= c.filled.Top && y < c.filled.Bottom;
                const TColor expected = frame || fore ? Fore : Back;
                wrong += image->Canvas().Pixels(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0) << int(c.kind) << " " << c.progress;
    }
}

TEST_F(GaugeTest, TextShowsInTheInverseOfWhatLiesUnderIt)
{
    gauge_->SetBounds(0, 0, 100, 24);
    gauge_->SetProgress(50);
    gauge_->SetShowText(false);
    auto plain = Paint();
    gauge_->SetShowText(true);
    auto withText = Paint();
    int onFore = 0, onBack = 0, notInverse = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 100; ++x) {
            const TColor under = plain->Canvas().Pixels(x, y);
            const TColor shown = withText->Canvas().Pixels(x, y);
            if (under == shown)
                continue;
            notInverse += shown != (under ^ 0xFFFFFF);
            (under == Fore ? onFore : onBack) += 1;
        }
    EXPECT_GT(onFore, 0); // "50%" straddles the end of the bar
    EXPECT_GT(onBack, 0);
    EXPECT_EQ(notInverse, 0);
    // A gauge without range shows 0 % and no bar.
    gauge_->SetMaxValue(0);
    auto empty = Paint();
    EXPECT_TRUE(RowIs(*empty, 1, 1, 99, Back));
}

TEST_F(GaugeTest, PieAndNeedlePointAtTheirShare)
{
    gauge_->SetShowText(false);
    gauge_->SetBounds(0, 0, 101, 101);
    struct Case {
        TGaugeKind kind;
        int progress;
        TPoint fore;
        TPoint back;
    } cases[] = {
        {gkPie, 25, {70, 30}, {30, 30}}, // the upper right quarter, clockwise from the top
        {gkPie, 25, {70, 30}, {70, 70}},   {gkPie, 75, {30, 70}, {30, 30}},
        {gkPie, 0, {-1, -1}, {70, 30}},    {gkNeedle, 50, {50, 40}, {40, 40}}, // straight up
        {gkNeedle, 0, {-1, -1}, {50, 40}},
    };
    for (const Case& c : cases) {
        gauge_->SetKind(c.kind);
        gauge_->SetProgress(c.progress);
        auto image = Paint();
        if (c.fore.X >= 0) {
            EXPECT_EQ(image->Canvas().Pixels(c.fore.X, c.fore.Y), Fore) << int(c.kind) << " " << c.progress;
        }
        EXPECT_EQ(image->Canvas().Pixels(c.back.X, c.back.Y), Back) << int(c.kind) << " " << c.progress;
    }
}

class TOwnProgressBar : public TProgressBar {
public:
    using TProgressBar::TProgressBar;
};

class TSideGauge : public TGauge {
    DECLARE_CLASS(TSideGauge, TGauge)
public:
    using TGauge::TGauge;
};
IMPLEMENT_CLASS(TSideGauge)

TEST_F(GaugeTest, RegistryDrivesControlsByPropertyName)
{
    TGauge gauge(nullptr);
    EXPECT_TRUE(Ksprgrss::SupportsProgressControl(&gauge));
    EXPECT_TRUE(Ksprgrss::SetProgressMax(&gauge, 200));
    EXPECT_TRUE(Ksprgrss::SetProgressValue(&gauge, 150));
    EXPECT_EQ(gauge.MaxValue(), 200);
    EXPECT_EQ(gauge.Progress(), 150);

    // A class derived from the platform's progress bar moves "Position".
    TOwnProgressBar bar(nullptr);
    EXPECT_TRUE(Ksprgrss::SetProgressMin(&bar, 5));
    EXPECT_TRUE(Ksprgrss::SetProgressValue(&bar, 40));
    EXPECT_EQ(bar.Min(), 5);
    EXPECT_EQ(bar.Position(), 40);

    TButton button(nullptr);
    EXPECT_FALSE(Ksprgrss::SupportsProgressControl(&button));
    EXPECT_FALSE(Ksprgrss::SetProgressValue(&button, 1));
    EXPECT_FALSE(Ksprgrss::SetProgressValue(nullptr, 1));

    // The last registration wins; one whose property is missing fails.
    TSideGauge side(nullptr);
    Ksprgrss::RegisterProgressControl(TSideGauge::StaticClass(), "MaxValue", "MinValue", "MinValue");
    EXPECT_TRUE(Ksprgrss::SetProgressValue(&side, 30));
    EXPECT_EQ(side.MinValue(), 30);
    Ksprgrss::RegisterProgressControl(TSideGauge::StaticClass(), "MaxValue", "MinValue", "NoSuchProperty");
    EXPECT_FALSE(Ksprgrss::SetProgressValue(&side, 40));
    EXPECT_TRUE(Ksprgrss::SetProgressValue(&gauge, 7));

    // Unregistering a class takes its descendants' records with it.
    Ksprgrss::UnRegisterProgressControl(TGauge::StaticClass());
    EXPECT_FALSE(Ksprgrss::SupportsProgressControl(&side));
    EXPECT_FALSE(Ksprgrss::SupportsProgressControl(&gauge));
    Ksprgrss::RegisterProgressControl(TGauge::StaticClass(), "MaxValue", "MinValue", "Progress");
    EXPECT_TRUE(Ksprgrss::SetProgressValue(&side, 50));
    EXPECT_EQ(side.Progress(), 50);
}

} // namespace
