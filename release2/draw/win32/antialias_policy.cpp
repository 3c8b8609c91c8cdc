#include "release2/draw/win32/antialias_policy.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/core/services/document_windows.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/views.h"
#include "engine/interact/preferences.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "release2/draw/speed_policy.h"
#include "release2/draw/win32/antialias_layer.h"

namespace {

RememberedPen gPen = { 1.0f, 0, false };

uint16_t Preference() { return ThePreferences().antiAliasPreference; }

ScreenRect SketchWindow() {
    const Sketch* sketch = CurrentSketch();
    return sketch ? sketch->windowRect : ScreenRect{ 0, 0, 0, 0 };
}

void RememberPen(float width, uint32_t color, bool dashed) { gPen = { width, color, dashed }; }

bool StrokeLine(GraphicsPort* port, double x1, double y1, double x2, double y2) {
    DcGraphics* g = AntiAliasedTarget(port);
    if (!g) return false;
    // Ordered left to right, then top to bottom, and cut to the line bounds.
    if (x1 > x2 || (x1 == x2 && y1 > y2)) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const RECT& b = port->lineBounds;
    const double left = b.left, right = b.right;
    const double top = std::min(b.top, b.bottom), bottom = std::max(b.top, b.bottom);
    if (x1 == x2) {
        if (x1 < left || x1 > right) return true;
        x1 = x2 = std::clamp(std::round(x1), -30000.0, 30000.0);
        y1 = std::max(y1, top), y2 = std::min(y2, bottom);
    } else if (y1 == y2) {
        if (y1 < top || y1 > bottom) return true;
        y1 = y2 = std::clamp(std::round(y1), -30000.0, 30000.0);
        x1 = std::max(x1, left), x2 = std::min(x2, right);
    } else {
        if ((y1 < top && y2 < top) || (y1 > bottom && y2 > bottom)) return true;
        const double slope = (y2 - y1) / (x2 - x1);
        if (x1 < left) y1 += (left - x1) * slope, x1 = left;
        if (x2 > right) y2 -= (x2 - right) * slope, x2 = right;
        if (x1 > x2) return true;
        // Along y the ends may be in either order.
        auto cutY = [&](double* x, double* y, double edge) { *x += (edge - *y) / slope, *y = edge; };
        if (y1 < top) cutY(&x1, &y1, top);
        if (y1 > bottom) cutY(&x1, &y1, bottom);
        if (y2 < top) cutY(&x2, &y2, top);
        if (y2 > bottom) cutY(&x2, &y2, bottom);
        if (x1 > x2 + 1e-9) return true;  // passed beside the bounds
    }
    return DrawLineAntiAliased(g, x1, y1, x2, y2, gPen.width, gPen.color, gPen.dashed);
}

bool StrokeParallelPair(GraphicsPort* port, double x1, double y1, double x2, double y2, double offset) {
    if (!AntiAliasedTarget(port)) return false;
    const double dx = x2 - x1, dy = y2 - y1, length = std::hypot(dx, dy);
    if (!(length > 0)) return false;
    const double nx = -dy / length * offset, ny = dx / length * offset;
    return StrokeLine(port, x1 + nx, y1 + ny, x2 + nx, y2 + ny) &&
           StrokeLine(port, x1 - nx, y1 - ny, x2 - nx, y2 - ny);
}

bool StrokeEllipse(GraphicsPort* port, double x, double y, double width, double height, double start,
                   double sweep) {
    DcGraphics* g = AntiAliasedTarget(port);
    if (!g) return false;
    if (sweep >= 6.2831853071795862)
        return DrawEllipseAntiAliased(g, x, y, width, height, gPen.width, gPen.color, gPen.dashed);
    return DrawArcAntiAliased(g, x, y, width, height, float(start), float(sweep), gPen.width, gPen.color,
                              gPen.dashed);
}

bool FillSquare(GraphicsPort* port, double x, double y, double side, uint32_t color) {
    DcGraphics* g = AntiAliasedTarget(port);
    if (!g) return false;
    return FillRectAntiAliased(g, x - side / 2, y - side / 2, side, side,
                               color == kRememberedColor ? gPen.color : color);
}

bool StrokePolyline(GraphicsPort* port, const float* xy, int32_t count, bool highlight) {
    DcGraphics* g = AntiAliasedTarget(port);
    if (!g || count < 2) return false;
    // The run in floats, in batches that share their end points.
    constexpr int32_t kBatch = 256;
    FloatPoint points[kBatch];
    for (int32_t start = 0; start + 1 < count; start += kBatch - 1) {
        const int32_t n = std::min(kBatch, count - start);
        for (int32_t i = 0; i < n; ++i) points[i] = { xy[2 * (start + i)], xy[2 * (start + i) + 1] };
        if (highlight) {
            if (!DrawPolylineAntiAliased(g, points, n, gPen.width + 4, CurrentHighlight(), gPen.dashed) ||
                !DrawPolylineAntiAliased(g, points, n, gPen.width + 2, CurrentBackground(), gPen.dashed))
                return false;  // GDI draws the whole run over what went before
        } else if (!DrawPolylineAntiAliased(g, points, n, gPen.width, gPen.color, gPen.dashed)) {
            return false;
        }
    }
    return true;
}

bool FillPolygonForm(GraphicsPort* port, const float* xy, int32_t count, uint32_t color) {
    DcGraphics* g = AntiAliasedTarget(port);
    if (!g || count < 3 || count > 64) return false;
    FloatPoint points[64];
    for (int32_t i = 0; i < count; ++i) points[i] = { xy[2 * i], xy[2 * i + 1] };
    return FillPolygonAntiAliased(g, points, count, color);
}

bool FillMirroredDots(GraphicsPort* port, double cx, double cy, double dx, double dy, double radius,
                      uint32_t color) {
    DcGraphics* g = AntiAliasedTarget(port);
    if (!g) return false;
    auto dot = [&](double x, double y) {
        return FillEllipseAntiAliased(g, x - radius, y - radius, 2 * radius, 2 * radius, false, color, 0);
    };
    // On an axis two of the four places coincide: a dot drawn twice would darken its edge.
    if (dx == 0 || dy == 0) return dot(cx + dx, cy - dy) && dot(cx - dx, cy + dy);
    return dot(cx + dx, cy - dy) && dot(cx - dx, cy - dy) && dot(cx - dx, cy + dy) && dot(cx + dx, cy + dy);
}

}  // namespace

