// Making custom tools, the tool library and its menu, the tool folder, and playing a
// tool step by step into the front sketch.
#include "engine/interact/custom_tools.h"

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
#include "custom_tools_fixture.h"

// ---- Making --------------------------------------------------------------------------------------

TEST_F(CustomTools, SelectionDefinesGivensAndSteps) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    SketchObject* rim = PointAt(200, 50);
    SketchObject* circle = Build(kTypeCircleByPoint, { b, rim });

    struct Case { const char* name; std::vector<SketchObject*> selection; ResultCode rc; int32_t givens, objects; };
    const Case cases[] = {
        { "two points and their segment", { a, b, ab }, kResultOK, 2, 3 },
        { "a midpoint alone", { mid }, kResultNoToolDefined, 0, 0 },
        { "a circle through a given point", { b, rim, circle }, kResultOK, 2, 3 },
        { "the segment's endpoints and its midpoint (segment unselected)", { a, b, mid }, kResultOK, 2, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeselectAll();
        for (SketchObject* o : c.selection) SelectSketchObject(o);
        ScriptNewToolNames({ "T" });
        Sketch* tool = nullptr;
        EXPECT_EQ(MakeToolFromSelection(&tool), c.rc);
        if (!tool) continue;
        tools.push_back(tool);
        EXPECT_EQ(Givens(tool), c.givens);
        EXPECT_EQ(Objects(tool), c.objects);
        for (int32_t g = 0; g < Givens(tool); ++g) EXPECT_EQ(KindOfGiven(tool, g), kKindPoint);
        EXPECT_STREQ(tool->title, "T");
        for (SketchObject* o : SketchOrder()) EXPECT_EQ(o->traversalStamp, 0u);
    }
    // The unselected segment was an intermediate step: it is not selected afterwards.
    EXPECT_FALSE(IsSelected(ab));
    EXPECT_TRUE(IsSelected(mid));
}

TEST_F(CustomTools, TheImplicitParentIsTakenInAsAGiven) {
    bool created = false;
    SketchObject* system = GetCoordinateSystem(0, true, &created);
    ASSERT_NE(system, nullptr);
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindFunction, 0 };
    SketchObject* function = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(function, nullptr);
    SketchObject* plot = Build(kTypeFunctionPlot, { function, system });
    ASSERT_NE(plot, nullptr);
    Select({ function, plot });
    Sketch* tool = MakeTool();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(Givens(tool), 2);
    EXPECT_EQ(Objects(tool), 3);
}

TEST_F(CustomTools, ObjectsThatDoNotExistAreIncludedOnlyWhenTheUserSaysSo) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    SketchObject* other = Build(kTypeCircleByPoint, { a, b });
    mid->exists = 0;
    other->exists = 0;
    for (bool yes : { true, false }) {
        SCOPED_TRACE(yes);
        ResetAlertDoubles();
        ScriptQuestionAnswers({ yes });
        Select({ a, b, ab });
        Sketch* tool = MakeTool();
        ASSERT_NE(tool, nullptr);
        ASSERT_EQ(AskedQuestions().size(), 1u);  // once for both
        EXPECT_EQ(AskedQuestions()[0].code, kQuestionIncludeMissing);
        EXPECT_EQ(Objects(tool), yes ? 5 : 3);
    }
}

TEST_F(CustomTools, CancellingTheNameMakesNothingAndGivesTheViewItsToolBack) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    Select({ a, b, ab });
    Sketch* first = MakeTool("First");
    ShowToolInScriptView(first, nullptr);
    ScriptNewToolNames({});
    Sketch* tool = nullptr;
    EXPECT_EQ(MakeToolFromSelection(&tool), kResultCancelled);
    EXPECT_EQ(tool, nullptr);
    EXPECT_EQ(GetPlaybackTool(nullptr), first);
    EXPECT_TRUE(ShownAlerts().empty());
}

