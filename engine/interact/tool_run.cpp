#include "engine/interact/current_tool.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "engine/core/copy_map.h"
#include "engine/core/geometry_neighbours.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/points.h"
#include "engine/core/random.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/status_text.h"
#include "engine/core/tool_list.h"
#include "engine/interact/construction_commands.h"
#include "engine/interact/derivative_command.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/menu_texts.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/tool_playback.h"
#include "engine/interact/toolbox.h"
#include "engine/text/string_groups.h"

namespace {

// The sketch's automatic label sequences, kept while a run makes provisional objects so
// that the letters they took are given back.
struct LabelStateCopy {
    LabelSequence sequences[kLabelSequenceCount];
};
void SaveLabelState(const Sketch* sketch, LabelStateCopy* copy) {
    std::memcpy(copy->sequences, sketch->labelSequences, sizeof copy->sequences);
}
void RestoreLabelState(Sketch* sketch, const LabelStateCopy& copy) {
    std::memcpy(sketch->labelSequences, copy.sequences, sizeof copy.sequences);
}

// ---- Tables ------------------------------------------------------------------------------

using namespace menu_text;

const BuiltInToolRecord kBuiltInTools[] = {
    //  given kind      points  Select All
    { 0,                0,      1,  kTextSelectAll },            // 0..3 and others
    { kKindPoint,       0,      4,  kTextSelectAllPoints },      // 4
    { kKindCircle,      2,     22,  kTextSelectAllCircles },     // 5
    { kKindSegment,     2,     14,  kTextSelectAllSegments },    // 6
    { kKindRay,         2,     13,  kTextSelectAllRays },        // 7
    { kKindLine,        2,     12,  kTextSelectAllLines },       // 8
    { 0,                0,     17,  kTextSelectAllText },        // 10
};

// Construction types of a given built from two points, by match group.
constexpr int32_t kTwoPointTypes[4] = { kTypeSegment, kTypeRay, kTypeLine, kTypeCircleByPoint };

constexpr int32_t kNoPrompt = 12;
constexpr int32_t kRestPixels = 6;
constexpr double  kGridSnapPixels = 14;
constexpr int16_t kNoClickX = static_cast<int16_t>(-32768);  // x of the last click before any
constexpr double  kAnchorLimit = 30000;

// Run-only entry flags, above those cloning sets: matched by the user shares bit 0 with
// reuse (a reused object is the user's), shown by the run bit 1.
constexpr uint16_t kMatchedByUser = kCopyReused;
constexpr uint16_t kShownByRun    = kCopyShown;
constexpr uint16_t kProvisional   = 0x8;

enum RunState : int32_t { kStatePoint = 0, kStateFirstPoint = 1, kStateMorePoints = 2, kStateExisting = 3 };
enum TargetType : int32_t {
    kTargetNone = 0, kTargetObject = 1, kTargetOnPath = 2, kTargetIntersection = 3,
    kTargetNewPoint = 4, kTargetMatched = 5,
};

struct Target {
    int32_t       type;
    SketchObject* object;
    SketchObject* other;         // the second object of an intersection
    int32_t       construction;  // 9, 11..14 for an intersection
    RealPoint     point;
    PathParameterBlock block;    // on a path
};

struct ToolRun {
    bool          active;
    Sketch*       sketch;
    Sketch*       toolSketch;  // null for a built-in tool
    CopyMap       map;
    uint16_t      chainHead;
    int32_t       given;       // current given, -1 for none
    int32_t       givenKind;
    int32_t       namedGivens; // givens matched by name before the first click
    SketchObject* provisional;
    // The given's object drawn from the points taken so far to the provisional point,
    // so that it follows the pointer; never hit, never recorded, gone before any of its
    // parents.
    SketchObject* preview;
    int32_t       state;
    Target        target;
    SketchObject* highlighted;
    bool          previewing;  // the given's entry is a provisional match
    int32_t       pointsNeeded;
    int32_t       pointsTaken;
    SketchObject* points[2];
    int32_t       nextExtra;
    ScreenPoint   lastClick;
    ScreenPoint   anchor;
    bool          shiftConstraint;
    bool          firstClick;
    bool          hadClick;
    LabelStateCopy labels;
    uint32_t      seed;
    int32_t       promptItem;
    int32_t       promptKind;  // the noun of "%s" in items 2 to 10
};

int32_t gTool = kToolTranslateArrow;
Sketch* gCustomSketch = nullptr;
ToolRun gRun{};
bool    gStarting = false;

CopyMapEntry& Entry(int32_t i) { return gRun.map.entries[i]; }
bool IsCustomRun() { return gRun.toolSketch != nullptr; }

// ---- Sketch helpers --------------------------------------------------------------------

void SetToolActivity(bool on) {
    uint16_t& word = ActivityWord();
    word = static_cast<uint16_t>(on ? (word | kActivityTool) : (word & ~kActivityTool));
}

void RecomputeWithDependents(SketchObject* object) {
    object->tempLink = nullptr;
    SketchObject* head = object;
    CollectDependents(&head, true);
    for (SketchObject* o = head; o; o = o->tempLink) AddObjectToDirtyRect(o);
    RecomputeObjects(head, true, nullptr);
    for (SketchObject* o = head; o; o = o->tempLink) AddObjectToDirtyRect(o);
}

void DeletePreview() {
    SketchObject* preview = gRun.preview;
    if (!preview) return;
    gRun.preview = nullptr;
    AddObjectToDirtyRect(preview);
    DestroyObject(preview, true, true);
}

void DeleteObject(SketchObject* object) {
    CopyMapForgetExtra(&gRun.map, object);
    // The preview hangs on the run's points: it goes before any of them.
    if (object != gRun.preview) DeletePreview();
    if (gRun.highlighted == object) gRun.highlighted = nullptr;
    if (gRun.target.object == object || gRun.target.other == object) gRun.target = Target{};
    AddObjectToDirtyRect(object);
    DestroyObject(object, true, true);
}

SketchObject* MakeFreePoint(RealPoint at, bool exists) {
    const ObjectTemplate t = { kTypeFree, 0, kShown, kClassPoint, 1, kKindPoint,
                               CurrentSketch()->settings.palette[ObjectClassTable[kClassPoint].colorSlot] };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (p) SetPointPosition(p, at.x, at.y, exists ? 1 : 0, nullptr, false);
    return p;
}

ScreenPoint RoundedAnchor(RealPoint p) {
    const auto clamp = [](double v) {
        if (!(v > -kAnchorLimit)) v = -kAnchorLimit;
        if (v > kAnchorLimit) v = kAnchorLimit;
        return static_cast<int16_t>(std::lround(v));
    };
    return { clamp(p.x), clamp(p.y) };
}

// ---- The chain --------------------------------------------------------------------------

void ChainAppend(int32_t index, uint16_t* tail) {
    Entry(index).next = kCopyChainEnd;
    if (*tail == kCopyChainEnd) gRun.chainHead = static_cast<uint16_t>(index);
    else Entry(*tail).next = static_cast<uint16_t>(index);
    *tail = static_cast<uint16_t>(index);
}

void ChainInsertBefore(int32_t index, int32_t before) {
    Entry(index).next = static_cast<uint16_t>(before);
    if (gRun.chainHead == before) {
        gRun.chainHead = static_cast<uint16_t>(index);
        return;
    }
    for (uint16_t i = gRun.chainHead; i != kCopyChainEnd; i = Entry(i).next) {
        if (Entry(i).next == before) {
            Entry(i).next = static_cast<uint16_t>(index);
            return;
        }
    }
}

// ---- Labels of assumed givens -----------------------------------------------------------

bool SameLabelText(const SketchObject* a, const char* text) {
    char buffer[256];
    GetObjectLabelText(a, buffer, sizeof buffer);
    return std::strcmp(buffer, text) == 0;
}

// The sketch object of that kind with the given's label: one whose label is shown and
// which is visible at once, else the best (shown label 2, visible 1), walking back from
// the last object.
SketchObject* FindObjectByLabel(const SketchObject* given, int32_t kind) {
    if (given->label.level < 3) return nullptr;
    char text[256];
    GetObjectLabelText(given, text, sizeof text);
    if (!text[0]) return nullptr;
    SketchObject* best = nullptr;
    int32_t bestScore = -1;
    for (SketchObject* o = CurrentSketch()->lastObject; o; o = o->prevInSketch) {
        if (o->exists != 1 || o->label.level <= 2 || !KindIsA(EffectiveKind(o), kind)) continue;
        if (!SameLabelText(o, text)) continue;
        const int32_t score = (o->label.shown ? 2 : 0) + (o->hidden == kShown ? 1 : 0);
        if (score == 3) return o;
        if (score > bestScore) {
            best = o;
            bestScore = score;
        }
    }
    return best;
}

// ---- Matches ----------------------------------------------------------------------------

bool IsGivenIndex(int32_t i) { return i < gRun.map.givenCount; }
bool IsToolObject(int32_t i) { return i < gRun.map.objectCount; }

ResultCode CloneStep(int32_t index, bool provisional) {
    Sketch* sketch = CurrentSketch();
    SketchObject* copy = nullptr;
    sketch->cloneMode = kClonePlayback;
    const ResultCode rc = CloneObjectIntoSketch(&gRun.map, gRun.map.sources[index], &copy);
    sketch->cloneMode = 0;
    if (rc != kResultOK) return rc;
    CopyMapEntry& e = Entry(index);
    if (e.flags == 0) {
        if (copy->constructionType == kTypePointOnPath) PlaceOnPathAtRandom(copy);
        RecomputeObject(copy, nullptr, true);
        AddObjectToDirtyRect(copy);
    }
    if (provisional && !(e.flags & (kMatchedByUser | kShownByRun))) {
        copy->exists = 0;
        copy->hitExcluded = 1;
        e.flags |= kProvisional;
    }
    return kResultOK;
}

// Records the given's match and builds the steps that follow it in the chain, up to the
// next given.
ResultCode RecordMatch(int32_t index, SketchObject* object, bool byUser, bool shown, bool provisional) {
    CopyMapEntry& e = Entry(index);
    e.copy = object;
    e.flags = static_cast<uint16_t>((byUser ? kMatchedByUser : 0) | (shown ? kShownByRun : 0) |
                                    (provisional ? kProvisional : 0));
    if (!IsCustomRun()) return kResultOK;
    const SketchObject* given = gRun.map.sources[index];
    char text[256];
    GetObjectLabelText(given, text, sizeof text);
    if (!byUser && text[0]) {
        if (StoreLabelText(object, text, false) == kResultOK) {
            object->label.level = given->label.level;
            ObjectPredicateFn follows = ObjectClassTable[object->objectClass].labelFollowsGeometry;
            object->label.shown = text[0] != '.' && follows && follows(object) ? 1 : 0;
        }
        RestoreLabelState(CurrentSketch(), gRun.labels);
    }
    for (uint16_t j = e.next; j != kCopyChainEnd && !IsGivenIndex(j); j = Entry(j).next) {
        if (!IsToolObject(j) || Entry(j).copy) continue;
        const ResultCode rc = CloneStep(j, provisional);
        if (rc != kResultOK) return rc;
    }
    return kResultOK;
}

// Makes the steps and the match of the current given permanent and hittable.
void ClearProvisionalFlags() {
    for (uint16_t i = gRun.chainHead; i != kCopyChainEnd; i = Entry(i).next) {
        CopyMapEntry& e = Entry(i);
        if (!(e.flags & kProvisional)) continue;
        e.flags &= ~kProvisional;
        if (e.copy) {
            e.copy->hitExcluded = 0;
            RecomputeObject(e.copy, nullptr, true);
            AddObjectToDirtyRect(e.copy);
        }
    }
    gRun.previewing = false;
}

// Everything matched or built from the current given on goes; the objects the user
// matched stay, hidden ones the run showed are hidden again.
void DropProvisional() {
    DeletePreview();
    if (gRun.given < 0) return;
    int32_t order[0x400];
    int32_t n = 0;
    bool from = false;
    for (uint16_t i = gRun.chainHead; i != kCopyChainEnd && n < 0x400; i = Entry(i).next) {
        from = from || i == gRun.given;
        if (from) order[n++] = i;
    }
    for (int32_t k = n - 1; k >= 0; --k) {
        CopyMapEntry& e = Entry(order[k]);
        SketchObject* o = e.copy;
        e.copy = nullptr;
        const uint16_t flags = e.flags;
        e.flags = 0;
        if (!o) continue;
        o->hitExcluded = 0;
        if (o == gRun.provisional) gRun.provisional = nullptr;
        if (!(flags & kMatchedByUser)) DeleteObject(o);
        else if (flags & kShownByRun) ChangeObjectHidden(o, kHiddenByUser, false);
    }
    gRun.previewing = false;
    SetRandomSeed(gRun.seed);
    RestoreLabelState(CurrentSketch(), gRun.labels);
}

void DeleteProvisionalPoint() {
    DeletePreview();
    if (!gRun.provisional) return;
    SketchObject* p = gRun.provisional;
    gRun.provisional = nullptr;
    if (gRun.given >= 0 && Entry(gRun.given).copy == p) return;  // the given's match: dropped with it
    DeleteObject(p);
}

// ---- Prompts ----------------------------------------------------------------------------

void AppendText(char* buffer, uint32_t size, uint32_t* used, const char* text) {
    while (*text && *used + 1 < size) buffer[(*used)++] = *text++;
    buffer[*used] = 0;
}

// The prompt item of the run as it stands: built-in tools have no "Match" prompt.
int32_t PromptItem() {
    return gRun.promptItem == 0 && !IsCustomRun() ? 1 : gRun.promptItem;
}

// The prompt as the later release words it (a heap text), or null when the shared form
// words it.
char* LaterPrompt(bool* later) {
    auto form = LaterForms().engine.toolMatchPrompt;
    *later = form != nullptr;
    if (!form) return nullptr;
    const int32_t item = PromptItem();
    const int32_t nounKind = item <= 1 ? gRun.givenKind : gRun.promptKind;
    const bool custom = IsCustomRun();
    return form(item, nounKind, custom ? gRun.map.sources : nullptr, custom ? gRun.map.givenCount : 0,
                custom ? gRun.given : -1);
}

void PromptProvider(char** text, StatusTextProvider*) {
    bool later = false;
    if (gRun.active && gRun.promptItem != kNoPrompt) *text = LaterPrompt(&later);
    if (later) return;
    *text = static_cast<char*>(AllocMemory(256, 0));
    if (*text) ToolPromptText(*text, 256);
}

void InstallPrompt() {
    if (gRun.promptItem == kNoPrompt) {
        ClearStatusTextProvider(0);
        return;
    }
    const StatusTextProvider provider = {
        PromptProvider,
        static_cast<uint32_t>(gRun.promptItem) | static_cast<uint32_t>(gRun.promptKind) << 8 |
            static_cast<uint32_t>(gRun.given & 0xFF) << 16 };
    SetStatusTextProvider(&provider, 0);
}

// ---- Taking the next given --------------------------------------------------------------

ResultCode NewProvisionalPoint(RealPoint at) {
    gRun.provisional = MakeFreePoint(at, false);
    if (!gRun.provisional) return kResultOutOfMemory;
    gRun.provisional->hitExcluded = 1;
    return kResultOK;
}

// The given as it would be built from the points taken and the provisional point. Without
// memory there is no preview; the run goes on.
void MakePreview() {
    if (gRun.preview || !gRun.provisional || gRun.pointsTaken != 1) return;
    const int32_t group = ObjectKindTable[gRun.givenKind].matchGroup;
    if (group < 0 || group >= static_cast<int32_t>(std::size(kTwoPointTypes))) return;
    const int32_t type = kTwoPointTypes[group];
    PtrList parents = 0;
    if (!PtrListAppend(&parents, gRun.points[0]) || !PtrListAppend(&parents, gRun.provisional)) {
        FreePtrList(&parents);
        return;
    }
    uint16_t flags = 0;
    SketchObject* preview = ConstructObject(type, nullptr, parents, 0, true, false, &flags);
    if (!preview) return;
    if (flags != kConstructedNew) return;  // cannot happen with a new parent; never delete another's
    preview->hitExcluded = 1;
    gRun.preview = preview;
    RecomputeObject(preview, nullptr, true);
    AddObjectToDirtyRect(preview);
}

ResultCode TakeNextGiven() {
    int32_t next = -1;
    if (IsCustomRun()) {
        for (int32_t i = 0; i < gRun.map.givenCount && next < 0; ++i)
            if (!Entry(i).copy) next = i;
        if (next < 0) return kResultToolDone;
        gRun.givenKind = CopyMapGivenKind(&gRun.map, next);
    } else {
        if (Entry(0).copy) return kResultToolDone;
        next = 0;
        gRun.givenKind = BuiltInTool(gTool).givenKind;
    }
    const int32_t previousState = gRun.state;
    gRun.given = next;
    // The script view highlights the given to be clicked next.
    if (IsCustomRun()) {
        const bool mayConstruct = KindIsA(gRun.givenKind, kKindPoint) ||
                                  ObjectKindTable[gRun.givenKind].matchGroup < kNoMatchGroup;
        ChooseGivenRow(gRun.toolSketch, next, mayConstruct);
    }
    SaveLabelState(CurrentSketch(), &gRun.labels);
    gRun.seed = GetRandomSeed();
    gRun.pointsTaken = 0;
    gRun.shiftConstraint = false;
    gRun.previewing = false;
    const RealPoint at = { double(gRun.anchor.x), double(gRun.anchor.y) };
    if (KindIsA(gRun.givenKind, kKindPoint)) {
        gRun.state = kStatePoint;
        gRun.shiftConstraint = gRun.hadClick && previousState == kStatePoint;
        if (const ResultCode rc = NewProvisionalPoint(at)) return rc;
        return RecordMatch(next, gRun.provisional, false, false, true);
    }
    if (ObjectKindTable[gRun.givenKind].matchGroup >= kNoMatchGroup) {
        gRun.state = kStateExisting;
        return kResultOK;
    }
    gRun.state = kStateFirstPoint;
    return NewProvisionalPoint(at);
}

// ---- Shift constraint and targets -----------------------------------------------------------

ScreenPoint Constrain(ScreenPoint anchor, ScreenPoint p) {
    int32_t dx = p.x - anchor.x, dy = p.y - anchor.y;
    if (dx == 0) dx = 1;
    if (dy == 0) dy = 1;
    const bool xLarger = std::abs(dx) >= std::abs(dy);
    const int32_t m = xLarger ? dx : dy;
    int32_t n = xLarger ? dy : dx;
    const int32_t r = std::abs(100 * n / m);
    const auto scaled = [&](int32_t factor) {
        const int32_t v = (std::abs(m) * factor + 500) / 1000;
        return n < 0 ? -v : v;
    };
    if (r <= 13) n = 0;
    else if (r < 42) n = scaled(268);
    else if (r <= 77) n = scaled(577);
    else n = n < 0 ? -std::abs(m) : std::abs(m);
    const int32_t x = anchor.x + (xLarger ? m : n);
    const int32_t y = anchor.y + (xLarger ? n : m);
    return { static_cast<int16_t>(x), static_cast<int16_t>(y) };
}

bool MatchesGiven(const SketchObject* o) { return KindIsA(EffectiveKind(o), gRun.givenKind); }

void SetHighlight(SketchObject* o) {
    if (gRun.highlighted == o) return;
    if (gRun.highlighted) {
        gRun.highlighted->stateFlags &= static_cast<uint8_t>(~kObjectHot);
        AddObjectToDirtyRect(gRun.highlighted);
    }
    gRun.highlighted = o;
    if (o) {
        o->stateFlags |= kObjectHot;
        AddObjectToDirtyRect(o);
    }
}

// What lies under the point for the run: the target type with its objects and position.
Target FindTarget(ScreenPoint p, RealPoint at) {
    Target t{};
    t.type = kTargetNewPoint;
    t.point = at;
    uint32_t parts = 0;
    SketchObject* hit = HitTestSketch(p, nullptr, true, &parts);
    if (!hit) return t;
    if (parts & kHitIntersection) {
        SketchObject* first = nullptr;
        SketchObject* second = nullptr;
        int32_t type = 0;
        RealPoint point;
        if (GetIntersectionHit(&first, &second, &type, &point)) {
            t = { kTargetIntersection, first, second, type, point, {} };
            return t;
        }
    }
    const bool matches = gRun.state == kStateExisting ? MatchesGiven(hit)
                         : hit->objectClass == kClassPoint ||
                               (gRun.state == kStateFirstPoint && IsCustomRun() && MatchesGiven(hit));
    if (matches) {
        t.type = kTargetObject;
        t.object = hit;
        if (hit->objectClass == kClassPoint) t.point = PointPosition(hit);
        return t;
    }
    if (gRun.state == kStateExisting) {
        t.type = kTargetNone;
        return t;
    }
    const PathMethods* row = (parts & kHitOutline) ? PathMethodsOf(hit) : nullptr;
    if (row) {
        t.type = kTargetOnPath;
        t.object = hit;
        row->parameterOfPoint(hit, at, &t.point, nullptr, &t.block);
        return t;
    }
    // Another object: the next hit test passes over it.
    const int32_t layer = ObjectDrawLayer(hit);
    if (layer >= 0 && layer < kDrawLayerCount) CurrentSketch()->lastSelected[layer] = hit;
    return t;
}

int32_t PromptFor(const Target& t) {
    const bool pointTool = gTool == kToolPoint;
    switch (gRun.state) {
    case kStateFirstPoint:
        switch (t.type) {
        case kTargetIntersection: return 3;
        case kTargetObject: return t.object->objectClass == kClassPoint ? 2 : 5;
        case kTargetOnPath: return 4;
        default: return 0;
        }
    case kStateExisting:
        return t.type == kTargetObject ? 5 : kNoPrompt;
    default:
        switch (t.type) {
        case kTargetObject: return pointTool ? 8 : 5;
        case kTargetIntersection: return pointTool ? 9 : 6;
        case kTargetOnPath: return pointTool ? 10 : 7;
        default: return gRun.state == kStatePoint ? 0 : kNoPrompt;
        }
    }
}

void MoveProvisionalPoint(RealPoint at) {
    if (!gRun.provisional) return;
    AddObjectToDirtyRect(gRun.provisional);
    SetPointPosition(gRun.provisional, at.x, at.y, 1, nullptr, true);
    RecomputeWithDependents(gRun.provisional);
}

// ---- Making points ---------------------------------------------------------------------------

// A point on a path or an intersection point; *byUser is set when an equal object was
// reused. Null without memory.
SketchObject* ToolMakeObject(const Target& t, bool* byUser) {
    *byUser = false;
    PtrList parents = 0;
    PtrList data = 0;
    int32_t type = t.construction;
    if (!PtrListAppend(&parents, t.object)) return nullptr;
    if (t.type == kTargetOnPath) {
        type = kTypePointOnPath;
        const PathMethods* row = PathMethodsOf(t.object);
        const uint32_t bytes = static_cast<uint32_t>(row->parameterWords) * 4;
        const int32_t slots = static_cast<int32_t>((bytes + sizeof(void*) - 1) / sizeof(void*));
        if (!AllocPtrList(slots, slots, &data)) {
            FreePtrList(&parents);
            return nullptr;
        }
        std::memcpy(PtrListData(data), &t.block, bytes);
    } else if (!PtrListAppend(&parents, t.other)) {
        FreePtrList(&parents);
        return nullptr;
    }
    uint16_t flags = 0;
    SketchObject* o = ConstructObject(type, nullptr, parents, data, true, false, &flags);
    if (!o) return nullptr;
    *byUser = flags != kConstructedNew;
    if (!*byUser) {
        RecomputeObject(o, nullptr, true);
        ApplyAutomaticLabels(o);
        AddObjectToDirtyRect(o);
    }
    return o;
}

// The point a click takes in states 1 and 2; null without memory.
SketchObject* TakePoint(bool* byUser) {
    *byUser = false;
    switch (gRun.target.type) {
    case kTargetObject:
        *byUser = true;
        return gRun.target.object;
    case kTargetOnPath:
    case kTargetIntersection:
        return ToolMakeObject(gRun.target, byUser);
    default: {
        SketchObject* p = gRun.provisional;
        gRun.provisional = nullptr;
        if (p) {
            p->hitExcluded = 0;
            ApplyAutomaticLabels(p);
        }
        return p;
    }
    }
}

// ---- Results ---------------------------------------------------------------------------------

void SelectResults() {
    if (!IsCustomRun()) {
        if (SketchObject* o = Entry(0).copy; o && !IsSelected(o)) SelectSketchObject(o);
        return;
    }
    for (int32_t i = gRun.map.givenCount; i < gRun.map.objectCount; ++i) {
        SketchObject* o = Entry(i).copy;
        if (!o || o->hidden != kShown || o->exists != 1 || !o->selectable) continue;
        if (gRun.map.sources[i]->hidden != kShown || IsSelected(o)) continue;
        SelectSketchObject(o);
    }
}

ResultCode AfterGivenMatched() {
    ClearProvisionalFlags();
    gRun.hadClick = true;
    const ResultCode rc = TakeNextGiven();
    if (rc == kResultToolDone) SelectResults();
    return rc;
}

// State 2: one point per click; after the last the given is built.
ResultCode ClickMorePoints() {
    if (gRun.nextExtra >= gRun.map.capacity) return kResultOutOfMemory;  // no room was made for it
    DeletePreview();
    bool byUser = false;
    SketchObject* point = TakePoint(&byUser);
    if (!point) return kResultOutOfMemory;
    const int32_t slot = gRun.nextExtra++;
    Entry(slot).copy = point;
    Entry(slot).flags = byUser ? kMatchedByUser : 0;
    ChainInsertBefore(slot, gRun.given);
    gRun.points[gRun.pointsTaken++] = point;
    gRun.anchor = RoundedAnchor(PointPosition(point));
    if (gRun.pointsTaken < gRun.pointsNeeded) {
        if (!gRun.provisional) {
            if (const ResultCode rc = NewProvisionalPoint(PointPosition(point))) return rc;
        }
        MakePreview();
        return kResultOK;
    }
    DeleteProvisionalPoint();
    const int32_t type = kTwoPointTypes[ObjectKindTable[gRun.givenKind].matchGroup];
    if (!CheckParentsDistinct(type, gRun.points, 2)) return kResultPointsNotDistinct;
    PtrList parents = 0;
    if (!PtrListAppend(&parents, gRun.points[0]) || !PtrListAppend(&parents, gRun.points[1])) {
        FreePtrList(&parents);
        return kResultOutOfMemory;
    }
    uint16_t flags = 0;
    SketchObject* made = ConstructObject(type, nullptr, parents, 0, true, false, &flags);
    if (!made) return kResultOutOfMemory;
    if (flags == kConstructedNew) {
        RecomputeObject(made, nullptr, true);
        AddObjectToDirtyRect(made);
    }
    if (const ResultCode rc = RecordMatch(gRun.given, made, flags != kConstructedNew,
                                          (flags & kReusedAndShown) != 0, false)) {
        return rc;
    }
    return AfterGivenMatched();
}

ResultCode ClickPointGiven() {
    const Target t = gRun.target;
    if (t.type == kTargetNewPoint) {
        gRun.anchor = RoundedAnchor(PointPosition(gRun.provisional));
        gRun.provisional->hitExcluded = 0;
        ApplyAutomaticLabels(gRun.provisional);
        gRun.provisional = nullptr;
        return AfterGivenMatched();
    }
    DropProvisional();
    bool byUser = true;
    SketchObject* point = t.object;
    if (t.type != kTargetObject) {
        point = ToolMakeObject(t, &byUser);
        if (!point) return kResultOutOfMemory;
    }
    if (const ResultCode rc = RecordMatch(gRun.given, point, byUser, false, false)) {
        if (!byUser) DropProvisional();  // the new point and the steps built on it so far
        return rc;
    }
    return AfterGivenMatched();
}

// ---- Starting -------------------------------------------------------------------------------

// Matched givens first, then steps built on them only, then each remaining given with
// the steps whose parents are all in the chain.
void OrderChain(bool* inChain) {
    uint16_t tail = kCopyChainEnd;
    gRun.chainHead = kCopyChainEnd;
    const auto addReadySteps = [&] {
        for (bool added = true; added;) {
            added = false;
            for (int32_t i = gRun.map.givenCount; i < gRun.map.objectCount; ++i) {
                if (inChain[i]) continue;
                int32_t parents[64];
                const int32_t n = CopyMapParentIndexes(&gRun.map, i, parents, 64);
                bool ready = true;
                for (int32_t k = 0; k < n && ready; ++k) ready = parents[k] >= 0 && inChain[parents[k]];
                if (!ready) continue;
                inChain[i] = true;
                ChainAppend(i, &tail);
                added = true;
            }
        }
    };
    bool any = false;
    for (int32_t i = 0; i < gRun.map.givenCount; ++i) {
        if (!Entry(i).copy) continue;
        inChain[i] = any = true;
        ChainAppend(i, &tail);
    }
    if (any) addReadySteps();
    for (int32_t i = 0; i < gRun.map.givenCount; ++i) {
        if (inChain[i]) continue;
        inChain[i] = true;
        ChainAppend(i, &tail);
        addReadySteps();
    }
    for (int32_t i = gRun.map.givenCount; i < gRun.map.objectCount; ++i)
        if (!inChain[i]) ChainAppend(i, &tail);
}

ResultCode Begin() {
    gRun.target = Target{};
    gRun.target.type = kTargetMatched;
    gRun.lastClick = { kNoClickX, 0 };
    gRun.firstClick = true;
    SetMouseState(kMouseToolTracking);
    return TakeNextGiven();
}

ResultCode StartBuiltInRun() {
    if (RestoreMemoryReserve()) return kResultOutOfMemory;
    const int32_t points = BuiltInTool(gTool).intermediatePoints;
    if (!InitCopyMap(&gRun.map, 1, 0, points)) return kResultOutOfMemory;
    gRun.active = true;
    gRun.nextExtra = 1;
    gRun.chainHead = 0;
    Entry(0).next = kCopyChainEnd;
    SetToolActivity(true);
    return Begin();
}

ResultCode StartCustomRun() {
    if (RestoreMemoryReserve()) return kResultOutOfMemory;
    if (!SetupCopyMap(&gRun.map, gCustomSketch, true)) return kResultOutOfMemory;
    gRun.active = true;
    gRun.toolSketch = gCustomSketch;
    gRun.nextExtra = gRun.map.objectCount;
    SetToolActivity(true);
    for (int32_t i = 0; i < gRun.map.givenCount; ++i) {
        SketchObject* given = gRun.map.sources[i];
        if (!given->label.useInTools) break;
        const int32_t kind = CopyMapGivenKind(&gRun.map, i);
        SketchObject* match = KindIsA(kind, kKindCoordinateSystem) ? GetCoordinateSystem(0, true, nullptr)
                                                                    : FindObjectByLabel(given, kind);
        if (!match) continue;
        uint16_t flags = kMatchedByUser;
        if (match->hidden != kShown) {
            ChangeObjectHidden(match, kShown, false);
            flags |= kShownByRun;
        }
        Entry(i).copy = match;
        Entry(i).flags = flags;
        ++gRun.namedGivens;
    }
    auto* inChain = static_cast<bool*>(AllocMemory(gRun.map.capacity + 1, kAllocZero));
    if (!inChain) return kResultOutOfMemory;
    OrderChain(inChain);
    FreeMemory(inChain);
    // The steps built on the givens matched by name alone; they stand before the first
    // given left to the user.
    for (uint16_t i = gRun.chainHead; gRun.namedGivens && i != kCopyChainEnd; i = Entry(i).next) {
        if (IsGivenIndex(i) && !Entry(i).copy) break;
        if (IsGivenIndex(i) || Entry(i).copy) continue;
        if (const ResultCode rc = CloneStep(i, false)) return rc;
    }
    return Begin();
}

void ChooseAgain() {
    if (!gStarting) ChooseCurrentTool();
}

bool VisitAll(bool startAtObject, SketchObject* object, ObjectVisitFn visit, void* data, bool up) {
    if (startAtObject) {
        if (!visit(object, data)) return true;
    }
    int32_t count = 0;
    void** items = PtrListItems(up ? object->parents : object->children, &count);
    for (int32_t i = 0; i < count; ++i) {
        items = PtrListItems(up ? object->parents : object->children, &count);
        if (i >= count) break;
        VisitAll(true, static_cast<SketchObject*>(items[i]), visit, data, up);
    }
    return true;
}

}  // namespace

