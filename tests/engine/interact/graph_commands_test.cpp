// The Graph menu on a real sketch: defining the coordinate system, grid forms and their
// undo, showing and hiding, snapping, and plotting points with the dialog scripted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/core/construction_data.h"
#include "engine/core/engine_startup.h"
#include "engine/core/marks.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/straight_objects.h"
#include "engine/core/units.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/graph_commands.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/menu_texts.h"
#include "engine/interact/merge_split.h"
#include "tests/support/alerts_double.h"
#include "tests/support/dialogs_double.h"

namespace {

class GraphCommandsTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
        ResetAlertDoubles();
        sketch->windowRect = { 0, 0, 400, 300 };
        sketch->settings.distanceUnit = kDistancePixels;
        sketch->settings.angleUnit = kAngleDegrees;
    }
    void TearDown() override {
        ResetDialogDoubles();
        ResetAlertDoubles();
        SketchTest::TearDown();
    }

    struct Built {
        SketchObject* system;
        SketchObject* axisX;
        SketchObject* axisY;
        SketchObject* origin;
        SketchObject* unitX;
        SketchObject* unitY;
    };
    Built Define(int32_t flags = 0) {
        EXPECT_EQ(DefineCoordSystemCommand(flags), kResultOK);
        Built b{};
        b.system = MarkedObject(kMarkCoordSystem);
        EXPECT_NE(b.system, nullptr);
        if (!b.system) return b;
        b.axisX = Parents(b.system)[0];
        b.axisY = Parents(b.system)[1];
        if (b.axisX->constructionType == 64) return b;  // on a unit circle
        b.origin = Parents(b.axisX)[0];
        b.unitX = Parents(b.axisX)[1];
        b.unitY = Parents(b.axisY)[1];
        return b;
    }
    static DialogScript Edits(std::vector<std::function<void(PlotPointsRecord*)>> steps, bool ok = true) {
        DialogScript s;
        s.ok = ok;
        for (auto& step : steps) s.edits.push_back([step](void* r) { step(static_cast<PlotPointsRecord*>(r)); });
        return s;
    }
    static double Stored(const SketchObject* point, int32_t i) {
        double v[2] = { 0, 0 };
        ReadConstructionData(point, v, sizeof v);
        return v[i];
    }
};

TEST_F(GraphCommandsTest, DefineInPixelsBuildsATiedSquareSystemAtTheWindowCentre) {
    const Built b = Define();
    ASSERT_NE(b.system, nullptr);
    EXPECT_EQ(SketchOrder().size(), 6u);
    EXPECT_EQ(UndoDepth(), 1);
    EXPECT_EQ(b.origin->objectKind, 36);
    EXPECT_EQ(PointPosition(b.origin).x, 200);
    EXPECT_EQ(PointPosition(b.origin).y, 150);
    EXPECT_EQ(b.unitX->constructionType, 56);
    EXPECT_EQ(b.unitY->constructionType, 58);
    EXPECT_EQ(b.unitY->hidden, 4);
    EXPECT_EQ(b.axisX->constructionType, 62);
    EXPECT_EQ(ClassData<AxisData>(b.axisX)->horizontal, 1);
    const CoordSystemData* d = CoordSystemOf(b.system);
    EXPECT_EQ(d->gridForm, kGridSquare);
    EXPECT_DOUBLE_EQ(d->unitX, 10);
    EXPECT_DOUBLE_EQ(d->unitY, 10);
    EXPECT_DOUBLE_EQ(d->tickX, 50);  // 10, 20, 50
    EXPECT_EQ(b.system->lineStyle, 1);
    EXPECT_EQ(sketch->selectionHead, nullptr);
    // One step takes the whole system back.
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_TRUE(SketchOrder().empty());
}

TEST_F(GraphCommandsTest, DefineInCentimetresTakesOneCentimetreAsTheUnit) {
    sketch->settings.distanceUnit = kDistanceCentimetres;
    double cm = 1;
    FromDistanceUnits(&cm, kDistanceCentimetres);
    ASSERT_GE(cm, 10);
    const Built b = Define();
    ASSERT_NE(b.system, nullptr);
    EXPECT_NEAR(PointPosition(b.unitX).x - PointPosition(b.origin).x, cm, 1e-9);
    EXPECT_NEAR(CoordSystemOf(b.system)->unitY, cm, 1e-9);
}