TEST_F(CustomTools, KindsMeetInTheLattice) {
    struct Case { int32_t a, b, met; };
    const Case cases[] = {
        { kKindObject, kKindPoint, kKindPoint },
        { kKindSegment, kKindStraight, kKindSegment },
        { kKindPoint, kKindSegment, kKindNoAgreement },
        { kKindCurve, kKindCircleUnion, kKindCircle },            // only the circle is a curve
        { kKindObject, kKindCircleUnion, kKindCircleUnion },      // both members fit
        { kKindCircleUnion, 72, kKindCircleUnion },               // the union inside the other
        { kKindDistanceUnion, kKindCircleUnion, kKindNoAgreement },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " " << c.b);
        EXPECT_EQ(CombineToolKinds(c.a, c.b), c.met);
        EXPECT_EQ(CombineToolKinds(c.b, c.a), c.met);
    }
}

TEST_F(CustomTools, MakingSurvivesAllocationFailureAtEveryStep) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    Build(kTypeMidpoint, { ab });
    for (uint32_t n = 1; n < 200; ++n) {
        SCOPED_TRACE(n);
        Select({ a, b, ab });
        ScriptNewToolNames({ "T" });
        const uint64_t before = AllocRequestCount();
        SetAllocFailureAfter(n);
        Sketch* tool = nullptr;
        const ResultCode rc = MakeToolFromSelection(&tool);
        const bool failed = AllocRequestCount() - before >= n;
        SetAllocFailureAfter(0);
        if (tool) tools.push_back(tool);
        for (SketchObject* o : SketchOrder()) EXPECT_EQ(o->traversalStamp, 0u);
        if (!failed) {
            EXPECT_EQ(rc, kResultOK);
            break;
        }
        EXPECT_TRUE(rc == kResultOK || rc == kResultOutOfMemory) << rc;
    }
}

// A tool that comes from outside is not trusted: its given kinds are recomputed from its
// steps before it is used. (The document reader already refuses most stored parents of
// the wrong kind; the kind table of a tool in memory is damaged here by hand.)
TEST_F(CustomTools, ALooseGivenKindIsTightenedBeforeUse) {
    SketchObject* centre = PointAt(0, 0);
    SketchObject* rim = PointAt(50, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { centre, rim });
    Select({ centre, rim, circle });
    Sketch* tool = MakeTool("Circle");
    ASSERT_NE(tool, nullptr);
    for (int32_t i = 0; i < tool->givenKindCount; ++i) tool->givenKinds[i].kind = kKindObject;
    EngineDocument* d = NewDocument("d");
    GiveTool(d, tool);
    EXPECT_EQ(KindOfGiven(tool, 0), kKindObject);
    ASSERT_EQ(ToolSelectFromLibrary(DocumentToolList(d), 0), 1);
    EXPECT_EQ(KindOfGiven(tool, 0), kKindPoint);
    EXPECT_EQ(KindOfGiven(tool, 1), kKindPoint);
    EndToolInProgress();

    // The same when a table is missing entries: it is rebuilt for every given.
    tool->givenKindCount = 1;
    ShowToolInScriptView(nullptr, nullptr);
    ShowToolInScriptView(tool, d);
    EXPECT_EQ(tool->givenKindCount, 2);
    EXPECT_EQ(KindOfGiven(tool, 1), kKindPoint);
}

// ---- The library and its menu ---------------------------------------------------------------------

