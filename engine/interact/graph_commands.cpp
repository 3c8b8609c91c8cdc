// The Graph menu's commands: Define Coordinate System, Show/Hide Grid, Snap Points,
// the grid forms and Plot Points, with the undo entries of a grid-form change and of an
// edited plotted point.
#include "engine/interact/graph_commands.h"

#include <cmath>
#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/construction_data.h"
#include "engine/core/drag_analysis.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/units.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/interaction_services.h"

namespace {

constexpr int32_t kTypeTiedUnit        = 58;  // on the horizontal unit point
constexpr int32_t kTypeFreeUnit        = 59;
constexpr int32_t kTypeTiedUnitOnAxis  = 60;  // on the horizontal axis
constexpr int32_t kTypeFreeUnitOnAxis  = 61;
constexpr int32_t kTypeAxisByPoint     = 62;
constexpr int32_t kTypeAxisByDistance  = 63;
constexpr int32_t kTypeAxisOfCircle    = 64;
constexpr int32_t kTypePlottedXY       = 71;
constexpr int32_t kTypePlottedPolar    = 72;

constexpr ResultCode kQuestionNewSystemShown  = 127;
constexpr ResultCode kQuestionNewSystemHidden = 128;

constexpr uint16_t kUndoNameEditCoordinates = 17;
constexpr int32_t kHelpPlotNew  = 29;
constexpr int32_t kHelpPlotEdit = 30;
constexpr int32_t kFormPolar       = 0;
constexpr int32_t kFormRectangular = 1;

// The engine's rounded constants.
constexpr double kPi          = 3.1415926535898;
constexpr double kTwoPi       = 6.2831853071796;
constexpr double kHalfPi      = 1.5707963267949;
constexpr double kQuarterPi   = 0.78539816339745;
constexpr double kDegreeToRad = 0.017453292519943334;
constexpr double kRadToDegree = 57.295779513082195;

// A grid-form entry: the values to put in effect; swapping leaves the old ones here.
struct GridFormEntry {
    SketchObject* system;
    SketchObject* unit;          // the vertical unit point, or null
    RealPoint     unitPosition;
    int32_t       form;
    int32_t       systemHidden;
    int32_t       unitHidden;
    int32_t       unitType;
    int32_t       select;        // the unit point becomes the only selected object
};

struct PlottedPointEntry {
    SketchObject* point;
    int32_t       type;
    double        values[2];
};

SketchObject* Parent(const SketchObject* o, int32_t i) {
    int32_t count = 0;
    void** items = PtrListItems(o->parents, &count);
    return i < count ? static_cast<SketchObject*>(items[i]) : nullptr;
}

// What a change to `form` does: the unit point's new type and hidden state, or refused.
struct GridFormPlan {
    bool          possible;
    SketchObject* unit;
    int32_t       unitType;
    int32_t       unitHidden;
    bool          select;
};

GridFormPlan PlanGridForm(const SketchObject* system, int32_t form) {
    GridFormPlan plan{};
    const SketchObject* a1 = Parent(system, 0);
    const SketchObject* a2 = Parent(system, 1);
    if (!a1 || !a2) return plan;
    const int32_t t1 = a1->constructionType, t2 = a2->constructionType;
    // The unit point that defines the second axis (an axis by a unit distance has none).
    SketchObject* u = t2 == kTypeAxisByPoint ? Parent(a2, 1) : nullptr;
    if (u && u->objectClass != kClassPoint) u = nullptr;
    if (form == CoordSystemOf(system)->gridForm || form == kGridPolar) {
        plan.possible = true;
        return plan;
    }
    if (form == kGridSquare) {
        if (t1 == kTypeAxisOfCircle) {
            plan.possible = true;
            return plan;
        }
        if (t1 != kTypeAxisByPoint && t1 != kTypeAxisByDistance) return plan;
        if (t1 == kTypeAxisByPoint && t2 != kTypeAxisByPoint) return plan;
        plan.possible = true;
        if (!u) return plan;
        plan.unit = u;
        plan.unitType = t1 == kTypeAxisByDistance ? kTypeTiedUnitOnAxis : kTypeTiedUnit;
        plan.unitHidden = kHiddenTiedUnit;
        return plan;
    }
    if (form == kGridRectangular) {
        if (t1 != kTypeAxisByPoint && t1 != kTypeAxisByDistance) return plan;
        plan.possible = true;
        if (!u) return plan;
        plan.unit = u;
        plan.unitType = t1 == kTypeAxisByPoint ? kTypeFreeUnit : kTypeFreeUnitOnAxis;
        plan.unitHidden = kShown;
        plan.select = true;
    }
    return plan;
}

GridFormEntry ReadGridEntry(const UndoEntry& e) {
    GridFormEntry g;
    std::memcpy(&g, e.payload, sizeof g);
    return g;
}

void RecomputeDependentsOf(SketchObject* object) {
    object->tempLink = nullptr;
    ObjectFlagsEntry* list = nullptr;
    if (!CollectAffectedObjects(object, &list)) return;
    ScreenRect rect = kEmptyScreenRect;
    RecomputeListedObjects(list, &rect, false);
    FreeMemory(list);
}

SketchObject* DefinedSystem() {
    SketchObject* m = MarkedObject(kMarkCoordSystem);
    return m && m->exists == 1 ? m : nullptr;
}

bool IsPlottedByValues(const SketchObject* o) {
    return o && (o->constructionType == kTypePlottedXY || o->constructionType == kTypePlottedPolar);
}

bool Radians() { return CurrentSketchAngleUnit() == kAngleRadians; }

}  // namespace

