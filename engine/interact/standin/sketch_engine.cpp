// Stand-in: the per-sketch inputs of Parts not built yet (activity word, undo
// positions, snapping, mouse tracking), the class data of classes without a layout,
// and the coordinate-system, table and merge queries of the command state. Each goes
// when its Part lands.
#include "engine/core/ptr_list.h"
#include "engine/interact/neighbour_services.h"

namespace {
struct InputsEntry {
    const Sketch* sketch;
    SketchCommandInputs inputs;
};
InputsEntry gInputs[8] = {};

}  // namespace

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

namespace {
struct OwnerEntry {
    const SketchObject* object;
    SketchObject* system;
};
OwnerEntry gOwners[16] = {};
}  // namespace

void SetOwningCoordSystem(const SketchObject* object, SketchObject* system) {
    for (OwnerEntry& e : gOwners)
        if (e.object == object) {
            e = OwnerEntry{system ? object : nullptr, system};
            return;
        }
    if (!system) return;
    for (OwnerEntry& e : gOwners)
        if (e.object == nullptr) {
            e = OwnerEntry{object, system};
            return;
        }
}

SketchObject* OwningCoordSystem(const SketchObject* o) {
    if (o->objectClass == kClassCoordinateSystem) return const_cast<SketchObject*>(o);
    for (const OwnerEntry& e : gOwners)
        if (e.object == o) return e.system;
    return nullptr;
}
bool IsSingleMapPointImage(const SketchObject* o) {
    return o->objectClass == kClassIteratedImage && StandinData(o)->singleMapPointImage != 0;
}
bool TableCanRemoveEntry(const SketchObject* t) { return StandinData(t)->tableRows > 3; }
bool MergeSplitState(uint16_t*, uint16_t*, uint16_t*, int32_t*) { return false; }
