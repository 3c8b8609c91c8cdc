// The Iterate command and its dialog model with scripted dialogs: the grid's cells,
// folded columns and their measurements, the commands, picking, the preview and its
// messages, the alerts before the dialog, and the final build as one undo step.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/iterations.h"
#include "engine/core/marks.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/transform_maps.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/iterate_dialog.h"
#include "engine/interact/pick_session.h"
#include "engine/text/layout.h"
#include "engine/text/layout_test_util.h"
#include "engine/text/object_labels.h"
#include "engine/text/string_groups.h"
#include "tests/support/alerts_double.h"
#include "tests/support/dialogs_double.h"

namespace {

IterateDialogFields& Of(void* record) { return *static_cast<IterateDialogFields*>(record); }

std::string PlainText(LayoutNode* node) { return TakePlainText(node); }

std::string Item17(int32_t item) {
    char text[256];
    GetGroupString(17, item, text, sizeof text);
    return text;
}

class IterateDialogTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
        ResetAlertDoubles();
    }
    void TearDown() override {
        ClearMark(kMarkCategoryIterate);
        ResetDialogDoubles();
        ResetAlertDoubles();
        SketchTest::TearDown();
    }
    SketchObject* Shifted(SketchObject* p, double dx) {
        const FixedDistanceEntry both[2] = { { dx, dx, 0, 0 }, { 0, 0, 0, 0 } };
        return Build(21, { p }, nullptr, DataBlock(both, sizeof both));
    }
    SketchObject* Named(SketchObject* o, const char* label) {
        SetObjectLabel(o, label, true);
        return o;
    }
    void Select(std::initializer_list<SketchObject*> objects) {
        DeselectAll();
        for (SketchObject* o : objects) SelectSketchObject(o);
    }
    std::vector<int32_t> AlertCodes() const {
        std::vector<int32_t> codes;
        for (const ShownAlert& a : ShownAlerts()) codes.push_back(a.code);
        return codes;
    }
    // A model and dialog record over the selection, with the candidates marked, as the
    // command has them while its dialog is open.
    bool Open(bool toDepth = false) {
        if (!PrepareIterateModel(&model, toDepth)) return false;
        InitIterateDialog(&dialog, &model);
        for (int32_t i = 0; i < model.n; ++i) MarkObject(kMarkCategoryIterate, model.seeds[i], false);
        PickSessionBegin(IteratePickFilter, IteratePickAccept, IteratePickRefused, &dialog);
        open = true;
        return true;
    }
    void Close() {
        if (!open) return;
        PickSessionEnd();
        if (model.preview) DestroyIterationObjects(model.preview);
        FreeIterateModel(&model);
        open = false;
    }
    void Command(int32_t command) {
        IterateDialogCommand(&dialog, command);
        IterateDialogChanged(&dialog);
    }
    void Pick(SketchObject* destination) {
        MarkObject(kMarkCategoryIterate, destination, false);
        EXPECT_NE(PickSessionClick(destination), -1);
    }
    std::string CellText(int32_t column, int32_t row) { return PlainText(IterateCellContent(&model, column, row)); }
    int32_t Depth() const { return dialog.entry[kIterateDepth].value.integer; }

    IterateModel model{};
    IterateDialogFields dialog{};
    bool open = false;
};

}  // namespace