bool ChangeGridForm(SketchObject* system, int32_t form, bool testOnly) {
    if (!system || system->objectClass != kClassCoordinateSystem) return false;
    const GridFormPlan plan = PlanGridForm(system, form);
    if (!plan.possible || testOnly || form == CoordSystemOf(system)->gridForm) return plan.possible;
    const uint16_t name = uint16_t(kUndoEntryPolarGrid + form);
    const UndoDescriptor descriptor = { name, kUndoNounNone, 0, nullptr };
    GridFormEntry entry{};
    entry.system = system;
    entry.form = form;
    entry.systemHidden = kShown;
    if (plan.unit) {
        entry.unit = plan.unit;
        entry.unitPosition = PointPosition(plan.unit);
        entry.unitHidden = plan.unitHidden;
        entry.unitType = plan.unitType;
        entry.select = plan.select ? 1 : 0;
    }
    uint8_t* cursor = nullptr;
    UndoRecord* record = UndoRecordCreate(&descriptor, 1, sizeof entry, &cursor);
    if (!record) return false;
    UndoPutEntryHead(&cursor, name, sizeof entry);
    std::memcpy(cursor, &entry, sizeof entry);
    return UndoRecordCommit(record, true) == kResultOK;
}

ResultCode SwapCoordSystemUndo(const UndoEntry& e, int32_t) {
    GridFormEntry g = ReadGridEntry(e);
    SketchObject* system = g.system;
    CoordSystemData* d = CoordSystemOf(system);
    const int32_t oldForm = d->gridForm;
    d->gridForm = g.form;
    g.form = oldForm;
    AddObjectToDirtyRect(system);
    const int32_t oldHidden = system->hidden;
    if (oldHidden != g.systemHidden) ChangeObjectHidden(system, g.systemHidden, false);
    g.systemHidden = oldHidden;
    if (SketchObject* u = g.unit) {
        const RealPoint at = g.unitPosition;
        g.unitPosition = PointPosition(u);
        const int32_t hidden = u->hidden;
        const int32_t type = u->constructionType;
        u->constructionType = g.unitType;
        g.unitType = type;
        if (hidden != g.unitHidden) ChangeObjectHidden(u, g.unitHidden, false);
        g.unitHidden = hidden;
        if (u->constructionType == kTypeTiedUnit || u->constructionType == kTypeTiedUnitOnAxis) {
            RecomputeObject(u, nullptr, true);
        } else {
            SetPointPosition(u, at.x, at.y, 1, nullptr, true);
            if (g.select) {
                DeselectAll();
                if (u->exists == 1 && u->hidden == kShown) SelectSketchObject(u);
                g.select = 0;
            }
        }
        RecomputeDependentsOf(u);
    }
    AddObjectToDirtyRect(system);
    if (d->gridForm != g.form) {
        CmdStateInvalidate(kCommandGroupGraphForm);
        CmdStateInvalidate(kCommandGroupSelection);
        ComputeTickSpacing(system);
    }
    std::memcpy(e.payload, &g, sizeof g);
    return kResultOK;
}