// ---- Interface ----------------------------------------------------------------------------

const BuiltInToolRecord& BuiltInTool(int32_t tool) {
    if (tool >= kToolPoint && tool <= kToolLine) return kBuiltInTools[tool - kToolPoint + 1];
    if (tool == kToolText) return kBuiltInTools[6];
    return kBuiltInTools[0];
}

int32_t CurrentToolId() { return gTool; }
Sketch* CurrentCustomToolSketch() { return gTool == kToolCustom ? gCustomSketch : nullptr; }
bool ToolRunActive() { return gRun.active; }
bool ToolRunAwaitsFirstClick() { return gRun.active && gRun.lastClick.x == kNoClickX; }

int32_t DragModeOfTool() {
    if (gTool == kToolRotateArrow) return 1;
    if (gTool == kToolDilateArrow) return 2;
    return 0;
}

bool SetCurrentTool(int32_t tool) {
    EndToolInProgress();
    EndCaptionEditing();
    gTool = tool;
    gCustomSketch = nullptr;
    CmdStateInvalidate(kCommandGroupSelectAll);
    if (IsArrowTool(tool)) {
        InstallSelectionStatus();
        SetMouseCursorKind(kCursorArrow);
    } else if ((tool >= kToolPoint && tool <= kToolLine) || tool == kToolCustomButton) {
        ClearStatusTextProvider(0);
        SetMouseCursorKind(kCursorTool);
    } else if (tool == kToolText) {
        ClearStatusTextProvider(0);
        SetMouseCursorKind(kCursorTextNothing);
    }
    if (tool >= kToolPoint && tool <= kToolLine) return StartCurrentTool();
    return true;
}