TEST_F(CustomTools, RemovingToolsKeepsTheCurrentOne) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    EngineDocument* d = NewDocument("d");
    for (const char* name : { "One", "Two", "Three" }) {
        Select({ a, b, ab });
        GiveTool(d, MakeTool(name));
    }
    ToolList* list = DocumentToolList(d);
    EXPECT_FALSE(UniqueToolName(list, "Two"));
    EXPECT_TRUE(UniqueToolName(list, "two"));
    ASSERT_EQ(ToolSelectFromLibrary(list, 2), 1);
    bool wasCurrent = true;
    RemoveToolFromLibrary(list, 0, &wasCurrent);  // an earlier entry
    EXPECT_FALSE(wasCurrent);
    ToolList* current = nullptr;
    int32_t index = -1;
    ASSERT_TRUE(GetCurrentCustomTool(&current, &index));
    EXPECT_EQ(index, 1);
    char name[64];
    ToolListName(current, index, name, sizeof name);
    EXPECT_STREQ(name, "Three");
    RemoveToolFromLibrary(list, 1, &wasCurrent);
    EXPECT_TRUE(wasCurrent);
    EXPECT_FALSE(GetCurrentCustomTool(&current, &index));
}

TEST_F(CustomTools, CreateNewToolAddsTheToolToTheFrontDocumentAndMakesItCurrent) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    EngineDocument* front = NewDocument("front");
    gEngine.frontDocument = front;

    Select({ mid });
    EXPECT_EQ(CreateNewToolCommand(), kResultNoToolDefined);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(ShownAlerts()[0].code, kResultNoToolDefined);
    EXPECT_EQ(ToolListCount(DocumentToolList(front)), 0);

    Select({ a, b, ab });
    ScriptNewToolNames({ "Side" });
    EXPECT_EQ(CreateNewToolCommand(), kResultOK);
    ASSERT_EQ(ToolListCount(DocumentToolList(front)), 1);
    EXPECT_TRUE(IsDocumentModified(front));
    ToolList* current = nullptr;
    int32_t index = -1;
    ASSERT_TRUE(GetCurrentCustomTool(&current, &index));
    EXPECT_EQ(current, DocumentToolList(front));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(CurrentToolId(), kToolCustom);
    EndToolInProgress();
}

TEST_F(CustomTools, AToolWhoseFileIsMissingIsRefused) {
    ToolList* list = CreateToolList(0, 0);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(ToolListAdd(&list, nullptr, 0));  // an empty slot
    EXPECT_EQ(ToolSelectFromLibrary(list, 0), 0);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(ShownAlerts()[0].code, kResultToolUnavailable);
    EXPECT_FALSE(GetCurrentCustomTool(nullptr, nullptr));
    FreeToolList(list);
}

TEST_F(CustomTools, GrowingAMovedListKeepsTheCurrentTool) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    EngineDocument* d = NewDocument("d");
    Select({ a, b, ab });
    GiveTool(d, MakeTool("First"));
    ASSERT_EQ(ToolSelectFromLibrary(DocumentToolList(d), 0), 1);
    for (int32_t i = 0; i < 12; ++i) {  // past the list's first capacity: it moves
        Select({ a, b, ab });
        char name[16];
        std::snprintf(name, sizeof name, "T%d", i);
        GiveTool(d, MakeTool(name));
    }
    ToolList* current = nullptr;
    ASSERT_TRUE(GetCurrentCustomTool(&current, nullptr));
    EXPECT_EQ(current, DocumentToolList(d));
}

