#include "platform/win32/render/object_style.h"

#include <float.h>

#include <algorithm>
#include <cstdlib>

#include "engine/core/services/later_release.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "platform/win32/render/graphics_port.h"

namespace {

int32_t       gDimLevel = 0;
SketchObject* gDimmedObject = nullptr;
bool          gPrintingToPage = false;

int32_t Sum(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

COLORREF DimAt(COLORREF c, int32_t level) {
    if (level == 0) return c;
    const COLORREF b = CurrentBackground();
    auto mix = [level](int32_t bc, int32_t cc) { return (level * bc + (kMaxDimLevel - level) * cc) / kMaxDimLevel; };
    return RGB(mix(GetRValue(b), GetRValue(c)), mix(GetGValue(b), GetGValue(c)), mix(GetBValue(b), GetBValue(c)));
}

}  // namespace

bool IsDarkBackground(COLORREF color) { return Sum(color) < kDarkBelow; }

COLORREF CurrentBackground() {
    const Sketch* s = CurrentSketch();
    return s ? s->settings.palette[kColorSlotBackground] & 0xFFFFFF : RGB(255, 255, 255);
}

COLORREF CurrentHighlight() {
    const Sketch* s = CurrentSketch();
    return s ? s->settings.palette[kColorSlotHighlight] & 0xFFFFFF : RGB(0, 0, 255);
}

void SetDimLevel(int32_t level) { gDimLevel = level < 0 ? 0 : level > kMaxDimLevel ? kMaxDimLevel : level; }
int32_t GetDimLevel() { return gDimLevel; }
void RestoreDimLevel(int32_t level) { SetDimLevel(level); }

void DimTowardBackground(COLORREF* color) { *color = DimAt(*color, gDimLevel); }

void BlendTowardBackground(COLORREF* color, int32_t alpha, bool towardExtreme) {
    const COLORREF b = CurrentBackground();
    const int32_t extreme = Sum(b) <= kDarkBelow - 1 ? 0 : 255;
    auto mix = [&](int32_t c, int32_t t) {
        if (towardExtreme) t = extreme;
        return (alpha * c - t * (alpha - 256)) >> 8;
    };
    *color = RGB(mix(GetRValue(*color), GetRValue(b)), mix(GetGValue(*color), GetGValue(b)),
                 mix(GetBValue(*color), GetBValue(b)));
}

void ApplyObjectDimming(COLORREF* color, uint32_t markWord) {
    if (markWord & kMarkDimmed) {
        DimTowardBackground(color);
    } else if (markWord & kMarkDimmedFixed) {
        const int32_t saved = GetDimLevel();
        SetDimLevel(kFixedDimLevel);
        DimTowardBackground(color);
        RestoreDimLevel(saved);
    }
}

SketchObject* DimmedObject() { return gDimmedObject; }
void SetDimmedObject(SketchObject* object) { gDimmedObject = object; }

COLORREF ObjectDisplayColor(const SketchObject* object) {
    COLORREF c = object->color & 0xFFFFFF;
    if ((object->markFlags & kMarkDimmed) || object == gDimmedObject) DimTowardBackground(&c);
    return c;
}

bool Printing() { return CurrentOutputScale.printing != 0; }
bool PrintingToPage() { return Printing() && gPrintingToPage; }
double OutputFactor() { return Printing() ? CurrentOutputScale.factor : 1.0; }
void SetPrintingToPage(bool pages) { gPrintingToPage = pages; }

namespace {

struct ObjectPenStyle {
    int      style;
    int32_t  width;
    COLORREF color;
};

ObjectPenStyle ObjectPenOf(GraphicsPort* port, COLORREF color, uint32_t markWord, int32_t lineStyle,
                           bool traceBlend) {
    int32_t width = 0;
    if (Printing() && !PrintingToPage()) width = static_cast<int32_t>(OutputFactor() / 3 + 1);
    if (lineStyle == kLineThick) width = Printing() ? DrawingMetrics.intMetricsA[kMetricThickLineWidth] : 3;
    ApplyObjectDimming(&color, markWord);
    int style = PS_SOLID;
    if (markWord & kMarkHighlighted) {
        color = port->selectionColor;
        width += 2;
    }
    // A selected dashed line keeps its dashes anti-aliased; GDI draws it solid.
    const int32_t strokeWidth = width;
    if (!(markWord & kMarkHighlighted) && lineStyle == kLineDashed) {
        width = 0;
        style = Printing() && OutputFactor() > 1 ? PS_DASH : PS_DOT;
    }
    if ((markWord & kMarkTraceStyle) && traceBlend) BlendTowardBackground(&color, 128, true);
    if (auto remember = LaterForms().drawing.rememberPen)
        remember(strokeWidth > 0 ? float(strokeWidth) : 1.0f, color, lineStyle == kLineDashed);
    return { style, width, color };
}

// Four of each: no drawing routine holds more than two at once.
constexpr int kSharedSlots = 4;
struct SharedPenSlot {
    HPEN     pen;
    int      style;
    int      width;
    COLORREF color;
};
struct SharedBrushSlot {
    HBRUSH   brush;
    COLORREF color;
};
SharedPenSlot   gSharedPens[kSharedSlots];
SharedBrushSlot gSharedBrushes[kSharedSlots];
int             gNextPenSlot = 0, gNextBrushSlot = 0;

}  // namespace

HPEN CreateObjectPen(GraphicsPort* port, COLORREF color, uint32_t markWord, int32_t lineStyle,
                     bool traceBlend) {
    const ObjectPenStyle s = ObjectPenOf(port, color, markWord, lineStyle, traceBlend);
    return CreatePen(s.style, s.width, s.color);
}

HPEN SharedObjectPen(GraphicsPort* port, COLORREF color, uint32_t markWord, int32_t lineStyle,
                     bool traceBlend) {
    const ObjectPenStyle s = ObjectPenOf(port, color, markWord, lineStyle, traceBlend);
    return SharedPen(s.style, s.width, s.color);
}

HPEN SharedPen(int style, int width, COLORREF color) {
    for (const SharedPenSlot& s : gSharedPens) {
        if (s.pen && s.style == style && s.width == width && s.color == color) return s.pen;
    }
    HPEN pen = CreatePen(style, width, color);
    if (!pen) return nullptr;
    SharedPenSlot& slot = gSharedPens[gNextPenSlot];
    gNextPenSlot = (gNextPenSlot + 1) % kSharedSlots;
    if (slot.pen) DeleteObject(slot.pen);
    slot = { pen, style, width, color };
    return pen;
}

HBRUSH SharedSolidBrush(COLORREF color) {
    for (const SharedBrushSlot& s : gSharedBrushes) {
        if (s.brush && s.color == color) return s.brush;
    }
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush) return nullptr;
    SharedBrushSlot& slot = gSharedBrushes[gNextBrushSlot];
    gNextBrushSlot = (gNextBrushSlot + 1) % kSharedSlots;
    if (slot.brush) DeleteObject(slot.brush);
    slot = { brush, color };
    return brush;
}

