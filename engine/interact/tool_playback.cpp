#include "engine/interact/tool_playback.h"

#include <cstdio>
#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/copy_map.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/iterations.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/clock.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/object_labels.h"
#include "engine/core/services/script_view.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/services/undo.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_givens.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/custom_tools.h"
#include "engine/interact/derivative_command.h"
#include "engine/interact/edit_commands.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/motion.h"
#include "engine/text/caret_codes.h"
#include "engine/text/layout.h"
#include "engine/text/layout_builders.h"
#include "engine/text/string_groups.h"

void SetNumberedObjectCount(int32_t count);

namespace {

// Map entry flags of stepping, above the cloning's own.
constexpr uint16_t kEntryGiven      = 0x100;  // matched to a selected object or a system
constexpr uint16_t kEntryHideAtEnd  = 0x200;  // a hidden intermediate shown while stepping

constexpr int32_t kManyObjects      = 100;    // beyond it "all" selects less and redraws less
constexpr uint32_t kEndPauseMs      = 300;

constexpr int32_t kItemAssuming     = 107;
constexpr int32_t kItemGiven        = 108;
constexpr int32_t kItemSteps        = 109;
constexpr int32_t kItemGivenRow     = 110;
constexpr int32_t kItemMarkedSystem = 111;
constexpr int32_t kItemDefaultComment = 115;
constexpr int32_t kItemFolderComment  = 116;
constexpr int32_t kItemEmptyCaption   = 117;
constexpr int32_t kItemCaption        = 118;

const char kMissingObjectText[] =
    "That object does not currently exist, and objects in later steps that depend on it may not exist as "
    "well.\r\n\r\nDragging objects in your sketch may bring their non-existing dependents back into existence.";

struct Playback {
    Sketch*         tool;
    EngineDocument* owner;
    int32_t         mode;
    int32_t         matchIndex;
    bool            clickMayConstruct;
    bool            warnedToolFolder;
    int32_t         headerRows;
    int32_t         rowCount;
    int32_t         widestRow;
    Sketch*         target;
    CopyMap         map;
    int32_t         nextStep;
    bool            warnedMissing;
    // Set when the sketch took a created object away while its marks were being updated:
    // stepping ends at the next call, outside that update.
    bool            stopPending;
};

Playback gPlay{ nullptr, nullptr, kPlaybackMatching, -1, false, false, 0, 0, 0, nullptr, {}, 0, false, false };

// The shown tool's givens and steps, read once with the tool current: its lists live in
// its own arena and cannot be read while another sketch is current.
struct ToolObjects {
    SketchObject** givens;
    int32_t        givenCount;
    SketchObject** steps;
    int32_t        stepCount;
};
ToolObjects gObjects{ nullptr, 0, nullptr, 0 };

void FreeToolObjects() {
    FreeMemory(gObjects.givens);
    FreeMemory(gObjects.steps);
    gObjects = ToolObjects{ nullptr, 0, nullptr, 0 };
}

// False without memory: the view then shows the tool as empty.
bool ReadToolObjects(Sketch* tool) {
    FreeToolObjects();
    if (!tool) return true;
    CurrentSketchScope scope(tool);
    int32_t givens = 0;
    void** items = tool->givenList ? PtrListItems(tool->givenList, &givens) : nullptr;
    int32_t total = 0;
    for (SketchObject* o = tool->firstObject; o; o = o->nextInSketch) ++total;
    gObjects.givens = static_cast<SketchObject**>(AllocMemory(size_t(givens + 1) * sizeof(SketchObject*), 0));
    gObjects.steps = static_cast<SketchObject**>(AllocMemory(size_t(total + 1) * sizeof(SketchObject*), 0));
    if (!gObjects.givens || !gObjects.steps) {
        FreeToolObjects();
        return false;
    }
    for (int32_t i = 0; i < givens; ++i)
        if (items[i]) gObjects.givens[gObjects.givenCount++] = static_cast<SketchObject*>(items[i]);
    for (SketchObject* o = tool->firstObject; o; o = o->nextInSketch) {
        bool given = false;
        for (int32_t i = 0; i < gObjects.givenCount && !given; ++i) given = gObjects.givens[i] == o;
        if (!given) gObjects.steps[gObjects.stepCount++] = o;
    }
    return true;
}

int32_t GivenCount(const Sketch*) { return gObjects.givenCount; }
SketchObject* Given(const Sketch*, int32_t i) {
    return i >= 0 && i < gObjects.givenCount ? gObjects.givens[i] : nullptr;
}
bool IsAssumed(const SketchObject* given) { return given && given->label.useInTools != 0; }
int32_t AssumedCount(const Sketch* tool) {
    int32_t n = 0;
    while (n < GivenCount(tool) && IsAssumed(Given(tool, n))) ++n;
    return n;
}
bool TwoGroups(const Sketch* tool) {
    const int32_t assumed = AssumedCount(tool);
    return assumed > 0 && assumed < GivenCount(tool);
}
int32_t StepCount(const Sketch*) { return gObjects.stepCount; }
SketchObject* StepObject(const Sketch*, int32_t index) {
    return index >= 0 && index < gObjects.stepCount ? gObjects.steps[index] : nullptr;
}
int32_t GivenIndexOf(const SketchObject* object) {
    for (int32_t i = 0; i < gObjects.givenCount; ++i)
        if (gObjects.givens[i] == object) return i;
    return -1;
}
int32_t GivenKindOf(const Sketch* tool, const SketchObject* given) {
    for (int32_t i = 0; i < tool->givenKindCount; ++i)
        if (tool->givenKinds[i].object == given) return tool->givenKinds[i].kind;
    return given->objectKind;
}

void ComputeRows() {
    if (!gPlay.tool || !ReadToolObjects(gPlay.tool)) {
        gPlay.headerRows = gPlay.rowCount = 0;
        return;
    }
    gPlay.headerRows = GivenCount(gPlay.tool) + (TwoGroups(gPlay.tool) ? 5 : 3);
    gPlay.rowCount = gPlay.headerRows + StepCount(gPlay.tool);
    gPlay.widestRow = 0;
}

bool Stepping() { return gPlay.mode == kPlaybackStepping; }

void ProcessPendingStop();

Sketch* FrontSketch() { return gEngine.frontSketch; }

void RefreshViewState() {
    RefreshScriptViewStatus();
    UpdateScriptStepList(0, 0);
}

// ---- Status --------------------------------------------------------------------------

void BuildStatus(int32_t givenIndex, char* text, uint32_t size) {
    const Sketch* tool = gPlay.tool;
    const SketchObject* given = Given(tool, givenIndex);
    if (!given) {
        text[0] = 0;
        return;
    }
    const int32_t kind = GivenKindOf(tool, given);
    char label[256];
    GetObjectLabelText(given, label, sizeof label);
    int32_t item = 0;
    if (gPlay.mode == kPlaybackInUse) item = gPlay.clickMayConstruct ? 120 : 119;
    else item = gPlay.matchIndex < 0 ? 122 : gPlay.matchIndex == 0 ? 121 : 123;
    const char* args[4] = {
        KindNoun(kind, kNounWithArticle),
        GroupText(kGroupLayoutTemplates, IsAssumed(given) ? 125 : 124),
        label,
        KindNoun(kind, kNounSingular),
    };
    std::snprintf(text, size, "%s", GroupText(kGroupLayoutTemplates, item));
    SubstituteCaretArgs(text, args, 4, size, false);
}

// ---- Ending ----------------------------------------------------------------------------

void DropMap() {
    FreeCopyMap(&gPlay.map, false);
    gPlay.map = CopyMap{};
    SetNumberedObjectCount(0);
}

struct HideChain {
    SketchObject* first;
    SketchObject* last;
    int32_t       kind;
    int32_t       count;
};

void FinishPlayback(bool hide, bool select) {
    gPlay.stopPending = false;
    if (!Stepping()) return;
    // A highlight of a step's object goes while the map still finds it.
    HoverToolScriptRow(0);
    Sketch* target = gPlay.target;
    CurrentSketchScope scope(target);
    const int32_t objects = gPlay.map.objectCount;
    if (select) DeselectAll();
    if (hide) {
        HideChain chain{};
        for (int32_t i = 0; i < objects; ++i) {
            const CopyMapEntry& e = gPlay.map.entries[i];
            if (!(e.flags & kEntryHideAtEnd) || !e.copy || !HasMarkCategory(kMarkCategoryToolPlayback, e.copy))
                continue;
            SketchObject* o = e.copy;
            o->tempLink = nullptr;
            if (chain.last) chain.last->tempLink = o;
            else chain.first = o;
            chain.last = o;
            chain.kind = chain.count == 0 ? o->objectKind : CommonKind(chain.kind, o->objectKind);
            ++chain.count;
        }
        if (chain.first) {
            for (SketchObject* o = chain.first; o; o = o->tempLink) {
                if (IsSelected(o)) DeselectSketchObject(o);
            }
            FlashObjects(chain.first, kFlashDisappear, RunningMotionCount() > 0);
            const int16_t noun = static_cast<int16_t>(chain.kind > 0 ? 3 * chain.kind - 3 + (chain.count > 1 ? 1 : 0)
                                                                     : kUndoNounNone);
            const UndoDescriptor descriptor = { kUndoNameHide, noun, 0, nullptr };
            // The record's own replay hides them.
            const ResultCode rc = UndoRecordObjectList(&descriptor, chain.first, true);
            if (rc != kResultOK) ShowAlertByCode(rc, 0);
        }
    }
    if (select) {
        for (int32_t i = objects - 1; i >= gPlay.map.givenCount; --i) {
            const CopyMapEntry& e = gPlay.map.entries[i];
            SketchObject* o = e.copy;
            if (!o || (e.flags & kEntryGiven) || o->exists != 1 || o->hidden != kShown) continue;
            if (gPlay.map.sources[i]->hidden != kShown) continue;
            if (!IsSelected(o)) SelectSketchObject(o);
        }
    }
    for (int32_t i = 0; i < objects; ++i) {
        CopyMapEntry& e = gPlay.map.entries[i];
        e.flags &= static_cast<uint16_t>(~kEntryHideAtEnd);
        if (e.copy && HasMarkCategory(kMarkCategoryToolPlayback, e.copy))
            UnmarkObject(target->marks, kMarkCategoryToolPlayback, e.copy);
    }
    ClearMark(kMarkCategoryToolPlayback);
    DropMap();
    gPlay.mode = kPlaybackMatching;
    gPlay.nextStep = 0;
    gPlay.target = nullptr;
    RefreshViewState();
    if (target == FrontSketch()) RefreshGivenMatch();
}

void ProcessPendingStop() {
    if (gPlay.stopPending) FinishPlayback(false, false);
}

// ---- Setting up a playback ---------------------------------------------------------------

// Maps the givens, last to first, onto the selection (most recent first) and the target's
// coordinate system. False leaves nothing mapped or marked.
bool MapGivens() {
    Sketch* tool = gPlay.tool;
    const int32_t givens = gPlay.map.givenCount;
    SketchObject* next = gPlay.target->selectionHead;
    bool ok = true;
    for (int32_t i = givens - 1; i >= 0 && ok; --i) {
        SketchObject* given = gPlay.map.sources[i];
        SketchObject* match = nullptr;
        if (GivenKindOf(tool, given) == kKindCoordinateSystem) {
            bool created = false;
            match = GetCoordinateSystem(0, true, &created);
        } else {
            match = next;
            if (next) next = next->nextSelected;
        }
        if (!match) {
            ok = false;
            break;
        }
        gPlay.map.entries[i].copy = match;
        gPlay.map.entries[i].flags = kEntryGiven;
        MarkObject(kMarkCategoryToolPlayback, match, false);
    }
    if (ok) return true;
    for (int32_t i = 0; i < givens; ++i) {
        SketchObject* o = gPlay.map.entries[i].copy;
        if (o && HasMarkCategory(kMarkCategoryToolPlayback, o))
            UnmarkObject(gPlay.target->marks, kMarkCategoryToolPlayback, o);
    }
    DropMap();
    DeselectAll();
    return false;
}

bool BeginStepping() {
    RefreshGivenMatch();
    gPlay.target = FrontSketch();
    if (!gPlay.target || gPlay.matchIndex != GivenCount(gPlay.tool)) {
        gPlay.target = nullptr;
        return false;
    }
    RestoreMemoryReserve();
    if (!SetupCopyMap(&gPlay.map, gPlay.tool, false)) {
        gPlay.target = nullptr;
        ShowAlertByCode(kResultOutOfMemory, 0);
        return false;
    }
    if (gPlay.map.objectCount <= gPlay.map.givenCount) {  // a tool without steps
        DropMap();
        gPlay.target = nullptr;
        return false;
    }
    SetNumberedObjectCount(gPlay.map.objectCount);
    CurrentSketchScope scope(gPlay.target);
    if (!MapGivens()) {
        gPlay.target = nullptr;
        return false;
    }
    gPlay.mode = kPlaybackStepping;
    gPlay.nextStep = gPlay.map.givenCount;
    gPlay.warnedMissing = false;
    return true;
}

void RecomputeIterationParent(SketchObject* image) {
    SketchObject* iteration = IterationOf(image);
    if (!iteration) {
        RecomputeAndRedrawObject(image);
        return;
    }
    RecomputeAndRedrawObject(iteration);
    int32_t count = 0;
    void** children = iteration->children ? PtrListItems(iteration->children, &count) : nullptr;
    for (int32_t i = 0; i < count; ++i) {
        auto* child = static_cast<SketchObject*>(children[i]);
        if (child->objectClass == kClassIteratedImage) RecomputeAndRedrawObject(child);
        children = PtrListItems(iteration->children, &count);
    }
}

void RefreshWhileStepping(bool single) {
    // Cloning defines derivatives approximately; a single step shows them derived exactly.
    if (single && gPlay.map.extra) RebuildCopiedDerivatives(&gPlay.map);
    UpdateScriptStepList(0, RowOfObject(gPlay.map.sources[gPlay.nextStep]));
    while (RunIdleTasks()) {}
    FlushPendingRedraw(0);
}

// Applies the step at nextStep. False when it failed (not counted) and stepping should
// stop repeating.
bool ApplyOneStep(bool all) {
    Sketch* target = gPlay.target;
    const int32_t index = gPlay.nextStep;
    if (index > gPlay.map.givenCount) {
        CopyMapEntry& previous = gPlay.map.entries[index - 1];
        if (!(previous.flags & kEntryGiven) && previous.copy && gPlay.map.sources[index - 1]->hidden != kShown) {
            previous.flags |= kEntryHideAtEnd;
            AddObjectToDirtyRect(previous.copy);
        }
    }
    SketchObject* source = gPlay.map.sources[index];
    const int32_t hidden = source->hidden;
    source->hidden = kShown;
    target->cloneMode = kClonePlayback;
    SketchObject* copy = nullptr;
    ResultCode rc = CloneObjectIntoSketch(&gPlay.map, source, &copy);
    target->cloneMode = 0;
    source->hidden = hidden;
    if (rc == kResultOK && copy) {
        // The cloning's entry flags are the construction's reuse flags.
        const uint16_t flags = gPlay.map.entries[index].flags & (kCopyReused | kCopyShown | kCopyReversed);
        if (!RecordNewObjectUndo(copy, true, flags)) {
            gPlay.map.entries[index].copy = nullptr;
            copy = nullptr;
            rc = kResultOutOfMemory;
        }
    }
    if (rc != kResultOK || !copy) {
        ShowAlertByCode(rc != kResultOK ? rc : kResultOutOfMemory, 0);
        return false;
    }
    if (copy->constructionType == kTypePointOnPath && !(gPlay.map.entries[index].flags & kCopyReused))
        PlaceOnPathAtRandom(copy);
    if (!(gPlay.map.entries[index].flags & kEntryGiven)) {
        if (copy->objectClass == kClassIteratedImage || copy->constructionType == kTypeFinalIteratedPoint) {
            RecomputeIterationParent(copy);
        } else if (copy->objectClass != kClassIteration) {
            RecomputeAndRedrawObject(copy);
        }
    }
    const bool iteration = copy->objectClass == kClassIteration;
    if (copy->exists == 1) {
        if (!all || gPlay.map.objectCount < kManyObjects) SelectSketchObject(copy);
    } else if (!iteration && !all && !gPlay.warnedMissing) {
        gPlay.warnedMissing = true;
        FlushPendingRedraw(0);
        ShowAlert(GroupText(kGroupAlerts, 124), kMissingObjectText, 0, 0, 0, true);
    }
    return true;
}

}  // namespace