TEST_F(CustomTools, TheMenuListsEachGroupUnderItsHeading) {
    // Copy menu with nothing open and no tool folder.
    ToolMenuModel copy{ 1, nullptr, nullptr };
    uint32_t counter = 100;
    RecordedPopupEntries().clear();
    ASSERT_EQ(BuildCustomToolMenu(RecordingPopupMenu(), &copy, &counter), 1);
    ASSERT_EQ(RecordedPopupEntries().size(), 1u);
    EXPECT_EQ(RecordedPopupEntries()[0].text, "No Tools Available");
    EXPECT_FALSE(RecordedPopupEntries()[0].enabled);
    FreeToolMenuEntry(&copy);

    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    EngineDocument* front = NewDocument("front");
    EngineDocument* other = NewDocument("triangles.yrn");
    gEngine.frontDocument = front;
    Select({ a, b, ab });
    GiveTool(front, MakeTool("Tool #1"));
    Select({ a, b, ab });
    GiveTool(other, MakeTool("Side"));
    ASSERT_EQ(ToolSelectFromLibrary(DocumentToolList(front), 0), 1);
    DeselectAll();

    ToolMenuModel model{ 0, nullptr, nullptr };
    RecordedPopupEntries().clear();
    ASSERT_EQ(BuildCustomToolMenu(RecordingPopupMenu(), &model, &counter), 1);
    std::vector<std::string> shape;
    for (const PopupEntry& e : RecordedPopupEntries()) {
        std::string row = e.kind == 0 ? "-" : e.text;
        if (e.kind == kPopupCommand && !e.enabled) row += " (grey)";
        if (e.checked) row += " (checked)";
        if (e.menu) row = ">" + row;
        shape.push_back(row);
    }
    const std::vector<std::string> expected = {
        "Create New Tool... (grey)", "Tool Options...", "Show Script View",
        "-", "--This Document--", "Tool #1 (checked)",
        "-", "--Other Documents--", "Triangles", ">Side",
    };
    EXPECT_EQ(shape, expected);

    // Choosing the other document's tool makes it current.
    uint32_t sideId = 0;
    for (const PopupEntry& e : RecordedPopupEntries())
        if (e.text == "Side") sideId = e.id;
    ChooseCustomToolFromMenu(sideId, &model, false);
    ToolList* current = nullptr;
    ASSERT_TRUE(GetCurrentCustomTool(&current, nullptr));
    EXPECT_EQ(current, DocumentToolList(other));
    EXPECT_EQ(CurrentToolId(), kToolCustom);
    FreeToolMenuEntry(&model);

    // The copy menu copies a tool into the target by a stored round trip.
    ToolMenuModel into{ 1, nullptr, front };
    RecordedPopupEntries().clear();
    ASSERT_EQ(BuildCustomToolMenu(RecordingPopupMenu(), &into, &counter), 1);
    for (const PopupEntry& e : RecordedPopupEntries())
        if (e.text == "Side") sideId = e.id;
    ChooseCustomToolFromMenu(sideId, &into, false);
    FreeToolMenuEntry(&into);
    ToolList* frontTools = DocumentToolList(front);
    ASSERT_EQ(ToolListCount(frontTools), 2);
    char name[64];
    ToolListName(frontTools, 1, name, sizeof name);
    EXPECT_STREQ(name, "Side");
    EXPECT_TRUE(ToolListTestFlags(frontTools, 1, 1));
}

// ---- The tool folder --------------------------------------------------------------------------------

TEST_F(CustomTools, TheFolderScanListsFilesWithToolsAndSkipsDamagedOnes) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    EngineDocument* d = NewDocument("d");
    Select({ a, b, ab });
    GiveTool(d, MakeTool("Side"));
    ScratchFolder folder;
    const std::string good = folder.Path("A very long name of a tool document in a folder.yrn");
    StreamHandle out = 0;
    ASSERT_EQ(OpenFileStreamForWrite(good.c_str(), &out), kResultOK);
    ASSERT_EQ(WriteEngineDocument(out, d, false), kResultOK);
    ASSERT_EQ(CloseStream(out), kResultOK);
    const std::string damaged = folder.Path("damaged.yrn");
    std::ofstream(damaged, std::ios::binary) << "not a document at all";

    CustomToolFolderScan(damaged.c_str(), "damaged.yrn");
    CustomToolFolderScan(folder.Path("missing.yrn").c_str(), "missing.yrn");
    CustomToolFolderScan(good.c_str(), "A very long name of a tool document in a folder.yrn");
    EXPECT_TRUE(ShownAlerts().empty());
    ASSERT_EQ(ToolFolderFileCount(), 1);
    const char* name = nullptr;
    ToolList* list = ToolFolderFileTools(0, &name);
    EXPECT_EQ(std::strlen(name), 35u);
    EXPECT_EQ(ToolListCount(list), 1);
    EXPECT_TRUE(CustomToolsAvailable(true));
    EXPECT_EQ(ToolSelectFromLibrary(list, 0), 1);
    EXPECT_EQ(CurrentToolId(), kToolCustom);
    EXPECT_EQ(GetPlaybackTool(nullptr), ToolListEntries(list)[0].sketch);

    ToolMenuModel model{ 0, nullptr, nullptr };
    uint32_t counter = 100;
    RecordedPopupEntries().clear();
    ASSERT_EQ(BuildCustomToolMenu(RecordingPopupMenu(), &model, &counter), 1);
    std::vector<std::string> texts;
    for (const PopupEntry& e : RecordedPopupEntries()) texts.push_back(e.text);
    const std::vector<std::string> tail(texts.end() - 3, texts.end());
    EXPECT_EQ(tail, (std::vector<std::string>{ "--Tool Folder--", "A very long name of a tool document", "Side" }));
    FreeToolMenuEntry(&model);
}

