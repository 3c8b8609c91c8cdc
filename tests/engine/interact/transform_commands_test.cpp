// The Transform and Mark commands with scripted dialogs and answers: the type chosen for
// every form and mark, refusals and questions, the live preview, picking, the default
// centre and mirror, and the captions of marked items.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/calc/value_objects.h"
#include "engine/core/angle_constants.h"
#include "engine/core/marks.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/transform_settings.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/pick_session.h"
#include "engine/interact/transform_commands.h"
#include "engine/text/layout.h"
#include "engine/core/services/alerts.h"
#include "tests/support/alerts_double.h"
#include "tests/support/dialogs_double.h"

namespace {

TransformSettings& Of(void* record) { return *static_cast<TransformSettings*>(record); }

class TransformCommandTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
        ResetAlertDoubles();
        sketch->settings.angleUnit = 1;     // degrees
        sketch->settings.distanceUnit = 0;  // pixels
    }
    void TearDown() override {
        ResetDialogDoubles();
        ResetAlertDoubles();
        SketchTest::TearDown();
    }
    SketchObject* Caption() {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* o = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(o, nullptr);
        return o;
    }
    SketchObject* Segment(double x0, double y0, double x1, double y1) {
        return Build(kTypeSegment, { PointAt(x0, y0), PointAt(x1, y1) });
    }
    void Select(std::initializer_list<SketchObject*> objects) {
        DeselectAll();
        for (SketchObject* o : objects) SelectSketchObject(o);
    }
    TransformSettings& Settings() { return sketch->transformSettings; }
    int32_t ObjectCount() const { return static_cast<int32_t>(SketchOrder().size()); }
    std::vector<SketchObject*> Selected() const {
        std::vector<SketchObject*> out;
        for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) out.push_back(o);
        return out;
    }
    std::vector<int32_t> AlertCodes() const {
        std::vector<int32_t> codes;
        for (const ShownAlert& a : ShownAlerts()) codes.push_back(a.code);
        return codes;
    }
    static DialogScript Edit(std::function<void(TransformSettings&)> edit, bool ok = true) {
        DialogScript script;
        script.edits.push_back([edit](void* record) { edit(Of(record)); });
        script.ok = ok;
        return script;
    }
};

}  // namespace

