#include "engine/docio/print_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/drawing_pass.h"
#include "engine/core/geometry.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/motions.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/printing.h"
#include "engine/core/sketch.h"

namespace {

int16_t ClampUnits(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int16_t>(std::clamp(value, -double(kPrintUnitLimit), double(kPrintUnitLimit)));
}

int16_t ClampI16(int32_t value) { return static_cast<int16_t>(std::clamp<int32_t>(value, -0x8000, 0x7fff)); }

bool PositiveFinite(double value) { return std::isfinite(value) && value > 0; }

// Step 3 on: the scale, the page in sketch units and, for a print, the margin and the
// centring of the page grid. A scale or page that is not positive and finite leaves no
// page: the print scale stays 1 and the page size 0, which counts no page.
void LayOutPages(Sketch* sketch, PrintSettings* settings, double ratio, int32_t marginPixels) {
    const double scale = ratio * settings->scalePercent * 0.01;
    settings->marginUnits = 0;
    settings->centreOffsetX = settings->centreOffsetY = 0;
    if (!PositiveFinite(scale) || settings->pageWidth <= 0 || settings->pageHeight <= 0) {
        PrintState().scale = 1.0;
        settings->pageWidthUnits = settings->pageHeightUnits = 0;
        return;
    }
    PrintState().scale = scale;
    ScaleDrawingMetrics(settings->resolution, scale);
    settings->pageWidthUnits = ClampUnits(std::ceil(settings->pageWidth / scale));
    settings->pageHeightUnits = ClampUnits(std::ceil(settings->pageHeight / scale));
    if (!sketch) return;
    settings->marginUnits = ClampUnits(std::floor(marginPixels / scale));
    int32_t across = 0, down = 0;
    ComputePageGrid(sketch, settings, &across, &down);
    if (across <= 0 || down <= 0) return;
    ScreenRect r;
    PrintableSketchRect(sketch, settings, &r);
    settings->centreOffsetX = ClampI16((across * settings->pageWidthUnits + r.left - r.right) / 2);
    settings->centreOffsetY = ClampI16((down * settings->pageHeightUnits + r.top - r.bottom) / 2);
}

}  // namespace

bool ComputePrintExtent(bool includeLabels) { return ComputePrintExtentClipped(includeLabels, false); }

bool ComputePrintExtentClipped(bool includeLabels, bool clipLargeLoci) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return false;
    EnginePrintState& state = PrintState();
    const int32_t wasPrinting = state.printing;
    state.printing = 1;
    ScreenRect extent = kEmptyScreenRect;
    for (const SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->exists != 1 || o->hidden != kShown) continue;
        ScreenRect area = o->bounds;
        if (clipLargeLoci && IsLargeLocus(o)) ClipToSketchWindow(o, &area);
        if (!ScreenRectIsEmpty(area)) ScreenRectUnion(area, &extent);
        ScreenRect label;
        if (includeLabels && ObjectLabelRect(o, &label)) ScreenRectUnion(label, &extent);
    }
    if (ScreenRectIsEmpty(extent)) {
        for (const SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
            if (o->exists != 1 || o->hidden != kShown || o->constructionType != kTypeCoordinateSystem) continue;
            int32_t count = 0;
            void** parents = PtrListItems(o->parents, &count);
            for (int32_t i = 0; i < count; ++i) {
                const auto* parent = static_cast<const SketchObject*>(parents[i]);
                if (parent->exists == 1) ScreenRectUnion(parent->bounds, &extent);
            }
        }
    }
    sketch->printExtent = extent;
    state.printing = wasPrinting;
    return !ScreenRectIsEmpty(extent);
}

bool PrintExtentsMatch(Sketch* sketch, ScreenRect* withoutLabels, ScreenRect* withLabels) {
    CurrentSketchScope scope(sketch);
    const ScreenRect own = sketch->printExtent;
    ComputePrintExtent(false);
    *withoutLabels = sketch->printExtent;
    ComputePrintExtent(true);
    *withLabels = sketch->printExtent;
    sketch->printExtent = own;
    const bool emptyA = ScreenRectIsEmpty(*withoutLabels), emptyB = ScreenRectIsEmpty(*withLabels);
    if (emptyA || emptyB) return emptyA == emptyB;
    return withoutLabels->left == withLabels->left && withoutLabels->top == withLabels->top &&
           withoutLabels->right == withLabels->right && withoutLabels->bottom == withLabels->bottom;
}

bool LargePlotExtentsMatch(Sketch* sketch, bool includeLabels, ScreenRect* unclipped, ScreenRect* clipped) {
    CurrentSketchScope scope(sketch);
    const ScreenRect own = sketch->printExtent;
    ComputePrintExtentClipped(includeLabels, false);
    *unclipped = sketch->printExtent;
    ComputePrintExtentClipped(includeLabels, true);
    *clipped = sketch->printExtent;
    sketch->printExtent = own;
    return std::memcmp(unclipped, clipped, sizeof *clipped) == 0 ||
           (ScreenRectIsEmpty(*unclipped) && ScreenRectIsEmpty(*clipped));
}

