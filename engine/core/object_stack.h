// A growable stack of objects for walks along parents or children that must not
// recurse: a document's chains can be as long as its object count.
#pragma once
#include <cstdint>

#include "engine/core/memory.h"

struct SketchObject;

class ObjectStack {
public:
    ObjectStack() = default;
    ObjectStack(const ObjectStack&) = delete;
    ObjectStack& operator=(const ObjectStack&) = delete;
    ~ObjectStack() { FreeMemory(items_); }

    // False when memory runs out (the stack is left as it was).
    bool Push(SketchObject* object) {
        if (count_ == capacity_) {
            const uint32_t grown = capacity_ ? capacity_ * 2 : 32;
            if (!ReallocMemoryOf(&items_, sizeof(SketchObject*) * grown, false)) return false;
            capacity_ = grown;
        }
        items_[count_++] = object;
        return true;
    }
    SketchObject* Pop() { return items_[--count_]; }
    bool Empty() const { return count_ == 0; }
    uint32_t Count() const { return count_; }
    SketchObject* At(uint32_t i) const { return items_[i]; }
    void Set(uint32_t i, SketchObject* object) { items_[i] = object; }
    void Clear() { count_ = 0; }

private:
    SketchObject** items_ = nullptr;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
};
