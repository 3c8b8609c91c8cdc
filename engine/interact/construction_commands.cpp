#include "engine/interact/construction_commands.h"

#include <cstring>
#include <initializer_list>

#include "engine/core/arc_data.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_geometry.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/interaction_services.h"

// Offsets named by the menu rules start the programs; a rule argument one byte early
// lands on the previous program's last byte, a type number above 4, which is skipped.
const uint8_t ConstructionProgram[kConstructionProgramBytes] = {
    1, 1, 3, 7, 5,        //   0 perpendicular through a point to each straight object
    1, 1, 2, 1, 5,        //   5 perpendicular to one straight object through each point
    2, 2, 1,              //  10 midpoint of each segment
    0, 3,                 //  13 circle by centre and point
    1, 1, 3, 68, 4,       //  15 circle by centre and radius, one per radius
    1, 1, 2, 1, 4,        //  20 circles by centres and one radius
    1, 1, 3, 7, 6,        //  25 parallel through a point to each straight object
    1, 1, 2, 1, 6,        //  30 parallel to one straight object through each point
    0, 7,                 //  35 angle bisector
    0, 8,                 //  37 polygon interior
    0, 9,                 //  39 intersection of two straight objects
    2, 3, 10,             //  41 circle interior of each circle
    2, 2, 40,             //  44 length of each segment
    1, 1, 0, 42,          //  47 distance from a point to a straight object
    3, 74, 43,            //  51 perimeter of each interior
    3, 1, 44,             //  54 circumference of each object
    0, 45,                //  57 angle of three points
    3, 1, 46,             //  59 area of each object
    3, 1, 47,             //  62 arc angle of each arc
    1, 3, 0, 47,          //  65 arc angle from a circle and points
    3, 1, 48,             //  69 arc length of each arc
    1, 3, 0, 48,          //  72 arc length from a circle and points
    3, 1, 49,             //  76 slope of each straight object
    3, 1, 50,             //  79 radius of each object
    0, 51,                //  82 ratio
    4, 1, 1, 2, 1, 69,    //  84 abscissa of each point
    4, 1, 1, 2, 1, 70,    //  90 ordinate of each point
    0, 41,                //  96 distance between two points
    4, 2, 1, 53,          //  98 rectangular coordinates of each point
    4, 0, 73,             // 102 plot two measurements as (x, y)
    4, 0, 74,             // 105 plot as (r, theta)
    4, 2, 1, 78,          // 108 polar coordinates of each point
    4, 2, 11, 76,         // 112 one per calculation (the plotting of functions lands here)
    1, 3, 0, 81,          // 116 arc on a circle
    0, 82,                // 120 arc on a circle from three points
    0, 83,                // 122 arc through three points
    2, 12, 84,            // 124 arc sector of each arc
    2, 12, 85,            // 127 arc segment of each arc
    4, 0, 88,             // 130 coordinate distance
    4, 3, 7, 89,          // 133 slope of each straight object in the coordinate system
    2, 15, 19,            // 137 terminal point of each iterated image
    0, 91,                // 140 table of the selected values
};

namespace {

constexpr int32_t kKindMeasuredCategory = 21;
constexpr int32_t kKindMeasurement      = 28;

// What the batch callback builds: object i has the parents `list` (count items) with
// the slot `replaceAt` taken by matches[i] (no replacement when replaceAt is -1), or the
// explicit pair pairs[2i], pairs[2i + 1]; with data, its construction data.
struct BuildPlan {
    int32_t        type;
    SketchObject** list;
    int32_t        count;
    int32_t        replaceAt;
    SketchObject** matches;
    SketchObject** pairs;
    const int32_t* types;       // per object, or null for `type`
    PtrList*       data;        // per object, or null
};

bool MakeList(SketchObject* const* items, int32_t count, PtrList* out) {
    *out = 0;
    if (!AllocPtrList(count, count, out)) return false;
    void** slots = PtrListData(*out);
    for (int32_t i = 0; i < count; ++i) slots[i] = items[i];
    return true;
}

SketchObject* BuildOne(int32_t index, void* userData, uint16_t* outFlags) {
    BuildPlan* plan = static_cast<BuildPlan*>(userData);
    PtrList parents = 0;
    bool made;
    if (plan->pairs) {
        made = MakeList(plan->pairs + 2 * index, 2, &parents);
    } else {
        made = MakeList(plan->list, plan->count, &parents);
        if (made && plan->replaceAt >= 0) PtrListData(parents)[plan->replaceAt] = plan->matches[index];
    }
    PtrList data = 0;
    if (plan->data) std::swap(data, plan->data[index]);
    if (!made) {
        FreePtrList(&data);
        return nullptr;
    }
    const int32_t type = plan->types ? plan->types[index] : plan->type;
    SketchObject* object = ConstructObject(type, nullptr, parents, data, true, false, outFlags);
    if (object && *outFlags == kConstructedNew) {
        RecomputeObject(object, nullptr, true);
        ApplyAutomaticLabels(object);
    }
    return object;
}

ResultCode RunBatch(BuildPlan* plan, int32_t count) {
    const ObjectBatch batch = { 1, 0, static_cast<uint16_t>(count), BuildOne,
                                StandardBatchUnwind, plan, -1 };
    return BuildObjectsWithUndo(&batch) ? kResultOK : kResultOutOfMemory;
}

// The selection, oldest selected first, with one spare slot; null for none.
SketchObject** SelectionArray(int32_t* count) {
    *count = 0;
    Sketch* sketch = CurrentSketch();
    int32_t n = 0;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) ++n;
    auto** items = static_cast<SketchObject**>(AllocMemory((n + 1) * sizeof(SketchObject*), kAllocZero));
    if (!items) return nullptr;
    int32_t i = n;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) items[--i] = o;
    *count = n;
    return items;
}