void PrintableSketchRect(const Sketch* sketch, const PrintSettings* settings, ScreenRect* rect) {
    const ScreenRect& e = sketch->printExtent;
    if (ScreenRectIsEmpty(e)) {
        *rect = kEmptyScreenRect;
        return;
    }
    const int32_t m = settings->marginUnits;
    *rect = { ClampI16(e.left - m), ClampI16(e.top - m), ClampI16(e.right + m), ClampI16(e.bottom + m) };
}

void ComputePrintLayout(Sketch* sketch, PrintSettings* settings) {
    if (!sketch || !settings) {
        PrintState().scale = 1.0;
        return;
    }
    const double ratio = static_cast<double>(settings->resolution) / ThePreferences().resolution;
    const int32_t margin = settings->noMargin ? 0 : settings->resolution / 4;
    const ScreenRect& e = sketch->printExtent;
    // An empty extent, a ratio that is no number or a page within its margins has no
    // fit: the percent stays.
    if (settings->fitToPage && !ScreenRectIsEmpty(e) && PositiveFinite(ratio)) {
        const double across = (settings->pageWidth - 2.0 * margin) * 100 / (ratio * (e.right - e.left));
        const double down = (settings->pageHeight - 2.0 * margin) * 100 / (ratio * (e.bottom - e.top));
        const double percent = std::min(across, down);
        if (PositiveFinite(percent)) settings->scalePercent = percent;
    }
    LayOutPages(sketch, settings, ratio, margin);
}

void ComputePreviewLayout(PrintSettings* settings) {
    EnginePrintState& state = PrintState();
    if (!settings) {
        state.scale = 1.0;
        state.printing = 0;
        InitDrawingMetrics();
        return;
    }
    const int32_t screen = ThePreferences().resolution;
    const double ratio = screen > 0 ? settings->resolution / screen : 0.0;
    LayOutPages(nullptr, settings, ratio, 0);
    state.printing = 1;
}

void ComputePageGrid(const Sketch* sketch, const PrintSettings* settings, int32_t* across, int32_t* down) {
    *across = *down = 0;
    ScreenRect r;
    PrintableSketchRect(sketch, settings, &r);
    if (ScreenRectIsEmpty(r) || settings->pageWidthUnits <= 0 || settings->pageHeightUnits <= 0) return;
    *across = (r.right - r.left - 1) / settings->pageWidthUnits + 1;
    *down = (r.bottom - r.top - 1) / settings->pageHeightUnits + 1;
}

int32_t CountPrintPages(const Sketch* sketch, const PrintSettings* settings) {
    int32_t across = 0, down = 0;
    ComputePageGrid(sketch, settings, &across, &down);
    return across > 0 && down > 0 ? across * down : 0;
}

void BeginPrintPage(Sketch* sketch, uint32_t pageNumber, PrintSettings* settings) {
    EnginePrintState& state = PrintState();
    state.printing = 1;
    state.pageNumber = static_cast<int32_t>(pageNumber);
    ComputePrintLayout(sketch, settings);
}

bool PrintPageOrigin(const Sketch* sketch, const PrintSettings* settings, uint32_t pageNumber,
                     ScreenPoint* topLeft) {
    int32_t across = 0, down = 0;
    ComputePageGrid(sketch, settings, &across, &down);
    if (across <= 0 || down <= 0 || pageNumber < 1 || pageNumber > uint32_t(across * down)) return false;
    ScreenRect r;
    PrintableSketchRect(sketch, settings, &r);
    const int32_t column = int32_t(pageNumber - 1) % across, row = int32_t(pageNumber - 1) / across;
    *topLeft = { ClampI16(r.left - settings->centreOffsetX + column * settings->pageWidthUnits),
                 ClampI16(r.top - settings->centreOffsetY + row * settings->pageHeightUnits) };
    return true;
}

void DrawPrintPage(Sketch* sketch, GraphicsPort* port, const PrintSettings* settings) {
    EndActivitiesExcept(0);
    ScreenPoint topLeft;
    if (!PrintPageOrigin(sketch, settings, settings->pageNumber, &topLeft)) return;
    const ScreenRect page = { topLeft.x, topLeft.y, ClampI16(topLeft.x + settings->pageWidthUnits),
                              ClampI16(topLeft.y + settings->pageHeightUnits) };
    EnginePrintState& state = PrintState();
    state.pageOffsetX = ClampI16(-topLeft.x);
    state.pageOffsetY = ClampI16(-topLeft.y);
    {
        CurrentSketchScope scope(sketch);
        const OutputScale saved = CurrentOutputScale;
        const OutputScale scale = { 1, state.scale, state.pageOffsetX, state.pageOffsetY };
        CurrentOutputScale = scale;
        PaintPrintBackground(port, &page);
        state.printing = 1;
        DrawSketchForPrint(port, &page, &scale);
        state.printing = 0;
        CurrentOutputScale = saved;
    }
    EndPrintMeasureDC();
}

void EndPrinting(Sketch* sketch) {
    ResetPrintState();
    InitDrawingMetrics();
    if (!sketch) return;
    CurrentSketchScope scope(sketch);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (ObjectFn refresh = ObjectClassTable[o->objectClass].refreshTextMetrics) refresh(o);
    }
    RecomputeSketch(false);
    sketch->dirtyRect = kEverythingDirty;
}
