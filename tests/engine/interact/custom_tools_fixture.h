// A sketch in front with the default toolbox, the script view's doubles and custom tools
// made from selections: the setting of the custom-tool tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/marks.h"
#include "engine/core/services/calculator.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/memory.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/tool_list.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/custom_tools.h"
#include "engine/interact/custom_tool_library.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/object_commands.h"
#include "engine/interact/tool_playback.h"
#include "engine/interact/toolbox.h"
#include "engine/interact/undo.h"
#include "engine/text/layout.h"
#include "tests/support/alerts_double.h"
#include "tests/support/calculator_double.h"
#include "tests/support/clock_double.h"
#include "tests/support/custom_tool_doubles.h"
#include "tests/support/document_services_double.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/views_double.h"

inline void AdvanceClockOnFlush(int32_t) { AdvanceTestTickCount(20); }

class CustomTools : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        SetTestTickCount(1000);
        Front(sketch);
        ResetAlertDoubles();
        ResetScriptView();
        ResetViewRequests();
        SetRedrawFlushCallback(AdvanceClockOnFlush);
        RecordedDocumentServices().openDocuments.clear();
        ToolboxEntry* previous = nullptr;
        ASSERT_EQ(InstallToolbox(CopyDefaultToolboxLayout(), &previous), kResultOK);
        FreeMemory(previous);
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        ShowToolInScriptView(nullptr, nullptr);
        EndToolInProgress();
        SetCurrentTool(kToolTranslateArrow);
        ToolboxEntry* previous = nullptr;
        InstallToolbox(nullptr, &previous);
        FreeMemory(previous);
        for (EngineDocument* d : documents) FreeEngineDocument(d);
        for (Sketch* t : tools) FreeSketch(t);
        FreeToolFolderList();
        gEngine.frontDocument = nullptr;
        RecordedDocumentServices().openDocuments.clear();
        RecordedDocumentServices().windowTitles.clear();
        SetRedrawFlushCallback(nullptr);
        Front(nullptr);
        SketchTest::TearDown();
    }

    static void Front(Sketch* s) {
        gEngine.frontSketch = s;
        gEngine.currentIsFront = s != nullptr && s == gEngine.currentSketch;
    }

    void Select(std::initializer_list<SketchObject*> objects) {
        DeselectAll();
        for (SketchObject* o : objects) SelectSketchObject(o);
    }

    // A tool's lists are read with the tool current: they live in its own arena.
    static int32_t Givens(Sketch* tool) {
        CurrentSketchScope scope(tool);
        int32_t n = 0;
        if (tool->givenList) PtrListItems(tool->givenList, &n);
        return n;
    }
    static int32_t Objects(const Sketch* tool) {
        int32_t n = 0;
        for (SketchObject* o = tool->firstObject; o; o = o->nextInSketch) ++n;
        return n;
    }
    static int32_t KindOfGiven(Sketch* tool, int32_t i) {
        CurrentSketchScope scope(tool);
        auto* given = static_cast<SketchObject*>(PtrListItem(tool->givenList, i));
        return EffectiveKind(given);
    }

    // A tool made from the current selection under a scripted name.
    Sketch* MakeTool(const char* name = "Tool") {
        ScriptNewToolNames({ name });
        Sketch* tool = nullptr;
        EXPECT_EQ(MakeToolFromSelection(&tool), kResultOK);
        if (tool) tools.push_back(tool);
        return tool;
    }

    // The tool "Mid" (given two points; steps their segment and its midpoint), shown in
    // the Script View.
    Sketch* ShowMidpointTool() {
        SketchObject* a = PointAt(0, 0);
        SketchObject* b = PointAt(100, 0);
        SketchObject* ab = Build(kTypeSegment, { a, b });
        SketchObject* mid = Build(kTypeMidpoint, { ab });
        Select({ a, b, ab, mid });
        Sketch* tool = MakeTool("Mid");
        ShowToolInScriptView(tool, nullptr);
        return tool;
    }

    EngineDocument* NewDocument(const char* title) {
        EngineDocument* d = nullptr;
        EXPECT_EQ(CreateEngineDocument(&d, nullptr), kResultOK);
        void* page = nullptr;
        EXPECT_EQ(AddDocumentItem(d, &page, kDocumentItemPage, nullptr), kResultOK);
        documents.push_back(d);
        RecordedDocumentServices().openDocuments.push_back(d);
        RecordedDocumentServices().windowTitles[d] = title;
        return d;
    }
    // Hands a tool over to a document's list.
    void GiveTool(EngineDocument* d, Sketch* tool) {
        for (auto it = tools.begin(); it != tools.end(); ++it)
            if (*it == tool) {
                tools.erase(it);
                break;
            }
        ASSERT_EQ(InsertDocumentItem(d, tool, kDocumentItemTool, nullptr), kResultOK);
    }

    int32_t CountClass(int32_t objectClass) {
        int32_t n = 0;
        for (SketchObject* o : SketchOrder())
            if (o->objectClass == objectClass) ++n;
        return n;
    }

    std::string Status() {
        bool next = false;
        char text[512];
        ToolPlaybackState(&next, text, sizeof text);
        return text;
    }

    std::vector<Sketch*> tools;
    std::vector<EngineDocument*> documents;
};