// ---- Shown tool -----------------------------------------------------------------------------

void ShowToolInScriptView(Sketch* tool, EngineDocument* owner) {
    ProcessPendingStop();
    if (tool == gPlay.tool) {
        if (Stepping() && gPlay.target != FrontSketch()) FinishPlayback(false, false);
        return;
    }
    if (gPlay.tool) UpdateToolSketchName(gPlay.tool);
    FinishPlayback(false, false);
    gPlay.tool = tool;
    gPlay.owner = owner;
    gPlay.warnedToolFolder = false;
    gPlay.mode = kPlaybackMatching;
    gPlay.matchIndex = -1;
    ComputeRows();
    if (!tool) {
        FreeToolObjects();
        SetScriptViewTool(0, "");
        SetScriptViewCaption(GroupText(kGroupLayoutTemplates, kItemEmptyCaption));
        return;
    }
    RefreshToolGivenKinds(tool);
    const char* comment = tool->toolText && tool->toolText[0]
                              ? tool->toolText
                              : GroupText(kGroupLayoutTemplates, owner ? kItemDefaultComment : kItemFolderComment);
    SetScriptViewTool(gPlay.rowCount, comment);
    ShowToolStatus(tool, tool->title);
    RefreshGivenMatch();
}

void DetachToolSketch(Sketch* sketch) {
    if (!sketch) return;
    if (sketch == gPlay.target) FinishPlayback(false, false);
    if (sketch == gPlay.tool) ShowToolInScriptView(nullptr, nullptr);
}