TEST_F(TransformCommandTest, TypeForEveryFormAndMark) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* c = PointAt(10, 10);
    SketchObject* d = Value(1, true, kKindDistanceMeasure);
    SketchObject* angle = Value(1, true, kKindAngleMeasure);
    SketchObject* factor = Value(2);
    SketchObject* s1 = Build(kTypeSegment, { a, b });
    SketchObject* s2 = Build(kTypeSegment, { b, c });
    enum Marks { kNone = 0, kVector = 1, kH = 2, kV = 4, kAngleValue = 8, kAnglePoints = 16,
                 kFactor = 32, kSegments = 64, kRatioPoints = 128 };
    struct Case { int32_t dialog, form, sources, marks, type; };
    // sources: 1 polar angle, 2 distance, 4 vertical, 8 rotation, 16 ratio marked.
    const Case cases[] = {
        { 0, 2, 0, kVector, 20 }, { 0, 2, 0, kNone, kNoTransformType },
        { 0, 1, 0, kNone, 21 }, { 0, 1, 4, kV, 22 }, { 0, 1, 2, kH, 23 }, { 0, 1, 6, kH | kV, 24 },
        { 0, 1, 2, kNone, kNoTransformType }, { 0, 1, 4, kH, kNoTransformType },
        { 0, 0, 0, kNone, 25 }, { 0, 0, 2, kH, 28 },
        { 0, 0, 1, kAngleValue, 27 }, { 0, 0, 3, kAngleValue | kH, 30 },
        { 0, 0, 1, kAnglePoints, 26 }, { 0, 0, 3, kAnglePoints | kH, 29 },
        { 0, 0, 1, kNone, kNoTransformType },
        { 1, 0, 0, kNone, 31 }, { 1, 0, 8, kAngleValue, 33 }, { 1, 0, 8, kAnglePoints, 32 },
        { 1, 0, 8, kNone, kNoTransformType },
        { 2, 0, 0, kNone, 34 }, { 2, 0, 16, kFactor, 37 }, { 2, 0, 16, kSegments, 35 },
        { 2, 0, 16, kRatioPoints, 36 }, { 2, 0, 16, kNone, kNoTransformType },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.dialog << " form " << k.form << " sources " << k.sources
                                        << " marks " << k.marks);
        for (int32_t slot = 0; slot < kMarkSlotCount; ++slot) ClearMark(slot);
        if (k.marks & kVector) { MarkObject(kMarkVectorHead, b, false); MarkObject(kMarkVectorTail, a, false); }
        if (k.marks & kH) MarkObject(kMarkDistance, d, false);
        if (k.marks & kV) { sketch->marks[kMarkVertical] = { { d }, kMarkSet }; }
        if (k.marks & kAngleValue) MarkObject(kMarkAngleValue, angle, false);
        if (k.marks & kAnglePoints) {
            MarkObject(kMarkAngleLast, c, false);
            MarkObject(kMarkAngleVertex, b, false);
            MarkObject(kMarkAngleFirst, a, false);
        }
        if (k.marks & kFactor) MarkObject(kMarkScaleFactor, factor, false);
        if (k.marks & kSegments) { MarkObject(kMarkRatioDenominator, s1, false); MarkObject(kMarkRatioNumerator, s2, false); }
        if (k.marks & kRatioPoints) {
            MarkObject(kMarkRatioPoint, c, false);
            MarkObject(kMarkUnitPoint, b, false);
            MarkObject(kMarkRatioOrigin, a, false);
        }
        TransformSettings& s = Settings();
        s.field[kTfDialog].value.integer = k.dialog;
        s.field[kTfTranslateForm].value.integer = k.form;
        s.field[kTfPolarAngleSource].value.integer = (k.sources & 1) ? 1 : 0;
        s.field[kTfDistanceSource].value.integer = (k.sources & 2) ? 1 : 0;
        s.field[kTfVerticalSource].value.integer = (k.sources & 4) ? 1 : 0;
        s.field[kTfRotationSource].value.integer = (k.sources & 8) ? 1 : 0;
        s.field[kTfRatioSource].value.integer = (k.sources & 16) ? 1 : 0;
        EXPECT_EQ(ChooseTransformType(&s), k.type);
    }
}

TEST_F(TransformCommandTest, ReflectFindsAMirrorOrRefuses) {
    SketchObject* p = PointAt(30, 40);
    Select({ p });
    TransformCommand(3);
    EXPECT_EQ(AlertCodes(), std::vector<int32_t>{ 105 });
    EXPECT_EQ(ObjectCount(), 1);

    // The straight object nearest the window centre (100, 100), a visible one first.
    SketchObject* far = Segment(300, -50, 300, 50);
    SketchObject* hiddenNear = Segment(110, 0, 110, 200);
    SetObjectHidden(hiddenNear, kHiddenByUser, false);
    Select({ p });
    TransformCommand(3);
    ASSERT_EQ(MarkedObject(kMarkMirror), far);
    const std::vector<SketchObject*> images = Selected();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(PointPosition(images[0]).x, 570);
    EXPECT_EQ(UndoDepth(), 1);

    // Only the mirror selected: it cannot be reflected across itself.
    ResetAlertDoubles();
    Select({ far });
    TransformCommand(3);
    EXPECT_EQ(AlertCodes(), std::vector<int32_t>{ 121 });
    // The mirror among others is its own image.
    Select({ far, p });
    TransformCommand(3);
    const std::vector<SketchObject*> both = Selected();
    ASSERT_EQ(both.size(), 2u);
    EXPECT_TRUE(both[0] == far || both[1] == far);
}

