#include "engine/core/copy_map.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/sketch.h"

namespace {

// More parents than any construction type has.
constexpr int32_t kMaxCloneParents = 64;
constexpr uint32_t kMaxLabelTemplate = 255;
// A source object outside the map, or a parent not cloned before its child.
constexpr ResultCode kResultBadSource = 35;

// Reads a source list's items with the source's arena current for the moment; answers
// the count (at most `room`).
int32_t ReadSourceList(const CopyMap* map, PtrList list, void** items, int32_t room) {
    PtrListArena* target = SetCurrentPtrListArena(map->source->arena);
    int32_t count = 0;
    void** source = PtrListItems(list, &count);
    if (count > room) count = room;
    if (count) std::memcpy(items, source, count * sizeof(void*));
    SetCurrentPtrListArena(target);
    return count;
}

bool HasLabelText(const ObjectLabel& label) {
    return label.heapLength != 0 ? label.text.heapText && label.text.heapText[0] : label.text.inlineText[0] != 0;
}

const char* LabelChars(const ObjectLabel& label, char inlineCopy[5]) {
    if (label.heapLength != 0) return label.text.heapText;
    std::memcpy(inlineCopy, label.text.inlineText, 4);
    inlineCopy[4] = 0;
    return inlineCopy;
}

// "=" then a template: every "{n}" becomes the label of the copy of given n ("?" when
// it cannot be resolved).
void ExpandLabelTemplate(const CopyMap* map, const char* templ, char* out, uint32_t size) {
    uint32_t used = 0;
    const auto put = [&](const char* s) {
        while (*s && used + 1 < size) out[used++] = *s++;
    };
    uint32_t read = 0;
    for (const char* p = templ; *p && read < kMaxLabelTemplate; ++p, ++read) {
        if (*p == '{') {
            const char* q = p + 1;
            int32_t n = 0;
            bool digits = false;
            while (*q >= '0' && *q <= '9' && n < 100000) {
                n = n * 10 + (*q++ - '0');
                digits = true;
            }
            if (digits && *q == '}') {
                const SketchObject* copy = (n >= 1 && n <= map->givenCount) ? map->entries[n - 1].copy : nullptr;
                char inlineCopy[5];
                const char* name = copy && HasLabelText(copy->label) ? LabelChars(copy->label, inlineCopy) : "?";
                put(name);
                read += static_cast<uint32_t>(q - p);
                p = q;
                continue;
            }
        }
        const char one[2] = { *p, 0 };
        put(one);
    }
    out[used] = 0;
}

// The label block a copy starts with, or null when the source has no label text; false
// without memory.
bool CopyLabelBlock(const CopyMap* map, const SketchObject* source, int32_t mode, ObjectLabel** out) {
    *out = nullptr;
    if (!HasLabelText(source->label)) return true;
    auto* label = static_cast<ObjectLabel*>(AllocMemory(sizeof(ObjectLabel), 0));
    if (!label) return false;
    *label = source->label;
    label->heapLength = 0;
    char inlineCopy[5];
    const char* text = LabelChars(source->label, inlineCopy);
    char expanded[kMaxLabelTemplate + 1];
    if (mode == kClonePlayback && text[0] == '=') {
        ExpandLabelTemplate(map, text + 1, expanded, sizeof expanded);
        text = expanded;
        // Stand-in: a calculation named by its template is compiled again once
        // calculations keep their own expressions.
    }
    if (!SetLabelBlockText(label, text)) {
        FreeMemory(label);
        return false;
    }
    *out = label;
    return true;
}

// A fresh list of `words` zero words in the current (target) arena.
bool ZeroList(int32_t words, PtrList* list) {
    *list = 0;
    if (words <= 0) return true;
    if (!AllocPtrList(words, words, list)) return false;
    std::memset(PtrListData(*list), 0, words * sizeof(void*));
    return true;
}

}  // namespace

bool InitCopyMap(CopyMap* map, int32_t givens, int32_t objects, int32_t extra) {
    std::memset(map, 0, sizeof *map);
    map->givenCount = givens;
    map->objectCount = givens + objects;
    map->capacity = givens + objects + extra;
    if (map->capacity <= 0) return true;
    map->entries = static_cast<CopyMapEntry*>(AllocMemory(map->capacity * sizeof(CopyMapEntry), kAllocZero));
    return map->entries != nullptr;
}

