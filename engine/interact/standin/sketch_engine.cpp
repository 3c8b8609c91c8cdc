// Stand-in: the class data of classes without a layout, and the table queries of the
// command state. Each goes when the code that owns it (iterations, tables) is built.
#include "engine/core/ptr_list.h"
#include "engine/interact/neighbour_services.h"


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
bool TableCanRemoveEntry(const SketchObject* t) { return StandinData(t)->tableRows > 3; }
