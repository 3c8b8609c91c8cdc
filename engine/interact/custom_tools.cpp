#include "engine/interact/custom_tools.h"

#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/copy_map.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/shell.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_list.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/interact/tool_playback.h"
#include "engine/text/object_text.h"

namespace {

// Objects numbered by a tool being made or played: descriptions then leave out why an
// object does not exist, which would describe the sketch rather than the tool.
int32_t gNumberedObjects = 0;

}  // namespace

int32_t NumberedObjectCount() { return gNumberedObjects; }
void SetNumberedObjectCount(int32_t count) { gNumberedObjects = count; }

// ---- Required kinds of givens -------------------------------------------------------------

namespace {

bool IsUnionKind(int32_t kind) { return kind >= kFirstUnionKind && kind < kObjectKindCount; }
bool IsKnownKind(int32_t kind) { return kind >= 1 && kind < kObjectKindCount; }

int32_t GeneralKind(const SketchObject* object) {
    const int32_t kind = object->objectKind;
    if (kind < 1 || kind >= kObjectKindCount) return kKindObject;
    const int32_t general = ObjectKindTable[kind].shapeKind;
    return general >= 1 && general < kFirstUnionKind ? general : kind;
}

// Plain kind against a union: the union's members that are also the plain kind.
int32_t MeetPlainAndUnion(int32_t plain, int32_t u) {
    if (KindIsA(plain, u)) return plain;
    const int32_t first = ObjectKindTable[u].parentKind;
    const int32_t second = ObjectKindTable[u].shapeKind;
    const bool firstFits = KindIsA(first, plain);
    const bool secondFits = KindIsA(second, plain);
    if (firstFits && secondFits) return u;
    if (firstFits) return first;
    if (secondFits) return second;
    return kKindNoAgreement;
}

// The requirement of a step of `type` on its parent `index` of `count`. Unlike the
// construction checks, "the parent's own kind" means its general kind here: a tool built
// on a midpoint works on any point.
int32_t ToolParentRequirement(SketchObject* step, int32_t index, int32_t count, const SketchObject* parent) {
    const int32_t type = step->constructionType;
    if (type < 0 || type >= kConstructionTypeCount) return kKindObject;
    uint32_t at = ConstructionTypeTable[type].parentKindsIndex;
    if (at == kParentKindsByObject) {
        const ParentKindRuleFn rule = GetParentKindRule(step);
        return rule ? rule(step, index) : kKindObject;
    }
    const uint32_t end = ParentKindListEnd(type);
    int32_t position = 0;
    while (at < end && at < ParentKindProgramSize) {
        const int32_t word = ParentKindProgram[at];
        const uint8_t* words = &ParentKindProgram[at];
        if (word == kParentKindToolRule81) {
            if (at + 2 >= ParentKindProgramSize) break;
            at += 3;
            if (count != words[1]) at += words[2];
            continue;
        }
        if (word == kParentKindRestAre) {
            if (at + 1 >= ParentKindProgramSize) break;
            words = &ParentKindProgram[at + 1];
        } else if (position != index) {
            at += word == kParentKindToolRule83 ? 3 : 1;
            ++position;
            continue;
        }
        if (words[0] == kParentKindToolRule80) return GeneralKind(parent);
        if (words[0] == kParentKindToolRule83) {
            if (words + 2 >= ParentKindProgram + ParentKindProgramSize) break;
            return KindIsA(parent->objectKind, words[1]) ? words[1] : words[2];
        }
        return words[0];
    }
    return kKindObject;
}

void Combine(ToolEntry& entry, int32_t kind) {
    const int32_t met = CombineToolKinds(entry.kind, kind);
    entry.kind = met == kKindNoAgreement ? GeneralKind(entry.object) : met;
}

}  // namespace

int32_t CombineToolKinds(int32_t a, int32_t b) {
    if (!IsKnownKind(b) || a == b) return IsKnownKind(a) ? a : kKindObject;
    if (!IsKnownKind(a)) return b;
    const bool aUnion = IsUnionKind(a), bUnion = IsUnionKind(b);
    if (!aUnion && !bUnion) {
        if (KindIsA(a, b)) return a;
        if (KindIsA(b, a)) return b;
        return kKindNoAgreement;
    }
    if (!aUnion) return MeetPlainAndUnion(a, b);
    if (!bUnion) return MeetPlainAndUnion(b, a);
    if (KindIsA(a, b)) return a;
    if (KindIsA(b, a)) return b;
    return kKindNoAgreement;
}