TEST_F(TransformCommandTest, RotateInAnEmptySketchMakesAndMarksACentre) {
    SketchObject* caption = Caption();
    Select({ caption });
    TransformCommand(1);  // no script: the dialog is cancelled
    SketchObject* centre = MarkedObject(kMarkCentre);
    ASSERT_NE(centre, nullptr);
    EXPECT_EQ(PointPosition(centre).x, 100);
    EXPECT_EQ(PointPosition(centre).y, 100);
    ASSERT_FALSE(RecordedFlashes().empty());
    EXPECT_EQ(RecordedFlashes().back().objects[0], centre);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogRotate);
    EXPECT_EQ(RanDialogs()[0].helpTopic, 3);
    EXPECT_TRUE(RanDialogs()[0].hadChangeRoutine);
    EXPECT_EQ(Selected(), std::vector<SketchObject*>{ caption });

    // Undone, the new centre's slot waits for a redo; a later rotation prefers a visible
    // point to making another one.
    ASSERT_EQ(UndoRedoCommand(0), kResultOK);
    EXPECT_EQ(MarkedObject(kMarkCentre), nullptr);
    EXPECT_EQ(MarkSlotState(kMarkCentre), 1);
    ASSERT_EQ(UndoRedoCommand(1), kResultOK);
    EXPECT_EQ(MarkedObject(kMarkCentre), centre);
    ASSERT_EQ(UndoRedoCommand(0), kResultOK);
    SketchObject* near = PointAt(90, 95);
    Select({ caption });
    TransformCommand(1);
    EXPECT_EQ(MarkedObject(kMarkCentre), near);
}

TEST_F(TransformCommandTest, RefusalsOfFixedValuesAndOfTheCentre) {
    SketchObject* centre = PointAt(0, 0);
    SketchObject* p = PointAt(10, 0);
    MarkObject(kMarkCentre, centre, false);
    struct Case { int32_t dialog; std::function<void(TransformSettings&)> edit; int32_t alert; };
    const Case cases[] = {
        { 1, [](TransformSettings& s) { s.field[kTfRotationAngle].value.real = 0; }, 111 },
        { 2, [](TransformSettings& s) { s.field[kTfNumerator].value.real = 0; }, 112 },
        { 2, [](TransformSettings& s) { s.field[kTfDenominator].value.real = 0; }, 113 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alert);
        ResetAlertDoubles();
        Select({ p });
        const int32_t before = ObjectCount();
        ScriptDialogs({ Edit(c.edit) });
        TransformCommand(c.dialog);
        EXPECT_EQ(AlertCodes(), std::vector<int32_t>{ c.alert });  // the preview showed none
        EXPECT_EQ(ObjectCount(), before);
        EXPECT_EQ(UndoDepth(), 0);
        Settings().field[kTfRotationAngle].value.real = kHalfPi;
        Settings().field[kTfNumerator].value.real = 1;
        Settings().field[kTfDenominator].value.real = 2;
    }
    // Only the centre selected: alert 120; with another object the centre is its own image.
    ResetAlertDoubles();
    Select({ centre });
    ScriptDialogs({ DialogScript{} });
    TransformCommand(1);
    EXPECT_EQ(AlertCodes(), std::vector<int32_t>{ 120 });
    Select({ centre, p });
    ScriptDialogs({ DialogScript{} });
    TransformCommand(1);
    const std::vector<SketchObject*> images = Selected();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_TRUE(images[0] == centre || images[1] == centre);
    SketchObject* turned = images[0] == centre ? images[1] : images[0];
    EXPECT_NEAR(PointPosition(turned).x, 0, 1e-12);
    EXPECT_EQ(PointPosition(turned).y, -10);  // 90 degrees: up on screen
}

TEST_F(TransformCommandTest, QuestionsForMarksThatAreUndefined) {
    SketchObject* centre = PointAt(0, 0);
    SketchObject* p = PointAt(10, 0);
    SketchObject* angle = Value(1, true, kKindAngleMeasure);
    ValueDisplayOf(angle)->defined = 0;
    MarkObject(kMarkCentre, centre, false);
    MarkObject(kMarkAngleValue, angle, false);
    for (bool yes : { false, true }) {
        SCOPED_TRACE(yes);
        ResetAlertDoubles();
        ScriptQuestionAnswers({ yes });
        Select({ p });
        const int32_t before = ObjectCount();
        ScriptDialogs({ DialogScript{} });
        TransformCommand(1);
        ASSERT_EQ(AskedQuestions().size(), 1u);  // the preview asked nothing
        EXPECT_EQ(AskedQuestions()[0].code, 114);
        EXPECT_EQ(AskedQuestions()[0].buttons, kQuestionYesNo);
        EXPECT_EQ(ObjectCount(), before + (yes ? 1 : 0));
        if (yes) {
            EXPECT_EQ(sketch->lastObject->exists, 0);  // it may exist later
        }
    }
}