const RememberedPen& TheRememberedPen() { return gPen; }

void BeginAntiAliasedDrawing(GraphicsPort* port, const ScreenRect* rect) {
    BeginCanvasPaint(port, rect);
    if (!port->backDC || !GdiPlusAvailable() || Preference() == kAntiAliasNever) return;
    if (Preference() == kAntiAliasWhenSpeedPermits) {
        bool allow = false;
        AllowAntiAliasThisRedraw(&allow);
        if (!allow) return;
    }
    port->mainGraphics = CreateDcGraphics(port->backDC);
    SetSmoothingThreshold(1.0f);
}

void EndAntiAliasedDrawing(GraphicsPort* port, const ScreenRect* rect) {
    if (port->backDC && GdiPlusAvailable() && Preference() == kAntiAliasWhenSpeedPermits)
        UpdateAntiAliasPolicy(rect ? *rect : SketchWindow(), SketchWindow());
    DeleteDcGraphics(port->mainGraphics);
    DeleteDcGraphics(port->secondaryGraphics);
    port->mainGraphics = port->secondaryGraphics = nullptr;
    EndCanvasPaint(port, rect);
}

DcGraphics* GetContextGraphics(GraphicsPort* port) {
    // Only a redraw with its main graphics object draws anti-aliased on any layer.
    if (!port || !port->mainGraphics) return nullptr;
    if (port->dc && port->dc == port->tracesDC) {
        if (!port->secondaryGraphics) port->secondaryGraphics = CreateDcGraphics(port->tracesDC);
        return port->secondaryGraphics;
    }
    return port->dc == port->backDC ? port->mainGraphics : nullptr;
}

DcGraphics* AntiAliasedTarget(GraphicsPort* port) {
    if (Preference() == kAntiAliasNever || Printing()) return nullptr;
    return GetContextGraphics(port);
}

bool RedrawAllAntiAliased(uint16_t value) {
    if (value != kAntiAliasNever && !GdiPlusAvailable()) return false;
    ForceAntiAliasRedraw();
    std::vector<EngineDocument*> documents(size_t(std::max(OpenEngineDocuments(nullptr, 0), 0)));
    const int32_t count = std::min(OpenEngineDocuments(documents.data(), int32_t(documents.size())),
                                   int32_t(documents.size()));
    const uint16_t previous = ThePreferences().antiAliasPreference;
    // The views redraw with the new value; the caller stores it.
    ThePreferences().antiAliasPreference = value;
    for (int32_t i = 0; i < count; ++i) {
        if (!documents[i]->currentPage) continue;
        CurrentSketchScope scope(documents[i]->currentPage);
        UnionDirtyRect(nullptr);
        FlushPendingRedraw(1);
    }
    ThePreferences().antiAliasPreference = previous;
    return true;
}

void AddDrawingForms(LaterReleaseForms* forms) {
    LaterDrawingForms& d = forms->drawing;
    d.startDrawing = StartGdiPlus;
    d.stopDrawing = StopGdiPlus;
    d.beginRedraw = BeginAntiAliasedDrawing;
    d.endRedraw = EndAntiAliasedDrawing;
    d.rememberPen = RememberPen;
    d.strokeLine = StrokeLine;
    d.strokeParallelPair = StrokeParallelPair;
    d.strokeEllipse = StrokeEllipse;
    d.fillSquare = FillSquare;
    d.changeAntiAliasing = RedrawAllAntiAliased;
    d.strokePolyline = StrokePolyline;
    d.fillPolygon = FillPolygonForm;
    d.fillMirroredDots = FillMirroredDots;
    d.textObjectSelection = DrawTextObjectSelectionRevised;
    AddTickNumberForm(forms);
}
