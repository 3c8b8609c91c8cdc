// One whole paint pass of 10,000 visible objects into a 1024 x 768 back buffer, timed
// against the same shapes drawn by plain GDI calls with a pen per shape, in the same
// run. The benchmark library has no build for Windows here, so this small program times
// itself: per scene, three repetitions of 11 passes of each, alternating; it prints the
// best and the median of each repetition and the ratio of the medians.
//
// Built by the Windows cross build; run under Wine with a display, pinned to one core:
//   cmake --build build/win32 --target paint_pass_timing
//   xvfb-run -a -s "-screen 0 1024x768x24" taskset -c 5 scripts/wine-env wine build/win32/paint_pass_timing.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <vector>

#include "bench/bench_sketch.h"
#include "engine/core/circles.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"
#include "platform/win32/render/graphics_port.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kPasses = 11, kRepetitions = 3;

// Points on a 20-pixel grid, in sheets offset by 7 pixels, so that consecutive points
// of a row are 20 apart: the circles about them have radius 20.
RealPoint GridPoint(int i) {
    const int col = i % 50, row = (i / 50) % 37, sheet = i / 1850;
    return { 12.0 + 20 * col + 7 * sheet, 12.0 + 20 * row + 7 * sheet };
}

enum class Mix { kAll, kPoints, kSegments };

struct Scene {
    Sketch* sketch = nullptr;
    std::vector<SketchObject*> points, segments, circles, interiors;

    explicit Scene(Mix mix) {
        Sketch* previous;
        sketch = CreateSketch(0, nullptr);
        SetCurrentSketch(sketch, &previous);
        const int pointCount = mix == Mix::kAll ? 3334 : mix == Mix::kPoints ? 10000 : 10001;
        for (int i = 0; i < pointCount; ++i) {
            const RealPoint p = GridPoint(i);
            points.push_back(Free(p.x, p.y));
        }
        const int segmentCount = mix == Mix::kAll ? 3333 : mix == Mix::kSegments ? 10000 : 0;
        for (int i = 0; i < segmentCount; ++i) segments.push_back(Make(kTypeSegment, { points[i], points[i + 1] }));
        if (mix == Mix::kAll) {
            // 3333 objects more: circles, every twentieth with its interior.
            for (int i = 0; circles.size() + interiors.size() < 3333; ++i) {
                SketchObject* c = Make(kTypeCircleByPoint, { points[i], points[i + 1] });
                circles.push_back(c);
                if (i % 20 == 0 && circles.size() + interiors.size() < 3333) {
                    SketchObject* d = Make(kTypeCircleInterior, { c });
                    d->color = RGB(255, 160, 160);
                    interiors.push_back(d);
                }
            }
        }
        // Segments alone: their end points are not drawn.
        if (mix == Mix::kSegments)
            for (SketchObject* p : points) p->hidden = kHiddenByUser;
        SetCurrentSketch(previous, nullptr);
    }
    ~Scene() { FreeSketch(sketch); }
};

// The same shapes by plain calls: one pen (and brush) made per shape.
void PlainPass(HDC dc, const Scene& s, COLORREF background) {
    HBRUSH fill = CreateSolidBrush(background);
    RECT all{ 0, 0, kWidth, kHeight };
    FillRect(dc, &all, fill);
    DeleteObject(fill);
    for (SketchObject* p : s.interiors) {
        const CircleData* c = ClassData<CircleData>(p);
        HBRUSH brush = CreateSolidBrush(p->color);
        HPEN pen = CreatePen(PS_SOLID, 0, p->color);
        HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
        const int old = SetROP2(dc, R2_MASKPEN);
        Ellipse(dc, c->screenCentreX - c->screenRadius, c->screenCentreY - c->screenRadius,
                c->screenCentreX + c->screenRadius + 1, c->screenCentreY + c->screenRadius + 1);
        SetROP2(dc, old);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(brush);
        DeleteObject(pen);
    }
    HGDIOBJ hollow = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (SketchObject* p : s.circles) {
        const CircleData* c = ClassData<CircleData>(p);
        HPEN pen = CreatePen(PS_SOLID, 0, p->color);
        HGDIOBJ op = SelectObject(dc, pen);
        Ellipse(dc, c->screenCentreX - c->screenRadius, c->screenCentreY - c->screenRadius,
                c->screenCentreX + c->screenRadius + 1, c->screenCentreY + c->screenRadius + 1);
        SelectObject(dc, op);
        DeleteObject(pen);
    }
    SelectObject(dc, hollow);
    for (SketchObject* p : s.segments) {
        const StraightData* d = ClassData<StraightData>(p);
        HPEN pen = CreatePen(PS_SOLID, 0, p->color);
        HGDIOBJ op = SelectObject(dc, pen);
        const POINT line[2] = { { d->visiblePiece[0].x, d->visiblePiece[0].y },
                                { d->visiblePiece[1].x, d->visiblePiece[1].y } };
        Polyline(dc, line, 2);
        SelectObject(dc, op);
        DeleteObject(pen);
    }
    for (SketchObject* p : s.points) {
        if (p->hidden != kShown) continue;
        const RealPoint at = PointPosition(p);
        const int x = RoundToScreen(at.x), y = RoundToScreen(at.y);
        HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
        HBRUSH brush = CreateSolidBrush(p->color);
        HGDIOBJ op = SelectObject(dc, pen), ob = SelectObject(dc, brush);
        Ellipse(dc, x - 2, y - 2, x + 3, y + 3);
        SelectObject(dc, op);
        SelectObject(dc, ob);
        DeleteObject(pen);
        DeleteObject(brush);
    }
}