TEST_F(GraphCommandsTest, DefineOnTheSelectionUsesTheGivenOriginAndUnitObjects) {
    SketchObject* origin = PointAt(50, 60);
    SketchObject* unit = Value(3);  // 3 pixels per unit, given as a measurement
    SelectSketchObject(unit);
    SelectSketchObject(origin);
    const Built b = Define(1 | 2);
    ASSERT_NE(b.system, nullptr);
    EXPECT_EQ(b.origin, origin);
    EXPECT_EQ(b.axisX->constructionType, 63);
    EXPECT_EQ(b.unitY->constructionType, 60);  // tied, on the horizontal axis
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitX, 3);
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->origin.x, 50);
    EXPECT_EQ(GetAxisCoordinateSystem(b.axisX), nullptr);  // its unit is a given length
    EXPECT_EQ(GetAxisCoordinateSystem(b.axisY), b.system);
}

TEST_F(GraphCommandsTest, AGivenUnitPointMustBeOneForTheVerticalUnitToStandOnIt) {
    // The vertical unit point is tied to the horizontal one, which only a unit point
    // can carry: a plain point as the given unit builds nothing.
    auto objects = [this] {
        int32_t n = 0;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) ++n;
        return n;
    };
    SketchObject* origin = PointAt(50, 60);
    SketchObject* plain = PointAt(90, 60);
    SelectSketchObject(plain);
    SelectSketchObject(origin);
    const int32_t before = objects();
    EXPECT_EQ(CreateCoordSystem(1 | 16, 0, 0, kGridSquare), nullptr);
    EXPECT_EQ(objects(), before);
    // A unit point (here that of a first system) is taken as it is.
    DeselectAll();
    SketchObject* first = CreateCoordSystem(0, 0, 0, kGridSquare);
    ASSERT_NE(first, nullptr);
    SketchObject* unit = Parents(Parents(first)[0])[1];
    DeselectAll();
    SelectSketchObject(unit);
    SelectSketchObject(origin);
    SketchObject* second = CreateCoordSystem(1 | 16, 0, 0, kGridSquare);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Parents(Parents(second)[0])[0], origin);
    EXPECT_EQ(Parents(Parents(second)[0])[1], unit);
    EXPECT_EQ(Parents(Parents(Parents(second)[1])[1])[0], unit);  // the tied vertical unit
}

TEST_F(GraphCommandsTest, AnExistingSystemIsKeptWhenTheQuestionIsAnsweredNo) {
    const Built b = Define();
    ASSERT_NE(b.system, nullptr);
    ASSERT_EQ(ShowHideGridCommand(1 | 2), kResultOK);  // hide the whole system
    EXPECT_FALSE(CoordSystemAxesVisible(b.system));
    ScriptQuestionAnswers({false});
    const size_t objects = SketchOrder().size();
    Define();
    ASSERT_EQ(AskedQuestions().size(), 1u);
    EXPECT_EQ(AskedQuestions()[0].code, 128);  // hidden: No shows it
    EXPECT_EQ(SketchOrder().size(), objects);
    EXPECT_TRUE(CoordSystemAxesVisible(b.system));
    EXPECT_EQ(b.unitY->hidden, 4);  // the tied unit point stays hidden
    ScriptQuestionAnswers({true});
    const Built second = Define();
    EXPECT_EQ(AskedQuestions().back().code, 127);
    EXPECT_NE(second.system, b.system);
    EXPECT_EQ(MarkedObject(kMarkCoordSystem), second.system);
}

TEST_F(GraphCommandsTest, HidingTheWholeSystemIsOneStepAndKeepsSharedObjects) {
    const Built b = Define();
    ASSERT_NE(b.system, nullptr);
    SketchObject* other = Build(kTypeSegment, { b.origin, PointAt(0, 0) });  // the origin serves more
    SelectSketchObject(other);
    const int32_t depth = UndoDepth();
    ASSERT_EQ(ShowHideGridCommand(1 | 2), kResultOK);
    EXPECT_EQ(UndoDepth(), depth + 1);
    for (SketchObject* o : { b.system, b.axisX, b.axisY, b.unitX }) EXPECT_EQ(o->hidden, kHiddenByUser);
    EXPECT_EQ(b.origin->hidden, kShown);
    EXPECT_EQ(sketch->selectionHead, other);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    for (SketchObject* o : { b.system, b.axisX, b.axisY, b.unitX }) EXPECT_EQ(o->hidden, kShown);
    // The grid alone.
    ASSERT_EQ(ShowHideGridCommand(1), kResultOK);
    EXPECT_EQ(b.system->hidden, kHiddenByUser);
    EXPECT_EQ(b.axisX->hidden, kShown);
}

