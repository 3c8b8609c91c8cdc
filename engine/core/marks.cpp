#include "engine/core/marks.h"

#include <algorithm>
#include <iterator>

#include "engine/core/services/custom_tools.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/sketch.h"
#include "engine/core/transform_settings.h"

const MarkSlotRow MarkSlotTable[kMarkSlotCount] = {
    //  kind flags
    {  4,  7 },  //  0 centre
    {  7,  7 },  //  1 mirror
    {  0,  1 },  //  2 vector (header)
    {  4,  2 },  //  3 vector head
    {  4,  6 },  //  4 vector tail (end)
    {  0,  9 },  //  5 angle by three points (header)
    {  4, 10 },  //  6 angle's last point
    {  4, 10 },  //  7 angle's vertex
    {  4, 14 },  //  8 angle's first point (end)
    { 44, 15 },  //  9 angle value
    { 46, 23 },  // 10 scale factor
    {  0, 17 },  // 11 ratio of two straight objects (header)
    {  7, 18 },  // 12 denominator
    {  7, 22 },  // 13 numerator (end)
    {  0, 17 },  // 14 ratio by three points (header)
    {  4, 18 },  // 15 ratio point
    {  4, 18 },  // 16 unit point
    {  4, 22 },  // 17 origin point (end)
    { 43,  7 },  // 18 distance
    { 43,  7 },  // 19 vertical distance
    { 34,  7 },  // 20 coordinate system
};
static_assert(std::size(MarkSlotTable) == kMarkSlotCount);

namespace {

constexpr int32_t kGroupAlone = kMarkGroupStart | kMarkGroupMember | kMarkGroupEnd;

MarkSlot* Marks() { return CurrentSketch()->marks; }

bool IsSlot(int32_t i) { return i >= 0 && i < kMarkSlotCount; }
bool IsCategory(int32_t i) { return i >= kFirstMarkCategory && i < kMarkEntryCount; }
uint32_t CategoryBit(int32_t i) { return 1u << (i - kFirstMarkCategory); }

int32_t GroupHeader(int32_t i) {
    while (i > 0 && !(MarkSlotTable[i].flags & kMarkGroupStart)) --i;
    return i;
}

int32_t GroupEnd(int32_t i) {
    while (i < kMarkSlotCount - 1 && !(MarkSlotTable[i].flags & kMarkGroupEnd)) ++i;
    return i;
}

void InvalidateMarkStates() {
    if (!gEngine.currentIsFront) return;
    CmdStateInvalidate(kCommandGroupGraphForm);
    CmdStateInvalidate(kCommandGroupSelection);
    CmdStateInvalidate(kCommandGroupGridAndHidden);
}

void RefreshBitIn(const MarkSlot* marks, SketchObject* object) {
    object->markFlags &= ~kMarkedObject;
    for (int32_t k = 0; k < kMarkSlotCount; ++k) {
        if (marks[k].object == object) {
            object->markFlags |= kMarkedObject;
            return;
        }
    }
}

bool FitsSlot(int32_t i, const SketchObject* object) {
    const int32_t required = MarkSlotTable[i].requiredKind;
    return required == kKindNone || KindIsA(EffectiveKind(object), required);
}

void EmptySlot(MarkSlot* marks, int32_t k) {
    SketchObject* former = marks[k].object;
    marks[k].object = nullptr;
    marks[k].state = kMarkEmpty;
    if (former) RefreshBitIn(marks, former);
}

}  // namespace

void RefreshInSlotBit(SketchObject* object) { RefreshBitIn(Marks(), object); }