TEST_F(IterateDialogTest, OnePointToItsImageBuildsAtDepthThreeAsOneUndoStep) {
    SketchObject* a = Named(PointAt(0, 0), "A");
    SketchObject* b = Named(Shifted(a, 10), "B");
    Select({ a });
    const int32_t undoBefore = UndoDepth();
    DialogScript script;
    script.edits.push_back([&](void* record) {
        IterateDialogFields& d = Of(record);
        EXPECT_EQ(std::string(d.model->message), Item17(51));
        EXPECT_EQ(PickSessionClick(b), 1);
        EXPECT_NE(d.model->preview, nullptr);
        EXPECT_TRUE(d.entry[kIterateConfirm].state & kEntryEnabled);
        EXPECT_EQ(PlainText(IterateCellContent(d.model, 1, 1)), "Pre-Image");
        EXPECT_EQ(PlainText(IterateCellContent(d.model, 2, 1)), "To");
        EXPECT_EQ(PlainText(IterateCellContent(d.model, 3, 1)), "First Image");
        EXPECT_EQ(PlainText(IterateCellContent(d.model, 1, 2)), "A");
        EXPECT_EQ(PlainText(IterateCellContent(d.model, 3, 2)), "B");
    });
    ScriptDialogs({ script });
    EXPECT_EQ(IterateCommand(0), kResultOK);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogIterate);
    EXPECT_EQ(RanDialogs()[0].helpTopic, 41);
    EXPECT_FALSE(PickSessionActive());
    EXPECT_EQ(MarkSlotState(kMarkCategoryIterate), 0);
    // The images are selected; one undo step holds them and the rule.
    ASSERT_NE(sketch->selectionHead, nullptr);
    SketchObject* image = sketch->selectionHead;
    EXPECT_EQ(image->objectClass, kClassIteratedImage);
    SketchObject* iteration = IterationOf(image);
    ASSERT_NE(iteration, nullptr);
    EXPECT_EQ(IterationDataOf(iteration)->parameters.depth, 3);
    EXPECT_FALSE(image->stateFlags & kObjectPreview);
    EXPECT_EQ(UndoDepth(), undoBefore + 1);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_FALSE(IsLinkedIntoSketch(iteration));
}

TEST_F(IterateDialogTest, CancelTakesThePreviewAwayAndSelectsTheSeeds) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    Select({ a });
    const size_t before = SketchOrder().size();
    DialogScript script;
    script.ok = false;
    script.edits.push_back([&](void*) { EXPECT_EQ(PickSessionClick(b), 1); });
    ScriptDialogs({ script });
    IterateCommand(0);
    EXPECT_EQ(SketchOrder().size(), before);
    EXPECT_EQ(sketch->selectionHead, a);
}

TEST_F(IterateDialogTest, FixedDepthShowsItsMessageAndKeepsThePreview) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* depth = Value(4);
    Select({ a, depth });  // the newest selected gives the depth
    ASSERT_TRUE(Open(true));
    EXPECT_EQ(model.depthValue, depth);
    EXPECT_EQ(model.n, 1);
    EXPECT_FALSE(dialog.entry[kIterateDepth].state & kEntryEnabled);
    Pick(b);
    SketchObject* preview = model.preview;
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->constructionType, kTypeIterationRuleDepth);
    EXPECT_EQ(std::string(model.message), "Number of iterations: 4.");
    Command(7);
    EXPECT_EQ(std::string(model.message), Item17(59));
    EXPECT_EQ(std::string(model.message), "The number of iterations of this rule is fixed by its depth.");
    EXPECT_EQ(model.preview, preview);
    EXPECT_EQ(Depth(), 3);
    Close();
}

TEST_F(IterateDialogTest, MapsThatAddNothingAreDroppedWithTheirMessage) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    Select({ a });
    ASSERT_TRUE(Open());
    // Every seed mapped to itself.
    IterateDialogChanged(&dialog);
    EXPECT_EQ(std::string(model.message), Item17(58));
    EXPECT_EQ(model.preview, nullptr);
    EXPECT_FALSE(dialog.entry[kIterateConfirm].state & kEntryEnabled);
    // A second map equal to the first is dropped: the preview has one map.
    Pick(b);
    Command(0);
    EXPECT_EQ(model.m, 2);
    Pick(b);
    ASSERT_NE(model.preview, nullptr);
    EXPECT_EQ(IterationDataOf(model.preview)->parameters.mapCount, 1);
    Close();
}

TEST_F(IterateDialogTest, SecondMapCapsTheDepthAndRemovingItRestoresTheBudget) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    SketchObject* c = Shifted(a, -10);
    Select({ a });
    ASSERT_TRUE(Open());
    Pick(b);
    Command(7);
    Command(7);
    EXPECT_EQ(Depth(), 5);
    EXPECT_FALSE(dialog.entry[kIterateRemoveMap].state & kEntryEnabled);
    Command(0);
    EXPECT_EQ(model.m, 2);
    EXPECT_EQ(model.currentMap, 2);
    EXPECT_EQ(Depth(), 3);
    EXPECT_EQ(dialog.entry[kIterateDepth].upper, 20);
    EXPECT_EQ(model.columns, 4);
    EXPECT_EQ(CellText(3, 1), "Map #2");
    EXPECT_EQ(CellText(4, 1), "Map #1");
    Pick(c);
    ASSERT_NE(model.preview, nullptr);
    EXPECT_EQ(IterationDataOf(model.preview)->imageCount, 14);
    EXPECT_TRUE(dialog.entry[kIterateRemoveMap].state & kEntryEnabled);
    Command(1);
    EXPECT_EQ(model.m, 1);
    EXPECT_EQ(dialog.entry[kIterateDepth].upper, 2500);
    EXPECT_EQ(model.columns, 3);
    Close();
}