// ---- Playback ----------------------------------------------------------------------------------------

TEST_F(CustomTools, MatchingTheSelectionAgainstTheGivens) {
    SketchObject* centre = PointAt(0, 0);
    SketchObject* rim = PointAt(50, 0);
    SketchObject* circle = Build(kTypeCircleByPoint, { centre, rim });
    SketchObject* on = Build(kTypePointOnPath, { circle }, nullptr, Reals(1, 0));
    SketchObject* radius = Build(kTypeSegment, { centre, on });
    Select({ circle, on, radius });  // givens: the circle and the point on it... no: circle only
    Sketch* tool = MakeTool("Radius");
    ASSERT_NE(tool, nullptr);
    ShowToolInScriptView(tool, nullptr);

    SketchObject* p = PointAt(300, 300);
    SketchObject* q = PointAt(310, 300);
    struct Case { const char* name; std::vector<SketchObject*> selection; int32_t match; const char* start; };
    const Case cases[] = {
        { "nothing", {}, 0, "To apply to selections, first select" },
        { "two points", { p, q }, -1, "To apply to selections, first select" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Select({});
        for (SketchObject* o : c.selection) SelectSketchObject(o);
        RefreshGivenMatch();
        EXPECT_EQ(PlaybackMatchIndex(), c.match);
        EXPECT_EQ(Status().rfind(c.start, 0), 0u) << Status();
    }
}

TEST_F(CustomTools, AToolInUseShowsTheGivenToClickNext) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    Select({ a, b, ab });
    EngineDocument* d = NewDocument("d");
    GiveTool(d, MakeTool("Side"));
    ASSERT_EQ(ToolSelectFromLibrary(DocumentToolList(d), 0), 1);
    EXPECT_EQ(PlaybackMode(), kPlaybackInUse);
    EXPECT_EQ(PlaybackMatchIndex(), 0);
    EXPECT_EQ(Status().rfind("To use this tool, click or construct a point to match Given Point", 0), 0u) << Status();
    ToolScriptRow row{};
    ASSERT_TRUE(DescribeToolScriptRow(2, &row));
    EXPECT_EQ(row.highlight, kRowCurrent);
    EndToolInProgress();
    EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
}

TEST_F(CustomTools, OneStepIsAppliedAndSelected) {
    Sketch* tool = ShowMidpointTool();
    EXPECT_EQ(ToolScriptRowCount(), Givens(tool) + 3 + 2);
    SketchObject* p = PointAt(200, 200);
    SketchObject* q = PointAt(300, 200);
    Select({ p, q });
    RefreshGivenMatch();
    EXPECT_EQ(PlaybackMatchIndex(), 2);
    bool next = false;
    char text[256];
    ToolPlaybackState(&next, text, sizeof text);
    EXPECT_TRUE(next);
    EXPECT_STREQ(text, "");  // the apply buttons instead

    const int32_t segments = CountClass(kClassStraight);
    ApplyNextToolStep(false);
    EXPECT_EQ(PlaybackMode(), kPlaybackStepping);
    ASSERT_EQ(CountClass(kClassStraight), segments + 1);
    SketchObject* made = SketchOrder().back();
    EXPECT_TRUE(IsSelected(made));
    EXPECT_EQ(Parents(made), (std::vector<SketchObject*>{ p, q }));
    ToolScriptRow row{};
    ASSERT_TRUE(DescribeToolScriptRow(ToolScriptHeaderRows() + 1, &row));
    EXPECT_EQ(row.highlight, kRowDone);
    ASSERT_TRUE(DescribeToolScriptRow(ToolScriptHeaderRows() + 2, &row));
    EXPECT_EQ(row.highlight, kRowCurrent);
    StopToolPlayback();
    EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
}

