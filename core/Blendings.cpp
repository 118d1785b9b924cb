#include "core/Blendings.h"

#include "core/Blendings.Pixels.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/StringList.h"

#include <algorithm>

namespace Blendings {

constinit std::array<bool, 32> RandomBlendings = [] {
    std::array<bool, 32> all{};
    all.fill(true);
    return all;
}();

void RandomAll() { RandomBlendings.fill(true); }

namespace {

std::uint32_t frameClock = 0;
// The flush of the transition running now (one at a time per process).
const TCanvasFlush* currentFlush = nullptr;
TCanvas* currentTarget = nullptr;

class TFlushScope {
public:
    TFlushScope(const TCanvasFlush& flush, TCanvas& canvas) : savedFlush_(currentFlush), savedTarget_(currentTarget)
    {
        currentFlush = flush ? &flush : nullptr;
        currentTarget = &canvas;
    }
    ~TFlushScope()
    {
        currentFlush = savedFlush_;
        currentTarget = savedTarget_;
    }
    TFlushScope(const TFlushScope&) = delete;
    TFlushScope& operator=(const TFlushScope&) = delete;

private:
    const TCanvasFlush* savedFlush_;
    TCanvas* savedTarget_;
};

void FlushTarget()
{
    if (currentFlush && currentTarget)
        (*currentFlush)(*currentTarget);
}

template <void (*Effect)(TBitmap&, TCanvas&)> void WithoutOld(TBitmap& newBitmap, TBitmap*, TCanvas& canvas)
{
    Effect(newBitmap, canvas);
}

void RunNone(TBitmap& newBitmap, TBitmap*, TCanvas& canvas) { BlendNone(newBitmap, canvas); }

template <void (*Effect)(TBitmap&, TBitmap&, TCanvas&)>
void WithOld(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas)
{
    if (SameBitmapSize(oldBitmap, newBitmap))
        Effect(newBitmap, *oldBitmap, canvas);
    else
        BlendNone(newBitmap, canvas);
}

} // namespace

// Grouped by engine: plain, lines and bands, slides, cells, alpha.
const std::array<TBlendingEffect, 32> BlendingEffects = {{
    {0, "Keine", false, 0, RunNone},
    {1, "Zufällig", false, 0, BlendRandomEnabled},
    {2, "Jalousie (Oben)", false, 10, WithoutOld<Blend1>},
    {3, "Jalousie (Unten)", false, 10, WithoutOld<Blend2>},
    {4, "Streifen (Oben-Unten-Oben)", false, 10, WithoutOld<Blend3>},
    {5, "Streifen (Unten-Oben-Unten)", false, 10, WithoutOld<Blend4>},
    {6, "Jalousie (Links)", false, 10, WithoutOld<Blend5>},
    {7, "Jalousie (Rechts)", false, 10, WithoutOld<Blend6>},
    {8, "Bild (Oben)", false, 30, WithoutOld<Blend7>},
    {9, "Bild (Unten)", false, 30, WithoutOld<Blend8>},
    {10, "Bild (Links)", false, 30, WithoutOld<Blend9>},
    {11, "Bild (Rechts)", false, 30, WithoutOld<Blend10>},
    {12, "Streifen (Oben und Unten)", false, 10, WithoutOld<Blend11>},
    {13, "Kästchen (gleichmäßig)", false, 10, WithoutOld<Blend12>},
    {14, "Kästchen (Links-Oben nach Rechts-Unten)", false, 10, WithoutOld<Blend13>},
    {15, "Kästchen (Rechts-Oben nach Links-Unten)", false, 10, WithoutOld<Blend14>},
    {16, "Kästchen (Rechts-Unten nach Links-Oben)", false, 10, WithoutOld<Blend15>},
    {17, "Kästchen (Links-Unten nach Rechts-Oben)", false, 10, WithoutOld<Blend16>},
    {18, "Kästchen (Zufällig)", false, 10, WithoutOld<Blend17>},
    {19, "Kästchen (Zufällig, klein)", false, 10, WithoutOld<Blend18>},
    {20, "Kästchen (Zufällig, sehr klein)", false, 10, WithoutOld<Blend19>},
    {21, "Kreis (Innen nach Außen)", false, 10, WithoutOld<Blend20>},
    {22, "Kreis (Außen nach Innen)", false, 10, WithoutOld<Blend21>},
    {23, "Ringe", false, 10, WithoutOld<Blend22>},
    {24, "Kreiseffekt", false, 10, WithoutOld<Blend23>},
    {25, "kleine Kreise", false, 10, WithoutOld<Blend24>},
    {26, "Radar", false, 10, WithoutOld<Blend25>},
    {27, "Spiral-Radar", false, 10, WithoutOld<Blend26>},
    {28, "Viertel-Radar", false, 10, WithoutOld<Blend27>},
    {29, "Viertel-Spiral-Radar", false, 10, WithoutOld<Blend28>},
    {30, "Alphablending", true, 20, WithOld<BlendAlpha>},
    {31, "Alphablending (weicher)", true, 20, WithOld<BlendAlphaSoft>},
}};

void BlendNr(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas, int n, const TCanvasFlush& flush)
{
    if (n < 0 || n >= static_cast<int>(BlendingEffects.size()))
        return;
    TFlushScope scope(flush, canvas);
    BlendingEffects[static_cast<std::size_t>(n)].Run(newBitmap, oldBitmap, canvas);
    FlushTarget();
}

void BlendNone(TBitmap& newBitmap, TCanvas& canvas)
{
    CopySame(canvas, newBitmap, 0, 0, newBitmap.Width(), newBitmap.Height());
}

void BlendRandom(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas)
{
    BlendNr(newBitmap, oldBitmap, canvas, 1 + rtl::Random(31));
}

void BlendRandomEnabled(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas)
{
    const int n = GetRandomBlending();
    BlendingEffects[static_cast<std::size_t>(n)].Run(newBitmap, oldBitmap, canvas);
}

int GetRandomBlending()
{
    if (std::none_of(RandomBlendings.begin() + 2, RandomBlendings.end(), [](bool on) { return on; }))
        return 0;
    for (;;) {
        const int k = rtl::Random(30);
        if (RandomBlendings[static_cast<std::size_t>(k + 2)])
            return k + 2;
    }
}

int GetBlending(int n)
{
    if (n == 1)
        return GetRandomBlending();
    return (n == 0 || (n >= 2 && n <= 31)) ? n : 0;
}

bool NeedOldBitmap(int n) { return n == 30 || n == 31; }

std::unique_ptr<TStringList> BlendingNames()
{
    auto names = std::make_unique<TStringList>();
    for (const TBlendingEffect& effect : BlendingEffects)
        names->Add(effect.Name);
    return names;
}

bool SameBitmapSize(const TBitmap* oldBitmap, const TBitmap& newBitmap)
{
    return oldBitmap && oldBitmap->Width() == newBitmap.Width() && oldBitmap->Height() == newBitmap.Height();
}

void StartFrameClock() { frameClock = rtl::GetTickCount(); }

void WaitFrameClock(int n)
{
    FlushTarget();
    // The tick counter wraps, so only the difference counts.
    const auto elapsed = [] { return static_cast<std::int64_t>(rtl::GetTickCount() - frameClock); };
    rtl::Sleep(10);
    do
        rtl::Sleep(1);
    while (elapsed() < n);
}

} // namespace Blendings
