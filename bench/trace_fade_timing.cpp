// The later release's true-colour fading step on a 1024 x 768 traced area at 32 bits,
// timed against the same band copied out to a bitmap of its size and back by BitBlt alone
// (the least a fading step through a section can cost), with the older dissolve step of
// the same area beside it. Each fading step handles one of four bands, so a cycle is
// four steps; each figure is per step. The benchmark library has no build for Windows
// here, so this program times itself: three repetitions of 40 steps of each, alternating;
// it prints the median of each repetition and the ratio of the medians, after one round
// that warms the caches and the fading section up untimed.
//
// Built by the Windows cross build; run under Wine with a display, pinned to one core:
//   cmake --build build/win32 --target trace_fade_timing
//   xvfb-run -a -s "-screen 0 1024x768x24" taskset -c 5 scripts/wine-env wine build/win32/trace_fade_timing.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "engine/core/services/later_release.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/traces.h"
#include "release2/platform/trace_fading.h"
#include "release2/platform/win32/platform_forms_win32.h"
#include "release2/platform/win32/trace_fading_win32.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kSteps = 40, kRepetitions = 3;

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

// Median time of one call of `step`, over kSteps calls.
double MedianStep(const std::function<void(int)>& step) {
    std::vector<double> times;
    for (int i = 0; i < kSteps; ++i) {
        const double start = Seconds();
        step(i);
        times.push_back(Seconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

HBITMAP Section(HDC dc, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

int main() {
    // The traces layer as the program makes it: a bitmap compatible with the screen.
    HDC screen = GetDC(nullptr);
    HDC traces = CreateCompatibleDC(screen);
    HBITMAP layer = CreateCompatibleBitmap(screen, kWidth, kHeight);
    ReleaseDC(nullptr, screen);
    if (!layer || GetDeviceCaps(traces, BITSPIXEL) != 32) {
        std::printf("needs a display of 24 or 32 bits\n");
        return 1;
    }
    SelectObject(traces, layer);
    PatBlt(traces, 0, 0, kWidth, kHeight, WHITENESS);
    for (int y = 0; y < kHeight; y += 6) {
        MoveToEx(traces, 0, y, nullptr);
        LineTo(traces, kWidth, kHeight - y);
    }
    GraphicsPort port{};
    port.tracesDC = traces;
    port.tracesBitsPerPixel = 32;
    const ScreenRect area = { 1, 1, kWidth - 1, kHeight - 1 };
    auto restart = [&] {
        port.tracesDirty = area;
        port.fadeCounter = 1 << 20;  // the countdown never ends while timing
    };

    // The band of the step, as the fading step takes it.
    auto band = [&](int i) {
        const int height = kHeight / kFadeBandCount;
        const int top = (i % kFadeBandCount) * height;
        return RECT{ 0, top, kWidth, i % kFadeBandCount == kFadeBandCount - 1 ? kHeight : top + height };
    };
    HDC copy = CreateCompatibleDC(traces);
    HBITMAP copyBitmap = Section(traces, kWidth, kHeight - 3 * (kHeight / kFadeBandCount));
    SelectObject(copy, copyBitmap);

    LaterReleaseForms forms = {};
    AddPlatformWin32Forms(&forms);
    std::printf("per step (one band of four), ms: later release, BitBlt out and back, older dissolve\n");
    double ratios[kRepetitions];
    for (int r = -1; r < kRepetitions; ++r) {  // the first round only warms up
        restart();
        InstallLaterForms(forms);
        const double fading = MedianStep([&](int) { FadeTracesStep(&port); });
        ResetLaterForms();
        const double blits = MedianStep([&](int i) {
            const RECT b = band(i);
            BitBlt(copy, 0, 0, b.right - b.left, b.bottom - b.top, traces, b.left, b.top, SRCCOPY);
            BitBlt(traces, b.left, b.top, b.right - b.left, b.bottom - b.top, copy, 0, 0, SRCCOPY);
        });
        restart();
        const double dissolve = MedianStep([&](int) { FadeTracesStep(&port); });
        if (r < 0) continue;
        ratios[r] = fading / blits;
        std::printf("  %.3f  %.3f  %.3f   ratio %.2f\n", fading * 1e3, blits * 1e3, dissolve * 1e3, ratios[r]);
    }
    std::sort(ratios, ratios + kRepetitions);
    std::printf("median ratio %.2f (at most 2 wanted)\n", ratios[kRepetitions / 2]);
    DeleteDC(copy);
    DeleteObject(copyBitmap);
    DeleteDC(traces);
    DeleteObject(layer);
    return 0;
}