TEST_F(GraphCommandsTest, GridFormChangesShowAndHideTheVerticalUnitWithUndo) {
    const Built b = Define();
    ASSERT_NE(b.system, nullptr);
    SetPointPosition(b.unitX, 230, 150, 1, nullptr, true);  // unit 30
    RecomputeSketch(false);
    const RealPoint tied = PointPosition(b.unitY);
    EXPECT_DOUBLE_EQ(tied.y, 120);

    ASSERT_EQ(GridFormCommand(kGridRectangular), kResultOK);
    EXPECT_EQ(CoordSystemOf(b.system)->gridForm, kGridRectangular);
    EXPECT_EQ(b.unitY->constructionType, 59);
    EXPECT_EQ(b.unitY->hidden, kShown);
    EXPECT_EQ(sketch->selectionHead, b.unitY);
    EXPECT_EQ(sketch->selectionHead->nextSelected, nullptr);
    EXPECT_DOUBLE_EQ(PointPosition(b.unitY).y, tied.y);  // stays where it was
    // Free now: the vertical unit leaves the horizontal one.
    SetPointPosition(b.unitY, 200, 100, 1, nullptr, true);
    RecomputeSketch(false);
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitY, 50);
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitX, 30);

    ASSERT_EQ(GridFormCommand(kGridSquare), kResultOK);
    EXPECT_EQ(b.unitY->constructionType, 58);
    EXPECT_EQ(b.unitY->hidden, 4);
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitY, 30);  // tied again

    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(b.unitY->constructionType, 59);
    EXPECT_EQ(b.unitY->hidden, kShown);
    EXPECT_DOUBLE_EQ(PointPosition(b.unitY).y, 100);
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitY, 50);
    EXPECT_EQ(CoordSystemOf(b.system)->gridForm, kGridRectangular);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(b.unitY->constructionType, 58);
    EXPECT_EQ(CoordSystemOf(b.system)->gridForm, kGridSquare);

    const int32_t depth = UndoDepth();
    ASSERT_EQ(GridFormCommand(kGridSquare), kResultOK);  // the form it has: no step
    EXPECT_EQ(UndoDepth(), depth);
    ASSERT_EQ(GridFormCommand(kGridPolar), kResultOK);
    EXPECT_EQ(CoordSystemOf(b.system)->gridForm, kGridPolar);
    EXPECT_EQ(b.unitY->constructionType, 58);  // only the form
}

TEST_F(GraphCommandsTest, AUnitCircleSystemHasNoRectangularGrid) {
    SketchObject* circle = Build(kTypeCircleByPoint, { PointAt(100, 100), PointAt(140, 100) });
    SelectSketchObject(circle);
    const Built b = Define(8);
    ASSERT_NE(b.system, nullptr);
    EXPECT_EQ(b.axisX->constructionType, 64);
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitX, 40);
    EXPECT_FALSE(ChangeGridForm(b.system, kGridRectangular, true));
    EXPECT_TRUE(ChangeGridForm(b.system, kGridPolar, true));
    EXPECT_FALSE(ChangeGridForm(b.system, 3, true));

    uint16_t text = 0, variant = 0, executor = 0;
    int32_t argument = 0;
    const uint16_t rect = uint16_t((menu_text::kTextPolarGrid + 2) << 8 | 30);
    EXPECT_FALSE(GridFormMenuState(62, rect, &text, &variant, &executor, &argument));
    EXPECT_EQ(argument, 2);
    const uint16_t square = uint16_t((menu_text::kTextPolarGrid + 1) << 8 | 30);
    EXPECT_TRUE(GridFormMenuState(61, square, &text, &variant, &executor, &argument));
    EXPECT_EQ(variant, kVariantChecked);
    EXPECT_EQ(executor, 30);
}