// An axis whose unit is a given length cannot be rescaled by dragging its marks.
SketchObject* GetAxisCoordinateSystem(SketchObject* axis) {
    if (!axis || axis->constructionType == kTypeAxisByDistance) return nullptr;
    return OwningCoordSystem(axis);
}

ResultCode GridFormCommand(int32_t form) {
    SketchObject* system = GetCoordinateSystem(form, true, nullptr);
    if (system) ChangeGridForm(system, form, false);
    return kResultOK;
}

ResultCode DefineCoordSystemCommand(int32_t flags) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    if (SketchObject* existing = GetCoordinateSystem(1, false, nullptr)) {
        const bool visible = CoordSystemAxesVisible(existing);
        if (!AskQuestionByCode(visible ? kQuestionNewSystemShown : kQuestionNewSystemHidden, false, 0)) {
            if (!visible) ShowCoordSystem(existing, true);
            FlushPendingRedraw(1);
            if (MarkedObject(kMarkCoordSystem) != existing) MarkObject(kMarkCoordSystem, existing, true);
            return kResultOK;
        }
    }
    SketchObject* system = CreateCoordSystem(flags, 1, 1, kGridSquare);
    if (system && IsSelected(system)) DeselectSketchObject(system);
    if (flags == 0) DeselectAll();
    return kResultOK;
}

ResultCode ShowHideGridCommand(int32_t flags) {
    const bool hide = (flags & 1) != 0;
    SketchObject* system = DefinedSystem();
    bool proceed = true;
    if (!system) {
        system = GetCoordinateSystem(1, true, nullptr);
        if (system && !hide && CoordSystemAxesVisible(system)) proceed = false;
    }
    if (system && proceed) {
        if (flags & 2) {
            ShowCoordSystem(system, !hide);
        } else {
            if (hide && IsSelected(system)) DeselectSketchObject(system);
            SetObjectHidden(system, hide ? kHiddenByUser : kShown, true);
        }
    }
    CmdStateInvalidate(kCommandGroupGridAndHidden);
    return kResultOK;
}

ResultCode ToggleSnapToGridCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    sketch->pageFlags ^= 1;
    SetDocumentModified(gEngine.frontDocument, true);
    CmdStateInvalidate(kCommandGroupGraphForm);
    return kResultOK;
}

ResultCode PlotPointsCommand(int32_t edit) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    SketchObject* system = GetCoordinateSystem(1, false, nullptr);
    FlushPendingRedraw(1);
    PlotPointsRecord r{};
    r.one = r.alsoOne = 1;
    r.nine = 9;
    r.firstDecimals = r.secondDecimals = 6;
    SketchObject* only = sketch->selectionHead;
    if (edit && only && !only->nextSelected && IsPlottedByValues(only)) {
        double v[2] = { 0, 0 };
        ReadConstructionData(only, v, sizeof v);
        r.form = only->constructionType == kTypePlottedXY ? kFormRectangular : kFormPolar;
        r.first = v[0];
        r.second = v[1];
        if (r.form == kFormPolar) RadiansToAngleUnits(&r.second, true);
        r.edited = only;
    } else {
        const bool polar = system && system->exists == 1 && CoordSystemOf(system)->gridForm == kGridPolar;
        r.form = polar ? kFormPolar : kFormRectangular;
        r.first = 1;
        r.second = polar ? (Radians() ? kQuarterPi : 45) : 1;
    }
    r.previousForm = r.form;
    if (RunCommandDialog(kDialogPlotPoints, &r, PlotPointsConvert, r.edited ? kHelpPlotEdit : kHelpPlotNew, 0))
        PlotPoint(&r);
    return kResultOK;
}