bool MarkObject(int32_t i, SketchObject* object, bool flash) {
    MarkSlot* marks = Marks();
    if (IsCategory(i)) {
        if (!(object->markFlags & CategoryBit(i))) {
            object->markFlags |= CategoryBit(i);
            ++marks[i].count;
        }
        return true;
    }
    if (!IsSlot(i) || !object || !FitsSlot(i, object)) return false;
    if (i == kMarkVertical) {
        // The first distance fills both slots; a later one pushes the previous vertical
        // distance into the horizontal slot.
        if (marks[kMarkVertical].state == kMarkSet && marks[kMarkVertical].object)
            MarkObject(kMarkDistance, marks[kMarkVertical].object, false);
        else if (marks[kMarkDistance].state == kMarkEmpty)
            MarkObject(kMarkDistance, object, false);
    }
    if (i == kMarkCoordSystem) InvalidateMarkStates();
    // Every mark fills the slot, an empty one as well as one that held another object.
    SketchObject* previous = marks[i].object;
    marks[i].object = object;
    marks[i].state = kMarkSet;
    object->markFlags |= kMarkedObject;
    if (previous && previous != object) RefreshBitIn(marks, previous);

    const int32_t flags = MarkSlotTable[i].flags;
    bool completed = false;
    if ((flags & kMarkGroupEnd) && !(flags & kMarkGroupStart)) {
        RestateMarkGroup(i);
        completed = marks[GroupHeader(i)].state == kMarkSet;
    }
    if ((flags & (kMarkAngleAlt | kMarkRatioAlt)) && (completed || (flags & kGroupAlone) == kGroupAlone))
        ClearMarkAlternatives(i);
    if (flash) FlashMarkGroup(i);
    TransformSettingsFollowMark(i, kMarkSet);
    return true;
}

void RestateMarkGroup(int32_t i) {
    MarkSlot* marks = Marks();
    if ((MarkSlotTable[i].flags & kGroupAlone) == kGroupAlone) {
        TransformSettingsFollowMark(i, marks[i].state);
        return;
    }
    const int32_t h = GroupHeader(i), e = GroupEnd(i);
    int32_t state = kMarkSet;
    for (int32_t k = h + 1; k <= e; ++k) state = std::min(state, marks[k].state);
    marks[h].state = state;
    if (state == kMarkEmpty) {
        // A group with a member missing is dissolved. The header goes first: it may hold
        // a member's object, whose bit is recomputed with the member's slot.
        marks[h].object = nullptr;
        for (int32_t k = h + 1; k <= e; ++k) EmptySlot(marks, k);
    } else {
        marks[h].object = state == kMarkSet ? marks[h + 1].object : nullptr;
    }
    TransformSettingsFollowMark(h, state);
}

void ClearMarkAlternatives(int32_t i) {
    MarkSlot* marks = Marks();
    const int32_t alt = MarkSlotTable[i].flags & (kMarkAngleAlt | kMarkRatioAlt);
    if (!alt) return;
    const int32_t h = GroupHeader(i), e = GroupEnd(h);
    int32_t first = h, last = h;
    while (first > 0 && (MarkSlotTable[first - 1].flags & alt)) --first;
    while (last < kMarkSlotCount - 1 && (MarkSlotTable[last + 1].flags & alt)) ++last;
    for (int32_t k = first; k <= last; ++k) {
        if (k >= h && k <= e) continue;
        EmptySlot(marks, k);
    }
}

void FlashMarkGroup(int32_t i) {
    if (!IsSlot(i) || !(MarkSlotTable[i].flags & kMarkGroupEnd)) return;
    const MarkSlot* marks = Marks();
    const int32_t h = GroupHeader(i);
    const int32_t from = (MarkSlotTable[h].flags & kMarkGroupMember) ? h : h + 1;
    SketchObject* objects[3] = {};
    for (int32_t k = from, n = 0; k <= i && n < 3; ++k, ++n)
        objects[n] = marks[k].state == kMarkSet ? marks[k].object : nullptr;
    FlashScriptStep(objects, i);
}

void UnmarkObject(MarkSlot* marks, int32_t i, SketchObject* object) {
    if (IsCategory(i)) {
        if (object && (object->markFlags & CategoryBit(i))) {
            object->markFlags &= ~CategoryBit(i);
            --marks[i].count;
        }
        return;
    }
    if (!IsSlot(i)) return;
    marks[i].object = nullptr;
    marks[i].state = kMarkEmpty;
    if (object) RefreshBitIn(marks, object);
}

void ClearMark(int32_t i) {
    MarkSlot* marks = Marks();
    if (IsSlot(i)) {
        UnmarkObject(marks, i, marks[i].object);
        return;
    }
    if (!IsCategory(i)) return;
    for (SketchObject* o = CurrentSketch()->firstObject; o && marks[i].count; o = o->nextInSketch)
        UnmarkObject(marks, i, o);
}

int32_t ForEachMarked(int32_t i, MarkVisitFn visit, void* user) {
    const MarkSlot* marks = Marks();
    if (IsSlot(i)) return marks[i].object ? visit(marks[i].object, user) : 0;
    int32_t answer = 0;
    if (!IsCategory(i)) return answer;
    for (SketchObject* o = CurrentSketch()->firstObject; o;) {
        SketchObject* next = o->nextInSketch;  // the routine may take the object out
        if (o->markFlags & CategoryBit(i)) answer = visit(o, user);
        o = next;
    }
    return answer;
}

