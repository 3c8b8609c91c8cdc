// The flash of a completed mark group: a few frames of rings, strokes or boxes drawn
// over the sketch in R2_NOT by a draw hook, growing to the half-way frame and shrinking
// again, while idle tasks still run between the frames.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "engine/core/angle_constants.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/geometry.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/marks.h"
#include "engine/core/points.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/traces.h"

namespace {

constexpr uint32_t kFrameMs = 50;

struct FlashState {
    DrawHook      hook;  // first: the hook's callback is handed this record
    int16_t       frames;
    int16_t       half;
    int16_t       frame;
    ScreenRect    rect;
    int32_t       slot;
    SketchObject* objects[3];
    ScreenRect    boxes[2];  // boxes, or segments {x1, y1, x2, y2} for the stroke slots
    int32_t       boxCount;
    RealPoint     vertex;
    double        arcStart;
    double        arcEnd;
    double        arcRadius;
    bool          arcBuilt;
};

bool IsStrokeSlot(int32_t slot) { return slot == 4 || slot == 13 || slot == 17; }

// The marked objects of a slot's group, in mark order; null where a mark is not set.
void ReadMarkedObjects(const Sketch* sketch, int32_t slot, SketchObject* out[3]) {
    int32_t first = slot, count = 1;
    switch (slot) {
    case 4:  first = 3;  count = 2; break;
    case 8:  first = 6;  count = 3; break;
    case 13: first = 12; count = 2; break;
    case 17: first = 15; count = 3; break;
    default: break;
    }
    for (int32_t i = 0; i < 3; ++i) {
        const MarkSlot* mark = i < count && first + i < kMarkSlotCount ? &sketch->marks[first + i] : nullptr;
        out[i] = mark && mark->state == kMarkSet ? mark->object : nullptr;
    }
}

ScreenPoint ScreenOf(RealPoint p) { return { RoundToScreen(p.x), RoundToScreen(p.y) }; }
RealPoint PositionOr(const SketchObject* o) { return o ? PointPosition(o) : RealPoint{ 0, 0 }; }
ScreenRect Segment(RealPoint a, RealPoint b) {
    const ScreenPoint p = ScreenOf(a), q = ScreenOf(b);
    return { p.x, p.y, q.x, q.y };
}
ScreenRect BoxOf(const ScreenRect& s) {
    return { std::min(s.left, s.right), std::min(s.top, s.bottom), std::max(s.left, s.right),
             std::max(s.top, s.bottom) };
}
ScreenRect VisibleSegmentOf(const SketchObject* o) {
    const StraightData* s = ClassData<StraightData>(o);
    return { s->visiblePiece[0].x, s->visiblePiece[0].y, s->visiblePiece[1].x, s->visiblePiece[1].y };
}

// The part of a segment inside a rectangle; false when none is.
bool ClipSegment(const ScreenRect& r, double* x1, double* y1, double* x2, double* y2) {
    double t0 = 0, t1 = 1;
    const double dx = *x2 - *x1, dy = *y2 - *y1;
    const double p[4] = { -dx, dx, -dy, dy };
    const double q[4] = { *x1 - r.left, r.right - *x1, *y1 - r.top, r.bottom - *y1 };
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) return false;
    const double ax = *x1, ay = *y1;
    *x1 = ax + t0 * dx;
    *y1 = ay + t0 * dy;
    *x2 = ax + t1 * dx;
    *y2 = ay + t1 * dy;
    return true;
}

