#include "engine/core/construction_data.h"

#include <cstring>

#include "engine/core/ptr_list.h"
#include "engine/core/sketch_object.h"

bool ReadConstructionData(const SketchObject* object, void* out, uint32_t bytes) {
    int32_t count = 0;
    void** items = PtrListItems(object->constructionData, &count);
    if (!items || static_cast<uint64_t>(count) * sizeof(void*) < bytes) return false;
    std::memcpy(out, items, bytes);
    return true;
}

bool MakeConstructionData(const void* in, uint32_t bytes, PtrList* list) {
    const int32_t items = static_cast<int32_t>((bytes + sizeof(void*) - 1) / sizeof(void*));
    *list = 0;
    if (!AllocPtrList(items, items, list)) return false;
    std::memset(PtrListData(*list), 0, items * sizeof(void*));
    std::memcpy(PtrListData(*list), in, bytes);
    return true;
}

bool WriteConstructionData(SketchObject* object, const void* in, uint32_t bytes) {
    const int32_t needed = static_cast<int32_t>((bytes + sizeof(void*) - 1) / sizeof(void*));
    int32_t count = 0;
    const int32_t capacity = PtrListSize(object->constructionData, &count);
    if (capacity < needed) {
        PtrList grown = 0;
        if (!AllocPtrList(needed, needed, &grown)) return false;
        // The arena may have moved: read the old items only now.
        void** from = PtrListItems(object->constructionData, &count);
        void** to = PtrListData(grown);
        std::memset(to, 0, needed * sizeof(void*));
        if (from) std::memcpy(to, from, (count < needed ? count : needed) * sizeof(void*));
        FreePtrList(&object->constructionData);
        object->constructionData = grown;
    } else if (count < needed) {
        PtrListSetCount(object->constructionData, needed);
    }
    std::memcpy(PtrListData(object->constructionData), in, bytes);
    return true;
}