void ComputeGivenKinds(ToolEntry* entries, int32_t givens, int32_t steps) {
    const int32_t total = givens + steps;
    for (int32_t i = 1; i <= total; ++i) entries[i].kind = kKindObject;
    for (int32_t s = total; s > givens; --s) {
        ToolEntry& step = entries[s];
        SketchObject* o = step.object;
        const int32_t type = o->constructionType;
        if (type < 0 || type >= kConstructionTypeCount) continue;
        const int32_t own = ConstructionTypeTable[type].objectKind;
        if (own < kFirstUnionKind) Combine(step, own);
        else if (own == kKindOfImage) Combine(step, kKindPreImage);
        int32_t count = 0;
        void** parents = o->parents ? PtrListItems(o->parents, &count) : nullptr;
        for (int32_t i = 0; i < count; ++i) {
            auto* parent = static_cast<SketchObject*>(parents[i]);
            const uint32_t at = parent ? parent->traversalStamp : 0;
            // A stamp is an entry index only for listed objects: anything else is stale.
            if (at == 0 || at > uint32_t(total) || entries[at].object != parent) continue;
            Combine(entries[at], ToolParentRequirement(o, i, count, parent));
            if (i == 0 && own == kKindOfImage) Combine(entries[at], step.kind);
        }
    }
}

void RefreshToolGivenKinds(Sketch* tool) {
    if (!tool) return;
    // The tool's lists live in its own arena.
    CurrentSketchScope scope(tool);
    int32_t givens = 0;
    void** givenItems = tool->givenList ? PtrListItems(tool->givenList, &givens) : nullptr;
    if (givens <= 0) return;
    int32_t total = 0;
    for (SketchObject* o = tool->firstObject; o; o = o->nextInSketch) ++total;
    auto* entries = static_cast<ToolEntry*>(AllocMemory(size_t(total + 1) * sizeof(ToolEntry), kAllocZero));
    // Every given needs a kind record; a stored table that lacks some is replaced.
    GivenKindEntry* table = tool->givenKinds;
    if (tool->givenKindCount < givens)
        table = static_cast<GivenKindEntry*>(AllocMemory(size_t(givens) * sizeof(GivenKindEntry), kAllocZero));
    // Without memory the kinds stay as they are; the run still checks each parent's class
    // when it builds a step.
    if (!entries || !table) {
        FreeMemory(entries);
        if (table != tool->givenKinds) FreeMemory(table);
        return;
    }
    for (SketchObject* o = tool->firstObject; o; o = o->nextInSketch) o->traversalStamp = 0;
    int32_t n = 0;
    for (int32_t g = 0; g < givens && n < total; ++g) {
        auto* o = static_cast<SketchObject*>(givenItems[g]);
        if (!o || o->traversalStamp != 0 || o->nextInSketch == kNotLinked) continue;
        entries[++n] = { o, kKindObject, 0, 0 };
        o->traversalStamp = uint32_t(n);
    }
    const int32_t listedGivens = n;
    for (SketchObject* o = tool->firstObject; o && n < total; o = o->nextInSketch) {
        if (o->traversalStamp != 0) continue;
        entries[++n] = { o, kKindObject, kToolRoleResult, 0 };
        o->traversalStamp = uint32_t(n);
    }
    ComputeGivenKinds(entries, listedGivens, n - listedGivens);
    for (int32_t i = 1; i <= listedGivens; ++i) table[i - 1] = { entries[i].object, entries[i].kind };
    for (SketchObject* o = tool->firstObject; o; o = o->nextInSketch) o->traversalStamp = 0;
    if (table != tool->givenKinds) {
        FreeMemory(tool->givenKinds);
        tool->givenKinds = table;
    }
    tool->givenKindCount = listedGivens;
    FreeMemory(entries);
}

// ---- A new tool from the selection ----------------------------------------------------------