TEST_F(CustomTools, TheRowsFollowTheGivensAndTheirGroups) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    Select({ a, b, ab });
    Sketch* tool = MakeTool("Side");
    ShowToolInScriptView(tool, nullptr);
    ASSERT_EQ(ToolScriptRowCount(), 2 + 3 + 1);
    for (int32_t row = 1; row <= ToolScriptRowCount(); ++row) {
        SCOPED_TRACE(row);
        ToolScriptRow r{};
        ASSERT_TRUE(DescribeToolScriptRow(row, &r));
        LayoutNode* layout = ToolScriptRowLayout(row);
        EXPECT_EQ(layout == nullptr, r.separator != 0);
        if (layout) FreeLayoutNode(layout);
    }
    SketchObject* first = nullptr;
    SketchObject* second = nullptr;
    bool draggable = false;
    first = ToolScriptRowIsGiven(2, &draggable);
    EXPECT_TRUE(draggable);
    second = ToolScriptRowIsGiven(3, &draggable);
    ASSERT_TRUE(first && second);
    int32_t rows = 0;
    MoveGivenToward(first, second, &rows);
    EXPECT_EQ(rows, 6);
    EXPECT_EQ(RowOfObject(first), 3);
    EXPECT_EQ(RowOfObject(second), 2);

    // Assumed, the given forms a group of its own: two rows more.
    second->label.useInTools = 1;
    GivenPropertiesChanged(second, true);
    EXPECT_EQ(ToolScriptRowCount(), 2 + 5 + 1);
    ToolScriptRow r{};
    ASSERT_TRUE(DescribeToolScriptRow(1, &r));
    EXPECT_EQ(r.templateItem, 107);  // "Assuming:"
    ASSERT_TRUE(DescribeToolScriptRow(3, &r));
    EXPECT_EQ(r.separator, kSeparatorBetweenGroups);
    EXPECT_EQ(RowOfObject(first), 5);
    // Dragged across the border it takes the other group's flag: one group again.
    MoveGivenToward(first, second, &rows);
    EXPECT_EQ(rows, 2 + 3 + 1);
    EXPECT_EQ(ShownAlerts().size(), 1u);  // a tool of the tool folder warns once
}

TEST_F(CustomTools, ScrollingCountsEachRowsHeight) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    Select({ a, b, ab });
    ShowToolInScriptView(MakeTool("Side"), nullptr);  // rows: heading, 2 givens, separator, heading, step
    // Text rows rise 8 and fall 3 pixels; the minimum of 5 makes them 13 high. Row 4 is
    // the separator (no text): 4 pixels.
    const RowMetricsFn metrics = [](int32_t row, int32_t* ascent, int32_t* descent, void*) {
        if (row == 4) return false;
        *ascent = 8;
        *descent = 3;
        return true;
    };
    struct Case { int32_t from, pixels, row; };
    const Case cases[] = {
        { 1, 12, 1 }, { 1, 13, 2 }, { 1, 39, 4 }, { 1, 43, 5 }, { 1, 1000, 6 },
        { 6, -13, 5 }, { 5, -4, 4 }, { 3, -1000, 1 }, { 0, 13, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " " << c.pixels);
        EXPECT_EQ(RowAtScrollOffset(c.from, c.pixels, 5, metrics, nullptr), c.row);
    }
    int32_t measured = 0;
    const RowWidthFn width = [](int32_t row, void* user) {
        ++*static_cast<int32_t*>(user);
        return row * 10;
    };
    EXPECT_EQ(WidestToolRow(width, &measured), 60);
    EXPECT_EQ(WidestToolRow(width, &measured), 60);
    EXPECT_EQ(measured, 6);  // measured once for the shown tool
}