bool SelectCustomToolSketch(Sketch* toolSketch) {
    ClearStatusTextProvider(0);
    CmdStateInvalidate(kCommandGroupSelectAll);
    EndCaptionEditing();
    EndToolInProgress();
    gTool = kToolCustom;
    gCustomSketch = toolSketch;
    SetMouseCursorKind(kCursorTool);
    return StartCurrentTool();
}

bool StartCurrentTool() {
    EndToolInProgress();
    Sketch* sketch = CurrentSketch();
    if (!sketch || sketch != gEngine.frontSketch) return true;
    if (!IsConstructionTool(gTool) || (gTool == kToolCustom && !gCustomSketch)) return false;
    const bool nested = gStarting;
    gStarting = true;
    gRun = ToolRun{};
    gRun.sketch = sketch;
    gRun.given = -1;
    gRun.promptItem = kNoPrompt;
    const ResultCode rc = gTool == kToolCustom ? StartCustomRun() : StartBuiltInRun();
    gStarting = nested;
    if (rc == kResultOK) return true;
    if (gRun.active) {
        // Ended while it begins: the toolbox chooses its tool even when it is done.
        ToolEnd(rc != kResultToolDone, true, !nested);
    } else {
        FreeCopyMap(&gRun.map, false);
        if (!nested) ChooseCurrentTool();
    }
    return false;
}