double Milliseconds(const std::function<void()>& pass) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    pass();
    GdiFlush();
    QueryPerformanceCounter(&b);
    return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

struct Figures {
    double best, median;
};
Figures Summary(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return { v.front(), v[v.size() / 2] };
}

void Run(const char* name, Mix mix, COLORREF background, GraphicsPort* port) {
    Scene scene(mix);
    scene.sketch->settings.palette[kColorSlotBackground] = background;
    Sketch* previous;
    SetCurrentSketch(scene.sketch, &previous);
    const ScreenRect all{ 0, 0, kWidth, kHeight };
    auto enginePass = [&] {
        BeginCanvasPaint(port, nullptr);
        DrawSketch(port, &all);
        EndCanvasPaint(port, nullptr);
    };
    auto plainPass = [&] { PlainPass(port->backDC, scene, background); };
    enginePass();  // the first pass also settles the sketch extent
    // Something was drawn: the first grid point or segment is ink, not background.
    const COLORREF first = GetPixel(port->backDC, 14, 12) & 0xFFFFFF;
    std::printf("%-26s %zu points, %zu segments, %zu circles, %zu interiors; ink at the first point: %s\n",
                name, mix == Mix::kSegments ? size_t{ 0 } : scene.points.size(), scene.segments.size(),
                scene.circles.size(), scene.interiors.size(), first != background ? "yes" : "NO");
    for (int rep = 1; rep <= kRepetitions; ++rep) {
        std::vector<double> engine, plain;
        for (int i = 0; i < kPasses; ++i) {
            engine.push_back(Milliseconds(enginePass));
            plain.push_back(Milliseconds(plainPass));
        }
        const Figures e = Summary(engine), p = Summary(plain);
        std::printf("%-26s rep %d  paint pass best %7.2f median %7.2f ms | plain GDI best %7.2f median %7.2f ms"
                    " | ratio of medians %.2f\n",
                    name, rep, e.best, e.median, p.best, p.median, e.median / p.median);
    }
    SetCurrentSketch(previous, nullptr);
}

}  // namespace

int main() {
    HDC screen = GetDC(nullptr);
    GraphicsPort port{};
    port.windowDC = screen;
    port.backDC = port.dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    HGDIOBJ old = SelectObject(port.backDC, bitmap);
    port.bufferRect = { 0, 0, kWidth, kHeight };
    port.lineBounds = { -kWidth, -kHeight, 2 * kWidth, 2 * kHeight };
    port.tracesDirty = kTracesClean;
    port.ropMode = R2_MASKPEN;
    port.contrastColor = RGB(0, 0, 0);
    port.selectionColor = RGB(255, 0, 0);

    Run("mixed, white", Mix::kAll, RGB(255, 255, 255), &port);
    Run("mixed, coloured", Mix::kAll, RGB(255, 250, 215), &port);
    Run("points only, white", Mix::kPoints, RGB(255, 255, 255), &port);
    Run("segments only, white", Mix::kSegments, RGB(255, 255, 255), &port);

    SelectObject(port.backDC, old);
    DeleteObject(bitmap);
    DeleteDC(port.backDC);
    ReleaseDC(nullptr, screen);
    return 0;
}
