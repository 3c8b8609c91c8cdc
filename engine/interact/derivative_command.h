// The Derivative command and the re-deriving of derived functions.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct CopyMap;
struct SketchObject;

// Re-derives each derived function of the list in order (exactly when `show`, with busy
// feedback that can be cancelled), stopping at the first failure; with `show` a failure
// is told: out of memory as "too complex", the others by their own alert. The list's
// entries done are set to null.
ResultCode RebuildDerivatives(SketchObject** derived, uint32_t count, bool show);

// Derives exactly, as RebuildDerivatives with `show`, the derived functions that a
// cloning defined approximately (the map's extra objects), with the target current.
ResultCode RebuildCopiedDerivatives(const CopyMap* map);