TEST_F(TransformCommandTest, PreviewIsRealUndoableObjectsThatGoAway) {
    SketchObject* centre = PointAt(0, 0);
    SketchObject* p = PointAt(10, 0);
    SketchObject* q = PointAt(0, 20);
    MarkObject(kMarkCentre, centre, false);
    Select({ p, q });
    const int32_t before = ObjectCount();
    std::vector<int32_t> seen;
    std::vector<bool> previewBits;
    DialogScript script;
    for (double ratio : { 3.0, 0.0, 5.0 }) {
        script.edits.push_back([&, ratio](void* record) {
            Of(record).field[kTfNumerator].value.real = ratio;
            Of(record).field[kTfDenominator].value.real = 1;
        });
        // After the change routine of the edit before: what the preview shows.
        script.edits.push_back([&](void*) {
            seen.push_back(ObjectCount() - before);
            previewBits.push_back(sketch->lastObject && (sketch->lastObject->stateFlags & kObjectPreview));
        });
    }
    script.ok = false;
    ScriptDialogs({ script });
    TransformCommand(2);
    // Two images while the ratio is usable, none (and no message) for ratio 0.
    EXPECT_EQ(seen, (std::vector<int32_t>{ 2, 0, 2 }));
    EXPECT_EQ(previewBits, (std::vector<bool>{ true, false, true }));
    EXPECT_TRUE(ShownAlerts().empty());
    // Cancel leaves nothing behind.
    EXPECT_EQ(ObjectCount(), before);
    EXPECT_EQ(UndoDepth(), 0);
    EXPECT_EQ(Selected().size(), 2u);

    // OK builds the final images as one undo step and selects them.
    ScriptDialogs({ Edit([](TransformSettings& s) { s.field[kTfNumerator].value.real = 3; }) });
    TransformCommand(2);
    EXPECT_EQ(ObjectCount(), before + 2);
    EXPECT_EQ(UndoDepth(), 1);
    for (SketchObject* image : Selected()) EXPECT_EQ(image->stateFlags & kObjectPreview, 0);
    EXPECT_EQ(PointPosition(sketch->lastObject).y, 60);
    EXPECT_EQ(UndoRedoCommand(0), kResultOK);
    EXPECT_EQ(ObjectCount(), before);
    EXPECT_EQ(UndoRedoCommand(0), kResultNothingToUndo);
}

TEST_F(TransformCommandTest, PreviewStopsWhenTheHistoryRunsOut) {
    SketchObject* centre = PointAt(0, 0);
    MarkObject(kMarkCentre, centre, false);
    ASSERT_NE(Build(kTypeSegment, { PointAt(50, 50), PointAt(60, 60) }, nullptr, 0, true), nullptr);
    ASSERT_EQ(UndoDepth(), 1);  // where the preview starts
    Select({ PointAt(10, 0) });
    DialogScript script;
    // The history is dropped under the preview: its start can no longer be reached.
    script.edits.push_back([&](void*) { UndoTrimHistory(sketch, 0); });
    script.ok = false;
    ScriptDialogs({ script });
    TransformCommand(1);
    EXPECT_EQ(UndoDepth(), 0);
}

TEST_F(TransformCommandTest, TranslatingTheTailOfTheMarkedVectorGivesItsHead) {
    SketchObject* tail = PointAt(0, 0);
    SketchObject* head = PointAt(5, 5);
    SketchObject* other = PointAt(20, 0);
    Select({ tail, head });
    MarkCommand(kMarkVectorHead);  // the newest selected is the head
    EXPECT_EQ(MarkedObject(kMarkVectorHead), head);
    EXPECT_EQ(MarkedObject(kMarkVectorTail), tail);
    EXPECT_EQ(GetTranslateForm(), kTranslateVector);
    EXPECT_TRUE(Selected().empty());
    Select({ tail, other });
    const int32_t before = ObjectCount();
    ScriptDialogs({ DialogScript{} });
    TransformCommand(0);
    EXPECT_EQ(ObjectCount(), before + 1);
    const std::vector<SketchObject*> images = Selected();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_TRUE(images[0] == head || images[1] == head);
}

