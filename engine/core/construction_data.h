// The construction's own extra values of an object (a path parameter, a unit
// distance, fixed coordinates): raw bytes kept in the object's constructionData list,
// packed into its pointer-sized items.
#pragma once
#include <cstdint>

#include "engine/core/ptr_list.h"

struct SketchObject;

// Copies the first `bytes` bytes of the object's block into out; false (out
// untouched) when the block holds fewer.
bool ReadConstructionData(const SketchObject* object, void* out, uint32_t bytes);
// A new block holding `bytes` bytes, to hand to a construction; false (and 0) when
// memory runs out.
bool MakeConstructionData(const void* in, uint32_t bytes, PtrList* list);
// Stores bytes at the start of the object's block, making or growing the list as
// needed; false, with the block as it was, when memory runs out.
bool WriteConstructionData(SketchObject* object, const void* in, uint32_t bytes);
