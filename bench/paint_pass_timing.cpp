// One whole paint pass of 10,000 visible objects into a 1024 x 768 back buffer, timed
// against the same shapes drawn by plain GDI calls with one pen and one brush per colour,
// in the same run; the two buffers are compared pixel for pixel after each scene's first
// passes, so the baseline draws exactly what the pass draws. The benchmark library has
// no build for Windows here, so this small program times itself: per scene, three
// repetitions of 11 passes of each, alternating; it prints the best and the median of
// each repetition and the ratio of the medians.
//
// The mixed scene on white is timed for figlate too, with the later release's forms
// installed: with "Never" against figmantle's pass (the seam's cost; at most 1.05), and with
// "Always" against the same shapes drawn by direct flat GDI+ calls with a pen per shape
// (the drawing routines' own cost above GDI+; at most 1.3); both also against plain GDI.
//
// Built by the Windows cross build; run under Wine with a display, pinned to one core:
//   cmake --build build/win32 --target paint_pass_timing
//   xvfb-run -a -s "-screen 0 1024x768x24" taskset -c 5 scripts/wine-env wine build/win32/paint_pass_timing.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <map>
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
#include "engine/core/services/later_release.h"
#include "engine/core/services/preferences.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/shape_drawing.h"
#include "release2/draw/win32/antialias_layer.h"
#include "release2/draw/win32/antialias_policy.h"
#include "release2/draw/win32/gdiplus_calls.h"

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

// One pen or brush per colour, made when first needed and kept for the pass.
class PlainTools {
public:
    ~PlainTools() {
        for (auto& [c, pen] : pens_) DeleteObject(pen);
        for (auto& [c, brush] : brushes_) DeleteObject(brush);
    }
    HPEN Pen(COLORREF c) {
        HPEN& pen = pens_[c];
        if (!pen) pen = CreatePen(PS_SOLID, 0, c);
        return pen;
    }
    HBRUSH Brush(COLORREF c) {
        HBRUSH& brush = brushes_[c];
        if (!brush) brush = CreateSolidBrush(c);
        return brush;
    }
private:
    std::map<COLORREF, HPEN> pens_;
    std::map<COLORREF, HBRUSH> brushes_;
};

// The box from the real centre and radius, rounded as the pass rounds it. A circle too
// large for GDI's ellipse is flattened, by the pass's own routine, as the pass does.
void PlainDisc(HDC dc, const SketchObject* p, bool fill) {
    const CircleData* c = ClassData<CircleData>(p);
    if (c->radius >= kGdiRadiusLimit) {
        DrawFlattenedArc(dc, FullTurnSpec(c->centre, c->radius, c->radius), fill);
        return;
    }
    const int left = RoundToScreen(c->centre.x - c->radius), right = RoundToScreen(c->centre.x + c->radius);
    const int top = RoundToScreen(c->centre.y - c->radius), bottom = RoundToScreen(c->centre.y + c->radius);
    Ellipse(dc, left, top, right + 1, bottom + 1);
}

// The same shapes by plain calls, in the pass's order, with one pen and brush per colour.
// On a coloured light background the interiors first blank their area to white, so that
// the masked fill shows their own colour.
// The scene's points as GDI draws them in both baselines: a black-edged disc of their colour.
void PlainPoints(HDC dc, const Scene& s, PlainTools& tools) {
    SelectObject(dc, tools.Pen(RGB(0, 0, 0)));
    for (SketchObject* p : s.points) {
        if (p->hidden != kShown) continue;
        const RealPoint at = PointPosition(p);
        const int x = RoundToScreen(at.x), y = RoundToScreen(at.y);
        SelectObject(dc, tools.Brush(p->color));
        Ellipse(dc, x - 2, y - 2, x + 3, y + 3);
    }
}

