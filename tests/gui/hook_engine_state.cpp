#include "gui/hook_engine_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <sstream>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/action_button_data.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/action_buttons.h"
#include "engine/text/object_labels.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"

std::string HookValues() {
    std::ostringstream out;
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "";
    int i = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch, ++i) {
        if (o->objectClass != kClassMeasurement && o->objectClass != kClassCalculation) continue;
        char line[80];
        std::snprintf(line, sizeof line, "%d %.6f\n", i, CalculationValue(o));
        out << line;
    }
    return out.str();
}

std::string HookBuildParameter(double value) {
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "no sketch";
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    // As New Parameter makes one: its kind, label and change settings from its number.
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindPlainParameter, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    std::string result = "failed";
    if (p && SetParameterValue(p, value, false)) {
        ReKindParameter(p, true, false);
        RecomputeObject(p, nullptr, true);
        result = "ok";
    }
    SetCurrentSketch(previous, nullptr);
    return result;
}

std::string HookButtons() {
    std::ostringstream out;
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "";
    int i = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch, ++i) {
        const ActionButtonData* b = ActionButtonOf(o);
        if (!b) continue;
        char caption[kLabelBufferSize] = "";
        GetObjectLabelText(o, caption, sizeof caption);
        out << i << "|" << b->buttonType << "|" << caption << "|" << b->runningCount << "|" << o->bounds.left << " "
            << o->bounds.top << " " << o->bounds.right << " " << o->bounds.bottom << "\n";
    }
    return out.str();
}

std::string HookWindow() {
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "none";
    const ScreenRect& r = sketch->windowRect;
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

namespace {

SketchObject* FreePointAt(double x, double y) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (p) {
        RecomputeObject(p, nullptr, true);
        SetPointPosition(p, x, y, 1, nullptr, false);
    }
    return p;
}

SketchObject* Built(int32_t type, std::initializer_list<SketchObject*> parents, PtrList data = 0) {
    PtrList list = 0;
    for (SketchObject* o : parents)
        if (!o || !PtrListAppend(&list, o)) return nullptr;
    SketchObject* o = ConstructObject(type, nullptr, list, data, true, false, nullptr);
    if (o) RecomputeObject(o, nullptr, true);
    return o;
}

// A point at angle 0 on a circle about (cx, cy) of radius r.
SketchObject* PointOnCircle(double cx, double cy, double r) {
    SketchObject* circle = Built(kTypeCircleByPoint, { FreePointAt(cx, cy), FreePointAt(cx + r, cy) });
    if (!circle) return nullptr;
    PtrList at = 0;
    const double where[2] = { 1, 0 };
    const int32_t items = static_cast<int32_t>(sizeof(where) / (sizeof(void*)));
    if (!AllocPtrList(items, items, &at)) return nullptr;
    std::memcpy(PtrListData(at), where, sizeof where);
    return Built(kTypePointOnPath, { circle }, at);
}

SketchObject* Button(int32_t type, std::initializer_list<SketchObject*> targets) {
    SketchObject* first = nullptr;
    SketchObject* last = nullptr;
    for (SketchObject* o : targets) {
        if (!o) return nullptr;
        o->tempLink = nullptr;
        if (last) last->tempLink = o;
        else first = o;
        last = o;
    }
    ResultCode rc = 0;
    return MakeActionButton(type, first, false, &rc);
}

}  // namespace

std::string HookBuildButtons(const std::string& kind) {
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "no sketch";
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    SketchObject* made = nullptr;
    if (kind == "animate") {
        made = Button(kButtonAnimate, { PointOnCircle(200, 200, 60) });
    } else if (kind == "move") {
        SketchObject* a = FreePointAt(60, 320);
        SketchObject* b = FreePointAt(60, 360);
        made = Button(kButtonMove, { a, FreePointAt(300, 320), b, FreePointAt(340, 360) });
    } else if (kind == "scroll") {
        made = Button(kButtonScroll, { FreePointAt(1500, 1200) });
    } else if (kind == "link") {
        // Made on the first page of a document of several, it links to the second.
        made = Button(kButtonLinkToPage, {});
        } else if (kind.rfind("address:", 0) == 0) {
        // A link to the address after the colon, in a document of one page.
        made = Button(kButtonLinkToPage, {});
        ActionButtonData* b = ActionButtonOf(made);
        const std::string address = kind.substr(8);
        if (b && b->buttonType == kButtonLinkToTarget) {
            b->linkTarget = static_cast<char*>(AllocMemory(address.size() + 1, 0));
            if (b->linkTarget) std::memcpy(b->linkTarget, address.c_str(), address.size() + 1);
            char caption[kLabelBufferSize] = "";
            int32_t level = 0;
            ActionButtonCaption(made, caption, sizeof caption, &level);
            StoreLabelText(made, caption, false);
        }
    } else if (kind.rfind("link-to:", 0) == 0) {
        // A link to the page of the number after the colon (counted from 1).
        const int32_t page = std::atoi(kind.c_str() + 8) - 1;
        Sketch* target = sketch->document && page >= 0 && page < DocumentPageCount(sketch->document)
                             ? DocumentPageAt(sketch->document, page)
                             : nullptr;
        made = target ? Button(kButtonLinkToPage, {}) : nullptr;
        ActionButtonData* b = made ? ActionButtonOf(made) : nullptr;
        if (b && b->buttonType == kButtonLinkToPage) {
            b->buttonOptions = target->pageId;
            char caption[kLabelBufferSize] = "";
            int32_t level = 0;
            ActionButtonCaption(made, caption, sizeof caption, &level);
            StoreLabelText(made, caption, false);
        }
    } else if (kind == "present") {
        SketchObject* one = Button(kButtonAnimate, { PointOnCircle(450, 150, 50) });
        SketchObject* two = Button(kButtonAnimate, { PointOnCircle(450, 320, 50) });
        made = one && two ? Button(kButtonPresentation, { one, two }) : nullptr;
    }
    if (made) ActionButtonFrameMetrics(made);
    if (made && sketch->document) SetDocumentModified(sketch->document, true);
    SetCurrentSketch(previous, nullptr);
    return made ? "ok" : "failed";
}