TEST_F(GraphCommandsTest, SnapToggleFlipsTheSketchFlagAndModifiesTheDocument) {
    EngineDocument* document = nullptr;
    ASSERT_EQ(CreateEngineDocument(&document, nullptr), kResultOK);
    gEngine.frontDocument = document;
    uint16_t text = 0, variant = 0, executor = 0;
    int32_t argument = 0;
    EXPECT_FALSE(SnapToGridMenuState(57, 0, &text, &variant, &executor, &argument));  // no system
    Define();
    ASSERT_EQ(ToggleSnapToGridCommand(0), kResultOK);
    EXPECT_EQ(sketch->pageFlags & 1, 1);
    EXPECT_TRUE(IsDocumentModified(document));
    EXPECT_TRUE(SnapToGridMenuState(57, 0, &text, &variant, &executor, &argument));
    EXPECT_EQ(variant, kVariantChecked);
    EXPECT_EQ(executor, 28);
    ToggleSnapToGridCommand(0);
    EXPECT_EQ(sketch->pageFlags & 1, 0);
    gEngine.frontDocument = nullptr;
    FreeEngineDocument(document);
}

TEST_F(GraphCommandsTest, PlotPointsConvertsBetweenTheFormsBothWays) {
    struct Case { int32_t unit; int32_t from; double a, b; double wantA, wantB; };
    const Case cases[] = {
        { kAngleDegrees, 0, 1, 45, std::sqrt(0.5), std::sqrt(0.5) },
        { kAngleRadians, 0, 2, 3.1415926535898, -2, 0 },
        { kAngleDegrees, 1, -1, 0, 1, 180 },
        { kAngleDegrees, 1, 0, -2, 2, -90 },
        { kAngleDegrees, 1, 1, -1, std::sqrt(2.0), 315 },
        { kAngleRadians, 1, 0, 3, 3, 1.5707963267949 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a);
        sketch->settings.angleUnit = c.unit;
        PlotPointsRecord r{};
        r.previousForm = c.from;
        r.form = 1 - c.from;
        r.first = c.a;
        r.second = c.b;
        EXPECT_EQ(PlotPointsConvert(&r), 1);
        EXPECT_NEAR(r.first, c.wantA, 1e-9);
        EXPECT_NEAR(r.second, c.wantB, 1e-9);
        EXPECT_EQ(r.previousForm, r.form);
        EXPECT_EQ(PlotPointsConvert(&r), 0);  // nothing switched
    }
}

TEST_F(GraphCommandsTest, PlotPointsOffersPolarDefaultsAndPlotsInTheSystem) {
    const Built b = Define();
    ASSERT_NE(b.system, nullptr);
    ChangeGridForm(b.system, kGridPolar, false);
    PlotPointsRecord seen{};
    ScriptDialogs({ Edits({ [&](PlotPointsRecord* r) { seen = *r; r->form = 1; } }) });
    ASSERT_EQ(PlotPointsCommand(0), kResultOK);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogPlotPoints);
    EXPECT_EQ(RanDialogs()[0].helpTopic, 29);
    EXPECT_EQ(seen.form, 0);
    EXPECT_EQ(seen.first, 1);
    EXPECT_EQ(seen.second, 45);
    SketchObject* point = sketch->selectionHead;
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->constructionType, 71);
    EXPECT_NEAR(PointPosition(point).x, 200 + 10 * std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(PointPosition(point).y, 150 - 10 * std::sqrt(0.5), 1e-9);
}

TEST_F(GraphCommandsTest, PlotNowPlotsWithoutClosingAndTheNextIsNew) {
    Define();
    ScriptDialogs({ Edits({ [](PlotPointsRecord* r) { r->first = 2; r->second = 3; r->plotNow = 1; },
                            [](PlotPointsRecord* r) { r->first = 4; } }) });
    const size_t before = SketchOrder().size();
    ASSERT_EQ(PlotPointsCommand(0), kResultOK);
    EXPECT_EQ(SketchOrder().size(), before + 2);
    EXPECT_EQ(Stored(SketchOrder()[before], 0), 2);
    EXPECT_EQ(Stored(SketchOrder()[before + 1], 0), 4);
}

