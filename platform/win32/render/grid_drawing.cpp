// Class drawing of coordinate systems (class 8): the grid lines of a square or
// rectangular grid, or the rings and 15-degree spokes of a polar grid, at the tick
// spacing the engine worked out, inside the port's line bounds.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "engine/core/angle_constants.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/object_drawing.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"

namespace {

// More lines than this in one direction are not worth drawing: the spacing has gone
// below a pixel (a damaged unit, or an extreme print scale).
constexpr double kMaxLines = 4000;
constexpr int32_t kSpokes = 24;  // every 15 degrees
constexpr double kSpokeStep = kTwoPi / kSpokes;

void Line(HDC dc, double x1, double y1, double x2, double y2) {
    MoveToEx(dc, LONG(std::lround(x1)), LONG(std::lround(y1)), nullptr);
    LineTo(dc, LONG(std::lround(x2)), LONG(std::lround(y2)));
}

// The multiples k of `step` with origin + k step inside [lo, hi]; false when too many.
bool LineRange(double origin, double step, double lo, double hi, double* first, double* last) {
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(origin)) return false;
    *first = std::ceil((lo - origin) / step);
    *last = std::floor((hi - origin) / step);
    return *last - *first <= kMaxLines;
}

void DrawRectangularGrid(HDC dc, const CoordSystemData& c, const RECT& b) {
    double first, last;
    if (LineRange(c.origin.x, c.tickX, b.left, b.right, &first, &last)) {
        for (double k = first; k <= last; ++k) Line(dc, c.origin.x + k * c.tickX, b.top, c.origin.x + k * c.tickX, b.bottom);
    }
    if (LineRange(c.origin.y, c.tickY, b.top, b.bottom, &first, &last)) {
        for (double k = first; k <= last; ++k) Line(dc, b.left, c.origin.y + k * c.tickY, b.right, c.origin.y + k * c.tickY);
    }
}

void DrawPolarGrid(GraphicsPort* port, const SketchObject* system, const CoordSystemData& c, const RECT& b) {
    if (!(c.tickX > 0) || !(c.tickY > 0) || !std::isfinite(c.tickX) || !std::isfinite(c.tickY)) return;
    // Rings are ellipses of radii k tickX and k tickY; the farthest corner in ring units
    // tells how many reach into the bounds.
    double reach = 0;
    for (double x : { double(b.left), double(b.right) }) {
        for (double y : { double(b.top), double(b.bottom) }) {
            const double u = (x - c.origin.x) / c.tickX, v = (y - c.origin.y) / c.tickY;
            reach = std::max(reach, std::sqrt(u * u + v * v));
        }
    }
    const double rings = std::ceil(reach);
    if (!std::isfinite(rings) || rings > kMaxLines) return;
    const COLORREF color = system->color & 0xFFFFFF;
    for (double k = 1; k <= rings; ++k) {
        DrawEllipseSpecOutline(port, FullTurnSpec(c.origin, k * c.tickX, k * c.tickY), color, system->markFlags,
                               system->lineStyle, true);
    }
    for (int32_t i = 0; i < kSpokes; ++i) {
        const double angle = i * kSpokeStep;
        Line(port->dc, c.origin.x, c.origin.y, c.origin.x + rings * c.tickX * std::cos(angle),
             c.origin.y - rings * c.tickY * std::sin(angle));
    }
}

}  // namespace

void DrawCoordinateGrid(GraphicsPort* port, SketchObject* system) {
    FpuMaskDuringPrint fpu;
    const CoordSystemData& c = *CoordSystemOf(system);
    RECT b = port->lineBounds;
    if (b.top > b.bottom) std::swap(b.top, b.bottom);
    HPEN pen = CreateObjectPen(port, system->color & 0xFFFFFF, system->markFlags, system->lineStyle, true);
    if (!pen) return;
    HGDIOBJ previous = SelectObject(port->dc, pen);
    if (c.gridForm == kGridPolar) DrawPolarGrid(port, system, c, b);
    else DrawRectangularGrid(port->dc, c, b);
    SelectObject(port->dc, previous);
    DeleteObject(pen);
}
