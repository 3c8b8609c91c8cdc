// Object records made together in large numbers (the objects of a page being read) come
// from slabs: one heap block holds many records, so that each costs no heap request of
// its own. A record still goes away alone (FreeObjectRecord, as every record does); its
// slab is freed once the last of its records is gone and nothing fills it any more.
#pragma once
#include <cstdint>

#include "engine/core/sketch_object.h"

struct ObjectSlab;

// The slab being filled, and how many more records are expected, which sizes the next
// slab. Ended with EndObjectSlabs.
struct ObjectSlabFiller {
    ObjectSlab* slab = nullptr;
    uint32_t    expected = 0;
};

// As AllocObject, the record taken from the filler's slab (a new slab when it is full).
// When a slab cannot be had the record is allocated alone; null when that fails too.
SketchObject* AllocObjectFromSlab(ObjectSlabFiller* filler, int32_t objectClass, const ObjectTemplate* t);

// The filler takes no more records from its slab; a slab whose records are all gone is freed.
void EndObjectSlabs(ObjectSlabFiller* filler);

// Frees an object's record, whether it was allocated alone or from a slab.
void FreeObjectRecord(SketchObject* object);
