// Stand-in: the sketch engine's current sketch, selection, kind lattice, class
// columns, idle tasks and the other neighbouring services the command state reads,
// reduced to what it needs, until the real subsystems land.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "engine/interact/command_state.h"
#include "engine/interact/neighbour_services.h"

namespace {
Sketch* gCurrentSketch = nullptr;
Sketch* gFrontSketch = nullptr;
ShellStateStandin gShell{};

// Stand-in: the parentKind column of the ObjectKindTable for kinds 0..67, then the
// two members of each union kind 68..74.
const int8_t kKindParent[68] = {
    0, 0, 1, 2, 3, 2, 5, 6, 6, 6, 4, 4, 7, 7, 7, 9, 9, 1, 17, 17,
    1, 17, 8, 8, 23, 23, 25, 25, 18, 21, 21, 30, 30, 12, 2, 4, 4, 5, 2, 13,
    4, 12, 12, 28, 28, 28, 28, 15, 15, 15, 15, 1, 2, 4, 30, 5, 19, 54, 57, 57,
    1, 60, 46, 43, 44, 1, 65, 65,
};
const int8_t kUnionMembers[7][2] = {
    {14, 43}, {22, 16}, {22, 9}, {6, 3}, {69, 23}, {70, 25}, {15, 25},
};
}  // namespace

Sketch* GetCurrentSketch() { return gCurrentSketch; }
Sketch* GetFrontSketch() { return gFrontSketch; }
void SetFrontSketch(Sketch* sketch) { gFrontSketch = sketch; }
void SetCurrentSketch(Sketch* sketch, Sketch** previous) {
    if (previous) *previous = gCurrentSketch;
    gCurrentSketch = sketch;
}

void SelectSketchObject(SketchObject* object) {
    Sketch* s = gCurrentSketch;
    if (!s || object->selected) return;
    object->selected = 1;
    object->nextSelected = s->selectionHead;
    s->selectionHead = object;
    ++s->selectionChangeCounter;
    if (s == gFrontSketch) {
        for (uint32_t g : {1u, 7u, 8u, 14u}) CmdStateInvalidate(g);
    }
}

void DeselectAll() {
    Sketch* s = gCurrentSketch;
    if (!s) return;
    for (SketchObject* o = s->selectionHead; o;) {
        SketchObject* next = o->nextSelected;
        o->selected = 0;
        o->nextSelected = nullptr;
        o = next;
    }
    s->selectionHead = nullptr;
    ++s->selectionChangeCounter;
    if (s == gFrontSketch) {
        for (uint32_t g : {1u, 7u, 8u, 14u}) CmdStateInvalidate(g);
    }
}

int32_t ObjectKindParent(int32_t kind) {
    if (kind < 0 || kind >= kObjectKindCount) return 0;
    return kind < 68 ? kKindParent[kind] : kUnionMembers[kind - 68][0];
}

bool KindIsA(int32_t kind, int32_t category) {
    if (category >= 68) {
        if (category >= kObjectKindCount) return false;
        return KindIsA(kind, kUnionMembers[category - 68][0]) ||
               KindIsA(kind, kUnionMembers[category - 68][1]);
    }
    if (kind >= 68 || kind < 0) return false;
    while (kind > category) kind = kKindParent[kind];
    return kind == category;
}

int32_t CommonKind(int32_t a, int32_t b) {
    if (a >= 68 || b >= 68) return a == b ? a : 1;
    if (b == 0) return a;
    while (a != b) {
        if (a > b) a = kKindParent[a];
        else b = kKindParent[b];
    }
    return a;
}

bool ClassIsTraceable(int32_t c) {
    static const bool t[18] = {0, 1, 1, 1, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0, 0};
    return c >= 0 && c < 18 && t[c];
}
bool ClassHasLineStyle(int32_t c) {
    static const bool t[18] = {0, 0, 1, 1, 0, 0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 0};
    return c >= 0 && c < 18 && t[c];
}
int32_t ClassTextFamily(int32_t c) {
    static const int8_t t[18] = {1, 0, 0, 0, 0, 0, 0, 2, 0, 0, 3, 2, 0, 0, 7, 7, 7, 4};
    return c >= 0 && c < 18 ? t[c] : 7;
}
bool LabelFollowsGeometry(const SketchObject* o) {
    switch (o->objectClass) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 9: case 12: case 13: return true;
    default: return false;
    }
}
bool IsLabelShownOrImplied(const SketchObject* o) { return o->labelShown != 0; }

void IntersectTextStyle(TextStyle* common, const TextStyle* other) {
    for (int i = 0; i < 11; ++i)
        if (common->fields[i] != other->fields[i]) common->fields[i] = 0;
}
bool SameRgb(uint32_t a, uint32_t b) { return (a & 0xffffff) == (b & 0xffffff); }

void ScheduleLocusRebuild(uint32_t, int32_t) {}
SketchObject* OwningCoordSystem(const SketchObject* o) {
    if (o->objectClass == 8) return const_cast<SketchObject*>(o);
    return o->ownerSystem;
}
bool IsSingleMapPointImage(const SketchObject* o) { return o->singleMapPointImage != 0; }
bool TableCanRemoveEntry(const SketchObject* t) { return t->tableRows > 3; }
bool MergeSplitState(uint16_t*, uint16_t*, uint16_t*, int32_t*) { return false; }

bool MotionSpeedRange(bool, double*, double*, bool*) { return false; }
void FormatSpeedRangeText(double, double) {}
void RefreshMotionControllerItem(int32_t, int32_t) {}

ShellStateStandin& ShellStandin() { return gShell; }
void ToolPlaybackRematchSelection() {}
void SetColorMenuMark(bool, uint32_t) {}
void EndSketchActivity(uint32_t activity) {
    if (gFrontSketch) gFrontSketch->activityWord &= ~activity;
}
int32_t GetMouseState() { return gFrontSketch ? gFrontSketch->mouseState : 0; }