bool SetupCopyMap(CopyMap* map, Sketch* source, bool roomForMatching) {
    Sketch* previous = nullptr;
    SetCurrentSketch(source, &previous);
    int32_t givens = 0;
    void** givenItems = PtrListItems(source->givenList, &givens);
    int32_t total = 0;
    for (SketchObject* o = source->firstObject; o; o = o->nextInSketch) ++total;
    int32_t extra = 0;
    if (roomForMatching) {
        for (int32_t i = 0; i < givens; ++i) {
            const int32_t kind = EffectiveKind(static_cast<SketchObject*>(givenItems[i]));
            if (kind >= 0 && kind < kObjectKindCount && ObjectKindTable[kind].matchGroup <= 3) extra += 2;
        }
    }
    bool ok = InitCopyMap(map, givens, total - givens, extra);
    if (ok && total > 0) {
        map->sources = static_cast<SketchObject**>(AllocMemory(total * sizeof(SketchObject*), 0));
        ok = map->sources != nullptr;
    }
    if (ok) {
        map->source = source;
        for (SketchObject* o = source->firstObject; o; o = o->nextInSketch) o->givenIndex = -2;
        for (int32_t i = 0; i < givens; ++i) {
            auto* g = static_cast<SketchObject*>(PtrListItem(source->givenList, i));
            map->sources[i] = g;
            g->givenIndex = i;
        }
        int32_t next = givens;
        for (SketchObject* o = source->firstObject; o && next < total; o = o->nextInSketch) {
            if (o->givenIndex != -2) continue;
            map->sources[next] = o;
            o->givenIndex = next++;
        }
        // A given listed twice leaves slots at the end without an object.
        map->objectCount = next;
        for (SketchObject* o = source->firstObject; o; o = o->nextInSketch)
            if (o->givenIndex == -2) o->givenIndex = -1;
    } else {
        FreeMemory(map->entries);
        std::memset(map, 0, sizeof *map);
    }
    SetCurrentSketch(previous, nullptr);
    return ok;
}

int32_t CopyMapGivenKind(const CopyMap* map, int32_t index) {
    const SketchObject* given = map->sources ? map->sources[index] : nullptr;
    if (!given) return kKindObject;
    const Sketch* source = map->source;
    for (int32_t i = 0; i < source->givenKindCount; ++i)
        if (source->givenKinds[i].object == given) return source->givenKinds[i].kind;
    return given->objectKind;
}

bool SetLabelBlockText(ObjectLabel* label, const char* text) {
    const size_t n = std::strlen(text);
    if (n <= 4) {
        std::memset(label->text.inlineText, 0, 4);
        std::memcpy(label->text.inlineText, text, n);
        label->heapLength = 0;
        return true;
    }
    char* copy = static_cast<char*>(AllocMemory(n + 1, 0));
    if (!copy) return false;
    std::memcpy(copy, text, n + 1);
    label->text.heapText = copy;
    label->heapLength = static_cast<uint16_t>(n > 0xFFFF ? 0xFFFF : n);
    return true;
}

int32_t CopyMapParentIndexes(const CopyMap* map, int32_t index, int32_t* parents, int32_t room) {
    if (!map->sources || index < 0 || index >= map->objectCount) return 0;
    void* items[kMaxCloneParents];
    const int32_t count = ReadSourceList(map, map->sources[index]->parents, items,
                                         room < kMaxCloneParents ? room : kMaxCloneParents);
    for (int32_t i = 0; i < count; ++i) parents[i] = static_cast<SketchObject*>(items[i])->givenIndex;
    return count;
}

void FreeCopyMap(CopyMap* map, bool destroyExtras) {
    if (destroyExtras) {
        int32_t count = 0;
        void** items = PtrListItems(map->extra, &count);
        for (int32_t i = count - 1; i >= 0; --i) {
            auto* o = static_cast<SketchObject*>(items[i]);
            if (!o->children) DestroyObject(o, IsLinkedIntoSketch(o), true);
            items = PtrListItems(map->extra, &count);
        }
    }
    FreePtrList(&map->extra);
    if (map->sources) {
        for (int32_t i = 0; i < map->objectCount; ++i)
            if (map->sources[i]) map->sources[i]->givenIndex = -1;
    }
    FreeMemory(map->sources);
    FreeMemory(map->entries);
    std::memset(map, 0, sizeof *map);
}

