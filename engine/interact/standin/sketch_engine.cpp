// Stand-in: the class data of classes without a layout, and the coordinate-system
// queries of the command state. Each goes when the code that owns it (coordinate
// systems, iterations) is built.
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
// Found through the children, the way the coordinate system hangs on its origin, unit
// points and axes: a system among the children, or one among the children of a child axis.
// Two different systems make it ambiguous.
SketchObject* OwningCoordSystem(const SketchObject* o) {
    if (o->objectClass == kClassCoordinateSystem) return const_cast<SketchObject*>(o);
    SketchObject* found = nullptr;
    bool ambiguous = false;
    const auto consider = [&](SketchObject* system) {
        if (found && found != system) ambiguous = true;
        found = system;
    };
    int32_t count = 0;
    void** children = PtrListItems(o->children, &count);
    for (int32_t i = 0; i < count && !ambiguous; ++i) {
        SketchObject* child = static_cast<SketchObject*>(children[i]);
        if (child->objectClass == kClassCoordinateSystem) {
            consider(child);
        } else if (child->objectClass == kClassAxis) {
            int32_t n = 0;
            void** grandchildren = PtrListItems(child->children, &n);
            for (int32_t j = 0; j < n && !ambiguous; ++j) {
                SketchObject* g = static_cast<SketchObject*>(grandchildren[j]);
                if (g->objectClass == kClassCoordinateSystem) consider(g);
            }
        }
    }
    return ambiguous ? nullptr : found;
}