bool Matches(const SketchObject* o, int32_t op, int32_t operand) {
    return op == 2 ? o->objectClass == operand : KindIsA(EffectiveKind(o), operand);
}

}  // namespace

void ApplyAutomaticLabels(SketchObject* object) {
    const Sketch* sketch = CurrentSketch();
    const int32_t kind = EffectiveKind(object);
    if (sketch->settings.labelMeasuredObjects &&
        (KindIsA(kind, kKindMeasuredCategory) || KindIsA(kind, kKindMeasurement)))
        ShowParentLabels(object);
    AutoLabelNewObject(object);
}

SketchObject* AutoLabelNewObject(SketchObject* object) {
    if (CurrentSketch()->settings.labelNewPoints && object->objectClass == kClassPoint &&
        object->hidden == kShown && object->exists == 1)
        SetLabelShown(object, true, nullptr, true);
    return object;
}

ResultCode ConstructByProgramCommand(int32_t argument) {
    uint32_t pc = static_cast<uint32_t>(argument) & 0x3fffffffu;
    int32_t count = 0;
    SketchObject** list = SelectionArray(&count);
    if (!list) return kResultOutOfMemory;
    ResultCode result = kResultOK;
    BuildPlan plan = { 0, list, count, -1, nullptr, nullptr, nullptr, nullptr };
    while (pc < kConstructionProgramBytes) {
        const uint8_t op = ConstructionProgram[pc];
        if (op == 0 && pc + 1 < kConstructionProgramBytes) {
            plan.type = ConstructionProgram[pc + 1];
            result = RunBatch(&plan, 1);
            break;
        }
        if (op == 1 && pc + 1 < kConstructionProgramBytes) {
            const int32_t cls = ConstructionProgram[pc + 1];
            for (int32_t i = 0; i < count; ++i) {
                if (list[i]->objectClass != cls) continue;
                SketchObject* front = list[i];
                std::memmove(list + 1, list, i * sizeof(SketchObject*));
                list[0] = front;
                break;
            }
            pc += 2;
            continue;
        }
        if ((op == 2 || op == 3) && pc + 2 < kConstructionProgramBytes) {
            const int32_t operand = ConstructionProgram[pc + 1];
            plan.type = ConstructionProgram[pc + 2];
            int32_t matchCount = 0;
            for (int32_t i = 0; i < count; ++i) matchCount += Matches(list[i], op, operand);
            if (matchCount < 2) {
                result = RunBatch(&plan, 1);
                break;
            }
            auto** matches = static_cast<SketchObject**>(AllocMemory(matchCount * sizeof(SketchObject*), 0));
            if (!matches) {
                result = kResultOutOfMemory;
                break;
            }
            // The first match keeps its place; the others leave the list in order.
            int32_t kept = 0, found = 0;
            for (int32_t i = 0; i < count; ++i) {
                SketchObject* o = list[i];
                if (Matches(o, op, operand)) {
                    if (found == 0) plan.replaceAt = kept, list[kept++] = o;
                    matches[found++] = o;
                } else {
                    list[kept++] = o;
                }
            }
            plan.count = kept;
            plan.matches = matches;
            result = RunBatch(&plan, matchCount);
            FreeMemory(matches);
            break;
        }
        if (op == 4) {
            SketchObject* system = GetCoordinateSystem(1, true, nullptr);
            if (!system) break;
            list[count++] = system;  // the spare slot
            plan.count = count;
            ++pc;
            continue;
        }
        ++pc;
    }
    FreeMemory(list);
    return result;
}

ResultCode ConstructBetweenPointsCommand(int32_t argument) {
    int32_t count = 0;
    SketchObject** items = SelectionArray(&count);
    if (!items) return kResultOutOfMemory;
    ResultCode result = kResultOK;
    if (count >= 2) {
        const int32_t n = count == 2 ? 1 : count;
        auto** pairs = static_cast<SketchObject**>(AllocMemory(2 * n * sizeof(SketchObject*), 0));
        if (!pairs) {
            result = kResultOutOfMemory;
        } else {
            // Three or more points close the chain back to the first.
            for (int32_t i = 0; i < n; ++i) {
                pairs[2 * i] = items[i];
                pairs[2 * i + 1] = items[(i + 1) % count];
            }
            BuildPlan plan = { argument, nullptr, 0, -1, nullptr, pairs, nullptr, nullptr };
            result = RunBatch(&plan, n);
            FreeMemory(pairs);
        }
    }
    FreeMemory(items);
    return result;
}