int32_t PlotPointsConvert(void* data) {
    auto* r = static_cast<PlotPointsRecord*>(data);
    bool converted = false;
    if (r->previousForm == kFormPolar && r->form == kFormRectangular) {
        double theta = r->second;
        if (!Radians()) theta *= kDegreeToRad;
        const double radius = r->first;
        r->first = radius * std::cos(theta);
        r->second = radius * std::sin(theta);
        converted = true;
    } else if (r->previousForm == kFormRectangular && r->form == kFormPolar) {
        const double x = r->first, y = r->second;
        double theta;
        if (x != 0) {
            theta = std::atan(y / x);
            if (x < 0) theta += kPi;
            else if (y < 0) theta += kTwoPi;
        } else {
            theta = y >= 0 ? kHalfPi : -kHalfPi;
        }
        if (!Radians()) theta *= kRadToDegree;
        r->first = std::sqrt(x * x + y * y);
        r->second = theta;
        converted = true;
    }
    r->previousForm = r->form;
    if (r->plotNow) {
        PlotPoint(r);
        r->plotNow = 0;
        r->edited = nullptr;
    }
    return converted ? 1 : 0;
}

void PlotPoint(PlotPointsRecord* r) {
    const bool polar = r->form == kFormPolar;
    double values[2] = { r->first, r->second };
    if (polar && !Radians()) values[1] *= kDegreeToRad;
    const int32_t type = polar ? kTypePlottedPolar : kTypePlottedXY;
    if (r->edited) {
        const UndoDescriptor descriptor = { kUndoNameEditCoordinates, kUndoNounNone, 0, nullptr };
        const PlottedPointEntry entry = { r->edited, type, { values[0], values[1] } };
        uint8_t* cursor = nullptr;
        UndoRecord* record = UndoRecordCreate(&descriptor, 1, sizeof entry, &cursor);
        if (!record) return;
        UndoPutEntryHead(&cursor, kUndoEntryPlottedPoint, sizeof entry);
        std::memcpy(cursor, &entry, sizeof entry);
        UndoRecordCommit(record, true);
        return;
    }
    SketchObject* system = GetCoordinateSystem(polar ? 0 : 1, true, nullptr);
    if (!system) return;
    PtrList parents = 0;
    PtrList data = 0;
    if (!AllocPtrList(1, 1, &parents) || !MakeConstructionData(values, sizeof values, &data)) {
        FreePtrList(&parents);
        FreePtrList(&data);
        return;
    }
    PtrListData(parents)[0] = system;
    SketchObject* point = ConstructObject(type, nullptr, parents, data, true, true, nullptr);
    if (!point) return;
    RecomputeObject(point, nullptr, true);
    DeselectAll();
    if (point->exists == 1 && point->hidden == kShown) SelectSketchObject(point);
}

ResultCode SwapPlottedPointUndo(const UndoEntry& e, int32_t) {
    PlottedPointEntry p;
    std::memcpy(&p, e.payload, sizeof p);
    SketchObject* point = p.point;
    double old[2] = { 0, 0 };
    ReadConstructionData(point, old, sizeof old);
    if (!WriteConstructionData(point, p.values, sizeof p.values)) return kResultOutOfMemory;
    const int32_t oldType = point->constructionType;
    point->constructionType = p.type;
    p.type = oldType;
    p.values[0] = old[0];
    p.values[1] = old[1];
    std::memcpy(e.payload, &p, sizeof p);
    point->tempLink = nullptr;
    SketchObject* head = point;
    CollectDependents(&head, false);
    RecomputeObjects(head, true, nullptr);
    if (point->exists == 1 && point->hidden == kShown) SelectSketchObject(point);
    return kResultOK;
}