namespace {

struct MakeStamps {
    uint32_t a, b, c, d, e;
};

bool InTool(const MakeStamps& st, const SketchObject* o) { return o->traversalStamp >= st.a; }

// Whether every parent is in the tool; a parent outside it is allowed at the type's
// implicit position (a coordinate system the construction takes for granted) and is
// then taken in as if it had been selected.
bool ParentsInTool(const MakeStamps& st, SketchObject* o) {
    int32_t count = 0;
    void** parents = o->parents ? PtrListItems(o->parents, &count) : nullptr;
    if (count == 0) return false;  // a free object is never built by the tool
    const int32_t type = o->constructionType;
    const int32_t implicit = type >= 0 && type < kConstructionTypeCount
                                 ? int32_t(ConstructionTypeTable[type].implicitParent) - 1
                                 : -1;
    SketchObject* taken = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        auto* parent = static_cast<SketchObject*>(parents[i]);
        if (InTool(st, parent)) continue;
        if (i != implicit) return false;
        taken = parent;
    }
    if (taken) taken->traversalStamp = st.a;
    return true;
}

// A result's parents: selected ones become givens, candidates intermediate steps whose
// own parents are visited the same way. An object is pushed only when its stamp turns
// to D, so the stack never holds more than the sketch's objects.
void TakeParents(const MakeStamps& st, SketchObject* result, SketchObject** stack, int32_t* givens,
                 int32_t* steps) {
    int32_t depth = 0;
    stack[depth++] = result;
    while (depth > 0) {
        SketchObject* o = stack[--depth];
        int32_t count = 0;
        void** parents = o->parents ? PtrListItems(o->parents, &count) : nullptr;
        for (int32_t i = 0; i < count; ++i) {
            auto* parent = static_cast<SketchObject*>(parents[i]);
            if (parent->traversalStamp == st.a) {
                parent->traversalStamp = st.c;
                ++*givens;
            } else if (parent->traversalStamp == st.b) {
                parent->traversalStamp = st.d;
                ++*steps;
                stack[depth++] = parent;
            }
        }
    }
}

bool ShownInSelection(const ToolEntry& e) {
    return e.object->exists == 1 && e.object->hidden == kShown && e.role != kToolRoleIntermediate;
}

void SelectListed(const ToolEntry* entries, int32_t total) {
    DeselectAll();
    for (int32_t i = total; i >= 1; --i)
        if (ShownInSelection(entries[i])) SelectSketchObject(entries[i].object);
}

}  // namespace