void ComputeShapes(FlashState* s) {
    const int32_t n = s->frames;
    s->boxCount = 0;
    s->arcBuilt = false;
    SketchObject* const* o = s->objects;
    switch (s->slot) {
    case 0: case 9: case 10: case 18: case 19:
        if (o[0]) s->boxes[s->boxCount++] = o[0]->bounds;
        break;
    case 20: {
        // A coordinate system reaches everywhere: its origin and unit stand for it.
        if (!o[0]) break;
        const CoordSystemData* c = CoordSystemOf(o[0]);
        for (RealPoint p : { c->origin, RealPoint{ c->origin.x + c->unitX, c->origin.y } }) {
            const ScreenPoint q = ScreenOf(p);
            s->boxes[s->boxCount++] = { q.x, q.y, q.x, q.y };
        }
        break;
    }
    case 1: {
        ScreenRect visible;
        GetVisibleRect(&visible);
        if (!o[0] || ScreenRectIsEmpty(visible)) break;
        const ScreenRect piece = VisibleSegmentOf(o[0]);
        double x1 = piece.left, y1 = piece.top, x2 = piece.right, y2 = piece.bottom;
        if (!ClipSegment(visible, &x1, &y1, &x2, &y2)) break;
        for (double f : { 1.0 / 3, 2.0 / 3 }) {
            const ScreenPoint p = ScreenOf({ x1 + (x2 - x1) * f, y1 + (y2 - y1) * f });
            s->boxes[s->boxCount++] = { p.x, p.y, p.x, p.y };
        }
        break;
    }
    case 4: {
        if (!o[0] || !o[1]) break;
        const RealPoint a = PositionOr(o[0]), b = PositionOr(o[1]);
        const RealPoint step{ (b.x - a.x) / (2 * n - 1), (b.y - a.y) / (2 * n - 1) };
        s->boxes[0] = Segment(b, { b.x + step.x, b.y + step.y });
        s->boxes[1] = Segment({ a.x - step.x, a.y - step.y }, a);
        s->boxCount = 2;
        break;
    }
    case 13:
        if (!o[0] || !o[1]) break;
        s->boxes[0] = VisibleSegmentOf(o[0]);
        s->boxes[1] = VisibleSegmentOf(o[1]);
        s->boxCount = 2;
        break;
    case 17:
        if (!o[0] || !o[1] || !o[2]) break;
        s->boxes[0] = Segment(PositionOr(o[1]), PositionOr(o[2]));
        s->boxes[1] = Segment(PositionOr(o[0]), PositionOr(o[2]));
        s->boxCount = 2;
        break;
    case 8: {
        if (!o[0] || !o[1] || !o[2]) break;
        const RealPoint p = PositionOr(o[0]), v = PositionOr(o[1]), q = PositionOr(o[2]);
        auto squared = [](RealPoint a, RealPoint b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); };
        double d = squared(v, q);
        if (d < 625 || d > 50625) d = std::clamp(squared(v, p), 625.0, 50625.0);
        s->vertex = v;
        s->arcRadius = std::sqrt(d);
        s->arcStart = std::atan2(p.y - v.y, p.x - v.x);
        s->arcEnd = std::atan2(q.y - v.y, q.x - v.x);
        // The angle's own side: never the long way round.
        if (s->arcEnd - s->arcStart > kPi) s->arcEnd -= 2 * kPi;
        if (s->arcStart - s->arcEnd > kPi) s->arcEnd += 2 * kPi;
        s->arcBuilt = true;
        const ScreenPoint c = ScreenOf(v);
        const int16_t r = static_cast<int16_t>(std::ceil(s->arcRadius));
        s->boxes[0] = { static_cast<int16_t>(c.x - r), static_cast<int16_t>(c.y - r),
                        static_cast<int16_t>(c.x + r), static_cast<int16_t>(c.y + r) };
        s->boxCount = 1;
        break;
    }
    default:
        break;
    }
    ScreenRectSetEmpty(&s->rect);
    for (int32_t i = 0; i < s->boxCount; ++i) {
        const ScreenRect box = (IsStrokeSlot(s->slot)) ? BoxOf(s->boxes[i]) : s->boxes[i];
        ScreenRectUnion(box, &s->rect);
    }
    if (s->boxCount == 0) return;
    const int16_t grow = static_cast<int16_t>(IsStrokeSlot(s->slot) || s->slot == 8 ? 4 : 4 * s->half);
    ScreenRectInset(&s->rect, static_cast<int16_t>(-grow), static_cast<int16_t>(-grow));
}

// The run of strokes of frame i: growing from the first toward the second, then
// shrinking away from the first.
void StrokeRun(const FlashState* s, int32_t* from, int32_t* to) {
    const int32_t i = s->frame, h = s->half, n = s->frames;
    if (i <= h) {
        *from = 1;
        *to = 2 * i - 1;
    } else {
        *from = 2 * i - 2 * h - 1;
        *to = n;
    }
    *to = std::min(*to, n);
}