void UpdateToolSketchName(Sketch* tool) {
    if (!tool || tool != gPlay.tool) return;
    char* comment = GetScriptViewComment();
    if (!comment) return;
    const bool isDefault = comment[0] == 0 ||
                           std::strcmp(comment, GroupText(kGroupLayoutTemplates, kItemDefaultComment)) == 0 ||
                           std::strcmp(comment, GroupText(kGroupLayoutTemplates, kItemFolderComment)) == 0;
    const bool same = tool->toolText ? std::strcmp(tool->toolText, comment) == 0 : isDefault;
    if (!same) {
        FreeMemory(tool->toolText);
        tool->toolText = nullptr;
        if (!isDefault) {
            tool->toolText = comment;
            comment = nullptr;
        }
    }
    FreeMemory(comment);
}

void ShowToolStatus(Sketch* tool, void* name) {
    if (!tool || tool != gPlay.tool) return;
    const char* text = static_cast<const char*>(name);
    if (!text) text = tool->title;
    if (!text || !text[0]) {
        SetScriptViewCaption(GroupText(kGroupLayoutTemplates, kItemEmptyCaption));
        return;
    }
    char caption[300];
    std::snprintf(caption, sizeof caption, "%s", GroupText(kGroupLayoutTemplates, kItemCaption));
    const char* args[1] = { text };
    SubstituteCaretArgs(caption, args, 1, sizeof caption, false);
    SetScriptViewCaption(caption);
}

