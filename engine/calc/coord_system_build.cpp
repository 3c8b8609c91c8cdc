// Making a coordinate system (origin, unit points, axes and the system, from nothing, a
// unit circle or the selection) and showing or hiding it with the objects that serve it.
#include <cstring>
#include <initializer_list>

#include "engine/core/construction_data.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/undo.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"
#include "engine/core/units.h"

namespace {

constexpr int32_t kKindOrigin = 36;
constexpr int32_t kNamedBatchNoun = 99;
constexpr int32_t kAxisLabelLevel = 3;

constexpr int32_t kFlagOrigin        = 1;
constexpr int32_t kFlagUnitObject    = 2;
constexpr int32_t kFlagVerticalUnit  = 4;
constexpr int32_t kFlagUnitCircle    = 8;
constexpr int32_t kFlagUnitPoint     = 16;

// The work record of one build; the pieces in the order they are made.
enum BuildPiece : int32_t {
    kCircle, kOrigin, kUnitX, kAxisX, kUnitY, kAxisY, kSystem, kPieceCount
};
struct CoordSystemBuild {
    SketchObject* pieces[kPieceCount];
    int32_t newSystem;
    int32_t unitIsObject;  // the horizontal unit is a given non-point object
    int32_t gridForm;
    double  unitX, unitY;  // pixels per unit of the unit points made
};

bool IsPoint(const SketchObject* o) { return o->objectClass == kClassPoint; }
bool IsUnitPointType(int32_t type) { return type >= 56 && type <= 61; }

// The n-th object (from 0) of the selection chain that is (or is not) a point.
SketchObject* NthPointOrNonPoint(bool points, int32_t n) {
    const Sketch* sketch = CurrentSketch();
    for (SketchObject* o = sketch ? sketch->selectionHead : nullptr; o; o = o->nextSelected) {
        if (IsPoint(o) == points && n-- == 0) return o;
    }
    return nullptr;
}

// A list of one parent, or two.
PtrList MakeParentList(SketchObject* first, SketchObject* second) {
    PtrList list = 0;
    if (!AllocPtrList(2, second ? 2 : 1, &list)) return 0;
    void** items = PtrListData(list);
    items[0] = first;
    if (second) items[1] = second;
    return list;
}

// The sketch's distance unit in pixels, times 10 until it is at least 10 pixels.
double DefaultUnitLength() {
    double v = 1;
    FromDistanceUnits(&v, CurrentSketchDistanceUnit());
    if (!(v > 0)) v = 1;
    while (v < 10) v *= 10;
    return v;
}

SketchObject* Construct(int32_t type, const void* extra, SketchObject* a, SketchObject* b, const double* unit,
                        uint16_t* outFlags) {
    PtrList parents = MakeParentList(a, b);
    if (!parents) return nullptr;
    PtrList data = 0;
    if (unit && !MakeConstructionData(unit, sizeof *unit, &data)) {
        FreePtrList(&parents);
        return nullptr;
    }
    return ConstructObject(type, const_cast<void*>(extra), parents, data, true, false, outFlags);
}

SketchObject* MakeAxis(int32_t type, SketchObject* a, SketchObject* b, bool horizontal, uint16_t* outFlags) {
    const uint8_t flag[2] = { uint8_t(horizontal ? 1 : 0), 0 };
    return Construct(type, flag, a, b, nullptr, outFlags);
}

SketchObject* MakeSystem(CoordSystemBuild* w, uint16_t* outFlags) {
    const uint8_t form[2] = { uint8_t(w->gridForm), 0 };
    return Construct(65, form, w->pieces[kAxisX], w->pieces[kAxisY], nullptr, outFlags);
}

SketchObject* MakeOrigin(uint16_t* outFlags) {
    Sketch* sketch = CurrentSketch();
    ConstructRequest r{};
    r.objectTemplate = { kTypeFree, 0, kShown, kClassPoint, 1, kKindOrigin,
                         sketch->settings.palette[ObjectClassTable[kClassPoint].colorSlot] };
    r.link = true;
    r.outFlags = outFlags;
    SketchObject* origin = ConstructObjectWithTemplate(&r);
    if (!origin) return nullptr;
    const ScreenRect& w = sketch->windowRect;
    SetPointPosition(origin, (w.left + w.right) / 2.0, (w.top + w.bottom) / 2.0, 1, nullptr, false);
    return origin;
}

SketchObject* BuildCoordSystemStep(int32_t step, void* userData, uint16_t* outFlags) {
    auto* w = static_cast<CoordSystemBuild*>(userData);
    SketchObject** p = w->pieces;
    SketchObject* made = nullptr;
    if (!w->newSystem) {
        switch (step) {
            case 0: made = p[kAxisX] = MakeAxis(64, p[kCircle], nullptr, true, outFlags); break;
            case 1: made = p[kAxisY] = MakeAxis(64, p[kCircle], nullptr, false, outFlags); break;
            default: made = p[kSystem] = MakeSystem(w, outFlags); break;
        }
        return made;
    }
    const bool rectangular = w->gridForm == kGridRectangular;
    if (!p[kOrigin]) return p[kOrigin] = MakeOrigin(outFlags);
    if (!p[kUnitX]) return p[kUnitX] = Construct(56, nullptr, p[kOrigin], nullptr, &w->unitX, outFlags);
    if (!p[kAxisX]) return p[kAxisX] = MakeAxis(w->unitIsObject ? 63 : 62, p[kOrigin], p[kUnitX], true, outFlags);
    if (!p[kUnitY]) {
        const int32_t type = w->unitIsObject ? (rectangular ? 61 : 60) : (rectangular ? 59 : 58);
        SketchObject* on = w->unitIsObject ? p[kAxisX] : p[kUnitX];
        made = p[kUnitY] = Construct(type, nullptr, on, nullptr, &w->unitY, outFlags);
        if (made && !rectangular && *outFlags == kConstructedNew) ChangeObjectHidden(made, kHiddenTiedUnit, false);
        return made;
    }
    if (!p[kAxisY]) {
        return p[kAxisY] = MakeAxis(IsPoint(p[kUnitY]) ? 62 : 63, p[kOrigin], p[kUnitY], false, outFlags);
    }
    made = p[kSystem] = MakeSystem(w, outFlags);
    if (made) {
        GetObjectLabel(p[kAxisX], kAxisLabelLevel);
        GetObjectLabel(p[kAxisY], kAxisLabelLevel);
    }
    return made;
}

// A step taken back forgets its piece, so that a failed build leaves no stale pointer.
void UnwindCoordSystemStep(int32_t index, void* userData, SketchObject* object, uint16_t flags) {
    auto* w = static_cast<CoordSystemBuild*>(userData);
    for (SketchObject*& piece : w->pieces) {
        if (piece == object && &piece != &w->pieces[kCircle]) piece = nullptr;
    }
    StandardBatchUnwind(index, userData, object, flags);
}

bool HiddenStateChanges(const SketchObject* o, bool show) {
    return show ? o->hidden == kHiddenByUser : o->hidden == kShown;
}

}  // namespace

