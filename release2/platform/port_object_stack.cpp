#include "release2/platform/port_object_stack.h"

#include "engine/core/memory.h"

bool PortStackPush(PortObjectStack* stack, void* object, int32_t depth) {
    if (stack->count == stack->capacity) {
        const int32_t grown = stack->capacity + kPortStackGrowth;
        void* block = stack->entries;
        if (!ReallocMemory(&block, sizeof(PortObjectEntry) * size_t(grown), false)) return false;
        stack->entries = static_cast<PortObjectEntry*>(block);
        stack->capacity = grown;
    }
    stack->entries[stack->count++] = { object, depth };
    return true;
}

void PortStackLeave(PortObjectStack* stack, int32_t depth, void (*release)(void* object, void* context),
                    void* context) {
    while (stack->count > 0 && stack->entries[stack->count - 1].depth >= depth) {
        const PortObjectEntry& top = stack->entries[--stack->count];
        if (stack->count > 0 && release) release(top.object, context);
    }
}

void* PortStackFind(const PortObjectStack& stack, bool (*keep)(void* object)) {
    for (int32_t i = stack.count - 1; i >= 0; --i)
        if (keep(stack.entries[i].object)) return stack.entries[i].object;
    return nullptr;
}

void PortStackFree(PortObjectStack* stack) {
    FreeMemory(stack->entries);
    *stack = PortObjectStack{};
}

int32_t GlyphPenWidthForSize(int32_t size) { return size / 9 > 1 ? size / 9 : 1; }