TEST_F(TransformCommandTest, MarkCommandsWalkTheSelectionNewestFirst) {
    SketchObject* first = PointAt(0, 0);
    SketchObject* vertex = PointAt(10, 0);
    SketchObject* last = PointAt(10, 10);
    SketchObject* d1 = Value(1, true, kKindDistanceMeasure);
    SketchObject* d2 = Value(1, true, kKindDistanceMeasure);
    SketchObject* seg = Segment(0, 50, 10, 50);
    Select({ first, seg, vertex, last });
    MarkCommand(kMarkAngleLast);
    EXPECT_EQ(MarkedObject(kMarkAngleLast), last);
    EXPECT_EQ(MarkedObject(kMarkAngleVertex), vertex);
    EXPECT_EQ(MarkedObject(kMarkAngleFirst), first);
    EXPECT_TRUE(IsMarkGroupSet(kMarkAngle));
    EXPECT_EQ(Selected(), std::vector<SketchObject*>{ seg });  // did not fit

    // One distance in the polar form fills both distance slots.
    Select({ d1 });
    MarkCommand(kMarkVertical);
    EXPECT_EQ(MarkedObject(kMarkDistance), d1);
    EXPECT_EQ(MarkedObject(kMarkVertical), d1);
    EXPECT_EQ(GetTranslateForm(), kTranslatePolar);
    // Two distances marked by one command: the older goes to the horizontal slot and
    // the form becomes rectangular.
    Select({ d1, d2 });
    MarkCommand(kMarkVertical);
    EXPECT_EQ(MarkedObject(kMarkVertical), d2);
    EXPECT_EQ(MarkedObject(kMarkDistance), d1);
    EXPECT_EQ(GetTranslateForm(), kTranslateRectangular);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(TransformCommandTest, PickingMarksFromTheOpenDialog) {
    SketchObject* centre = PointAt(0, 0);
    SketchObject* s1 = Segment(0, 50, 30, 50);
    SketchObject* s2 = Segment(0, 80, 10, 80);
    SketchObject* p = PointAt(10, 10);
    MarkObject(kMarkCentre, centre, false);
    Select({ p });
    DialogScript script;
    script.edits.push_back([&](void*) {
        // Preview images cannot be picked; the only selected object cannot be the centre.
        EXPECT_TRUE(sketch->lastObject->stateFlags & kObjectPreview);
        EXPECT_FALSE(PickSessionHover(sketch->lastObject));
        EXPECT_FALSE(PickSessionHover(p));
        EXPECT_FALSE(PickSessionHover(centre));  // already the centre
        // One straight object leaves the ratio group incomplete; a second completes it.
        EXPECT_EQ(PickSessionClick(s1), 1);
        EXPECT_EQ(MarkedObject(kMarkRatioDenominator), s1);
        EXPECT_FALSE(IsMarkGroupSet(kMarkSegmentRatio));
        EXPECT_EQ(PickSessionClick(s2), 1);
        EXPECT_EQ(MarkedObject(kMarkRatioNumerator), s1);
        EXPECT_EQ(MarkedObject(kMarkRatioDenominator), s2);
        EXPECT_TRUE(IsMarkGroupSet(kMarkSegmentRatio));
        EXPECT_EQ(Settings().field[kTfRatioSource].value.integer, 1);
    });
    ScriptDialogs({ script });
    TransformCommand(2);
    EXPECT_FALSE(PickSessionActive());
    const std::vector<SketchObject*> images = Selected();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_NEAR(PointPosition(images[0]).x, 30, 1e-9);  // by 30 / 10 about the centre
    EXPECT_EQ(images[0]->constructionType, 35);
}

TEST_F(TransformCommandTest, CaptionsOfMarkedItems) {
    SketchObject* a = PointAt(0, 0);
    SketchObject* b = PointAt(10, 0);
    SketchObject* c = PointAt(10, 10);
    for (int32_t field = 0; field <= 6; ++field) EXPECT_EQ(TransformDialogCaption(field, nullptr), nullptr) << field;
    MarkObject(kMarkCentre, a, false);
    MarkObject(kMarkAngleLast, c, false);
    MarkObject(kMarkAngleVertex, b, false);
    MarkObject(kMarkAngleFirst, a, false);
    for (int32_t field : { 2, 6 }) {
        LayoutNode* caption = TransformDialogCaption(field, nullptr);
        EXPECT_NE(caption, nullptr) << field;
        if (caption) FreeLayoutNode(caption);
    }
    // A template needs every slot it names.
    MarkObject(kMarkRatioDenominator, Segment(0, 0, 5, 5), false);
    EXPECT_EQ(TransformDialogCaption(3, nullptr), nullptr);
}
