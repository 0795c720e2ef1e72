// Costs of the toolkit on the paint path: one off-screen paint cycle (buffer made,
// filled white, a few fills and texts drawn, copied to the target, released) for a
// window-sized area, into a DIB section and into the screen; and the one-off cost
// of building the shared fonts at start-up.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "framework/DeviceContexts.h"
#include "framework/Gdi.h"
#include "ui/widgets/SharedFonts.h"
#include "ui/widgets/XTMemDC.h"

namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 500;

double Microseconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&stop);
    return 1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double MedianMicroseconds(int runs, const std::function<void()>& work) {
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        samples.push_back(Microseconds(work));
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// What a skinned page draws in one paint, roughly: panels and a dozen texts.
void PaintPage(HDC target) {
    CXTMemDC dc(target, RECT{0, 0, kWidth, kHeight});
    fw::Brush panel(CreateSolidBrush(RGB(237, 246, 241)));
    for (int i = 0; i < 6; ++i) {
        RECT r{20, 20 + i * 70, kWidth - 20, 80 + i * 70};
        FillRect(dc.Get(), &r, panel.Get());
    }
    fw::SelectGuard font(dc.Get(), FontSegoe13);
    for (int i = 0; i < 12; ++i) {
        RECT r{30, 25 + i * 35, kWidth - 30, 55 + i * 35};
        DrawTextW(dc.Get(), L"Volume fragmentation 12.34%", -1, &r, DT_LEFT | DT_SINGLELINE);
    }
}

}  // namespace

int wmain() {
    const double fontsUs = Microseconds(BuildSharedFonts);
    std::printf("BuildSharedFonts (20 fonts, first call): %.0f us\n", fontsUs);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    fw::Bitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fw::MemoryDC dibDc(nullptr);
    dibDc.Select(dib.Get());
    std::printf("Paint cycle %dx%d into a DIB section: median %.0f us over 200\n", kWidth, kHeight,
                MedianMicroseconds(200, [&] { PaintPage(dibDc.Get()); }));

    HDC screen = GetDC(nullptr);
    std::printf("Paint cycle %dx%d into the screen DC: median %.0f us over 200\n", kWidth, kHeight,
                MedianMicroseconds(200, [&] { PaintPage(screen); }));
    ReleaseDC(nullptr, screen);
    return 0;
}