SketchObject* CreateCoordSystem(int32_t flags, int32_t context, int32_t namedUndo, int32_t gridForm) {
    return CreateCoordSystemFor(flags, context, namedUndo, gridForm, nullptr);
}

SketchObject* CreateCoordSystemFor(int32_t flags, int32_t context, int32_t namedUndo, int32_t gridForm,
                                   const CoordSystemExtents* extents) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return nullptr;
    CoordSystemBuild w{};
    w.gridForm = gridForm;
    w.unitX = w.unitY = DefaultUnitLength();
    const ScreenRect& window = sketch->windowRect;
    const auto fit = LaterForms().engine.fitCoordSystemUnits;
    if (fit && extents && flags == 0 && gridForm != kGridPolar && window.right > window.left &&
        window.bottom > window.top) {
        w.gridForm = fit((window.right - window.left) / 2.0, (window.bottom - window.top) / 2.0, w.unitX,
                         extents->maxX, extents->maxY, &w.unitX, &w.unitY);
    }
    int32_t steps = 3;
    if (flags & kFlagUnitCircle) {
        w.pieces[kCircle] = CurrentSketch()->selectionHead;
        if (!w.pieces[kCircle]) return nullptr;
    } else {
        w.newSystem = 1;
        if (flags & kFlagOrigin) w.pieces[kOrigin] = NthPointOrNonPoint(true, 0);
        if (flags & kFlagUnitPoint) {
            // The vertical unit point is tied to the horizontal one, and only a unit
            // point can carry it: on any other point the system would not read back.
            w.pieces[kUnitX] = NthPointOrNonPoint(true, 1);
            if (w.pieces[kUnitX] && !KindIsA(w.pieces[kUnitX]->objectKind, kKindUnitPoint)) return nullptr;
        } else if (flags & kFlagUnitObject) {
            w.pieces[kUnitX] = NthPointOrNonPoint(false, 0);
            w.unitIsObject = w.pieces[kUnitX] != nullptr;
        }
        if (flags & kFlagVerticalUnit) {
            w.pieces[kUnitY] = NthPointOrNonPoint(false, 1);
            if (flags & kFlagUnitObject) w.gridForm = kGridRectangular;
        }
        for (int32_t piece : { kOrigin, kUnitX, kUnitY }) steps += w.pieces[piece] ? 0 : 1;
    }
    const ObjectBatch batch = { context, 0, uint16_t(steps), BuildCoordSystemStep, UnwindCoordSystemStep, &w,
                                namedUndo ? kNamedBatchNoun : kBatchNoUndo };
    SketchObject* system = BuildObjectsWithUndo(&batch);
    if (!system || system->objectClass != kClassCoordinateSystem) return nullptr;
    system->lineStyle = 1;
    MarkObject(kMarkCoordSystem, system, false);
    return system;
}