TEST_F(IterateDialogTest, SixMapsFoldIntoTheLastColumnAndNavigationSkipsThem) {
    SketchObject* a = PointAt(0, 0);
    std::vector<SketchObject*> images;
    for (int32_t k = 1; k <= 6; ++k) images.push_back(Shifted(a, 10 * k));
    Select({ a });
    ASSERT_TRUE(Open());
    for (int32_t k = 0; k < 6; ++k) {
        if (k > 0) Command(0);
        Pick(images[size_t(k)]);
    }
    ASSERT_EQ(model.m, 6);
    EXPECT_EQ(model.columns, 7);
    struct Case { int32_t column; const char* header; int32_t map; };
    const Case cases[] = { { 3, "Map #6", 6 }, { 4, "Map #5", 5 }, { 6, "Map #3", 3 }, { 7, "Maps #1-2", 0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(CellText(c.column, 1), c.header);
        EXPECT_EQ(MapOfColumn(&model, c.column), c.map);
    }
    EXPECT_EQ(CellText(7, 2), "...");
    EXPECT_EQ(ColumnOfMap(&model, 2), 7);
    EXPECT_EQ(ColumnOfMap(&model, 4), 5);
    EXPECT_FALSE(IsMapCell(&model, 7, 2));
    // Left of map 6 wraps to map 3, right of map 3 wraps to map 6: maps 1 and 2 are not
    // visited.
    model.currentMap = 6;
    std::vector<int32_t> visited;
    for (int32_t i = 0; i < 5; ++i) {
        Command(13);
        visited.push_back(model.currentMap);
    }
    EXPECT_EQ(visited, (std::vector<int32_t>{ 3, 4, 5, 6, 3 }));
    Command(14);
    EXPECT_EQ(model.currentMap, 6);

    int32_t width = 0, height = 0;
    MeasureIterateGrid(&dialog, nullptr, 1, 13, 10, &width, &height);
    EXPECT_GT(width, 0);
    RecordedCellFrames().clear();
    DrawIterateGrid(&dialog, nullptr, 5, 5);
    ASSERT_EQ(RecordedCellFrames().size(), 14u);  // 7 columns of a header and one seed
    int32_t faces = 0, pressed = 0;
    for (const CellFrame& f : RecordedCellFrames()) {
        EXPECT_TRUE(f.ended);
        faces += f.buttonFace;
        pressed += f.pressed;
    }
    EXPECT_EQ(faces, 4);
    EXPECT_EQ(pressed, 1);
    // The pressed cell is the current one: column 3 holds map 6.
    const CellFrame& current = RecordedCellFrames()[2 * 2 + 1];
    EXPECT_TRUE(current.pressed);
    EXPECT_TRUE(IterateGridHitTest(&dialog, { int16_t(current.left + 1), int16_t(current.top + 1) }, false, 5, 5));
    EXPECT_FALSE(IterateGridHitTest(&dialog, { int16_t(current.left + 1), int16_t(current.top + 1) }, true, 5, 5));
    // A click in the cell of map 4 (column 5) makes it current; the header is no cell to pick.
    const CellFrame& map4 = RecordedCellFrames()[4 * 2 + 1];
    EXPECT_TRUE(IterateGridHitTest(&dialog, { int16_t(map4.left + 1), int16_t(map4.top + 1) }, true, 5, 5));
    EXPECT_EQ(model.currentMap, 4);
    const CellFrame& header = RecordedCellFrames()[4 * 2];
    EXPECT_FALSE(IterateGridHitTest(&dialog, { int16_t(header.left + 1), int16_t(header.top + 1) }, true, 5, 5));
    Close();
}

TEST_F(IterateDialogTest, WideCellsAreDrawnSmallOrClipped) {
    SketchObject* a = Named(PointAt(0, 0), "A_point_with_a_name_far_too_long_for_any_cell_of_the_grid");
    // Twelve letters are 72 pixels at size 13 and 60 at size 10 here; a map cell adds 5.
    SketchObject* b = Named(Shifted(a, 10), "Bbbbbbbbbbbb");
    Select({ a });
    ASSERT_TRUE(Open());
    Pick(b);
    int32_t width = 0, height = 0;
    MeasureIterateGrid(&dialog, nullptr, 1, 13, 10, &width, &height);
    const IterateCell& seedCell = model.cells[2 * kIterateGridColumns + 1];
    EXPECT_EQ(seedCell.style, 2);
    EXPECT_EQ(seedCell.width, 75);
    const IterateCell& imageCell = model.cells[2 * kIterateGridColumns + 3];
    EXPECT_EQ(imageCell.style, 1);
    EXPECT_EQ(imageCell.width, 65);
    const IterateCell& header = model.cells[1 * kIterateGridColumns + 2];
    EXPECT_EQ(header.style, 0);
    // New sizes measure everything again.
    const int32_t before = width;
    MeasureIterateGrid(&dialog, nullptr, 1, 30, 25, &width, &height);
    EXPECT_GE(width, before);
    Close();
}

TEST_F(IterateDialogTest, PickingMovesADestinationWithinItsMapAndRefusesOthers) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(0, 50);
    SketchObject* mid = Build(kTypeMidpoint, { Build(kTypeSegment, { a, b }) });
    SketchObject* lone = PointAt(90, 90);
    Select({ b, a });  // seeds newest first: a, b
    ASSERT_TRUE(Open());
    ASSERT_EQ(model.seeds[0], a);
    Pick(mid);
    EXPECT_EQ(model.destinations[0], mid);
    EXPECT_EQ(model.currentRow, 1);  // moved on to the next cell
    Pick(mid);
    EXPECT_EQ(model.destinations[0], nullptr);
    EXPECT_EQ(model.destinations[1], mid);
    EXPECT_EQ(model.currentRow, 0);  // past the last row: back to the first
    // A point that does not depend on the seeds is refused with its message.
    PickSessionClick(lone);
    EXPECT_EQ(std::string(model.message), Item17(55));
    Command(11);  // the previous row wraps to the last
    EXPECT_EQ(model.currentRow, 1);
    Command(17);
    EXPECT_EQ(model.destinations[1], nullptr);
    EXPECT_EQ(sketch->selectionHead, b);
    Close();
}