Sketch* GetPlaybackTool(EngineDocument** owner) {
    if (owner) *owner = gPlay.owner;
    return gPlay.tool;
}
int32_t PlaybackMode() { return gPlay.mode; }
int32_t PlaybackMatchIndex() { return gPlay.matchIndex; }
int32_t ToolScriptRowCount() { return gPlay.rowCount; }
int32_t ToolScriptHeaderRows() { return gPlay.headerRows; }
int32_t NextToolStep() { return Stepping() ? gPlay.nextStep : 0; }

// ---- Matching ---------------------------------------------------------------------------------

void RefreshGivenMatch() {
    ProcessPendingStop();
    if (Stepping() && gPlay.target != FrontSketch()) FinishPlayback(false, false);
    if (gPlay.mode != kPlaybackMatching || !gPlay.tool) return;
    const Sketch* tool = gPlay.tool;
    Sketch* front = FrontSketch();
    int32_t match = 0;
    if (front) {
        const int32_t givens = GivenCount(tool);
        // Oldest selected first: the list holds the most recent first. The walk stops at
        // the first mismatch, so it looks at no more than givens + 1 objects; the
        // census calls it, and commands chain the selection through tempLink meanwhile.
        int32_t selected = 0;
        for (SketchObject* o = front->selectionHead; o; o = o->nextSelected) ++selected;
        bool leftover = false;
        for (int32_t k = 0; k < selected; ++k) {
            SketchObject* s = front->selectionHead;
            for (int32_t i = 0; i < selected - 1 - k; ++i) s = s->nextSelected;
            bool matched = false;
            while (match < givens) {
                const SketchObject* given = Given(tool, match);
                const int32_t kind = GivenKindOf(tool, given);
                if (KindIsA(s->objectKind, kind)) {
                    ++match;
                    matched = true;
                    break;
                }
                if (kind == kKindCoordinateSystem && IsAssumed(given)) {
                    ++match;
                    continue;
                }
                break;
            }
            if (!matched) {
                leftover = true;
                break;
            }
        }
        while (!leftover && match < givens) {
            const SketchObject* given = Given(tool, match);
            if (GivenKindOf(tool, given) != kKindCoordinateSystem || !IsAssumed(given)) break;
            ++match;
        }
        if (leftover) match = -1;
    }
    if (match != gPlay.matchIndex) {
        gPlay.matchIndex = match;
        RefreshViewState();
    }
}

