// A growable stack of objects for walks along parents or children that must not
// recurse: a document's chains can be as long as its object count.
#pragma once
#include <cstdint>

#include "engine/core/memory.h"
#include "engine/core/sketch_object.h"

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

// Visit marks for a walk that may run inside another walk's: objects are marked with a
// fresh traversal stamp and their old stamps are put back when the walk ends, so that
// the outer walk's marks stay as they were.
class StampedVisits {
public:
    explicit StampedVisits(uint32_t* generation) : stamp_(++*generation) {}
    StampedVisits(const StampedVisits&) = delete;
    StampedVisits& operator=(const StampedVisits&) = delete;
    ~StampedVisits() {
        for (uint32_t i = count_; i-- > 0;) entries_[i].object->traversalStamp = entries_[i].old;
        FreeMemory(entries_);
    }
    bool Seen(const SketchObject* object) const { return object->traversalStamp == stamp_; }
    // Marks the object; false when memory runs out (it is then left unmarked).
    bool Mark(SketchObject* object) {
        if (count_ == capacity_) {
            const uint32_t grown = capacity_ ? capacity_ * 2 : 32;
            if (!ReallocMemoryOf(&entries_, sizeof(Entry) * grown, false)) return false;
            capacity_ = grown;
        }
        entries_[count_++] = { object, object->traversalStamp };
        object->traversalStamp = stamp_;
        return true;
    }

private:
    struct Entry {
        SketchObject* object;
        uint32_t old;
    };
    uint32_t stamp_;
    Entry* entries_ = nullptr;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
};