// A damaged tool may hold givens and nothing else: there is no step to apply.
TEST_F(CustomTools, AToolWithoutStepsAppliesNothing) {
    Sketch* tool = CreateSketch(0, nullptr);
    ASSERT_NE(tool, nullptr);
    tools.push_back(tool);
    {
        CurrentSketchScope scope(tool);
        for (int i = 0; i < 2; ++i) ASSERT_TRUE(PtrListAppend(&tool->givenList, PointAt(10.0 * i, 0)));
    }
    ShowToolInScriptView(tool, nullptr);
    Select({ PointAt(200, 200), PointAt(300, 200) });
    const size_t objects = SketchOrder().size();
    bool next = true;
    char text[256];
    ToolPlaybackState(&next, text, sizeof text);
    EXPECT_FALSE(next);
    for (bool all : { false, true }) ApplyNextToolStep(all);
    EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
    EXPECT_EQ(SketchOrder().size(), objects);
}

TEST_F(CustomTools, AHiddenIntermediateIsHiddenAgainByOneUndoableHide) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(100, 0);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* mid = Build(kTypeMidpoint, { ab });
    ab->hidden = kHiddenByUser;
    Select({ a, b, mid });
    Sketch* tool = MakeTool("Hidden Side");
    ShowToolInScriptView(tool, nullptr);
    SketchObject* p = PointAt(200, 200);
    SketchObject* q = PointAt(300, 200);
    Select({ p, q });
    ApplyNextToolStep(false);
    SketchObject* side = SketchOrder().back();
    ASSERT_EQ(side->objectClass, kClassStraight);
    EXPECT_EQ(side->hidden, kShown);  // shown while stepping
    ApplyNextToolStep(false);
    EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
    EXPECT_NE(side->hidden, kShown);
    EXPECT_EQ(UndoRecordNameIndex(sketch->undoPosition), kUndoNameHide);
    EXPECT_TRUE(IsSelected(SketchOrder().back()));  // the midpoint, a result
    EXPECT_FALSE(HasMarkCategory(kMarkCategoryToolPlayback, side));
    ASSERT_EQ(UndoReplay(1), kResultOK);
    EXPECT_EQ(side->hidden, kShown);
}

TEST_F(CustomTools, NoToTheDeleteQuestionKeepsEverything) {
    ShowMidpointTool();
    SketchObject* p = PointAt(200, 200);
    SketchObject* q = PointAt(300, 200);
    Select({ p, q });
    ApplyNextToolStep(false);
    const size_t objects = SketchOrder().size();
    Select({ p });
    ScriptQuestionAnswers({ false });
    EXPECT_EQ(DeleteSelectionWithDependents(), kResultOK);
    EXPECT_EQ(SketchOrder().size(), objects);
    EXPECT_EQ(PlaybackMode(), kPlaybackStepping);
    ScriptQuestionAnswers({ true });
    EXPECT_EQ(DeleteSelectionWithDependents(), kResultOK);
    EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
    EXPECT_LT(SketchOrder().size(), objects);
}

