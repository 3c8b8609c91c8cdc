// A sketch in front with the default toolbox, driven through the mouse handling as the
// sketch view drives it, and custom tools to run in it.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/paths.h"
#include "engine/core/points.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/mouse.h"
#include "engine/interact/toolbox.h"
#include "engine/interact/undo.h"
#include "tests/support/clock_double.h"

class ToolRun : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(1000);
        Front(sketch);
        ToolboxEntry* previous = nullptr;
        ASSERT_EQ(InstallToolbox(CopyDefaultToolboxLayout(), &previous), kResultOK);
        FreeMemory(previous);
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        EndToolInProgress();
        ResetMouseState();
        ToolboxEntry* previous = nullptr;
        InstallToolbox(nullptr, &previous);
        FreeMemory(previous);
        if (toolSketch) FreeSketch(toolSketch);
        Front(nullptr);
        SketchTest::TearDown();
    }

    static void Front(Sketch* s) {
        gEngine.frontSketch = s;
        gEngine.currentIsFront = s != nullptr && s == gEngine.currentSketch;
    }

    static void Hover(int x, int y, uint32_t flags = 0) {
        SketchMouseHover(flags, { int16_t(x), int16_t(y) }, 0);
    }
    static void Down(int x, int y, uint32_t flags = 0) { SketchMouseDown(flags, { int16_t(x), int16_t(y) }); }
    static void Up(int x, int y, uint32_t flags = 0) { SketchMouseUp(flags, { int16_t(x), int16_t(y) }); }
    static void Click(int x, int y, uint32_t flags = 0) {
        Hover(x, y, flags);
        Down(x, y, flags);
        Up(x, y, flags);
    }

    // Objects of a class the run made for good or matched (hit tests pass over its
    // provisional ones).
    std::vector<SketchObject*> OfClass(int32_t objectClass) const {
        std::vector<SketchObject*> out;
        for (SketchObject* o : SketchOrder())
            if (o->objectClass == objectClass && !IsExcludedFromHits(o)) out.push_back(o);
        return out;
    }

    std::string UndoText() {
        char text[256];
        BuildUndoMenuText(text, 50);
        return text;
    }

    static std::string Prompt() {
        char text[256];
        ToolPromptText(text, sizeof text);
        return text;
    }

    // The run's provisional point: hit tests pass over it.
    SketchObject* Provisional() const {
        for (SketchObject* o : SketchOrder())
            if (IsExcludedFromHits(o) && o->objectClass == kClassPoint) return o;
        return nullptr;
    }

    static void Label(SketchObject* o, const char* text, bool assumed) {
        std::memset(o->label.text.inlineText, 0, 4);
        std::memcpy(o->label.text.inlineText, text, std::strlen(text));
        o->label.level = 7;
        o->label.shown = 1;
        o->label.useInTools = assumed ? 1 : 0;
    }

    // A custom tool: given points A (assumed, labelled "A"), B and C; steps the segments
    // AB and BC. Named "Two Sides".
    // A new tool sketch made current; answers the sketch that was.
    Sketch* BeginToolSketch() {
        toolSketch = CreateSketch(0, nullptr);
        EXPECT_NE(toolSketch, nullptr);
        Sketch* main = nullptr;
        SetCurrentSketch(toolSketch, &main);
        return main;
    }

    void MakeTwoSidesTool() {
        Sketch* main = BeginToolSketch();
        SketchObject* a = PointAt(0, 0);
        SketchObject* b = PointAt(50, 0);
        SketchObject* c = PointAt(50, 50);
        Label(a, "A", true);
        Build(kTypeSegment, { a, b });
        Build(kTypeSegment, { b, c });
        for (SketchObject* g : { a, b, c }) ASSERT_TRUE(PtrListAppend(&toolSketch->givenList, g));
        ASSERT_EQ(SetSketchTitle(toolSketch, "Two Sides"), kResultOK);
        SetCurrentSketch(main, nullptr);
    }

    // A custom tool: given points A and B; steps the segment AB and a point on it.
    void MakePointOnSideTool() {
        Sketch* main = BeginToolSketch();
        SketchObject* a = PointAt(0, 0);
        SketchObject* b = PointAt(50, 0);
        SketchObject* ab = Build(kTypeSegment, { a, b });
        PathParameterBlock block{};
        const PathMethods* row = PathMethodsOf(ab);
        row->setParameter(ab, 0.5, &block);
        PtrList data = 0;
        const int32_t words = static_cast<int32_t>((row->parameterWords * 4 + sizeof(void*) - 1) / sizeof(void*));
        ASSERT_TRUE(AllocPtrList(words, words, &data));
        std::memcpy(PtrListData(data), &block, row->parameterWords * 4);
        ASSERT_NE(Build(kTypePointOnPath, { ab }, nullptr, data), nullptr);
        for (SketchObject* g : { a, b }) ASSERT_TRUE(PtrListAppend(&toolSketch->givenList, g));
        SetCurrentSketch(main, nullptr);
    }

    Sketch* toolSketch = nullptr;
};
