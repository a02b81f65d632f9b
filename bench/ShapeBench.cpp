// Shaping a window from a 1024 x 768 mask with many runs (a checkerboard of
// 4 x 4 cells): the region built in one go against the region merged one run
// at a time, both from the same runs, and the whole ApplyShapeTo on a window.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "Forms.h"
#include "KvBackImage.h"

namespace {

double Millis(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

template <class F>
double Time(F f) {
    LARGE_INTEGER a, b;
    ::QueryPerformanceCounter(&a);
    f();
    ::QueryPerformanceCounter(&b);
    return Millis(a, b);
}

}  // namespace

int main() {
    const int w = 1024, h = 768, cell = 4;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = ((x / cell + y / cell) & 1) ? 0x00FFFFFF : 0x00FF00FF;

    std::vector<TRect> runs;
    const double scan = Time([&] { runs = KvMaskRuns(pixels.data(), w, h); });
    GdiRegion fast, slow;
    const double oneGo = Time([&] { fast = KvRegionFromRuns(runs); });
    const double oneByOne = Time([&] { slow = KvRegionFromRunsOneByOne(runs); });
    const bool equal = fast && slow && ::EqualRgn(fast, slow);

    // The whole operation on a real window: bitmap, scan, region, SetWindowRgn.
    TBitmap mask;
    mask.SetSize(w, h);
    TCanvas* c = mask.Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, w, h));
    c->Brush()->SetColor(clWhite);
    for (int y = 0; y < h; y += cell)
        for (int x = ((y / cell) & 1) ? 0 : cell; x < w; x += 2 * cell) c->FillRect(TRect(x, y, x + cell, y + cell));
    TForm form(nullptr);
    form.SetBounds(0, 0, w + 40, h + 60);
    form.HandleNeeded();
    auto* target = new TCustomControl(&form);
    static_cast<TControl*>(target)->SetParent(&form);
    target->SetBounds(0, 0, w, h);
    bool shaped = false;
    const double apply = Time([&] { shaped = TKvBackImage::ApplyShapeTo(target, &mask, false); });

    std::printf("mask %d x %d, %zu runs (scan %.1f ms)\n", w, h, runs.size(), scan);
    std::printf("region in one go:       %9.1f ms\n", oneGo);
    std::printf("region run by run:      %9.1f ms\n", oneByOne);
    std::printf("ratio:                  %9.1f x\n", oneByOne / oneGo);
    std::printf("regions equal:          %s\n", equal ? "yes" : "NO");
    std::printf("ApplyShapeTo on window: %9.1f ms (%s)\n", apply, shaped ? "shaped" : "FAILED");
    return equal && shaped ? 0 : 1;
}