TEST_F(IterateDialogTest, AlertsBeforeTheDialog) {
    // Nothing depends on the seed.
    SketchObject* lone = PointAt(0, 0);
    Select({ lone });
    IterateCommand(0);
    EXPECT_EQ(AlertCodes(), (std::vector<int32_t>{ 144 }));
    EXPECT_TRUE(RanDialogs().empty());

    // A seed built on another seed is dropped with alert 147.
    ResetAlertDoubles();
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    Select({ a, b });
    ASSERT_TRUE(Open());
    EXPECT_EQ(AlertCodes(), (std::vector<int32_t>{ 147 }));
    EXPECT_EQ(model.n, 1);
    EXPECT_EQ(model.seeds[0], a);
    Close();

    // Seeds of both kinds whose dependents are points only: values are missing.
    ResetAlertDoubles();
    SketchObject* v = Value(2);
    Select({ a, v });
    IterateCommand(0);
    EXPECT_EQ(AlertCodes(), (std::vector<int32_t>{ 145 }));
}

TEST_F(IterateDialogTest, CommandWithoutMemoryBuildsAllOrNothing) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = Shifted(a, 10);
    const size_t objects = SketchOrder().size();
    bool built = false;
    for (uint32_t n = 1; n <= 400 && !built; ++n) {
        SCOPED_TRACE(n);
        Select({ a });
        const int32_t undo = UndoDepth();
        DialogScript script;
        script.edits.push_back([&](void*) { PickSessionClick(b); });
        ScriptDialogs({ script });
        SetAllocFailureAfter(n);
        IterateCommand(0);
        SetAllocFailureAfter(0);
        EXPECT_FALSE(PickSessionActive());
        EXPECT_EQ(MarkSlotState(kMarkCategoryIterate), 0);
        if (UndoDepth() == undo + 1) {
            built = true;
            EXPECT_EQ(SketchOrder().size(), objects + 2);
        } else {
            EXPECT_EQ(SketchOrder().size(), objects);
        }
    }
    EXPECT_TRUE(built);
}