void ChooseGivenRow(Sketch* tool, int32_t index, bool mayConstruct) {
    if (tool != gPlay.tool) return;
    FinishPlayback(false, false);
    if (index < 0) {
        gPlay.mode = kPlaybackMatching;
        gPlay.matchIndex = -1;
        RefreshGivenMatch();
    } else {
        gPlay.mode = kPlaybackInUse;
        gPlay.matchIndex = index;
        gPlay.clickMayConstruct = mayConstruct;
    }
    RefreshScriptViewStatus();
    UpdateScriptStepList(0, index >= 0 ? RowOfObject(Given(tool, index)) : 0);
}

void ToolPlaybackState(bool* nextPossible, char* text, uint32_t size) {
    *nextPossible = false;
    if (size) text[0] = 0;
    ProcessPendingStop();
    if (!FrontSketch() || !gPlay.tool) return;
    if (Stepping()) {
        *nextPossible = true;
        return;
    }
    const int32_t givens = GivenCount(gPlay.tool);
    if (gPlay.mode == kPlaybackMatching && gPlay.matchIndex == givens) {
        *nextPossible = StepCount(gPlay.tool) > 0;
        return;
    }
    int32_t next = gPlay.matchIndex < 0 ? 0 : gPlay.matchIndex;
    if (next >= givens) return;
    BuildStatus(next, text, size);
}