ResultCode MakeToolFromSelection(Sketch** out) {
    *out = nullptr;
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultNoToolDefined;
    MakeStamps st{};
    st.a = sketch->traversalGeneration + 1;
    st.b = st.a + 1;
    st.c = st.b + 1;
    st.d = st.c + 1;
    st.e = st.d + 1;
    sketch->traversalGeneration = st.e;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) o->traversalStamp = st.a;

    int32_t objectCount = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++objectCount;
    auto* stack = static_cast<SketchObject**>(AllocMemory(size_t(objectCount + 1) * sizeof(SketchObject*), 0));
    int32_t givens = 0, steps = 0;
    bool asked = false, includeMissing = false;
    ResultCode rc = stack ? kResultOK : kResultOutOfMemory;
    for (SketchObject* o = sketch->firstObject; o && rc == kResultOK; o = o->nextInSketch) {
        const bool selected = o->traversalStamp == st.a;
        if (!selected && InTool(st, o)) continue;  // already sorted
        if (!ParentsInTool(st, o)) continue;
        bool result = selected;
        if (!selected) {
            const int32_t type = o->constructionType;
            const bool rule = type >= 0 && type < kConstructionTypeCount &&
                              (ConstructionTypeTable[type].flags & kTypeIterationRuleFlag);
            if (o->hidden != kShown || o->exists == 1 || rule) {
                o->traversalStamp = st.b;
                continue;
            }
            if (!asked) {
                asked = true;
                includeMissing = AskQuestionByCode(kQuestionIncludeMissing, false, 0);
            }
            result = includeMissing;
        }
        if (!result) continue;
        o->traversalStamp = st.e;
        ++steps;
        TakeParents(st, o, stack, &givens, &steps);
    }
    FreeMemory(stack);

    const int32_t total = givens + steps;
    auto* entries = rc == kResultOK
                        ? static_cast<ToolEntry*>(AllocMemory(size_t(total + 1) * sizeof(ToolEntry), kAllocZero))
                        : nullptr;
    if (rc == kResultOK && !entries) rc = kResultOutOfMemory;
    if (rc == kResultOK && total == 0) rc = kResultNoToolDefined;
    if (rc != kResultOK) {
        FreeMemory(entries);
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) o->traversalStamp = 0;
        return rc;
    }

    int32_t n = 0;
    auto list = [&](SketchObject* o, int32_t role, int32_t visibility) {
        entries[++n] = { o, kKindObject, role, visibility };
    };
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected)
        if (o->traversalStamp == st.c) list(o, 0, 0);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->traversalStamp == st.c && !IsSelected(o)) list(o, 0, 0);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->traversalStamp == st.e) list(o, kToolRoleResult, o->hidden != kShown ? 1 : 0);
        else if (o->traversalStamp == st.d) list(o, kToolRoleIntermediate, o->hidden != kShown ? 3 : 2);
    }
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) o->traversalStamp = 0;
    for (int32_t i = 1; i <= n; ++i) entries[i].object->traversalStamp = uint32_t(i);
    SetNumberedObjectCount(n);
    ComputeGivenKinds(entries, givens, steps);
    for (int32_t i = 1; i <= n; ++i) entries[i].object->traversalStamp = 0;
    SelectListed(entries, n);

    auto* items = static_cast<CopyItem*>(AllocMemory(size_t(n) * sizeof(CopyItem), kAllocZero));
    if (!items) rc = kResultOutOfMemory;
    // The tool keeps its givens in the order they were selected, oldest first.
    for (int32_t i = 0; items && i < n; ++i) {
        const ToolEntry& e = entries[i < givens ? givens - i : i + 1];
        items[i] = { e.object, e.kind, e.object->hidden };
    }
    Sketch* tool = nullptr;
    if (rc == kResultOK) rc = BuildSketchFromObjects(items, false, givens, n, GroupText(kGroupMiscellany, 20), &tool);
    FreeMemory(items);
    SetNumberedObjectCount(0);
    if (rc != kResultOK) {
        FreeMemory(entries);
        return rc;
    }

    EngineDocument* ownerBefore = nullptr;
    Sketch* shownBefore = GetPlaybackTool(&ownerBefore);
    ShowToolInScriptView(tool, gEngine.frontDocument);
    char name[256] = "";
    if (!PromptNewToolName(name)) {
        ShowToolInScriptView(shownBefore, ownerBefore);
        FreeSketch(tool);
        FreeMemory(entries);
        return kResultCancelled;
    }
    rc = SetSketchTitle(tool, name);
    if (rc == kResultOK) SelectListed(entries, n);
    FreeMemory(entries);
    if (rc != kResultOK) {
        DetachToolSketch(tool);
        FreeSketch(tool);
        return rc;
    }
    *out = tool;
    return kResultOK;
}

namespace {

void** Items(PtrList list, int32_t* count) {
    *count = 0;
    return list ? PtrListItems(list, count) : nullptr;
}

// Selects the dependants a copy takes along: for Cut every one (Cut deletes them too),
// for Copy only those that do not exist, which a paste could not otherwise rebuild.
void ExtendSelection(Sketch* sketch, bool cut) {
    // Sketch order is dependency order, so one forward pass reaches grandchildren too.
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (!IsSelected(o)) continue;
        int32_t count = 0;
        void** children = Items(o->children, &count);
        for (int32_t i = 0; i < count; ++i) {
            auto* child = static_cast<SketchObject*>(children[i]);
            if (!IsSelected(child) && (cut || child->exists != 1)) SelectSketchObject(child);
        }
    }
}

// The breadth-first walk that sorts the selection and what it needs into givens (s2)
// and steps (s3); s1 marks the selection's descendants that are merely visited. Stamps
// only ever rise, so no object enters the queue more than three times.
struct CopyWalk {
    uint32_t s1, s2, s3;
    SketchObject** queue;
    int32_t capacity, head, tail;

