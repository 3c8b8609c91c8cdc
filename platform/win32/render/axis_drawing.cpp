// Class drawing of coordinate axes (class 9): the line over the line bounds, a tick mark
// every so many minor ticks and a number every so many more, in the interface fonts.
#include "platform/win32/render/axis_drawing.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/services/later_release.h"
#include "engine/core/geometry.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/object_drawing.h"
#include "engine/core/straight_objects.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/shape_drawing.h"
#include "platform/win32/ui_fonts.h"

namespace {

// More ticks than this in one paint are a damaged spacing, not an axis worth ticking.
constexpr double kMaxTicks = 100000;

// The middle dot of code page 1252 between a mantissa and its power of ten.
constexpr char kTimesTen[] = "\xB7" "10";

int32_t PositiveMod(int64_t value, int32_t interval) {
    if (interval <= 0) return 0;
    const int64_t r = value % interval;
    return int32_t(r < 0 ? r + interval : r);
}

// Removes the zeros that end the fraction of a number, and the separator when nothing
// is left after it. The separator is whatever follows the digits of the whole part,
// so a locale's comma is treated like a point.
void TrimFraction(char* text) {
    char* p = text;
    if (*p == '-') ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (*p == '\0') return;
    char* separator = p++;
    char* end = separator + std::strlen(separator);
    while (end > p && end[-1] == '0') --end;
    if (end == p) end = separator;
    *end = '\0';
}

const AxisData& AxisOf(const SketchObject* axis) { return *ClassData<AxisData>(axis); }

void DrawTickNumber(GraphicsPort* port, const SketchObject* axis, const AxisTickLayout& ticks, int32_t n,
                    int32_t along) {
    const AxisData& a = AxisOf(axis);
    const bool horizontal = a.horizontal != 0;
    double value = n * ticks.pixelsPerTick / a.unitDistance;
    if (horizontal) value = -value;
    if (ticks.absolute) value = std::fabs(value);
    char text[32], exponent[32];
    FormatTickNumber(text, exponent, value);
    if (!text[0]) return;
    if (auto form = LaterForms().drawing.drawTickNumber) {
        form(port, horizontal, along, ticks.markFrom, ticks.markTo, text, exponent);
        return;
    }
    HDC dc = port->dc;
    RECT size = { 0, 0, 1, 1 };
    DrawTextA(dc, text, -1, &size, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    int32_t width = size.right - size.left;
    const int32_t height = size.bottom - size.top;
    RECT powerSize = { 0, 0, 1, 1 };
    HFONT small = SmallUiFont();
    if (exponent[0]) {
        HGDIOBJ previous = small ? SelectObject(dc, small) : nullptr;
        DrawTextA(dc, exponent, -1, &powerSize, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        if (previous) SelectObject(dc, previous);
        width += powerSize.right - powerSize.left + 2;
    }
    const int32_t gap = DrawingMetrics.intMetricsB[kMetricTickNumberGap];
    RECT box;
    if (horizontal) {
        box.left = along - width / 2;
        box.top = ticks.markTo + gap;
    } else {
        box.left = ticks.markFrom - gap - width;
        box.top = along - height / 2;
    }
    box.right = box.left + width;
    box.bottom = box.top + height;
    DrawTextA(dc, text, -1, &box, DT_SINGLELINE | DT_NOPREFIX);
    if (exponent[0]) {
        RECT power = { box.right - (powerSize.right - powerSize.left), box.top, box.right,
                       box.top + (powerSize.bottom - powerSize.top) };
        HGDIOBJ previous = small ? SelectObject(dc, small) : nullptr;
        DrawTextA(dc, exponent, -1, &power, DT_SINGLELINE | DT_NOPREFIX);
        if (previous) SelectObject(dc, previous);
    }
}

// The line over the line bounds, then the ticks of the paint rectangle's range. A
// vertical axis walks down from its top tick; a horizontal one left to right.
void DrawAxisTicks(GraphicsPort* port, const SketchObject* axis, HPEN tickPen) {
    const AxisData& a = AxisOf(axis);
    const bool horizontal = a.horizontal != 0;
    HDC dc = port->dc;
    RECT lb = port->lineBounds;
    const RECT paint = PortDrawArea(port);
    AxisTickLayout ticks{};
    const bool haveTicks = horizontal ? ComputeAxisTicks(&ticks, axis, paint.left, paint.right)
                                      : ComputeAxisTicks(&ticks, axis, paint.top, paint.bottom);
    const int32_t across = haveTicks ? ticks.across : RoundToScreen(horizontal ? a.origin.y : a.origin.x);
    const auto antiAliased = LaterForms().drawing.strokeLine;
    if (antiAliased && (horizontal ? antiAliased(port, lb.right, across, lb.left, across)
                                   : antiAliased(port, across, lb.bottom, across, lb.top))) {
        // drawn
    } else if (horizontal) {
        MoveToEx(dc, lb.right, across, nullptr);
        LineTo(dc, lb.left, across);
    } else {
        MoveToEx(dc, across, lb.bottom, nullptr);
        LineTo(dc, across, lb.top);
    }
    if (!haveTicks) return;
    HFONT large = LargeUiFont();
    HGDIOBJ previousFont = large ? SelectObject(dc, large) : nullptr;
    HGDIOBJ previousPen = tickPen ? SelectObject(dc, tickPen) : nullptr;
    const int32_t limit = horizontal ? paint.right : paint.bottom;
    const int32_t markInterval = a.minorCount, numberInterval = a.labelInterval;
    int32_t markPhase = ticks.markPhase, numberPhase = ticks.numberPhase;
    double c = ticks.originAlong - ticks.firstTick * ticks.pixelsPerTick;
    int32_t n = ticks.firstTick;
    for (int32_t i = 0; i <= ticks.tickCount; ++i) {
        const int32_t along = RoundToScreen(c);
        if (markPhase == 0 && along <= limit) {
            if (horizontal) {
                MoveToEx(dc, along, ticks.markFrom, nullptr);
                LineTo(dc, along, ticks.markTo);
            } else {
                MoveToEx(dc, ticks.markFrom, along, nullptr);
                LineTo(dc, ticks.markTo, along);
            }
        }
        if (n != 0 && numberPhase == 0) DrawTickNumber(port, axis, ticks, n, along);
        markPhase = (markPhase ? markPhase : markInterval) - 1;
        numberPhase = (numberPhase ? numberPhase : numberInterval) - 1;
        c += ticks.pixelsPerTick;
        --n;
    }
    if (previousPen) SelectObject(dc, previousPen);
    if (previousFont) SelectObject(dc, previousFont);
}

}  // namespace

bool ComputeAxisTicks(AxisTickLayout* out, const SketchObject* axis, double rangeStart, double rangeEnd) {
    const AxisData& a = AxisOf(axis);
    const bool horizontal = a.horizontal != 0;
    *out = AxisTickLayout{};
    out->across = RoundToScreen(horizontal ? a.origin.y : a.origin.x);
    out->originAlong = RoundToScreen(horizontal ? a.origin.x : a.origin.y);
    const double spacing = a.tickSpacing;
    if (!(spacing > 0) || !std::isfinite(spacing) || !(a.unitDistance > 0) || a.minorCount <= 0 ||
        a.labelInterval <= 0)
        return false;
    if (!Printing()) {
        // Numbers partly outside the range still show.
        const double half = (horizontal ? DrawingMetrics.intMetricsB[kMetricNumberFieldWidth]
                                        : DrawingMetrics.intMetricsB[kMetricNumberFieldHeight]) / 2.0;
        rangeStart -= half;
        rangeEnd += half;
    }
    const int32_t halfLength = DrawingMetrics.intMetricsA[kMetricTickHalfLength];
    out->markFrom = out->across - (halfLength - 1);
    out->markTo = out->across + halfLength;
    const double first = std::floor((out->originAlong - rangeStart) / spacing);
    const double count = std::trunc((rangeEnd - rangeStart) / spacing);
    if (!std::isfinite(first) || std::fabs(first) > 2e9 || !(count >= 0) || count > kMaxTicks) return false;
    out->pixelsPerTick = spacing;
    out->firstTick = int32_t(first);
    out->markPhase = PositiveMod(out->firstTick, a.minorCount);
    out->numberPhase = PositiveMod(out->firstTick, a.labelInterval);
    out->tickCount = int32_t(count);
    const SketchObject* system = OwningCoordSystem(axis);
    out->absolute = system && CoordSystemOf(system)->gridForm == kGridPolar;
    return true;
}

void FormatTickNumber(char* text, char* exponent, double value) {
    exponent[0] = '\0';
    const double magnitude = std::fabs(value);
    if (magnitude >= 9.9e-7 && magnitude <= 9999999) {
        std::snprintf(text, 32, "%f", value);
        TrimFraction(text);
        return;
    }
    if (!std::isfinite(value)) {
        text[0] = '\0';  // a unit too small to give a number: the tick stays unnumbered
        return;
    }
    if (value == 0) {
        std::snprintf(text, 32, "0");
        return;
    }
    char full[40];
    std::snprintf(full, sizeof full, "%e", value);
    char* e = std::strchr(full, 'e');
    if (!e) e = std::strchr(full, 'E');
    const char* power = e ? e + 1 : "";
    if (e) *e = '\0';
    TrimFraction(full);
    std::snprintf(text, 32, "%s%s", full, kTimesTen);
    char* out = exponent;
    if (*power == '-') *out++ = *power++;
    else if (*power == '+') ++power;
    while (*power == '0' && power[1] != '\0') ++power;
    std::snprintf(out, 31, "%s", power);
}

void DrawAxisObject(GraphicsPort* port, SketchObject* axis) {
    if (port->tracesDC && port->dc == port->tracesDC) {
        DrawStraightObject(port, axis);
        return;
    }
    FpuMaskDuringPrint fpu;
    HDC dc = port->dc;
    const bool traceBlend = axis->constructionType != kTypeKeepsTraceColor;
    const COLORREF color = axis->color & 0xFFFFFF;
    // The line's pen made last: it is the one an anti-aliased axis line copies.
    HPEN tickPen = CreateObjectPen(port, color, 0, kLineNormal, traceBlend);
    HPEN linePen = CreateObjectPen(port, color, axis->markFlags, axis->lineStyle, traceBlend);
    HFONT styleFont = CreateStyleFont(&axis->textStyle, nullptr);
    HGDIOBJ previousPen = linePen ? SelectObject(dc, linePen) : nullptr;
    HGDIOBJ previousFont = styleFont ? SelectObject(dc, styleFont) : nullptr;
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousText = SetTextColor(dc, ObjectDisplayColor(axis));
    DrawAxisTicks(port, axis, tickPen);
    SetTextColor(dc, previousText);
    SetBkMode(dc, previousMode);
    if (previousFont) SelectObject(dc, previousFont);
    if (previousPen) SelectObject(dc, previousPen);
    if (styleFont) DeleteObject(styleFont);
    if (tickPen) DeleteObject(tickPen);
    if (linePen) DeleteObject(linePen);
}