bool HasMarkCategory(int32_t category, const SketchObject* object) {
    return IsCategory(category) && (object->markFlags & CategoryBit(category)) != 0;
}

int32_t MarkSlotState(int32_t i) {
    const MarkSlot* marks = Marks();
    if (IsCategory(i)) return static_cast<int32_t>(marks[i].count);
    return IsSlot(i) && marks[i].object != nullptr;
}

SketchObject* MarkedObject(int32_t i) {
    const Sketch* sketch = CurrentSketch();
    if (!sketch || !IsSlot(i) || sketch->marks[i].state != kMarkSet) return nullptr;
    return sketch->marks[i].object;
}

bool IsMarkGroupSet(int32_t i) {
    return IsSlot(i) && Marks()[GroupHeader(i)].state == kMarkSet;
}

bool IsMarkGroupEnd(int32_t i) { return IsSlot(i) && (MarkSlotTable[i].flags & kMarkGroupEnd) != 0; }

uint32_t UpdateMarksOnObjectChange(SketchObject* object, int32_t change) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return object->markFlags;
    MarkSlot* marks = sketch->marks;
    const bool out = change == 1 || change == 2;
    if (object->objectClass == kClassCoordinateSystem) {
        if (out) {
            SetCoordSystemWasMarked(object, false);
        } else if (change == 3 && CoordSystemWasMarked(object)) {
            SetCoordSystemWasMarked(object, false);
            MarkObject(kMarkCoordSystem, object, false);
        }
    }
    if ((object->markFlags & (kMarkCategoryBits | kMarkedObject)) == 0) return object->markFlags;

    if (marks[kMarkCoordSystem].object == object) {
        InvalidateMarkStates();
        if (out) {
            // The mark passes to another system; this one takes it back when it returns.
            if (SketchObject* other = GetCoordinateSystemEx(1, false, nullptr, true)) {
                SetCoordSystemWasMarked(object, true);
                MarkObject(kMarkCoordSystem, other, false);
            }
        }
    }
    bool found = false;
    for (int32_t k = 0; k < kMarkSlotCount; ++k) {
        if (marks[k].object != object) continue;
        found = true;
        if (change == 0) {
            marks[k].object = nullptr;
            marks[k].state = kMarkEmpty;
        } else {
            marks[k].state = out ? change : kMarkSet;
        }
        RestateMarkGroup(k);
    }
    if (change == 0 || (change == 3 && !found)) object->markFlags &= ~kMarkedObject;
    // Category memberships end when the object leaves; one that comes back has none.
    if (change != 3) {
        for (int32_t c = kFirstMarkCategory; c < kMarkEntryCount; ++c) {
            if (!(object->markFlags & CategoryBit(c))) continue;
            if (c == kMarkCategoryToolPlayback && !ToolPlaybackObjectGone(object, change)) continue;
            object->markFlags &= ~CategoryBit(c);
            --marks[c].count;
        }
    }
    return object->markFlags;
}

SketchObject* GetCoordinateSystemEx(int32_t flags, bool create, bool* created, bool skipMarked,
                                    const CoordSystemExtents* extents) {
    if (created) *created = false;
    Sketch* sketch = CurrentSketch();
    if (!sketch) return nullptr;
    SketchObject* marked = MarkedObject(kMarkCoordSystem);
    if (marked && !marked->exists) marked = nullptr;
    if (marked && !skipMarked) return marked;
    SketchObject* found = nullptr;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->objectClass != kClassCoordinateSystem || !o->exists || o == marked) continue;
        found = o;
        if (CoordSystemAxesVisible(o)) break;
    }
    if (found) {
        if (!create) return found;
        if (!CoordSystemAxesVisible(found)) {
            ShowCoordSystem(found, true);
            if (created) *created = true;
        }
        MarkObject(kMarkCoordSystem, found, true);
        return found;
    }
    if (!create) return nullptr;
    SketchObject* made = CreateCoordSystemFor(0, 0, 1, flags, extents);
    if (!made) return nullptr;
    MarkObject(kMarkCoordSystem, made, false);
    if (created) *created = true;
    return made;
}

SketchObject* GetCoordinateSystem(int32_t flags, bool create, bool* created) {
    return GetCoordinateSystemEx(flags, create, created, false);
}