    void Push(SketchObject* o, uint32_t stamp) {
        o->traversalStamp = stamp;
        if (tail < capacity) queue[tail++] = o;
    }
    bool Visited(const SketchObject* o) const { return o->traversalStamp >= s1 && o->traversalStamp <= s3; }

    void Visit(SketchObject* o) {
        int32_t count = 0;
        void** children = Items(o->children, &count);
        for (int32_t i = 0; i < count; ++i) {
            auto* child = static_cast<SketchObject*>(children[i]);
            if (!Visited(child)) Push(child, s1);
            else if (child->traversalStamp == s2) Push(child, s3);
        }
        void** parents = Items(o->parents, &count);
        if (o->traversalStamp == s2) {
            const bool plain = o->constructionType == 0 || o->objectClass == kClassPoint ||
                               o->objectClass == kClassPicture;
            bool parentVisited = false;
            for (int32_t i = 0; i < count; ++i)
                parentVisited = parentVisited || Visited(static_cast<SketchObject*>(parents[i]));
            if (!plain || parentVisited) Push(o, s3);
        } else if (o->traversalStamp == s3) {
            for (int32_t i = 0; i < count; ++i) {
                auto* parent = static_cast<SketchObject*>(parents[i]);
                if (parent->traversalStamp == s1) Push(parent, s3);
                else if (!Visited(parent)) Push(parent, s2);
            }
        }
    }
};

}  // namespace

ResultCode MakeCustomTool(CustomToolPayload* payload) {
    payload->bytes = nullptr;
    payload->size = 0;
    payload->extent = {};
    Sketch* sketch = CurrentSketch();
    if (!sketch) return kResultOK;
    ExtendSelection(sketch, payload->cut);

    int32_t objectCount = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        o->tempLink = nullptr;
        ++objectCount;
    }
    CopyWalk walk{};
    walk.s1 = sketch->traversalGeneration + 1;
    walk.s2 = walk.s1 + 1;
    walk.s3 = walk.s2 + 1;
    sketch->traversalGeneration = walk.s3;
    walk.capacity = 3 * objectCount + 1;
    walk.queue = static_cast<SketchObject**>(AllocMemory(size_t(walk.capacity) * sizeof(SketchObject*), 0));
    if (!walk.queue) return kResultOutOfMemory;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) walk.Push(o, walk.s2);
    while (walk.head < walk.tail) walk.Visit(walk.queue[walk.head++]);
    FreeMemory(walk.queue);

    int32_t givens = 0, total = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (o->traversalStamp == walk.s2) ++givens;
        if (o->traversalStamp == walk.s2 || o->traversalStamp == walk.s3) ++total;
    }
    auto* items = static_cast<CopyItem*>(AllocMemory(size_t(total + 1) * sizeof(CopyItem), kAllocZero));
    if (!items) return kResultOutOfMemory;
    int32_t n = 0;
    auto add = [&](SketchObject* o) { items[n++] = { o, o->objectKind, o->hidden }; };
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->traversalStamp == walk.s2 && !IsSelected(o)) add(o);
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected)
        if (o->traversalStamp == walk.s2) add(o);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch)
        if (o->traversalStamp == walk.s3) add(o);

    GetSelectionExtent(&payload->extent, false, false);
    Sketch* copy = nullptr;
    ResultCode rc = BuildSketchFromObjects(items, true, givens, total, nullptr, &copy);
    FreeMemory(items);
    if (rc != kResultOK) return rc;
    StreamHandle stream = 0;
    rc = OpenMemoryStream(0, &stream);
    if (rc == kResultOK) {
        rc = WriteToolSketch(stream, copy);
        const ResultCode closed = CloseStream(stream);
        if (rc == kResultOK) rc = closed;
        uint32_t size = 0;
        auto* bytes = static_cast<uint8_t*>(TakeStreamBytes(stream, &size));
        if (rc == kResultOK && !bytes) rc = kResultOutOfMemory;
        if (rc == kResultOK) {
            payload->bytes = bytes;
            payload->size = size;
        } else {
            FreeMemory(bytes);
        }
    }
    FreeSketch(copy);
    return rc;
}