void FlashHookDraw(DrawHook* hook, const ScreenRect*, GraphicsPort* port) {
    const FlashState* s = reinterpret_cast<const FlashState*>(hook);
    if (s->boxCount == 0) return;
    const int32_t i = s->frame, h = s->half, n = s->frames;
    const int32_t rings = i <= h ? i : n - i + 1;
    HDC dc = port->dc;
    DCSelection selection(dc);
    selection.Rop(R2_NOT);
    selection.StockBrush(NULL_BRUSH);
    switch (s->slot) {
    case 0: case 1: case 9: case 10: case 18: case 19:
        selection.StockPen(BLACK_PEN);
        for (int32_t b = 0; b < (s->slot == 1 ? s->boxCount : 1); ++b) {
            const ScreenRect& box = s->boxes[b];
            for (int32_t k = 1; k <= rings; ++k) {
                const int32_t g = 4 * k;
                if (s->slot == 0) {
                    Ellipse(dc, box.left - g, box.top - g, box.right + g, box.bottom + g);
                } else {
                    Rectangle(dc, box.left - g, box.top - g, box.right + g, box.bottom + g);
                }
            }
        }
        break;
    case 4: case 13: case 17: case 8: {
        selection.Pen(CreatePen(PS_SOLID, 4, RGB(0, 0, 0)));
        int32_t from, to;
        StrokeRun(s, &from, &to);
        for (int32_t k = from; k <= to; ++k) {
            const double t = double(k) / (n + 1);
            if (s->slot == 8) {
                const double a = s->arcStart + (s->arcEnd - s->arcStart) * t;
                const double c = std::cos(a), sn = std::sin(a), r = s->arcRadius;
                for (double inner : { 0.0, 16.0 }) {
                    MoveToEx(dc, RoundToScreen(s->vertex.x + (r - inner) * c),
                             RoundToScreen(s->vertex.y + (r - inner) * sn), nullptr);
                    LineTo(dc, RoundToScreen(s->vertex.x + (r - inner - 8) * c),
                           RoundToScreen(s->vertex.y + (r - inner - 8) * sn));
                }
                continue;
            }
            const ScreenRect& p = s->boxes[0];
            const ScreenRect& q = s->boxes[1];
            auto lerp = [t](int16_t a, int16_t b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
            MoveToEx(dc, lerp(p.left, q.left), lerp(p.top, q.top), nullptr);
            LineTo(dc, lerp(p.right, q.right), lerp(p.bottom, q.bottom));
        }
        break;
    }
    case 20: {
        selection.Pen(CreatePen(PS_SOLID, 4, RGB(0, 0, 0)));
        const ScreenRect& r = s->rect;
        const int32_t cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        const int32_t ux = ((r.right - r.left) / 2 - 2) / h, uy = ((r.bottom - r.top) / 2 - 2) / h;
        for (int32_t k = rings - 1; k <= rings; ++k) {
            if (k < 1) continue;
            Rectangle(dc, cx - k * ux, cy - k * uy, cx + k * ux, cy + k * uy);
        }
        break;
    }
    default:
        break;
    }
}

}  // namespace

void FlashFrames(int32_t markSlot, int32_t* frames, int32_t* half) {
    const bool quick = markSlot == 9 || markSlot == 10 || markSlot == 18 || markSlot == 19;
    *frames = quick ? 6 : 10;
    *half = quick ? 3 : 5;
}

void FlashScriptStep(SketchObject* const[3], int32_t markSlot) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || markSlot < 0 || markSlot >= kMarkSlotCount) return;
    FlashState state{};
    int32_t frames, half;
    FlashFrames(markSlot, &frames, &half);
    state.frames = static_cast<int16_t>(frames);
    state.half = static_cast<int16_t>(half);
    state.slot = markSlot;
    ReadMarkedObjects(sketch, markSlot, state.objects);
    AddDrawHook(&state.hook, FlashHookDraw, sketch);
    for (int32_t i = 1; i <= frames; ++i) {
        uint32_t deadline;
        SetDeadline(&deadline, kFrameMs);
        state.frame = static_cast<int16_t>(i);
        ComputeShapes(&state);
        RunIdleTasks();
        UnionDirtyRect(&state.rect);
        FlushPendingRedraw(1);
        UnionDirtyRect(&state.rect);  // the next frame's repaint erases this one
        // A clock that stands still (a test's) must not hold the flash forever.
        for (int32_t spins = 0; !DeadlinePassed(deadline) && spins < 200; ++spins) Sleep(1);
    }
    // Unhooked first, so that this repaint erases the last frame instead of drawing it
    // once more and leaving it on the screen.
    RemoveDrawHook(&state.hook);
    FlushPendingRedraw(1);
}
