#include "engine/core/copy_map.h"

#include "engine/core/services/action_buttons.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/picture_objects.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/services/tables.h"
#include "engine/core/services/measurements.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/text_data.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_givens.h"

namespace {

// More parents and construction-data words than any construction type has.
constexpr int32_t kMaxCloneWords = 64;
// The expansion of a "=" label template is cut to this many characters.
constexpr uint32_t kMaxLabelTemplate = 255;
// Label level of a name the user gave.
constexpr int32_t kLabelLevelName = 7;
constexpr int32_t kLabelLevelSequence = 6;  // a letter of the class's sequence
constexpr uint32_t kCopyLabelText = 256;
// A source object outside the map, or a parent not cloned before its child.
constexpr ResultCode kResultBadSource = 35;

// Reads a source list's items with the source's arena current for the moment; answers
// the count, or -1 when the list holds more than `room`.
int32_t ReadSourceList(const CopyMap* map, PtrList list, void** items, int32_t room) {
    PtrListArena* target = SetCurrentPtrListArena(map->source->arena);
    int32_t count = 0;
    void** source = PtrListItems(list, &count);
    if (count > room) {
        count = -1;
    } else if (count > 0) {
        std::memcpy(items, source, count * sizeof(void*));
    }
    SetCurrentPtrListArena(target);
    return count;
}

const char* LabelChars(const ObjectLabel& label, char inlineCopy[5]) {
    if (label.heapLength != 0) return label.text.heapText ? label.text.heapText : "";
    std::memcpy(inlineCopy, label.text.inlineText, 4);
    inlineCopy[4] = 0;
    return inlineCopy;
}


// The label block a copy starts with, or null when it starts without one; false without
// memory.
bool CopyLabelBlock(const CopyMap* map, const SketchObject* source, int32_t mode, ObjectLabel** out) {
    *out = nullptr;
    char inlineCopy[5];
    const char* text = LabelChars(source->label, inlineCopy);
    const bool named = (mode == kCloneToolScript || mode == kClonePaste) && source->label.level == kLabelLevelName;
    if (!text[0] && !named) return true;
    auto* label = static_cast<ObjectLabel*>(AllocMemory(sizeof(ObjectLabel), 0));
    if (!label) return false;
    *label = source->label;
    label->heapLength = 0;
    char expanded[kMaxLabelTemplate + 1];
    if (mode == kClonePlayback && text[0] == '=') {
        ExpandLabelTemplate(map, text + 1, expanded, sizeof expanded);
        text = expanded;
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

bool CopyList(const void* const* words, int32_t count, PtrList* list) {
    *list = 0;
    if (count <= 0) return true;
    if (!AllocPtrList(count, count, list)) return false;
    std::memcpy(PtrListData(*list), words, count * sizeof(void*));
    return true;
}

void CopyTextStyle(const SketchObject* source, SketchObject* copy) {
    copy->textStyle = source->textStyle;
    TextStyle* from = TextDataStyleOf(const_cast<SketchObject*>(source));
    TextStyle* to = TextDataStyleOf(copy);
    if (from && to) *to = *from;
}

}  // namespace

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

bool InitCopyMap(CopyMap* map, int32_t givens, int32_t objects, int32_t extra) {
    std::memset(map, 0, sizeof *map);
    if (givens < 0 || objects < 0 || extra < 0) return false;
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
    // A given list naming objects outside the sketch order would leave entries without
    // a source; the map is sized for what the order holds.
    if (givens > total) givens = total;
    bool ok = InitCopyMap(map, givens, total - givens, extra);
    if (ok && total > 0) {
        map->sources = static_cast<SketchObject**>(AllocMemory(total * sizeof(SketchObject*), kAllocZero));
        ok = map->sources != nullptr;
    }
    if (ok) {
        map->source = source;
        // -2 marks "not numbered yet" for the moment.
        for (SketchObject* o = source->firstObject; o; o = o->nextInSketch) o->givenIndex = -2;
        int32_t next = 0;
        for (int32_t i = 0; i < givens; ++i) {
            auto* g = static_cast<SketchObject*>(PtrListItem(source->givenList, i));
            if (!g || g->givenIndex != -2) continue;  // listed twice
            map->sources[next] = g;
            g->givenIndex = next++;
        }
        map->givenCount = next;
        for (SketchObject* o = source->firstObject; o && next < total; o = o->nextInSketch) {
            if (o->givenIndex != -2) continue;
            map->sources[next] = o;
            o->givenIndex = next++;
        }
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
    const SketchObject* given = map->sources && index >= 0 && index < map->objectCount ? map->sources[index] : nullptr;
    if (!given) return kKindObject;
    const Sketch* source = map->source;
    for (int32_t i = 0; i < source->givenKindCount; ++i)
        if (source->givenKinds[i].object == given) return source->givenKinds[i].kind;
    return given->objectKind;
}

int32_t CopyMapParentIndexes(const CopyMap* map, int32_t index, int32_t* parents, int32_t room) {
    if (!map->sources || index < 0 || index >= map->objectCount) return 0;
    void* items[kMaxCloneWords];
    int32_t count = ReadSourceList(map, map->sources[index]->parents, items, kMaxCloneWords);
    if (count < 0) return 0;
    if (count > room) count = room;
    for (int32_t i = 0; i < count; ++i) parents[i] = static_cast<SketchObject*>(items[i])->givenIndex;
    return count;
}

void CopyMapForgetExtra(CopyMap* map, const SketchObject* object) {
    if (map->extra && PtrListIndexOf(map->extra, object) >= 0) PtrListRemove(map->extra, object, true);
}

void FreeCopyMap(CopyMap* map, bool destroyExtras) {
    if (destroyExtras) {
        int32_t count = 0;
        PtrListSize(map->extra, &count);
        // Newest first: a later extra may be built on an earlier one.
        for (int32_t i = count - 1; i >= 0; --i) {
            auto* o = static_cast<SketchObject*>(PtrListItem(map->extra, i));
            if (o && !o->children) DestroyObject(o, IsLinkedIntoSketch(o), true);
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

void ExpandLabelTemplate(const CopyMap* map, const char* text, char* out, uint32_t size) {
    if (size == 0) return;
    uint32_t used = 0;
    const auto put = [&](const char* s) {
        while (*s && used + 1 < size) out[used++] = *s++;
    };
    const char* end = text + std::strlen(text);
    for (const char* p = text; p < end && used + 1 < size;) {
        if (*p != '{') {
            out[used++] = *p++;
            continue;
        }
        const char* q = p + 1;
        int64_t n = 0;
        bool digits = false;
        while (q < end && *q >= '0' && *q <= '9') {
            if (n < 100000) n = n * 10 + (*q - '0');
            ++q;
            digits = true;
        }
        if (!digits || q >= end || *q != '}') {
            // Not a reference: an unclosed one stands for nothing it could name.
            put(digits ? "?" : "{");
            p = digits ? q : p + 1;
            continue;
        }
        const SketchObject* copy = n >= 1 && n <= map->givenCount ? map->entries[n - 1].copy : nullptr;
        char name[kMaxLabelTemplate + 1] = "";
        if (copy) GetObjectLabelText(copy, name, sizeof name);
        put(name[0] ? name : "?");
        p = q + 1;
    }
    out[used] = 0;
}

namespace {

ResultCode CloneObject(CopyMap* map, SketchObject* source, bool asFree, SketchObject** copy) {
    *copy = nullptr;
    Sketch* target = CurrentSketch();
    const int32_t mode = target->cloneMode ? target->cloneMode : kCloneNone;
    const bool fullCopy = mode == kCloneToolScript || mode == kClonePaste;
    const int32_t index = source->givenIndex;
    if (!map->source || index < 0 || index >= map->objectCount) return kResultBadSource;
    ObjectTemplate t = ObjectTemplateOf(source);
    if (asFree) t.constructionType = kTypeFree;
    const int32_t type = t.constructionType;
    if (type < 0 || type >= kConstructionTypeCount || t.objectClass < 0 || t.objectClass >= kClassCount)
        return kResultBadSource;
    const ObjectClassRecord& classRow = ObjectClassTable[t.objectClass];

    PtrList parents = 0;
    PtrList data = 0;
    void* items[kMaxCloneWords];
    int32_t count = 0;
    if (type != kTypeFree) {
        count = ReadSourceList(map, source->parents, items, kMaxCloneWords);
        if (count < 0) return kResultBadSource;
        SketchObject* mapped[kMaxCloneWords];
        for (int32_t i = 0; i < count; ++i) {
            const int32_t at = static_cast<SketchObject*>(items[i])->givenIndex;
            mapped[i] = at >= 0 && at < map->objectCount ? map->entries[at].copy : nullptr;
            if (!mapped[i]) return kResultBadSource;
        }
        // A straight-and-circle intersection takes the other side when the straight
        // object's match runs the other way.
        if ((type == 11 || type == 12) && count > 0 &&
            (map->entries[static_cast<SketchObject*>(items[0])->givenIndex].flags & kCopyReversed)) {
            t.constructionType = type == 11 ? 12 : 11;
        }
        if (!CheckParentsDistinct(t.constructionType, mapped, count)) return kResultParentsNotDistinct;
        bool ok = CopyList(reinterpret_cast<void**>(mapped), count, &parents);
        if (ok && type == kTypePointOnPath && (mode == kCloneToolFromSelection || mode == kClonePlayback)) {
            // A tool's body keeps no position on the path; playback computes a new one
            // into a block of the path's size.
            if (mode == kClonePlayback) {
                const PathMethods* row = count ? PathMethodsOf(mapped[0]) : nullptr;
                const int32_t bytes = row ? row->parameterWords * 4 : 0;
                const int32_t word = static_cast<int32_t>(sizeof(void*));
                ok = ZeroList((bytes + word - 1) / word, &data);
            }
        } else if (ok) {
            void* words[kMaxCloneWords];
            const int32_t n = ReadSourceList(map, source->constructionData, words, kMaxCloneWords);
            ok = n >= 0 && CopyList(words, n, &data);
        }
        if (!ok) {
            FreePtrList(&parents);
            return kResultOutOfMemory;
        }
    }

    // Class data travels as its own record: the new object's initExtra reads it. Texts,
    // measurements and calculations take an init record of their own kind instead: they
    // are made empty and their class record is read into them, as when a page is read.
    const bool textClass = source->objectClass == kClassCaption || source->objectClass == kClassMeasurement ||
                           source->objectClass == kClassCalculation;
    // A table too: its grid must fit the parents of the copy, which it has only then. An
    // action button's initExtra takes a creation block, not a record.
    const bool tableClass = source->objectClass == kClassTable || source->objectClass == kClassActionButton;
    uint8_t* classRecord = nullptr;
    if (classRow.transferClassData && !textClass && !tableClass) {
        uint32_t length = 0;
        const ResultCode rc = SaveCodecBlock(classRow.transferClassData, source, &classRecord, &length);
        if (rc != kResultOK) {
            FreePtrList(&parents);
            FreePtrList(&data);
            return IsFatalResult(rc) ? rc : kResultOutOfMemory;
        }
    }

    ObjectLabel* label = nullptr;
    if (!CopyLabelBlock(map, source, mode, &label)) {
        FreePtrList(&parents);
        FreePtrList(&data);
        FreeMemory(classRecord);
        return kResultOutOfMemory;
    }
    uint16_t flags = 0;
    SketchObject* made = ConstructObjectEx(&t, classRecord, parents, data, label, &flags,
                                           mode != kCloneToolFromSelection);
    FreeMemory(classRecord);  // initExtra reads it; it stays ours
    if (!made) return kResultOutOfMemory;
    if ((textClass || tableClass) && classRow.transferClassData && flags == kConstructedNew) {
        ResultCode rc = CopyCodecBlock(classRow.transferClassData, source, made);
        // Made empty, the calculation took the kind of an empty one (a parameter's); with
        // its record it is what its source was, as a calculation read from a file is.
        if (!IsFatalResult(rc) && made->objectClass == kClassCalculation) {
            made->objectKind = t.objectKind;
            rc = FinishReadCalculation(made, true);
        }
        if (!IsFatalResult(rc) && made->objectClass == kClassTable) {
            const ResultCode table = FinishTableFromRecord(made);
            if (table != kResultOK) rc = table == kResultOutOfMemory ? table : kResultBadSource;
        }
        if (IsFatalResult(rc)) {
            DestroyObject(made, true, true);
            return rc;
        }
    }
    // Outside the script form and paste a derivative is defined anew as the approximate
    // derivative of its copied function, and listed so that whoever ends the cloning
    // can derive it exactly; when that fails it keeps its copied definition.
    if (flags == kConstructedNew && made->constructionType == kTypeDerivative && mode != kCloneToolScript &&
        mode != kClonePaste && MakeApproximateDerivative(made) == kResultOK && !PtrListAppend(&map->extra, made)) {
        DestroyObject(made, true, true);
        return kResultOutOfMemory;
    }
    // A calculation named by a "=" template is compiled again under its new name; it
    // compiled before, so a failure now leaves it as it was made.
    if (flags == kConstructedNew && mode == kClonePlayback && made->objectClass == kClassCalculation &&
        source->label.level != 0) {
        char inlineCopy[5];
        if (LabelChars(source->label, inlineCopy)[0] == '=' &&
            FinishReadCalculation(made, true) == kResultOutOfMemory) {
            DestroyObject(made, true, true);
            return kResultOutOfMemory;
        }
    }

    if (flags == kConstructedNew) {
        made->selectable = source->selectable;
        bool geometryCopied = false;
        if (fullCopy) {
            CopyTextStyle(source, made);
            made->exists = source->exists;
            // The class's text came with its class record above: the records of the
            // text classes carry their layouts whole.
            if (classRow.transferGeometry) {
                const ResultCode rc = CopyCodecBlock(classRow.transferGeometry, source, made);
                if (rc == kResultOutOfMemory) {
                    DestroyObject(made, true, true);
                    return kResultOutOfMemory;
                }
                geometryCopied = rc == kResultOK;
            }
        }
        if (made->objectClass == kClassPicture && (type != kTypeFree || fullCopy)) {
            if (!CopyPictureData(source, made)) {
                DestroyObject(made, true, true);
                return kResultOutOfMemory;
            }
        }
        ObjectPredicateFn follows = ObjectClassTable[made->objectClass].labelFollowsGeometry;
        if ((made->objectClass == kClassPoint && target->settings.labelNewPoints) ||
            (source->label.shown && !made->label.shown && follows && follows(made))) {
            made->label.shown = 1;
        }
        // No sketch setting asks for value layouts of copies: a measurement or calculation
        // builds its value layout when the copy is first recomputed.
        // Text classes lay their text out again in the copied frame; a label (family
        // 0) is placed when it is drawn.
        const int32_t family = ObjectClassTable[made->objectClass].textFamily;
        if (geometryCopied && family >= 1 && family <= 4) RelayoutObjectText(made);
        // A button a tool's playback makes joins the buttons' column: where it stood in
        // the tool's own sketch means nothing here. A pasted one moves with the paste.
        if (made->objectClass == kClassActionButton && mode == kClonePlayback) PlaceNewActionButton(made);
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

}  // namespace

ResultCode CloneObjectIntoSketch(CopyMap* map, SketchObject* source, SketchObject** copy) {
    return CloneObject(map, source, false, copy);
}

ResultCode CloneObjectAsFree(CopyMap* map, SketchObject* source, SketchObject** copy) {
    return CloneObject(map, source, true, copy);
}

namespace {

bool GivenUsesLabel(const CopyMap& map, int32_t givens, const SketchObject* self, const char* text) {
    char other[kCopyLabelText];
    for (int32_t k = 0; k < givens; ++k) {
        const SketchObject* copy = map.entries[k].copy;
        if (!copy || copy == self) continue;
        GetObjectLabelText(copy, other, sizeof other);
        if (std::strcmp(other, text) == 0) return true;
    }
    return false;
}

void NameUnnamedGivens(const CopyMap& map, int32_t givens) {
    for (int32_t k = 0; k < givens; ++k) {
        SketchObject* copy = map.entries[k].copy;
        if (!copy || copy->label.level >= kLabelLevelSequence) continue;  // named
        char text[kCopyLabelText];
        // A sequence runs through its letters and rounds, so a free one comes; the bound
        // only keeps an exhausted one from spinning.
        for (int32_t tries = 0; tries < 1000; ++tries) {
            copy->label.level = 0;
            GetObjectLabel(copy, kLabelLevelSequence);
            GetObjectLabelText(copy, text, sizeof text);
            if (!GivenUsesLabel(map, givens, copy, text)) break;
        }
    }
}

// A given's stand-in in a tool sketch made from a selection: a value for measured and
// calculated givens, else a point; it does not exist, and keeps a name the user gave.
SketchObject* MakeGivenPlaceholder(const CopyItem& item) {
    const SketchObject* given = item.object;
    const bool value = given->objectClass == kClassMeasurement || given->objectClass == kClassCalculation;
    const ObjectTemplate t = { kTypeFree, 0, kShown, value ? kClassCalculation : kClassPoint, 1,
                               value ? item.kind : kKindPoint, given->color };
    ObjectLabel* label = nullptr;
    if (given->label.level > 5) {
        label = static_cast<ObjectLabel*>(AllocMemory(sizeof(ObjectLabel), 0));
        if (!label) return nullptr;
        *label = given->label;
        label->heapLength = 0;
        char inlineCopy[5];
        if (!SetLabelBlockText(label, LabelChars(given->label, inlineCopy))) {
            FreeMemory(label);
            return nullptr;
        }
    }
    SketchObject* placeholder = ConstructObjectEx(&t, nullptr, 0, 0, label, nullptr, false);
    if (placeholder) placeholder->exists = 0;
    return placeholder;
}

// The target's given tables: the copies of the givens with their recorded kinds.
bool SetTargetGivens(Sketch* target, const CopyMap& map, const CopyItem* items, int32_t givens) {
    if (givens == 0) return true;
    target->givenKinds = static_cast<GivenKindEntry*>(AllocMemory(givens * sizeof(GivenKindEntry), kAllocZero));
    if (!target->givenKinds) return false;
    target->givenKindCount = givens;
    for (int32_t i = 0; i < givens; ++i) {
        SketchObject* copy = map.entries[i].copy;
        target->givenKinds[i] = { copy, items[i].kind };
        if (!PtrListAppend(&target->givenList, copy)) return false;
        copy->givenIndex = i;
    }
    return true;
}

}  // namespace

ResultCode BuildSketchFromObjects(const CopyItem* items, bool scriptForm, int32_t givens, int32_t objects,
                                  const char* title, Sketch** out) {
    *out = nullptr;
    if (givens < 0 || objects < givens) return kResultBadSource;
    Sketch* current = CurrentSketch();
    Sketch* target = CreateSketch(0, current ? current->document : nullptr);
    if (!target) return kResultOutOfMemory;
    ResultCode rc = title ? SetSketchTitle(target, title) : kResultOK;
    CopyMap map{};
    // The map is laid out over the items rather than the whole page: only they are
    // cloned, givens first.
    if (rc == kResultOK && !InitCopyMap(&map, givens, objects - givens, 0)) rc = kResultOutOfMemory;
    if (rc == kResultOK && objects > 0) {
        map.sources = static_cast<SketchObject**>(AllocMemory(objects * sizeof(SketchObject*), kAllocZero));
        if (!map.sources) rc = kResultOutOfMemory;
    }
    if (rc == kResultOK) {
        map.source = current;
        for (int32_t i = 0; i < objects; ++i) {
            map.sources[i] = items[i].object;
            items[i].object->givenIndex = i;
        }
        Sketch* previous = nullptr;
        SetCurrentSketch(target, &previous);
        target->cloneMode = scriptForm ? kCloneToolScript : kCloneToolFromSelection;
        bool flaggedSystem = false;
        for (int32_t i = 0; i < objects && rc == kResultOK; ++i) {
            SketchObject* source = items[i].object;
            SketchObject* copy = nullptr;
            if (i < givens) {
                if (scriptForm) {
                    rc = CloneObjectAsFree(&map, source, &copy);
                } else {
                    copy = MakeGivenPlaceholder(items[i]);
                    if (!copy) rc = kResultOutOfMemory;
                    map.entries[i] = { copy, kCopyReused, 0 };
                }
                // The first coordinate system among the givens is matched automatically.
                if (copy && !flaggedSystem && source->objectClass == kClassCoordinateSystem) {
                    copy->label.useInTools = 1;
                    flaggedSystem = true;
                }
                // Before the first other object, the givens without a name take the next
                // label of their class's sequence that no other given uses.
                if (rc == kResultOK && i == givens - 1) NameUnnamedGivens(map, givens);
                continue;
            }
            const int32_t hidden = source->hidden;
            source->hidden = items[i].hidden;
            rc = CloneObjectIntoSketch(&map, source, &copy);
            source->hidden = hidden;
        }
        target->cloneMode = kCloneNone;
        if (rc == kResultOK && !SetTargetGivens(target, map, items, givens)) rc = kResultOutOfMemory;
        if (rc == kResultOK) SortToolGivens(target);
        FreePtrList(&map.extra);  // in the target's arena; the copies stay in the target
        SetCurrentSketch(previous, nullptr);
    }
    FreeCopyMap(&map, false);
    if (rc != kResultOK) {
        FreeSketch(target);
        return rc;
    }
    *out = target;
    return kResultOK;
}