void ReleaseSharedDrawingObjects() {
    for (SharedPenSlot& s : gSharedPens) {
        if (s.pen) DeleteObject(s.pen);
        s = {};
    }
    for (SharedBrushSlot& s : gSharedBrushes) {
        if (s.brush) DeleteObject(s.brush);
        s = {};
    }
    gNextPenSlot = gNextBrushSlot = 0;
}

void MaskFpuExceptions() { _control87(_MCW_EM, _MCW_EM); }

FpuMaskDuringPrint::FpuMaskDuringPrint() {
    if (Printing()) MaskFpuExceptions();
}
FpuMaskDuringPrint::~FpuMaskDuringPrint() {
    if (Printing()) MaskFpuExceptions();
}

DCSelection::DCSelection(HDC dc)
    : dc_(dc), pen_(GetCurrentObject(dc, OBJ_PEN)), brush_(GetCurrentObject(dc, OBJ_BRUSH)),
      rop_(GetROP2(dc)) {}

DCSelection::~DCSelection() {
    SelectObject(dc_, pen_);
    SelectObject(dc_, brush_);
    SetROP2(dc_, rop_);
    for (HPEN p : ownPens_)
        if (p) DeleteObject(p);
    for (HBRUSH b : ownBrushes_)
        if (b) DeleteObject(b);
}

void DCSelection::Pen(HPEN pen) {
    if (!pen) return;
    SelectObject(dc_, pen);
    HPEN& slot = ownPens_[0] ? ownPens_[1] : ownPens_[0];
    if (slot) DeleteObject(slot);  // a third pen: the one before is no longer selected
    slot = pen;
}

void DCSelection::Brush(HBRUSH brush) {
    if (!brush) return;
    SelectObject(dc_, brush);
    HBRUSH& slot = ownBrushes_[0] ? ownBrushes_[1] : ownBrushes_[0];
    if (slot) DeleteObject(slot);
    slot = brush;
}

void ChooseSelectionHatch(COLORREF o, COLORREF h, COLORREF* hatchColor, int* rop) {
    const int32_t oc[3] = { GetRValue(o), GetGValue(o), GetBValue(o) };
    const int32_t hc[3] = { GetRValue(h), GetGValue(h), GetBValue(h) };
    int32_t a = 0, b = 0, m = 0, e = 0, c = 0, s = 0;
    for (int i = 0; i < 3; ++i) {
        const int32_t common = hc[i] & oc[i];
        a = std::max(a, oc[i] - common);
        b += hc[i] - common;
        m = std::max(m, hc[i] - common);
        e += 255 - 2 * (oc[i] < 128 ? oc[i] : 255 - oc[i]);
        c += std::abs(255 - hc[i] - oc[i]);
        s += oc[i];
    }
    if (e >= 129 && c <= 127) {
        *hatchColor = RGB(0, 0, 0);
        *rop = R2_NOTXORPEN;
    } else if (a >= 113) {
        *hatchColor = h;
        *rop = R2_MASKPEN;
    } else if (m < 129 || b < 192) {
        *hatchColor = RGB(0, 0, 0);
        *rop = s < 385 ? R2_MERGENOTPEN : R2_MASKPEN;
    } else {
        *hatchColor = ~h & 0xFFFFFF;
        *rop = R2_MERGENOTPEN;
    }
}

void SelectSelectionHatch(HDC dc, COLORREF objectColor, HBRUSH* brush, int* previousRop) {
    COLORREF color;
    int rop;
    ChooseSelectionHatch(objectColor, CurrentHighlight(), &color, &rop);
    *brush = CreateHatchBrush(HS_DIAGCROSS, color);
    *previousRop = SetROP2(dc, rop);
}

ObjectDimmingScope::ObjectDimmingScope(SketchObject* object) : level_(GetDimLevel()), dimmed_(DimmedObject()) {
    if (!(object->markFlags & (kMarkDimmed | kMarkDimmedFixed))) return;
    if (!(object->markFlags & kMarkDimmed)) SetDimLevel(kFixedDimLevel);
    SetDimmedObject(object);
}

ObjectDimmingScope::~ObjectDimmingScope() {
    RestoreDimLevel(level_);
    SetDimmedObject(dimmed_);
}
