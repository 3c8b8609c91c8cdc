// Class drawing of points (class 1) and straight objects (classes 2 and 9), their
// highlights, printed arrowheads and the highlight pens of the draw layers.
#include <windows.h>

#include <cmath>
#include <initializer_list>
#include <utility>

#include "engine/core/services/later_release.h"
#include "engine/core/angle_constants.h"
#include "engine/core/geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"

namespace {

ScreenRect VisibleSegment(const SketchObject* object) {
    const StraightData* s = ClassData<StraightData>(object);
    return { s->visiblePiece[0].x, s->visiblePiece[0].y, s->visiblePiece[1].x, s->visiblePiece[1].y };
}

int16_t ClampToShort(LONG v) {
    return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// The arrowheads of a printed line or ray, where it leaves the line bounds.
void DrawCutEndArrows(GraphicsPort* port, const SketchObject* object) {
    const LineForm& f = ClassData<StraightData>(object)->form;
    double angle;
    if (f.dx != 0) {
        angle = std::atan2(f.slope, 1.0);
        if (f.dx < 0) angle += kPi;
    } else {
        angle = f.dy < 0 ? -kHalfPi : kHalfPi;
    }
    const RECT& b = port->lineBounds;
    const ScreenRect bounds = { ClampToShort(b.left), ClampToShort(std::min(b.top, b.bottom)),
                                ClampToShort(b.right), ClampToShort(std::max(b.top, b.bottom)) };
    ScreenPoint end;
    if (ClipLineToRect(f.first, f.second, f.slope, bounds, &end)) DrawArrowHead(port, end, angle);
    if (KindIsA(EffectiveKind(object), kKindLine) &&
        ClipLineToRect(f.second, f.first, f.slope, bounds, &end))
        DrawArrowHead(port, end, angle + kPi);
}

// Clips the end points (a1, b1), (a2, b2) to lo <= a <= hi along the a axis, moving b
// by the unclipped slope db / da; false when nothing is left.
bool ClipAxis(double* a1, double* b1, double* a2, double* b2, double da, double db, double lo, double hi) {
    if (da == 0) return *a1 >= lo && *a1 <= hi;
    if (*a1 > *a2) {
        std::swap(*a1, *a2);
        std::swap(*b1, *b2);
    }
    if (*a1 > hi || *a2 < lo) return false;
    if (*a1 < lo) {
        *b1 += (lo - *a1) * db / da;
        *a1 = lo;
    }
    if (*a2 > hi) {
        *b2 -= (*a2 - hi) * db / da;
        *a2 = hi;
    }
    return true;
}

// What SetFeedbackPen selected, to be put back at its end.
struct FeedbackSelection {
    bool    active;
    HDC     dc;
    HGDIOBJ previousPen;
    HGDIOBJ previousBrush;  // null: the brush was left alone
};
FeedbackSelection gFeedback{};

}  // namespace

void DrawPointObject(GraphicsPort* port, SketchObject* point) {
    FpuMaskDuringPrint fpu;
    HDC dc = port->dc;
    const uint32_t mark = point->markFlags;
    const COLORREF fill = ObjectDisplayColor(point);
    COLORREF outline;
    int32_t radius, width;
    if (mark & kMarkHighlightPass) {
        outline = CurrentHighlight();
        radius = 4;
        width = 0;
    } else if (mark & kMarkHighlighted) {
        outline = port->selectionColor;
        radius = 4;
        width = 3;
    } else {
        outline = port->contrastColor;
        radius = 2;
        width = 0;
        if (mark & (kMarkDimmed | kMarkDimmedFixed)) DimTowardBackground(&outline);
    }
    if (Printing()) radius = static_cast<int32_t>(2 * OutputFactor());
    const RealPoint p = PointPosition(point);
    const int32_t x = RoundToScreen(p.x), y = RoundToScreen(p.y);

    DCSelection selection(dc);
    selection.Rop(R2_COPYPEN);
    if (mark & kMarkTraceStyle) {
        selection.StockPen(NULL_PEN);
    } else {
        selection.Shared(SharedPen(PS_SOLID, width, outline));
    }
    selection.Shared(SharedSolidBrush(fill));
    Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
}

void DrawPointSelection(GraphicsPort* port, SketchObject* point) {
    point->markFlags |= kMarkHighlightPass;
    DrawPointObject(port, point);
    point->markFlags &= ~kMarkHighlightPass;
}

void DrawClippedSegment(GraphicsPort* port, const ScreenRect& segment) {
    double left = port->lineBounds.left - 2, right = port->lineBounds.right + 2;
    double top = port->lineBounds.top, bottom = port->lineBounds.bottom;
    if (top > bottom) std::swap(top, bottom);
    top -= 2;
    bottom += 2;

    double x1 = segment.left, y1 = segment.top, x2 = segment.right, y2 = segment.bottom;
    const double dx = x2 - x1, dy = y2 - y1;
    if (!ClipAxis(&x1, &y1, &x2, &y2, dx, dy, left, right)) return;
    if (!ClipAxis(&y1, &x1, &y2, &x2, dy, dx, top, bottom)) return;
    const POINT points[2] = { { static_cast<LONG>(x1), static_cast<LONG>(y1) },
                              { static_cast<LONG>(x2), static_cast<LONG>(y2) } };
    Polyline(port->dc, points, 2);
}

void DrawStraightObject(GraphicsPort* port, SketchObject* object) {
    FpuMaskDuringPrint fpu;
    HPEN pen = SharedObjectPen(port, object->color & 0xFFFFFF, object->markFlags, object->lineStyle,
                               object->constructionType != kTypeKeepsTraceColor);
    if (!pen) return;
    HGDIOBJ previous = SelectObject(port->dc, pen);
    const ScreenRect segment = VisibleSegment(object);
    const auto antiAliased = LaterForms().drawing.strokeLine;
    if (!antiAliased || !antiAliased(port, segment.left, segment.top, segment.right, segment.bottom))
        DrawClippedSegment(port, segment);
    if (Printing() && ThePreferences().exportArrowheads) {
        const int32_t kind = EffectiveKind(object);
        if (KindIsA(kind, kKindRay) || KindIsA(kind, kKindLine)) DrawCutEndArrows(port, object);
    }
    SelectObject(port->dc, previous);
}

void DrawArrowHead(GraphicsPort* port, ScreenPoint point, double angle) {
    const double s = DrawingMetrics.intMetricsA[kMetricArrowSize];
    auto half = [](double v) {
        const double h = std::floor((v + 1) / 2);
        return static_cast<int32_t>(h < -kScreenLimit ? -kScreenLimit : h > kScreenLimit ? kScreenLimit : h);
    };
    const int32_t e = half(s * std::cos(angle)), a = half(s * std::sin(angle));
    const int32_t x = point.x, y = point.y;
    const POINT first[2] = { { x + a - 2 * e, y - 2 * a - e }, { x, y } };
    const POINT second[2] = { { x - 2 * e - a, y + e - 2 * a }, { x, y } };
    Polyline(port->dc, first, 2);
    Polyline(port->dc, second, 2);
}

void StrokeSelectionSegment(GraphicsPort* port, int32_t offset, const ScreenRect& segment) {
    HPEN pen = CreateObjectPen(port, CurrentHighlight(), 0, kLineNormal, true);
    if (!pen) return;
    HGDIOBJ previous = SelectObject(port->dc, pen);
    const bool steep = std::abs(segment.bottom - segment.top) >= std::abs(segment.right - segment.left);
    for (int32_t d : { offset, -offset }) {
        ScreenRect moved = segment;
        if (steep) {
            moved.left = static_cast<int16_t>(moved.left + d);
            moved.right = static_cast<int16_t>(moved.right + d);
        } else {
            moved.top = static_cast<int16_t>(moved.top + d);
            moved.bottom = static_cast<int16_t>(moved.bottom + d);
        }
        DrawClippedSegment(port, moved);
    }
    SelectObject(port->dc, previous);
    DeleteObject(pen);
}

void DrawStraightSelection(GraphicsPort* port, SketchObject* object) {
    FpuMaskDuringPrint fpu;
    const int32_t offset = object->lineStyle == kLineThick ? 3 : 2;
    const ScreenRect segment = VisibleSegment(object);
    if (auto pair = LaterForms().drawing.strokeParallelPair) {
        // The pair's pen is the selection pen of a normal line.
        DeleteObject(CreateObjectPen(port, object->color & 0xFFFFFF, kMarkHighlighted, kLineNormal, true));
        if (pair(port, segment.left, segment.top, segment.right, segment.bottom, offset)) return;
    }
    StrokeSelectionSegment(port, offset, segment);
}

void DrawAxisSelection(GraphicsPort* port, SketchObject* axis) { DrawStraightSelection(port, axis); }

void SetFeedbackPen(GraphicsPort* port, int32_t layer, int32_t on) {
    if (!on) {
        if (!gFeedback.active) return;
        HGDIOBJ pen = SelectObject(gFeedback.dc, gFeedback.previousPen);
        if (pen) DeleteObject(pen);
        if (gFeedback.previousBrush) {
            HGDIOBJ brush = SelectObject(gFeedback.dc, gFeedback.previousBrush);
            if (brush) DeleteObject(brush);
        }
        gFeedback = {};
        return;
    }
    int32_t width;
    int brush;  // a stock object, or -1 to leave the brush alone
    switch (layer) {
    case 2: width = 1; brush = -1; break;
    case 3: case 9: width = 3; brush = NULL_BRUSH; break;
    case 5: case 6: width = 7; brush = NULL_BRUSH; break;
    case 10: width = 7; brush = WHITE_BRUSH; break;
    default: return;
    }
    HPEN pen = CreatePen(PS_SOLID, width, CurrentHighlight());
    if (!pen) return;
    if (auto remember = LaterForms().drawing.rememberPen) remember(float(width), CurrentHighlight(), false);
    gFeedback.active = true;
    gFeedback.dc = port->dc;
    gFeedback.previousPen = SelectObject(port->dc, pen);
    gFeedback.previousBrush = brush >= 0 ? SelectObject(port->dc, GetStockObject(brush)) : nullptr;
}