void ToolTrack(ScreenPoint point, bool shift) {
    if (!gRun.active) return;
    SetMouseCursorKind(kCursorTool);
    if (point.x == kNoClickX) return;
    gRun.promptItem = kNoPrompt;
    gRun.promptKind = gRun.givenKind;
    if (gRun.target.type == kTargetNone && std::abs(point.x - gRun.lastClick.x) <= kRestPixels &&
        std::abs(point.y - gRun.lastClick.y) <= kRestPixels)
        return;
    if (shift && gRun.shiftConstraint) point = Constrain(gRun.anchor, point);
    RealPoint at = { double(point.x), double(point.y) };
    Sketch* sketch = CurrentSketch();
    if (gRun.state != kStateExisting && (sketch->pageFlags & 1)) {
        if (const SketchObject* system = MarkedCoordinateSystem()) {
            RealPoint grid = at;
            SnapToGrid(&grid, system);
            if (std::fabs(grid.x - at.x) <= kGridSnapPixels && std::fabs(grid.y - at.y) <= kGridSnapPixels) {
                at = grid;
                point = RoundedAnchor(grid);
            }
        }
    }
    Target t = FindTarget(point, at);
    // The target changes away from a previewed object: the preview goes first.
    if (gRun.previewing && (t.type != kTargetObject || t.object != Entry(gRun.given).copy)) DropProvisional();
    const int32_t prompt = PromptFor(t);
    if (t.object && (prompt == 4 || prompt == 5 || prompt == 7 || prompt == 10)) gRun.promptKind = EffectiveKind(t.object);
    gRun.promptItem = prompt;
    if (gRun.state == kStateExisting || (gRun.state == kStateFirstPoint && t.type == kTargetObject &&
                                         t.object->objectClass != kClassPoint)) {
        if (t.type == kTargetObject && !gRun.previewing) {
            if (RecordMatch(gRun.given, t.object, true, false, true) != kResultOK) {
                DropProvisional();
                gRun.promptItem = kNoPrompt;
                t = Target{};
            } else {
                gRun.previewing = true;
            }
        }
        if (gRun.state == kStateExisting && t.type != kTargetObject) t = Target{};
    } else {
        MoveProvisionalPoint(t.point);
    }
    gRun.target = t;
    SetHighlight(t.type == kTargetNewPoint ? nullptr : t.object);
    InstallPrompt();
}