bool CoordSystemAxesVisible(const SketchObject* system) {
    if (system->hidden == kShown) return true;
    int32_t count = 0;
    SketchObject* const* axes = reinterpret_cast<SketchObject* const*>(PtrListItems(system->parents, &count));
    return count >= 2 && axes[0]->hidden == kShown && axes[1]->hidden == kShown;
}

bool OnlyServesGrid(const SketchObject* object) {
    int32_t count = 0;
    void** children = PtrListItems(object->children, &count);
    for (int32_t i = 0; i < count; ++i) {
        const SketchObject* c = static_cast<const SketchObject*>(children[i]);
        if (c->objectClass != kClassAxis && c->hidden == kShown && !IsUnitPointType(c->constructionType))
            return false;
    }
    return true;
}

void ShowCoordSystem(SketchObject* system, bool show) {
    SketchObject* head = nullptr;
    int32_t count = 0;
    const auto collect = [&](SketchObject* o) {
        if (!o || !HiddenStateChanges(o, show)) return;
        for (SketchObject* c = head; c; c = c->tempLink) {
            if (c == o) return;
        }
        o->tempLink = head;
        head = o;
        ++count;
    };
    collect(system);
    int32_t n = 0;
    SketchObject* const* axes = reinterpret_cast<SketchObject* const*>(PtrListItems(system->parents, &n));
    for (int32_t i = 0; i < n && i < 2; ++i) {
        SketchObject* axis = axes[i];
        int32_t m = 0;
        SketchObject* const* ap = reinterpret_cast<SketchObject* const*>(PtrListItems(axis->parents, &m));
        if (i == 0 && (axis->constructionType == 62 || axis->constructionType == 63) && m >= 1 &&
            (show || OnlyServesGrid(ap[0])))
            collect(ap[0]);
        collect(axis);
        if (axis->constructionType == 62 && m >= 2 && (show || OnlyServesGrid(ap[1]))) collect(ap[1]);
    }
    if (!head) return;
    // The selection without the changed objects, oldest first, to be made again.
    int32_t selected = 0;
    PtrList keep = 0;
    for (SketchObject* o = head; o; o = o->tempLink) {
        if (IsSelected(o)) DeselectSketchObject(o);
    }
    const bool kept = CollectSelection(&selected, &keep, 0);
    const UndoDescriptor descriptor = { show ? kUndoNameShow : kUndoNameHide, kUndoNounWorkedOut, 0, nullptr };
    UndoRecordObjectList(&descriptor, head, true);
    if (kept) {
        DeselectAll();
        void** items = PtrListData(keep);
        for (int32_t i = 0; i < selected; ++i) {
            SketchObject* o = static_cast<SketchObject*>(items[i]);
            if (o->exists == 1 && o->hidden == kShown) SelectSketchObject(o);
        }
        FreePtrList(&keep);
    }
}