TEST_F(GraphCommandsTest, EditingAPlottedPointIsUndoneWithItsForm) {
    Define();
    ScriptDialogs({ Edits({ [](PlotPointsRecord* r) { r->first = 2; r->second = -1; } }) });
    PlotPointsCommand(0);
    SketchObject* point = sketch->selectionHead;
    ASSERT_NE(point, nullptr);
    ASSERT_EQ(point->constructionType, 71);

    PlotPointsRecord seen{};
    ScriptDialogs({ Edits({ [&](PlotPointsRecord* r) { seen = *r; r->form = 0; },
                            [](PlotPointsRecord* r) { r->first = 3; r->second = 90; } }) });
    ASSERT_EQ(PlotPointsCommand(0x8000), kResultOK);
    EXPECT_EQ(RanDialogs().back().helpTopic, 30);
    EXPECT_EQ(seen.edited, point);
    EXPECT_EQ(seen.first, 2);
    EXPECT_EQ(point->constructionType, 72);
    EXPECT_NEAR(Stored(point, 1), 1.5707963267949, 1e-12);  // stored in radians
    EXPECT_NEAR(PointPosition(point).y, 150 - 30, 1e-9);
    EXPECT_EQ(sketch->selectionHead, point);

    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(point->constructionType, 71);
    EXPECT_EQ(Stored(point, 0), 2);
    EXPECT_EQ(Stored(point, 1), -1);
    EXPECT_DOUBLE_EQ(PointPosition(point).x, 220);
    EXPECT_DOUBLE_EQ(PointPosition(point).y, 160);
}

}  // namespace

namespace {

// Splitting the origin would tear the system apart: its pieces count as one group.
TEST_F(GraphCommandsTest, TheOriginOfASystemSplitsIntoOneGroupWithItsPieces) {
    const Built b = Define();
    ASSERT_NE(b.system, nullptr);
    uint32_t base = 0;
    EXPECT_EQ(CountSplitGroups(b.origin, &base), 1);
    Build(kTypeSegment, { b.origin, PointAt(0, 0) });
    EXPECT_EQ(CountSplitGroups(b.origin, &base), 2);
}

}  // namespace

namespace {

// Memory running out anywhere in Define Coordinate System or a grid-form change builds
// everything or nothing, and a failed change leaves the form as it was.
TEST_F(GraphCommandsTest, OutOfMemoryBuildsAllOrNothing) {
    for (uint32_t n = 1; n < 400; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n, true);
        DefineCoordSystemCommand(0);
        SetAllocFailureAfter(0);
        const size_t made = SketchOrder().size();
        ASSERT_TRUE(made == 0 || made == 6) << made;
        EXPECT_EQ(UndoDepth(), made ? 1 : 0);
        if (made) break;
    }
    SketchObject* system = MarkedObject(kMarkCoordSystem);
    ASSERT_NE(system, nullptr);
    for (uint32_t n = 1; n < 100; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n, true);
        const bool changed = ChangeGridForm(system, kGridRectangular, false);
        SetAllocFailureAfter(0);
        EXPECT_EQ(CoordSystemOf(system)->gridForm, changed ? kGridRectangular : kGridSquare);
        if (changed) break;
    }
    EXPECT_EQ(CoordSystemOf(system)->gridForm, kGridRectangular);
}

}  // namespace

namespace {

// Two unit distances give a rectangular grid whose axes are both fixed by their values.
TEST_F(GraphCommandsTest, TwoUnitDistancesMakeARectangularSystem) {
    SketchObject* vertical = Value(20);
    SketchObject* horizontal = Value(30);
    SelectSketchObject(vertical);
    SelectSketchObject(horizontal);  // the newest selection is the first of the chain
    const Built b = Define(2 | 4);
    ASSERT_NE(b.system, nullptr);
    EXPECT_EQ(CoordSystemOf(b.system)->gridForm, kGridRectangular);
    EXPECT_EQ(b.axisX->constructionType, 63);
    EXPECT_EQ(b.axisY->constructionType, 63);
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitX, 30);
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitY, 20);
    EXPECT_TRUE(ChangeGridForm(b.system, kGridSquare, true));  // only the form can change
    ASSERT_TRUE(ChangeGridForm(b.system, kGridSquare, false));
    EXPECT_DOUBLE_EQ(CoordSystemOf(b.system)->unitY, 20);
}

}  // namespace