void ToolIdle() {
    if (gRun.active) ToolTrack(gRun.lastClick, false);
}

void ToolClick(ScreenPoint point, bool keepSelection, bool constrain) {
    if (!gRun.active) return;
    if (gRun.firstClick) {
        gRun.firstClick = false;
        if (!keepSelection) DeselectAll();
    }
    if (gRun.target.type == kTargetNone || gRun.target.type == kTargetMatched) return;
    gRun.lastClick = point;
    if (constrain && gRun.shiftConstraint) point = Constrain(gRun.anchor, point);
    gRun.anchor = point;
    ResultCode rc = kResultOK;
    switch (gRun.state) {
    case kStatePoint:
        rc = ClickPointGiven();
        break;
    case kStateFirstPoint:
        if (gRun.previewing) {
            DeleteProvisionalPoint();
            rc = AfterGivenMatched();
            break;
        }
        gRun.state = kStateMorePoints;
        gRun.shiftConstraint = true;
        gRun.pointsNeeded = 2;
        rc = ClickMorePoints();
        break;
    case kStateMorePoints:
        rc = ClickMorePoints();
        break;
    case kStateExisting:
        rc = gRun.previewing ? AfterGivenMatched() : kResultOK;
        break;
    default:
        break;
    }
    if (gRun.active) {
        SetHighlight(nullptr);
        gRun.target = Target{};
    }
    if (rc != kResultOK)
        ToolEnd(rc != kResultToolDone, true, rc != kResultPointsNotDistinct && rc != kResultToolDone);
}

