// Stand-in: the reads of the sketch engine's tables and class data that the command
// state needs. Goes when the sketch engine lands.
#include <cstring>
#include <initializer_list>

#include "engine/core/ptr_list.h"
#include "engine/interact/command_state.h"
#include "engine/interact/neighbour_services.h"

namespace {
// Stand-in: the parentKind column of the ObjectKindTable for kinds 0..67, then the two
// members of each union kind 68..74.
const int8_t kKindParent[68] = {
    0, 0, 1, 2, 3, 2, 5, 6, 6, 6, 4, 4, 7, 7, 7, 9, 9, 1, 17, 17,
    1, 17, 8, 8, 23, 23, 25, 25, 18, 21, 21, 30, 30, 12, 2, 4, 4, 5, 2, 13,
    4, 12, 12, 28, 28, 28, 28, 15, 15, 15, 15, 1, 2, 4, 30, 5, 19, 54, 57, 57,
    1, 60, 46, 43, 44, 1, 65, 65,
};
const int8_t kUnionMembers[7][2] = {
    {14, 43}, {22, 16}, {22, 9}, {6, 3}, {69, 23}, {70, 25}, {15, 25},
};

struct InputsEntry {
    const Sketch* sketch;
    SketchCommandInputs inputs;
};
InputsEntry gInputs[8] = {};

}  // namespace

void SetFrontSketch(Sketch* sketch) {
    gEngine.frontSketch = sketch;
    gEngine.currentIsFront = sketch != nullptr && sketch == gEngine.currentSketch;
}

SketchCommandInputs& CommandInputsOf(const Sketch* sketch) {
    for (InputsEntry& e : gInputs)
        if (e.sketch == sketch) return e.inputs;
    for (InputsEntry& e : gInputs)
        if (e.sketch == nullptr) {
            e.sketch = sketch;
            e.inputs = SketchCommandInputs{};
            return e.inputs;
        }
    gInputs[0] = InputsEntry{sketch, {}};
    return gInputs[0].inputs;
}

int32_t ObjectKindParent(int32_t kind) {
    if (kind < 0 || kind >= kObjectKindCount) return 0;
    return kind < kFirstUnionKind ? kKindParent[kind] : kUnionMembers[kind - kFirstUnionKind][0];
}

bool ClassIsTraceable(int32_t c) {
    static const bool t[18] = {0, 1, 1, 1, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0, 0};
    return c >= 0 && c < 18 && t[c];
}
bool ClassHasLineStyle(int32_t c) {
    static const bool t[18] = {0, 0, 1, 1, 0, 0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 0};
    return c >= 0 && c < 18 && t[c];
}
int32_t ClassTextFamily(int32_t c) {
    static const int8_t t[18] = {1, 0, 0, 0, 0, 0, 0, 2, 0, 0, 3, 2, 0, 0, 7, 7, 7, 4};
    return c >= 0 && c < 18 ? t[c] : 7;
}
bool LabelFollowsGeometry(const SketchObject* o) {
    switch (o->objectClass) {
    case kClassPoint: case kClassStraight: case kClassCircle: case kClassPolygonInterior:
    case kClassCircleInterior: case kClassLocus: case kClassAxis: case kClassArc:
    case kClassArcInterior:
        return true;
    default:
        return false;
    }
}
bool IsLabelShownOrImplied(const SketchObject* o) { return o->label.shown != 0; }
bool SameRgb(uint32_t a, uint32_t b) { return (a & 0xffffff) == (b & 0xffffff); }

bool ObjectListIsEmpty(PtrList list) {
    if (list == 0) return true;
    int32_t count = 0;
    PtrListSize(list, &count);
    return count == 0;
}

StandinClassData* StandinData(SketchObject* o) {
    static_assert(sizeof(StandinClassData) <= kClassDataCapacity);
    return ClassData<StandinClassData>(o);
}
const StandinClassData* StandinData(const SketchObject* o) {
    return ClassData<StandinClassData>(o);
}

void ScheduleLocusRebuild(uint32_t, int32_t) {}
SketchObject* OwningCoordSystem(const SketchObject* o) {
    if (o->objectClass == kClassCoordinateSystem) return const_cast<SketchObject*>(o);
    switch (o->objectClass) {
    case kClassPoint: case kClassAxis: case kClassCircle: return StandinData(o)->ownerSystem;
    default: return nullptr;
    }
}
bool IsSingleMapPointImage(const SketchObject* o) {
    return o->objectClass == kClassIteratedImage && StandinData(o)->singleMapPointImage != 0;
}
bool TableCanRemoveEntry(const SketchObject* t) { return StandinData(t)->tableRows > 3; }
bool MergeSplitState(uint16_t*, uint16_t*, uint16_t*, int32_t*) { return false; }