// ---- Stepping ------------------------------------------------------------------------------------

void ApplyNextToolStep(bool all) {
    ProcessPendingStop();
    if (!gPlay.tool) return;
    if (gPlay.mode == kPlaybackInUse) return;
    if (gPlay.mode == kPlaybackMatching && !BeginStepping()) return;
    Sketch* target = gPlay.target;
    CurrentSketchScope scope(target);
    DeselectAll();
    int32_t every = 1, sinceRefresh = 0;
    bool repeat = true;
    while (repeat && Stepping()) {
        if (gPlay.nextStep >= gPlay.map.objectCount) {  // the sketch skipped past the last step
            FinishPlayback(true, true);
            break;
        }
        if (all && PollUserAbort(kAbortOnKey | kAbortOnClick)) all = false;
        if (!ApplyOneStep(all)) break;
        SketchObject* made = gPlay.map.entries[gPlay.nextStep].copy;
        ++gPlay.nextStep;
        if (gPlay.nextStep < gPlay.map.objectCount) {
            if (made) MarkObject(kMarkCategoryToolPlayback, made, false);
            if (++sinceRefresh >= every) {
                sinceRefresh = 0;
                RefreshWhileStepping(!all);
                // Past the hundredth object a long run redraws ever more rarely.
                if (all && gPlay.nextStep > kManyObjects) ++every;
            }
        } else {
            if (made) MarkObject(kMarkCategoryToolPlayback, made, false);
            const uint32_t end = TickCount() + kEndPauseMs;
            do {
                RunIdleTasks();
                FlushPendingRedraw(0);
            } while (static_cast<int32_t>(end - TickCount()) > 0);
            FinishPlayback(true, true);
            break;
        }
        repeat = all;
    }
}

void ToolPlaybackFinish(bool hide, bool select) { FinishPlayback(hide, select); }
void ToolPlaybackFinish() { FinishPlayback(false, false); }
bool ToolPlaybackStepping() {
    ProcessPendingStop();
    return Stepping();
}
bool ToolPlaybackPlaying() { return ToolPlaybackStepping(); }
void StopToolPlayback() {
    gPlay.stopPending = false;
    if (Stepping()) FinishPlayback(false, false);
}

bool ToolPlaybackObjectGone(SketchObject* object, int32_t code) {
    if (!Stepping()) return true;
    const int32_t objects = gPlay.map.objectCount;
    switch (code) {
    case 0:  // deleted: later steps cannot use it
        for (int32_t i = gPlay.nextStep; i < objects; ++i)
            if (gPlay.map.entries[i].copy == object) gPlay.map.entries[i].copy = nullptr;
        break;
    case 1:
        gPlay.stopPending = true;
        break;
    case 2: {
        int32_t at = -1;
        for (int32_t i = gPlay.map.givenCount; i < gPlay.nextStep; ++i)
            if (gPlay.map.entries[i].copy == object) at = i;
        if (at < 0) break;
        if (at <= gPlay.map.givenCount) {
            gPlay.stopPending = true;
        } else {
            for (int32_t i = at; i < gPlay.nextStep; ++i) gPlay.map.entries[i].copy = nullptr;
            gPlay.nextStep = at;
        }
        break;
    }
    case 3:
        ++gPlay.nextStep;
        while (gPlay.nextStep < objects && (gPlay.map.entries[gPlay.nextStep].flags & kEntryGiven)) ++gPlay.nextStep;
        break;
    default:
        break;
    }
    return true;
}

bool HoverToolScriptRow(int32_t row) {
    if (auto later = LaterForms().engine.highlightStepRow) return later(row);
    return false;
}

