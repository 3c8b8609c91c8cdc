// Feeds outside bytes to custom-tool playback as a tool's body: the tool is matched to a
// fixed selection of a page, applied step by step and then all at once, and run by
// clicks with the mouse. Whatever the tool holds, the page keeps only whole objects and
// every step taken can be undone.
#include <cstddef>
#include <cstdint>

#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/document_io.h"
#include "engine/core/sketch.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/custom_tools.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/mouse.h"
#include "engine/interact/tool_playback.h"
#include "engine/interact/undo.h"
#include "tests/support/alerts_double.h"
#include "tests/support/clock_double.h"
#include "tests/support/views_double.h"

namespace {

void AdvanceClock(int32_t) { AdvanceTestTickCount(25); }

SketchObject* Point(double x, double y) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (p) SetPointPosition(p, x, y, 1, nullptr, false);
    return p;
}

SketchObject* Build(int32_t type, SketchObject* a, SketchObject* b) {
    if (!a || !b) return nullptr;
    PtrList parents = 0;
    if (!PtrListAppend(&parents, a) || !PtrListAppend(&parents, b)) {
        FreePtrList(&parents);
        return nullptr;
    }
    SketchObject* o = ConstructObject(type, nullptr, parents, 0, true, false, nullptr);
    if (o) RecomputeObject(o, nullptr, true);
    return o;
}

int32_t CountObjects(const Sketch* sketch) {
    int32_t n = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++n;
    return n;
}

void UndoAll(Sketch* page) {
    for (int32_t guard = 0; page->undoPosition && guard < 10000; ++guard)
        if (UndoReplay(kUndoDirectionUndo) != kResultOK) break;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 16)) return 0;
    InitStreamTable();
    ResetAlertDoubles();
    ScriptQuestionAnswers({}, true);
    SetRedrawFlushCallback(AdvanceClock);

    StreamHandle stream = 0;
    if (OpenMemoryStreamCopy(data, static_cast<uint32_t>(size), &stream) != kResultOK) return 0;
    Sketch* tool = nullptr;
    ReadSketch(stream, &tool, nullptr, kCurrentPartialFormat);
    DiscardStream(stream);
    if (!tool) return 0;

    Sketch* page = CreateSketch(0, nullptr);
    if (!page) {
        FreeSketch(tool);
        return 0;
    }
    Sketch* previous = nullptr;
    SetCurrentSketch(page, &previous);
    gEngine.frontSketch = page;
    gEngine.currentIsFront = 1;
    page->windowRect = { 0, 0, 640, 480 };
    SketchObject* a = Point(100, 100);
    SketchObject* b = Point(300, 120);
    SketchObject* c = Point(200, 300);
    SketchObject* ac = Build(kTypeSegment, a, c);
    SketchObject* circle = Build(kTypeCircleByPoint, c, a);
    const int32_t before = CountObjects(page);

    ShowToolInScriptView(tool, nullptr);
    // The kinds the givens ask for, in order.
    constexpr int32_t kMostGivens = 16;
    int32_t kinds[kMostGivens] = {};
    int32_t givens = 0;
    {
        CurrentSketchScope scope(tool);
        int32_t count = 0;
        void** items = tool->givenList ? PtrListItems(tool->givenList, &count) : nullptr;
        for (int32_t i = 0; i < count && givens < kMostGivens; ++i)
            if (items[i]) kinds[givens++] = EffectiveKind(static_cast<SketchObject*>(items[i]));
    }
    SketchObject* pool[] = { a, b, c, ac, circle };
    for (int32_t round = 0; round < 2; ++round) {
        // The selection that fits the givens as far as the page's objects allow.
        DeselectAll();
        bool used[5] = {};
        for (int32_t g = 0; g < givens; ++g) {
            for (int32_t i = 0; i < 5; ++i) {
                if (used[i] || !pool[i] || !KindIsA(pool[i]->objectKind, kinds[g])) continue;
                used[i] = true;
                SelectSketchObject(pool[i]);
                break;
            }
        }
        RefreshGivenMatch();
        if (round == 0) {
            for (int32_t steps = 0; steps < 4096; ++steps) {
                ApplyNextToolStep(false);
                if (PlaybackMode() != kPlaybackStepping) break;
            }
        } else {
            ApplyNextToolStep(true);
        }
        StopToolPlayback();
        UndoAll(page);
        if (CountObjects(page) != before) __builtin_trap();
    }

    if (SelectCustomToolSketch(tool)) {
        const ScreenPoint clicks[] = { { 100, 100 }, { 400, 200 }, { 300, 120 }, { 50, 400 }, { 200, 300 } };
        for (const ScreenPoint& p : clicks) {
            SketchMouseHover(0, p, 0);
            SketchMouseDown(0, p);
            SketchMouseUp(0, p);
        }
        EndToolInProgress();
        UndoAll(page);
        if (CountObjects(page) != before) __builtin_trap();
    }
    SetCurrentTool(kToolTranslateArrow);
    ResetMouseState();
    ShowToolInScriptView(nullptr, nullptr);
    FreeSketch(tool);
    gEngine.frontSketch = nullptr;
    gEngine.currentIsFront = 0;
    SetCurrentSketch(previous, nullptr);
    FreeSketch(page);
    SetRedrawFlushCallback(nullptr);
    return 0;
}