ResultCode ConstructIntersectionsCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    SketchObject* recent = sketch->selectionHead;
    SketchObject* older = recent ? recent->nextSelected : nullptr;
    if (!recent || !older) return kResultOK;
    const auto straightLike = [](const SketchObject* o) {
        return o->objectClass == kClassStraight || o->objectClass == kClassAxis;
    };
    SketchObject* first = straightLike(recent) ? recent : older;
    SketchObject* second = first == recent ? older : recent;
    const bool withStraight = straightLike(first);
    const int32_t t = withStraight ? 11 : 13;
    bool exists[2];
    for (int32_t i = 0; i < 2; ++i) {
        const int32_t side = i == 0 ? 1 : -1;
        RealPoint p;
        if (withStraight) {
            LineForm form;
            int32_t kind = 0;
            exists[i] = GetLineForm(first, &form, &kind, nullptr) &&
                        IntersectLineCircle(form, kind, second, side, &p);
        } else {
            exists[i] = IntersectCircles(first, second, side, &p);
        }
    }
    int32_t types[2] = { t, t + 1 };
    int32_t n = 2;
    if (exists[0] != exists[1]) {
        n = 1;
        int32_t only = exists[0] ? t : t + 1;
        // Each arc running against its parents' order exchanges the two types once.
        for (const SketchObject* o : { first, second }) {
            if (o->objectClass == kClassArc && ClassData<ArcData>(o)->orientation < 0)
                only = only == t ? t + 1 : t;
        }
        types[0] = only;
    }
    SketchObject* pairs[4] = { first, second, first, second };
    BuildPlan plan = { t, nullptr, 0, -1, nullptr, pairs, types, nullptr };
    return RunBatch(&plan, n);
}

ResultCode ConstructPointsOnObjectsCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    int32_t count = 0;
    SketchObject** paths = SelectionArray(&count);
    if (!paths) return kResultOutOfMemory;
    // Only paths take points.
    int32_t n = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (PathMethodsOf(paths[i])) paths[n++] = paths[i];
    }
    ResultCode result = kResultOK;
    auto* data = n ? static_cast<PtrList*>(AllocMemory(n * sizeof(PtrList), kAllocZero)) : nullptr;
    if (n && !data) result = kResultOutOfMemory;
    if (data) {
        const bool hasView = UpdateSketchVisibleRect(sketch) != 0;
        for (int32_t i = 0; i < n && result == kResultOK; ++i) {
            const PathMethods* row = PathMethodsOf(paths[i]);
            PathParameterBlock block{};
            RealPoint at;
            row->randomParameter(paths[i], false, hasView ? &sketch->windowRect : nullptr, &block, &at);
            const uint32_t bytes = static_cast<uint32_t>(row->parameterWords) * 4;
            const int32_t slots = static_cast<int32_t>((bytes + sizeof(void*) - 1) / sizeof(void*));
            if (AllocPtrList(slots, slots, &data[i])) std::memcpy(PtrListData(data[i]), &block, bytes);
            else result = kResultOutOfMemory;
        }
        if (result == kResultOK) {
            // Each point's one parent is its path: the list's only slot takes each in turn.
            SketchObject* slot = nullptr;
            BuildPlan plan = { kTypePointOnPath, &slot, 1, 0, paths, nullptr, nullptr, data };
            result = RunBatch(&plan, n);
        }
        for (int32_t i = 0; i < n; ++i) FreePtrList(&data[i]);
        FreeMemory(data);
    }
    FreeMemory(paths);
    return result;
}

ResultCode EquationCommand(int32_t) {
    int32_t count = 0;
    SketchObject** items = SelectionArray(&count);
    if (!items) return kResultOutOfMemory;
    ResultCode result = kResultOK;
    SketchObject* system = count > 0 ? GetCoordinateSystem(1, true, nullptr) : nullptr;
    if (system) {
        auto* pairs = static_cast<SketchObject**>(AllocMemory(2 * count * sizeof(SketchObject*), 0));
        auto* types = static_cast<int32_t*>(AllocMemory(count * sizeof(int32_t), 0));
        if (pairs && types) {
            for (int32_t i = 0; i < count; ++i) {
                pairs[2 * i] = items[i];
                pairs[2 * i + 1] = system;
                types[i] = KindIsA(EffectiveKind(items[i]), kKindLine) ? 54 : 55;
            }
            BuildPlan plan = { 55, nullptr, 0, -1, nullptr, pairs, types, nullptr };
            result = RunBatch(&plan, count);
        } else {
            result = kResultOutOfMemory;
        }
        FreeMemory(pairs);
        FreeMemory(types);
    }
    FreeMemory(items);
    return result;
}
