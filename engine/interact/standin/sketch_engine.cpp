// Whether a list is empty, and the rebuild of loci that the command state asks for.
#include "engine/core/ptr_list.h"
#include "engine/interact/neighbour_services.h"

bool ObjectListIsEmpty(PtrList list) {
    if (list == 0) return true;
    int32_t count = 0;
    PtrListSize(list, &count);
    return count == 0;
}

// Stand-in: loci are not rebuilt until they are built.
void ScheduleLocusRebuild(uint32_t, int32_t) {}