void PlainPass(HDC dc, const Scene& s, COLORREF background) {
    PlainTools tools;
    HGDIOBJ oldPen = SelectObject(dc, tools.Pen(background));
    HGDIOBJ oldBrush = SelectObject(dc, tools.Brush(background));
    RECT all{ 0, 0, kWidth, kHeight };
    FillRect(dc, &all, tools.Brush(background));
    const int sum = GetRValue(background) + GetGValue(background) + GetBValue(background);
    if (sum != 765 && sum != 0 && !s.interiors.empty()) {
        SelectObject(dc, tools.Pen(RGB(255, 255, 255)));
        SelectObject(dc, tools.Brush(RGB(255, 255, 255)));
        for (SketchObject* p : s.interiors) PlainDisc(dc, p, true);
    }
    const int old = SetROP2(dc, R2_MASKPEN);
    for (SketchObject* p : s.interiors) {
        SelectObject(dc, tools.Brush(p->color));
        SelectObject(dc, tools.Pen(p->color));
        PlainDisc(dc, p, true);
    }
    SetROP2(dc, old);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (SketchObject* p : s.circles) {
        SelectObject(dc, tools.Pen(p->color));
        PlainDisc(dc, p, false);
    }
    for (SketchObject* p : s.segments) {
        const StraightData* d = ClassData<StraightData>(p);
        SelectObject(dc, tools.Pen(p->color));
        POINT line[2] = { { d->visiblePiece[0].x, d->visiblePiece[0].y },
                          { d->visiblePiece[1].x, d->visiblePiece[1].y } };
        // Drawn downwards (rightwards when level) as the pass draws it: GDI leaves out
        // the last pixel, so the direction decides which end shows.
        if (line[0].x > line[1].x) std::swap(line[0], line[1]);
        if (line[0].y > line[1].y) std::swap(line[0], line[1]);
        Polyline(dc, line, 2);
    }
    PlainPoints(dc, s, tools);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

// The buffer's pixels, top-down 32-bit.
std::vector<uint32_t> Pixels(HDC dc) {
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    GetDIBits(dc, bitmap, 0, kHeight, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
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
    GdiFlush();
    const std::vector<uint32_t> drawn = Pixels(port->backDC);
    PlainPass(port->backDC, scene, background);
    GdiFlush();
    const std::vector<uint32_t> plainDrawn = Pixels(port->backDC);
    size_t differing = 0;
    uint32_t enginePixel = 0, plainPixel = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        if ((drawn[i] & 0xFFFFFF) == (plainDrawn[i] & 0xFFFFFF)) continue;
        if (differing++ == 0) enginePixel = drawn[i] & 0xFFFFFF, plainPixel = plainDrawn[i] & 0xFFFFFF;
    }
    enginePass();
    // Something was drawn: the first grid point or segment is ink, not background.
    const COLORREF first = GetPixel(port->backDC, 14, 12) & 0xFFFFFF;
    std::printf("%-26s %zu points, %zu segments, %zu circles, %zu interiors; ink at the first point: %s\n",
                name, mix == Mix::kSegments ? size_t{ 0 } : scene.points.size(), scene.segments.size(),
                scene.circles.size(), scene.interiors.size(), first != background ? "yes" : "NO");
    if (differing == 0) {
        std::printf("%-26s pixels of the pass and the plain pass: identical\n", name);
    } else {
        std::printf("%-26s pixels of the pass and the plain pass: %zu DIFFER (first: pass %06x, plain %06x)\n",
                    name, differing, unsigned(enginePixel), unsigned(plainPixel));
    }
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

// The circles and segments by flat GDI+ calls with a pen made per shape, the rest as the
// plain pass draws it: what an anti-aliased pass cannot do with less.
void FlatGdiPlusPass(HDC dc, const Scene& s, COLORREF background) {
    PlainTools tools;
    RECT all{ 0, 0, kWidth, kHeight };
    FillRect(dc, &all, tools.Brush(background));
    HGDIOBJ oldPen = SelectObject(dc, tools.Pen(background));
    HGDIOBJ oldBrush = SelectObject(dc, tools.Brush(background));
    const int old = SetROP2(dc, R2_MASKPEN);
    for (SketchObject* p : s.interiors) {
        SelectObject(dc, tools.Brush(p->color));
        SelectObject(dc, tools.Pen(p->color));
        PlainDisc(dc, p, true);
    }
    SetROP2(dc, old);
    GdiPlusCalls& c = GdiPlusCallTable();
    Gdiplus::GpGraphics* g = nullptr;
    c.createFromHdc(dc, &g);
    c.setSmoothingMode(g, Gdiplus::SmoothingModeAntiAlias);
    auto pen = [&](COLORREF color) {
        Gdiplus::GpPen* p = nullptr;
        c.createPen(ArgbFromColor(color), 1.0f, Gdiplus::UnitWorld, &p);
        return p;
    };
    for (SketchObject* p : s.circles) {
        const CircleData* d = ClassData<CircleData>(p);
        Gdiplus::GpPen* q = pen(p->color);
        c.drawEllipse(g, q, float(d->centre.x - d->radius), float(d->centre.y - d->radius), float(2 * d->radius),
                      float(2 * d->radius));
        c.deletePen(q);
    }
    for (SketchObject* p : s.segments) {
        const StraightData* d = ClassData<StraightData>(p);
        Gdiplus::GpPen* q = pen(p->color);
        c.drawLine(g, q, d->visiblePiece[0].x, d->visiblePiece[0].y, d->visiblePiece[1].x, d->visiblePiece[1].y);
        c.deletePen(q);
    }
    c.deleteGraphics(g);
    PlainPoints(dc, s, tools);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void Report(const char* name, const char* what, const char* against, std::vector<double> a,
            std::vector<double> b, double limit) {
    const Figures x = Summary(std::move(a)), y = Summary(std::move(b));
    const double ratio = x.median / y.median;
    std::printf("%-26s %s median %7.2f ms | %s median %7.2f ms | ratio %.2f%s\n", name, what, x.median, against,
                y.median, ratio, limit > 0 ? (ratio <= limit ? " (within the limit)" : " (ABOVE THE LIMIT)") : "");
}

// figlate's passes of the mixed scene: "Never" and "Always" through the later release's forms.
void RunFiglate(GraphicsPort* port) {
    const COLORREF background = RGB(255, 255, 255);
    Scene scene(Mix::kAll);
    scene.sketch->settings.palette[kColorSlotBackground] = background;
    scene.sketch->windowRect = { 0, 0, kWidth, kHeight };
    Sketch* previous;
    SetCurrentSketch(scene.sketch, &previous);
    const ScreenRect all{ 0, 0, kWidth, kHeight };
    auto figmantlePass = [&] {
        BeginCanvasPaint(port, &all);
        DrawSketch(port, &all);
        EndCanvasPaint(port, &all);
    };
    auto figlatePass = [&] {
        LaterForms().drawing.beginRedraw(port, &all);
        DrawSketch(port, &all);
        LaterForms().drawing.endRedraw(port, &all);
    };
    auto plainPass = [&] { PlainPass(port->backDC, scene, background); };
    auto flatPass = [&] { FlatGdiPlusPass(port->backDC, scene, background); };
    StartGdiPlus();
    if (!GdiPlusAvailable()) std::printf("figlate: GDI+ did not start; its passes are plain\n");
    LaterReleaseForms forms = {};
    AddDrawingForms(&forms);
    figmantlePass();
    for (int rep = 1; rep <= kRepetitions; ++rep) {
        std::vector<double> never, always, mantle, plain, flat;
        for (int i = 0; i < kPasses; ++i) {
            ResetLaterForms();
            mantle.push_back(Milliseconds(figmantlePass));
            InstallLaterForms(forms);
            ThePreferences().antiAliasPreference = 0;
            never.push_back(Milliseconds(figlatePass));
            ThePreferences().antiAliasPreference = 2;
            always.push_back(Milliseconds(figlatePass));
            flat.push_back(Milliseconds(flatPass));
            plain.push_back(Milliseconds(plainPass));
        }
        std::printf("figlate, mixed, white: rep %d\n", rep);
        Report("  Never", "figlate", "figmantle", never, mantle, 1.05);
        Report("  Never", "figlate", "plain GDI", never, plain, 0);
        Report("  Always", "figlate", "flat GDI+", always, flat, 1.3);
        Report("  Always", "figlate", "plain GDI", always, plain, 0);
    }
    ThePreferences().antiAliasPreference = 0;
    ResetLaterForms();
    StopGdiPlus();
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
    RunFiglate(&port);

    SelectObject(port.backDC, old);
    DeleteObject(bitmap);
    DeleteDC(port.backDC);
    ReleaseDC(nullptr, screen);
    return 0;
}