ResultCode CloneObjectIntoSketch(CopyMap* map, SketchObject* source, SketchObject** copy) {
    *copy = nullptr;
    Sketch* target = CurrentSketch();
    const int32_t mode = target->cloneMode ? target->cloneMode : kCloneNone;
    const int32_t index = source->givenIndex;
    if (index < 0 || index >= map->objectCount) return kResultBadSource;
    ObjectTemplate t = ObjectTemplateOf(source);
    const int32_t type = t.constructionType;

    PtrList parents = 0;
    PtrList data = 0;
    void* items[kMaxCloneParents];
    int32_t count = 0;
    if (type != kTypeFree) {
        count = ReadSourceList(map, source->parents, items, kMaxCloneParents);
        SketchObject* mapped[kMaxCloneParents];
        for (int32_t i = 0; i < count; ++i) {
            const int32_t at = static_cast<SketchObject*>(items[i])->givenIndex;
            mapped[i] = at >= 0 && at < map->capacity ? map->entries[at].copy : nullptr;
            if (!mapped[i]) return kResultBadSource;
        }
        // A straight-and-circle intersection takes the other side when the straight
        // object's match runs the other way.
        if ((type == 11 || type == 12) && count > 0 &&
            (map->entries[static_cast<SketchObject*>(items[0])->givenIndex].flags & kCopyReversed)) {
            t.constructionType = type == 11 ? 12 : 11;
        }
        if (!CheckParentsDistinct(t.constructionType, mapped, count)) return kResultParentsNotDistinct;
        if (count) {
            if (!AllocPtrList(count, count, &parents)) return kResultOutOfMemory;
            std::memcpy(PtrListData(parents), mapped, count * sizeof(void*));
        }
        bool ok = true;
        if (type == kTypePointOnPath && (mode == kCloneToolFromSelection || mode == kClonePlayback)) {
            // Built without a position; playback places the point itself.
            if (mode == kClonePlayback) {
                const PathMethods* row = count ? PathMethodsOf(mapped[0]) : nullptr;
                const int32_t bytes = row ? row->parameterWords * 4 : 0;
                ok = ZeroList((bytes + static_cast<int32_t>(sizeof(void*)) - 1) / static_cast<int32_t>(sizeof(void*)), &data);
            }
        } else {
            void* words[kMaxCloneParents];
            const int32_t n = ReadSourceList(map, source->constructionData, words, kMaxCloneParents);
            if (n) {
                ok = AllocPtrList(n, n, &data);
                if (ok) std::memcpy(PtrListData(data), words, n * sizeof(void*));
            }
        }
        if (!ok) {
            FreePtrList(&parents);
            return kResultOutOfMemory;
        }
    }
    // Stand-in: no class transfers class data of its own yet (transferClassData is null
    // in every row), and derivatives are not rebuilt until functions are built, so the
    // extra data of the copy is its class's default.

    ObjectLabel* label = nullptr;
    if (!CopyLabelBlock(map, source, mode, &label)) {
        FreePtrList(&parents);
        FreePtrList(&data);
        return kResultOutOfMemory;
    }
    uint16_t flags = 0;
    SketchObject* made = ConstructObjectEx(&t, nullptr, parents, data, label, &flags,
                                           mode != kCloneToolFromSelection);
    if (!made) return kResultOutOfMemory;
    if (flags == kConstructedNew) {
        made->selectable = source->selectable;
        if (mode == kCloneToolScript || mode == kClonePaste) {
            made->textStyle = source->textStyle;
            made->exists = source->exists;
            if (CopyGeometryFn copyGeometry = ObjectClassTable[made->objectClass].copyGeometry)
                copyGeometry(source, made);
            // Stand-in: geometry of classes without copyGeometry, class texts and picture
            // data are carried once those classes transfer them.
        }
        ObjectPredicateFn follows = ObjectClassTable[made->objectClass].labelFollowsGeometry;
        if ((made->objectClass == kClassPoint && target->settings.labelNewPoints) ||
            (source->label.shown && !made->label.shown && follows && follows(made)))
            made->label.shown = 1;
    }
    uint16_t entryFlags = flags & (kCopyReused | kCopyShown | kCopyReversed);
    const uint16_t anchor = ConstructionTypeTable[t.constructionType].anchorParent & 0xFF;
    if (anchor < count && (map->entries[static_cast<SketchObject*>(items[anchor])->givenIndex].flags & kCopyReversed))
        entryFlags |= kCopyReversed;
    map->entries[index].copy = made;
    map->entries[index].flags = entryFlags;
    *copy = made;
    return kResultOK;
}