int32_t ToolStepIndexOfRow(int32_t row) {
    if (!Stepping() || row <= gPlay.headerRows || row > gPlay.rowCount) return -1;
    const SketchObject* step = StepObject(gPlay.tool, row - gPlay.headerRows - 1);
    for (int32_t i = gPlay.map.givenCount; step && i < gPlay.map.objectCount; ++i)
        if (gPlay.map.sources[i] == step) return i;
    return -1;
}

SketchObject* SteppedObject(int32_t index, Sketch** target) {
    if (target) *target = Stepping() ? gPlay.target : nullptr;
    if (!Stepping() || index < 0 || index >= gPlay.map.objectCount) return nullptr;
    return gPlay.map.entries[index].copy;
}

bool ConfirmDeleteWhileStepping() {
    if (!ToolPlaybackStepping()) return true;
    if (!AskQuestion(GroupText(kGroupAlerts, 124), GroupText(kGroupAlerts, 125), kQuestionYesNo, 0, 1)) return false;
    FinishPlayback(false, false);
    return true;
}

void MarkToolModified() {
    if (!gPlay.tool) return;
    if (gPlay.owner) {
        SetDocumentModified(gPlay.owner, true);
        return;
    }
    if (gPlay.warnedToolFolder) return;
    gPlay.warnedToolFolder = true;
    ShowAlertByCode(150, 0);
}

// ---- Rows -------------------------------------------------------------------------------------

int32_t RowOfObject(const SketchObject* object) {
    const Sketch* tool = gPlay.tool;
    if (!tool || !object) return 0;
    const int32_t given = GivenIndexOf(object);
    if (given >= 0) {
        const bool second = TwoGroups(tool) && given >= AssumedCount(tool);
        return given + (second ? 4 : 2);
    }
    for (int32_t i = 0; i < gObjects.stepCount; ++i)
        if (gObjects.steps[i] == object) return gPlay.headerRows + i + 1;
    return 0;
}

bool DescribeToolScriptRow(int32_t row, ToolScriptRow* out) {
    *out = ToolScriptRow{ 0, -1, 0, nullptr, kRowPlain };
    const Sketch* tool = gPlay.tool;
    if (!tool || row < 1 || row > gPlay.rowCount) return false;
    const int32_t givens = GivenCount(tool);
    const int32_t assumed = AssumedCount(tool);
    const bool two = TwoGroups(tool);
    if (row == 1) {
        out->templateItem = assumed > 0 ? kItemAssuming : kItemGiven;
        return true;
    }
    if (row == gPlay.headerRows - 1) {
        out->separator = kSeparatorBeforeSteps;
        return true;
    }
    if (row == gPlay.headerRows) {
        out->templateItem = kItemSteps;
        return true;
    }
    if (row < gPlay.headerRows) {
        int32_t given = row - 2;
        if (two && given == assumed) {
            out->separator = kSeparatorBetweenGroups;
            return true;
        }
        if (two && given == assumed + 1) {
            out->templateItem = kItemGiven;
            return true;
        }
        if (two && given > assumed) given -= 2;
        if (given < 0 || given >= givens) return false;
        SketchObject* o = Given(tool, given);
        out->givenIndex = given;
        out->object = o;
        out->templateItem = GivenKindOf(tool, o) == kKindCoordinateSystem && IsAssumed(o) ? kItemMarkedSystem
                                                                                          : kItemGivenRow;
        if (gPlay.mode == kPlaybackMatching && given < gPlay.matchIndex) out->highlight = kRowDone;
        if (gPlay.mode == kPlaybackInUse) {
            if (given == gPlay.matchIndex) out->highlight = kRowCurrent;
            else if (given < gPlay.matchIndex) out->highlight = kRowDone;
        }
        return true;
    }
    const int32_t step = row - gPlay.headerRows - 1;
    out->object = StepObject(tool, step);
    if (!out->object) return false;
    if (gPlay.mode == kPlaybackMatching && gPlay.matchIndex == givens && step == 0) out->highlight = kRowCurrent;
    if (Stepping()) {
        const int32_t index = givens + step;
        if (index < gPlay.nextStep) out->highlight = kRowDone;
        else if (index == gPlay.nextStep) out->highlight = kRowCurrent;
    }
    return true;
}

LayoutNode* ToolScriptRowLayout(int32_t row) {
    ToolScriptRow r{};
    if (!DescribeToolScriptRow(row, &r) || r.separator != 0) return nullptr;
    // The tool's objects keep their lists in its arena.
    CurrentSketchScope scope(gPlay.tool);
    if (!r.object) return ExpandDescriptionTemplate(0, nullptr, GroupText(kGroupLayoutTemplates, r.templateItem));
    if (r.givenIndex >= 0)
        return ExpandDescriptionTemplate(r.givenIndex + 1, r.object, GroupText(kGroupLayoutTemplates, r.templateItem));
    return BuildObjectDescriptionLayout(row - gPlay.headerRows, r.object);
}

