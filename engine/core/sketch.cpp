#include "engine/core/sketch.h"

#include "engine/core/memory.h"

#include <cstring>

// Stand-in: a sketch is only its title until the sketch record exists.
Sketch* CreateSketch(uint32_t, EngineDocument*) {
    return static_cast<Sketch*>(AllocMemory(sizeof(Sketch), kAllocZero));
}

void FreeSketch(Sketch* sketch) {
    if (sketch == nullptr) return;
    FreeMemory(sketch->title);
    FreeMemory(sketch);
}

ResultCode SetSketchTitle(Sketch* sketch, const char* text) {
    char* copy = nullptr;
    if (text != nullptr) {
        const size_t length = std::strlen(text);
        copy = static_cast<char*>(AllocMemory(length + 1, 0));
        if (copy == nullptr) return kResultOutOfMemory;
        std::memcpy(copy, text, length + 1);
    }
    FreeMemory(sketch->title);
    sketch->title = copy;
    return kResultOK;
}

EngineGlobals gEngine = {};

// Stand-in: the command state's stand-in keeps the current sketch until the sketch
// record's SetCurrentSketch keeps gEngine; the front sketch is read from there.
Sketch* GetCurrentSketch();

void MakeCurrentSketchFront() {
    Sketch* sketch = GetCurrentSketch();
    gEngine.frontSketch = sketch;
    gEngine.frontDocument = sketch ? sketch->document : nullptr;
}
