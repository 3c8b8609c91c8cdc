// Class drawing of coordinate systems (class 8): the grid over the paint rectangle at
// the tick spacing the engine worked out, square or rectangular (lines through every
// column and row, dots at the grid points) or polar (rings and 15-degree spokes, dots
// on the rings). The line style chooses the form: dashed shows only dots, normal only
// lines, thick both.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/core/angle_constants.h"
#include "engine/core/geometry.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_drawing.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"

namespace {

// intMetricsB position of the side of a grid dot (5 on screen).
constexpr int32_t kMetricGridDot = 6;
// A range of more columns or rows than this is a spacing below a pixel (a damaged unit
// or an extreme print scale): nothing of it would show but the time spent.
constexpr int64_t kMaxLines = 4000;
constexpr int32_t kSpokes = 24;  // dots every 15 degrees; 12 lines through the origin
// The dots' colour of a selection pass: its dots are a halo of the pen's width, or only
// outlined, so they stay GDI's.
constexpr uint32_t kGdiDots = 0xFFFFFFFFu;

struct UnitRange {
    int32_t colLo, colHi;  // columns: x = origin x + i unit x
    int32_t rowLo, rowHi;  // rows:    y = origin y - j unit y
};

int32_t RoundClamp(double v) { return RoundToScreen(v); }

void Dot(HDC dc, int32_t x, int32_t y) {
    const int32_t d = DrawingMetrics.intMetricsB[kMetricGridDot];
    Ellipse(dc, x - d / 2, y - d / 2, x - d / 2 + d, y - d / 2 + d);
}

// The dots of a ring at one angle of its first quarter and at its mirror images in the
// other three; the two on the axes are drawn once.
void MirroredRingDots(GraphicsPort* port, double cx, double cy, double dx, double dy, uint32_t color) {
    const int32_t d = DrawingMetrics.intMetricsB[kMetricGridDot];
    const RECT p = PortDrawArea(port);
    const bool leftIn = cx - dx >= p.left - d && cx - dx <= p.right + d;
    const bool rightIn = cx + dx >= p.left - d && cx + dx <= p.right + d;
    const bool topIn = cy - dy >= p.top - d && cy - dy <= p.bottom + d;
    const bool bottomIn = cy + dy >= p.top - d && cy + dy <= p.bottom + d;
    if (!(leftIn || rightIn) || !(topIn || bottomIn)) return;
    const auto antiAliased = LaterForms().drawing.fillMirroredDots;
    if (color != kGdiDots && antiAliased && antiAliased(port, cx, cy, dx, dy, d / 2.0, color)) return;
    HDC dc = port->dc;
    Dot(dc, RoundClamp(cx + dx), RoundClamp(cy - dy));
    if (dx != 0 && dy != 0) Dot(dc, RoundClamp(cx - dx), RoundClamp(cy - dy));
    Dot(dc, RoundClamp(cx - dx), RoundClamp(cy + dy));
    if (dx != 0 && dy != 0) Dot(dc, RoundClamp(cx + dx), RoundClamp(cy + dy));
}

void DrawCartesianGrid(GraphicsPort* port, const UnitRange& r, double ox, double oy, double ux, double uy,
                       bool lines, bool dots) {
    HDC dc = port->dc;
    const RECT p = PortDrawArea(port);
    if (int64_t(r.colHi) - r.colLo > kMaxLines || int64_t(r.rowHi) - r.rowLo > kMaxLines) return;
    if (lines) {
        for (int32_t i = r.colLo; i <= r.colHi; ++i) {
            const int32_t x = RoundClamp(ox + i * ux);
            if (x < p.left || x > p.right) continue;
            MoveToEx(dc, x, p.top, nullptr);
            LineTo(dc, x, p.bottom);
        }
    }
    for (int32_t j = r.rowLo; j <= r.rowHi; ++j) {
        const int32_t y = RoundClamp(oy - j * uy);
        if (y < p.top || y > p.bottom) continue;
        if (lines) {
            MoveToEx(dc, p.left, y, nullptr);
            LineTo(dc, p.right, y);
        }
        if (!dots) continue;
        for (int32_t i = r.colLo; i <= r.colHi; ++i) {
            const int32_t x = RoundClamp(ox + i * ux);
            if (x >= p.left && x <= p.right) Dot(dc, x, y);
        }
    }
}

int32_t SmallestMagnitude(int32_t lo, int32_t hi) { return std::min(std::abs(lo), std::abs(hi)); }
int32_t LargestMagnitude(int32_t lo, int32_t hi) { return std::max(std::abs(lo), std::abs(hi)); }

void DrawPolarGrid(GraphicsPort* port, const UnitRange& r, double ox, double oy, double ux, double uy, bool lines,
                   bool dots, uint32_t dotColor) {
    HDC dc = port->dc;
    // Rings: up to the first one beyond the farthest corner of the range.
    const int64_t maxCol = LargestMagnitude(r.colLo, r.colHi), maxRow = LargestMagnitude(r.rowLo, r.rowHi);
    int64_t rings = maxCol + maxRow;
    while (rings * rings > maxCol * maxCol + maxRow * maxRow) --rings;
    ++rings;
    // The first ring that reaches the range: the range's nearest point to the origin.
    const bool spansX = r.colLo <= 0 && r.colHi >= 0, spansY = r.rowLo <= 0 && r.rowHi >= 0;
    const int64_t minCol = SmallestMagnitude(r.colLo, r.colHi), minRow = SmallestMagnitude(r.rowLo, r.rowHi);
    int64_t first = 1;
    if (spansX && spansY) first = 1;
    else if (spansX) first = minRow;
    else if (spansY) first = minCol;
    else {
        const int64_t nearest = minCol * minCol + minRow * minRow;
        first = int64_t(std::sqrt(double(nearest)));
        while (first * first > nearest) --first;
        while ((first + 1) * (first + 1) <= nearest) ++first;
    }
    // Rings that cannot reach the paint rectangle draw nothing, but a far origin can put
    // tens of thousands of them before the first that does: their dots are skipped by
    // position, and rings beyond the line limit are not worth stroking at all.
    if (rings - first > kMaxLines) return;
    const RECT p = PortDrawArea(port);
    const int32_t d = DrawingMetrics.intMetricsB[kMetricGridDot];
    // A ring below the first cannot reach the range, but the range was rounded to whole
    // units, so the dots of the one just below it are still looked at.
    for (int64_t i = std::max<int64_t>(1, dots ? first - 1 : first); i <= rings; ++i) {
        if (lines && i >= first) {
            const RECT box = { RoundClamp(ox - i * ux), RoundClamp(oy - i * uy), RoundClamp(ox + i * ux),
                               RoundClamp(oy + i * uy) };
            HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            DrawEllipseInBox(dc, box, false);
            SelectObject(dc, brush);
        }
        if (!dots) continue;
        if (LaterForms().drawing.fillMirroredDots) {
            // By symmetry: a quarter turn of angles, each at its four places.
            for (int32_t k = 0; k <= kSpokes / 4; ++k) {
                const double angle = k * (kTwoPi / kSpokes);
                const double dx = k == kSpokes / 4 ? 0 : i * ux * std::cos(angle);
                const double dy = k == 0 ? 0 : i * uy * std::sin(angle);
                MirroredRingDots(port, ox, oy, dx, dy, dotColor);
            }
            continue;
        }
        for (int32_t k = 0; k < kSpokes; ++k) {
            const double angle = k * (kTwoPi / kSpokes);
            const double x = ox + i * ux * std::cos(angle), y = oy - i * uy * std::sin(angle);
            if (x < p.left - d || x > p.right + d || y < p.top - d || y > p.bottom + d) continue;
            Dot(dc, RoundClamp(x), RoundClamp(y));
        }
    }
    if (!lines) return;
    RECT b = port->lineBounds;
    if (b.top > b.bottom) std::swap(b.top, b.bottom);
    const double ratio = uy / ux;
    for (int32_t k = 0; k < kSpokes / 2; ++k) {
        const double angle = k * (kTwoPi / kSpokes);
        double x1, y1, x2, y2;
        if (k <= 2 || k >= 10) {  // within 30 degrees of the horizontal
            const double t = std::tan(angle) * ratio;
            x1 = b.left;
            x2 = b.right;
            y1 = oy - (x1 - ox) * t;
            y2 = oy - (x2 - ox) * t;
        } else {
            const double c = std::cos(angle) / std::sin(angle) / ratio;
            y1 = b.top - 1;
            y2 = b.bottom + 2;
            x1 = ox - (y1 - oy) * c;
            x2 = ox - (y2 - oy) * c;
        }
        const double limit = kScreenLimit;
        if (std::fabs(x1) >= limit || std::fabs(x2) >= limit || std::fabs(y1) >= limit || std::fabs(y2) >= limit)
            continue;
        DrawClippedSegment(port, ScreenRect{ int16_t(x1), int16_t(y1), int16_t(x2), int16_t(y2) });
    }
}

// The grid of the system over the paint rectangle with the DC's pen and `brush` (dots).
void DrawGridInPort(GraphicsPort* port, const SketchObject* system, HBRUSH brush, uint32_t dotColor) {
    const CoordSystemData& c = *CoordSystemOf(system);
    const double ux = c.tickX, uy = c.tickY, ox = c.origin.x, oy = c.origin.y;
    if (!(ux > 0) || !(uy > 0) || !std::isfinite(ux) || !std::isfinite(uy) || !std::isfinite(ox) ||
        !std::isfinite(oy))
        return;
    const RECT p = PortDrawArea(port);
    UnitRange r;
    r.colLo = RoundClamp((p.left - ox) / ux);
    r.colHi = RoundClamp((p.right - ox) / ux);
    r.rowLo = RoundClamp(-(p.bottom - oy) / uy);
    r.rowHi = RoundClamp(-(p.top - oy) / uy);
    const bool lines = system->lineStyle != kLineDashed, dots = system->lineStyle != kLineNormal;
    HGDIOBJ previous = brush ? SelectObject(port->dc, brush) : nullptr;
    if (c.gridForm == kGridPolar) DrawPolarGrid(port, r, ox, oy, ux, uy, lines, dots, dotColor);
    else DrawCartesianGrid(port, r, ox, oy, ux, uy, lines, dots);
    if (previous) SelectObject(port->dc, previous);
}

}  // namespace

void DrawCoordinateGrid(GraphicsPort* port, SketchObject* system) {
    FpuMaskDuringPrint fpu;
    const COLORREF color = system->markFlags & kMarkHighlighted ? port->selectionColor : ObjectDisplayColor(system);
    DCSelection selection(port->dc);
    selection.Pen(CreatePen(PS_SOLID, 0, color));
    HBRUSH brush = CreateSolidBrush(color);
    DrawGridInPort(port, system, brush, color);
    if (brush) DeleteObject(brush);
}

void DrawCoordinateGridSelection(GraphicsPort* port, SketchObject* system) {
    FpuMaskDuringPrint fpu;
    const COLORREF highlight = CurrentHighlight();
    {
        DCSelection selection(port->dc);
        selection.Pen(CreatePen(PS_SOLID, 3, highlight));
        HBRUSH brush = CreateSolidBrush(highlight);
        DrawGridInPort(port, system, brush, kGdiDots);
        if (brush) DeleteObject(brush);
    }
    DCSelection selection(port->dc);
    selection.Pen(CreatePen(PS_SOLID, 0, ObjectDisplayColor(system)));
    DrawGridInPort(port, system, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)), kGdiDots);
}