void ToolEnd(bool failed, bool resetMouse, bool chooseTool) {
    if (!gRun.active) return;
    Sketch* sketch = CurrentSketch();
    if (failed) {
        SetHighlight(nullptr);
        DropProvisional();
        DeleteProvisionalPoint();
    }
    SetHighlight(nullptr);
    const uint32_t stamp = ++sketch->traversalGeneration;
    SketchObject* created = nullptr;
    SketchObject* shown = nullptr;
    int32_t createdCount = 0, shownCount = 0;
    for (uint16_t i = gRun.chainHead; i != kCopyChainEnd; i = Entry(i).next) {
        CopyMapEntry& e = Entry(i);
        SketchObject* o = e.copy;
        if (!o) continue;
        int32_t children = 0;
        PtrListSize(o->children, &children);
        const bool keep = !failed || (e.flags & kMatchedByUser) || IsToolObject(i) || children > 0;
        if (!keep) {
            e.copy = nullptr;
            DeleteObject(o);
            continue;
        }
        if (o->traversalStamp == stamp) continue;
        if (e.flags & kShownByRun) {
            o->traversalStamp = stamp;
            o->tempLink = shown;
            shown = o;
            ++shownCount;
        } else if (!(e.flags & kMatchedByUser)) {
            o->traversalStamp = stamp;
            o->tempLink = created;
            created = o;
            ++createdCount;
        }
    }
    if (createdCount || shownCount) {
        char name[256] = "";
        UndoDescriptor d = { createdCount ? kUndoNameConstruct : kUndoNameShow, kUndoNounNone, 0, nullptr };
        if (IsCustomRun() && createdCount) {
            if (gRun.toolSketch->title && gRun.toolSketch->title[0]) {
                std::strncpy(name, gRun.toolSketch->title, sizeof name - 1);
            } else {
                GetGroupString(kGroupMiscellany, 1, name, sizeof name);
            }
            d.nameText = name;
        } else if (!IsCustomRun()) {
            d.nounIndex = static_cast<int16_t>(KindNounItem(gRun.givenKind, kNounSingular));
        }
        const int32_t entries = (createdCount ? 1 : 0) + (shownCount ? 1 : 0);
        const uint32_t bytes = (createdCount ? UndoObjectListBytes(createdCount) : 0) +
                               (shownCount ? UndoObjectListBytes(shownCount) : 0);
        uint8_t* cursor = nullptr;
        // Without memory for the record the objects stay, only not undoable.
        if (UndoRecord* record = UndoRecordCreate(&d, entries, bytes, &cursor)) {
            if (createdCount) UndoPutObjectList(&cursor, createdCount, created, kUndoEntryCreated);
            if (shownCount) UndoPutObjectList(&cursor, shownCount, shown, kUndoEntryShown);
            UndoRecordCommit(record, false);
        }
    }
    gRun.active = false;
    if (resetMouse) SetMouseState(kMouseIdle);
    gRun.promptItem = kNoPrompt;
    ClearStatusTextProvider(0);
    SetToolActivity(false);
    // Copied derivatives were defined approximately: a run that succeeded derives them
    // exactly (a failure of that is told and leaves them approximate).
    if (!failed) RebuildCopiedDerivatives(&gRun.map);
    FreeCopyMap(&gRun.map, false);
    Sketch* toolSketch = gRun.toolSketch;
    gRun = ToolRun{};
    if (toolSketch) ChooseGivenRow(toolSketch, -1, false);
    gRun.given = -1;
    gRun.promptItem = kNoPrompt;
    if (chooseTool) ChooseAgain();
}

