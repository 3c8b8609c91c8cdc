// Screen rectangles, screen rounding and the integer segment tests.
#include <algorithm>
#include <cmath>

#include "engine/core/geometry.h"

void ScreenRectSetEmpty(ScreenRect* rect) {
    rect->left = rect->top = 0x7fff;
    rect->right = rect->bottom = INT16_MIN;
}

bool ScreenRectIsEmpty(const ScreenRect& rect) {
    return !(rect.right > rect.left && rect.bottom > rect.top);
}

void ScreenRectUnion(const ScreenRect& source, ScreenRect* target) {
    target->left = std::min(target->left, source.left);
    target->top = std::min(target->top, source.top);
    target->right = std::max(target->right, source.right);
    target->bottom = std::max(target->bottom, source.bottom);
}

bool ScreenRectIntersect(const ScreenRect& source, ScreenRect* target) {
    target->left = std::max(target->left, source.left);
    target->top = std::max(target->top, source.top);
    target->right = std::min(target->right, source.right);
    target->bottom = std::min(target->bottom, source.bottom);
    if (ScreenRectIsEmpty(*target)) {
        ScreenRectSetEmpty(target);
        return false;
    }
    return true;
}

bool ScreenRectsOverlap(const ScreenRect& a, const ScreenRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

bool ScreenPointInRect(ScreenPoint point, const ScreenRect& rect) {
    return rect.left <= point.x && point.x <= rect.right && rect.top <= point.y &&
           point.y <= rect.bottom;
}

bool ScreenRectContains(const ScreenRect& inner, const ScreenRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.right <= outer.right && inner.bottom <= outer.bottom;
}

bool SegmentsCross(ScreenPoint a, ScreenPoint b, ScreenPoint c, ScreenPoint d) {
    // Coordinates span -30000..30000, so the products need more than 32 bits.
    const int64_t bax = b.x - a.x, bay = b.y - a.y;
    const int64_t dcx = d.x - c.x, dcy = d.y - c.y;
    const int64_t acx = a.x - c.x, acy = a.y - c.y;
    const int64_t den = bax * dcy - bay * dcx;
    if (den == 0) return false;
    const int64_t num1 = dcx * acy - dcy * acx;
    const int64_t num2 = bax * acy - bay * acx;
    if (den > 0) return 0 <= num1 && num1 <= den && 0 <= num2 && num2 <= den;
    return den <= num1 && num1 <= 0 && den <= num2 && num2 <= 0;
}

bool SegmentMeetsRect(const ScreenRect& rect, ScreenPoint a, ScreenPoint b) {
    if (ScreenPointInRect(a, rect) || ScreenPointInRect(b, rect)) return true;
    const ScreenPoint tl{ rect.left, rect.top }, tr{ rect.right, rect.top };
    const ScreenPoint bl{ rect.left, rect.bottom }, br{ rect.right, rect.bottom };
    return SegmentsCross(a, b, tl, tr) || SegmentsCross(a, b, tl, bl) ||
           SegmentsCross(a, b, tr, br) || SegmentsCross(a, b, bl, br);
}

namespace {

// One edge of the Liang-Barsky test; false when the segment lies wholly outside.
bool ClipParameterTest(double p, double q, double* t0, double* t1) {
    if (p > 0) {
        const double r = q / p;
        if (r > *t1) return false;
        *t0 = std::max(*t0, r);
    } else if (p < 0) {
        const double r = q / p;
        if (r < *t0) return false;
        *t1 = std::min(*t1, r);
    } else if (q > 0) {
        return false;
    }
    return true;
}

}  // namespace

bool ClipSegmentToRect(ScreenPoint* a, ScreenPoint* b, const ScreenRect& rect) {
    const int32_t dx = b->x - a->x, dy = b->y - a->y;
    if (dx == 0 && dy == 0 && ScreenPointInRect(*a, rect)) return true;
    double t0 = 0, t1 = 1;
    if (!ClipParameterTest(dx, rect.left - a->x, &t0, &t1) ||
        !ClipParameterTest(-dx, a->x - rect.right, &t0, &t1) ||
        !ClipParameterTest(dy, rect.top - a->y, &t0, &t1) ||
        !ClipParameterTest(-dy, a->y - rect.bottom, &t0, &t1))
        return false;
    const ScreenPoint from = *a;
    if (t1 < 1) {
        b->x = RoundToScreen(from.x + t1 * dx);
        b->y = RoundToScreen(from.y + t1 * dy);
    }
    if (t0 > 0) {
        a->x = RoundToScreen(from.x + t0 * dx);
        a->y = RoundToScreen(from.y + t0 * dy);
    }
    return true;
}

bool ClipLineToRect(RealPoint a, RealPoint b, double slope, const ScreenRect& rect,
                    ScreenPoint* out) {
    double x, y;
    if (a.x == b.x) {
        x = RoundToScreen(a.x);
        if (a.y == b.y) return false;
        y = b.y < a.y ? rect.top : rect.bottom;
    } else if (a.y == b.y) {
        y = RoundToScreen(a.y);
        x = b.x < a.x ? rect.left : rect.right;
    } else {
        const double c = a.y - a.x * slope;
        x = b.x < a.x ? rect.left : rect.right;
        y = x * slope + c;
        if (y < rect.top || y > rect.bottom) {
            y = b.y < a.y ? rect.top : rect.bottom;
            x = (y - c) / slope;
        }
    }
    out->x = RoundToScreen(x);
    out->y = RoundToScreen(y);
    return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}