// Stepping into a page that goes away (its document closed) ends without touching it.
TEST_F(CustomTools, FreeingThePageBeingSteppedEndsStepping) {
    Sketch* tool = ShowMidpointTool();
    Sketch* page = CreateSketch(0, nullptr);
    ASSERT_NE(page, nullptr);
    SetCurrentSketch(page, nullptr);
    Front(page);
    Select({ PointAt(10, 10), PointAt(50, 10) });
    ApplyNextToolStep(false);
    ASSERT_EQ(PlaybackMode(), kPlaybackStepping);
    FreeSketch(page);
    EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
    SetCurrentSketch(sketch, nullptr);
    Front(sketch);
    EXPECT_EQ(GetPlaybackTool(nullptr), tool);
    StopToolPlayback();
}

TEST_F(CustomTools, UndoingAStepStopsStepping) {
    ShowMidpointTool();
    SketchObject* p = PointAt(200, 200);
    SketchObject* q = PointAt(300, 200);
    Select({ p, q });
    const size_t objects = SketchOrder().size();
    ApplyNextToolStep(false);
    ASSERT_EQ(SketchOrder().size(), objects + 1);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(SketchOrder().size(), objects);
    EXPECT_FALSE(ToolPlaybackStepping());
    EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
}

// "Apply all" on a long tool refreshes after each of the first hundred steps and then ever
// more rarely.
TEST_F(CustomTools, ALongToolRefreshesEverMoreRarely) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(1000, 0);
    std::vector<SketchObject*> selection = { a, b };
    SketchObject* end = b;
    while (Objects(sketch) < 300) {
        SketchObject* side = Build(kTypeSegment, { a, end });
        end = Build(kTypeMidpoint, { side });
        selection.push_back(side);
        selection.push_back(end);
    }
    DeselectAll();
    for (SketchObject* o : selection) SelectSketchObject(o);
    Sketch* tool = MakeTool("Long");
    ASSERT_EQ(Objects(tool), 300);
    ShowToolInScriptView(tool, nullptr);
    Select({ PointAt(0, 300), PointAt(1000, 300) });
    ResetViewRequests();
    ApplyNextToolStep(true);
    EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
    EXPECT_EQ(Objects(sketch), 300 + 298 + 2);
    const size_t refreshes = RecordedScriptView().revealedRows.size();
    EXPECT_GT(refreshes, 100u);  // every one of the first hundred
    EXPECT_LT(refreshes, 140u);  // and then ever fewer
}

TEST_F(CustomTools, SteppingSurvivesAllocationFailure) {
    ShowMidpointTool();
    SketchObject* p = PointAt(200, 200);
    SketchObject* q = PointAt(300, 200);
    for (uint32_t n = 1; n < 300; ++n) {
        SCOPED_TRACE(n);
        StopToolPlayback();
        Select({ p, q });
        const size_t before = SketchOrder().size();
        const uint64_t requests = AllocRequestCount();
        SetAllocFailureAfter(n);
        ApplyNextToolStep(true);
        const bool failed = AllocRequestCount() - requests >= n;
        SetAllocFailureAfter(0);
        StopToolPlayback();
        for (SketchObject* o : SketchOrder()) {
            if (o->objectClass == kClassStraight) {
                EXPECT_EQ(Parents(o).size(), 2u);
            }
            EXPECT_FALSE(HasMarkCategory(kMarkCategoryToolPlayback, o));
        }
        if (!failed) {
            // Retries reuse what earlier attempts left; nothing is there twice.
            int32_t sides = 0, mids = 0;
            for (SketchObject* o : SketchOrder()) {
                const std::vector<SketchObject*> parents = Parents(o);
                if (o->objectClass == kClassStraight && parents.size() == 2 &&
                    ((parents[0] == p && parents[1] == q) || (parents[0] == q && parents[1] == p))) {
                    ++sides;
                    for (SketchObject* c : SketchOrder())
                        if (c->constructionType == kTypeMidpoint && Parents(c)[0] == o) ++mids;
                }
            }
            EXPECT_EQ(sides, 1);
            EXPECT_EQ(mids, 1);
            EXPECT_GE(SketchOrder().size(), before);
            EXPECT_EQ(PlaybackMode(), kPlaybackMatching);
            break;
        }
    }
}
