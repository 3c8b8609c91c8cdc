// Whether a list is empty.
#include "engine/core/ptr_list.h"
#include "engine/interact/neighbour_services.h"

bool ObjectListIsEmpty(PtrList list) {
    if (list == 0) return true;
    int32_t count = 0;
    PtrListSize(list, &count);
    return count == 0;
}
