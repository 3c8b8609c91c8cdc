// The objects a port's nested text states make, with the depth each was made at, so that
// states can be left in any order without leaving an object undeleted. Entry 0 holds the
// base font of the outermost state, which belongs to the DC and is never deleted here.
#pragma once
#include <cstdint>

struct PortObjectEntry {
    void*   object;
    int32_t depth;
};
struct PortObjectStack {
    PortObjectEntry* entries = nullptr;
    int32_t          count = 0;
    int32_t          capacity = 0;
};
constexpr int32_t kPortStackGrowth = 15;

// False when the stack cannot grow: the caller still owns the object.
bool PortStackPush(PortObjectStack* stack, void* object, int32_t depth);
// Deletes, from the top down, every entry made at `depth` or deeper through `release`
// (entry 0, the base, is dropped without it), and cuts the stack to what is left.
void PortStackLeave(PortObjectStack* stack, int32_t depth, void (*release)(void* object, void* context),
                    void* context);
// The topmost entry for which `keep` holds, or null.
void* PortStackFind(const PortObjectStack& stack, bool (*keep)(void* object));
void PortStackFree(PortObjectStack* stack);

// Pen width of shape glyphs for a font of `size` pixels: a ninth, at least 1.
int32_t GlyphPenWidthForSize(int32_t size);