void GivenPropertiesChanged(SketchObject* given, bool modified) {
    if (!gPlay.tool || GivenIndexOf(given) < 0) return;
    if (modified) MarkToolModified();
    {
        CurrentSketchScope scope(gPlay.tool);
        SortToolGivens(gPlay.tool);
    }
    ComputeRows();
    UpdateScriptStepList(gPlay.rowCount, 0);
    gPlay.matchIndex = -2;  // the refresh below tells the view
    RefreshGivenMatch();
}

ToolStepOffers ToolStepKind(const SketchObject* object) {
    if (!object || !gPlay.tool) return {};
    if (GivenIndexOf(object) >= 0) return { false, false, false, true };
    const ObjectClassRecord& row = ObjectClassTable[object->objectClass];
    return { object->constructionType != kTypeParametricColor, row.hasLineStyle != 0, row.traceable != 0, true };
}

void ToolStepProperties(SketchObject* object) {
    if (!object || !gPlay.tool) return;
    EndToolInProgress();
    CurrentSketchScope scope(gPlay.tool);
    OpenObjectProperties(object);
}

SketchObject* ToolScriptRowIsGiven(int32_t row, bool* draggable) {
    ToolScriptRow r{};
    *draggable = false;
    if (!DescribeToolScriptRow(row, &r) || r.givenIndex < 0) return nullptr;
    *draggable = GivenCount(gPlay.tool) > 1 && gPlay.mode != kPlaybackInUse;
    return r.object;
}

void MoveGivenToward(SketchObject* given, SketchObject* other, int32_t* rowCount) {
    Sketch* tool = gPlay.tool;
    if (rowCount) *rowCount = gPlay.rowCount;
    if (!tool || given == other) return;
    const int32_t from = GivenIndexOf(given);
    const int32_t to = GivenIndexOf(other);
    if (from < 0 || to < 0) return;
    EndToolInProgress();
    StopToolPlayback();
    const int32_t step = to > from ? 1 : -1;
    SketchObject* neighbour = Given(tool, from + step);
    if (IsAssumed(given) == IsAssumed(neighbour)) {
        CurrentSketchScope scope(tool);
        void** items = PtrListData(tool->givenList);
        items[from] = neighbour;
        items[from + step] = given;
    } else {
        // At the border of the groups the given changes group: it takes over the flag.
        given->label.useInTools = IsAssumed(neighbour) ? 1 : 0;
    }
    {
        CurrentSketchScope scope(tool);
        SortToolGivens(tool);
    }
    MarkToolModified();
    ComputeRows();
    if (rowCount) *rowCount = gPlay.rowCount;
    UpdateScriptStepList(gPlay.rowCount, 0);
    gPlay.matchIndex = -2;  // forces the refresh below to tell the view
    RefreshGivenMatch();
}

int32_t RowAtScrollOffset(int32_t fromRow, int32_t pixels, int32_t minimum, RowMetricsFn metrics, void* user) {
    const int32_t rows = gPlay.rowCount;
    if (rows <= 0) return 0;
    int32_t row = fromRow < 1 ? 1 : fromRow > rows ? rows : fromRow;
    const int32_t direction = pixels < 0 ? -1 : 1;
    int32_t left = pixels < 0 ? -pixels : pixels;
    while (left > 0) {
        const int32_t next = row + direction;
        if (next < 1 || next > rows) break;
        // Rows are reached at their tops: going down passes the row left, going up the
        // row entered.
        const int32_t passed = direction > 0 ? row : next;
        int32_t ascent = 0, descent = 0, height = 4;
        if (metrics && metrics(passed, &ascent, &descent, user)) {
            height = (ascent < minimum ? minimum : ascent) + (descent < minimum ? minimum : descent);
        }
        if (left < height) break;
        left -= height;
        row = next;
    }
    return row;
}

int32_t WidestToolRow(RowWidthFn measure, void* user) {
    if (gPlay.widestRow != 0 || !measure) return gPlay.widestRow;
    int32_t widest = 0;
    for (int32_t row = 1; row <= gPlay.rowCount; ++row) {
        const int32_t width = measure(row, user);
        if (width > widest) widest = width;
    }
    gPlay.widestRow = widest;
    return widest;
}
