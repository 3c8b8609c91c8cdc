// Stand-in: the sketch record is not built here yet. Only the title and the three
// calls the tool lists need, with the signatures the sketch code will have.
#pragma once
#include "engine/core/result_codes.h"

#include <cstdint>

struct EngineDocument;

struct Sketch {
    char* title;  // heap text or null
};

Sketch*    CreateSketch(uint32_t arenaCapacityWords, EngineDocument* document);
void       FreeSketch(Sketch* sketch);
// Replaces the title with a heap copy (null = none); 100 when memory fails.
ResultCode SetSketchTitle(Sketch* sketch, const char* text);