void EndToolInProgress() {
    if (gRun.active) ToolEnd(true, true, false);
}

SketchObject* GetToolMatch(const Sketch* toolSketch, int32_t index) {
    if (!gRun.active || !toolSketch || gRun.toolSketch != toolSketch) return nullptr;
    if (index < 0 || index >= gRun.map.objectCount) return nullptr;
    return Entry(index).copy;
}

void ForEachAncestor(bool startAtObject, SketchObject* object, ObjectVisitFn visit, void* data) {
    VisitAll(startAtObject, object, visit, data, true);
}

void ForEachDescendant(bool startAtObject, SketchObject* object, ObjectVisitFn visit, void* data) {
    VisitAll(startAtObject, object, visit, data, false);
}

void ToolPromptText(char* buffer, uint32_t size) {
    if (size == 0) return;
    buffer[0] = 0;
    if (!gRun.active || gRun.promptItem == kNoPrompt) return;
    bool later = false;
    if (char* text = LaterPrompt(&later)) {
        std::strncpy(buffer, text, size - 1);
        buffer[size - 1] = 0;
        FreeMemory(text);
    }
    if (later) return;
    const int32_t item = PromptItem();
    char format[256];
    GetGroupString(kGroupToolMatching, item, format, sizeof format);
    char noun[256] = "";
    const int32_t nounKind = item <= 1 ? gRun.givenKind : gRun.promptKind;
    std::strncpy(noun, KindNoun(nounKind, kNounSingular), sizeof noun - 1);
    if (item == 0 && gRun.given >= 0) {
        char label[128];
        GetObjectLabelText(gRun.map.sources[gRun.given], label, sizeof label);
        if (label[0]) {
            uint32_t n = static_cast<uint32_t>(std::strlen(noun));
            AppendText(noun, sizeof noun, &n, " ");
            AppendText(noun, sizeof noun, &n, label);
        }
    }
    uint32_t used = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            AppendText(buffer, size, &used, noun);
            ++p;
        } else if (p[0] == '%' && p[1] == 'i') {
            char number[16];
            std::snprintf(number, sizeof number, "%d", gRun.given + 1 - gRun.namedGivens);
            AppendText(buffer, size, &used, number);
            ++p;
        } else {
            const char one[2] = { *p, 0 };
            AppendText(buffer, size, &used, one);
        }
    }
}

// ---- Custom tools as documents reach them --------------------------------------------------

bool ToolboxHasToolOf(const ToolList* list) {
    if (gTool != kToolCustom || !gCustomSketch || !list) return false;
    ToolList* l = const_cast<ToolList*>(list);
    for (int32_t i = 0; i < ToolListCount(l); ++i)
        if (ToolListEntries(l)[i].sketch == gCustomSketch) return true;
    return false;
}
