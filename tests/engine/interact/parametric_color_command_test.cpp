// The Parametric Color command: what it takes from the selection, what the dialog's
// answers build, and what it keeps for the next time.
#include "engine/interact/parametric_color_command.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/construction_data.h"
#include "engine/core/parametric_color.h"
#include "engine/core/sketch_fixture.h"
#include "engine/interact/command_executors.h"
#include "tests/support/dialogs_double.h"

namespace {

DialogField* Fields(void* record) { return static_cast<DialogField*>(record); }

// A dialog answer that sets the fields it is given (model, repeat, From, To) and
// notes the range the dialog opened with.
DialogScript Answer(bool ok, int32_t model, int32_t repeat, double from, double to,
                    std::vector<double>* opened = nullptr) {
    DialogScript s;
    s.ok = ok;
    s.edits.push_back([=](void* record) {
        DialogField* f = Fields(record);
        if (opened) *opened = { f[kParamColorFieldFrom].value.real, f[kParamColorFieldTo].value.real };
        f[kParamColorFieldModel].value.integer = model;
        f[kParamColorFieldRepeat].value.integer = repeat;
        f[kParamColorFieldFrom].value.real = from;
        f[kParamColorFieldTo].value.real = to;
    });
    return s;
}

class ParametricColorCommandTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
    }
    void TearDown() override {
        ResetDialogDoubles();
        SketchTest::TearDown();
    }
    std::vector<SketchObject*> Images() const {
        std::vector<SketchObject*> out;
        for (SketchObject* o = sketch->firstObject; o && o != kNotLinked; o = o->nextInSketch)
            if (o->constructionType == kTypeParametricColor) out.push_back(o);
        return out;
    }
    static ParametricColorData DataOf(const SketchObject* image) {
        uint8_t bytes[kParametricColorDataBytes] = {};
        EXPECT_TRUE(ReadConstructionData(image, bytes, sizeof bytes));
        return UnpackParametricColorData(bytes);
    }
    static std::vector<SketchObject*> Parents(const SketchObject* o) {
        std::vector<SketchObject*> out;
        int32_t n = 0;
        PtrListSize(o->parents, &n);
        for (int32_t i = 0; i < n; ++i) out.push_back(static_cast<SketchObject*>(PtrListItem(o->parents, i)));
        return out;
    }
    // Opens the dialog with the next script and answers what range it opened with.
    std::vector<double> RunOpened(DialogScript script) {
        std::vector<double> opened;
        script.edits.insert(script.edits.begin(), [&](void* record) {
            opened = { Fields(record)[kParamColorFieldFrom].value.real, Fields(record)[kParamColorFieldTo].value.real };
        });
        ScriptDialogs({ script });
        EXPECT_EQ(ParametricColorCommand(0), kResultOK);
        return opened;
    }
};

}  // namespace

TEST_F(ParametricColorCommandTest, OneValueColoursEachTargetInOneUndoStep) {
    SketchObject* d = Value(5);
    SketchObject* p = PointAt(10, 10);
    SketchObject* q = PointAt(30, 10);
    q->traced = 1;
    SelectSketchObject(p);
    SelectSketchObject(d);
    SelectSketchObject(q);
    const int32_t depth = UndoDepth();
    ScriptDialogs({ Answer(true, 0, 2, 0, 10) });
    ASSERT_EQ(ParametricColorCommand(0), kResultOK);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogParamColor);
    EXPECT_EQ(RanDialogs()[0].helpTopic, 38);
    EXPECT_FALSE(RanDialogs()[0].hadChangeRoutine);

    const std::vector<SketchObject*> images = Images();
    ASSERT_EQ(images.size(), 2u);
    // Oldest selection first; each image of its target and the value, with its traced flag.
    EXPECT_EQ(Parents(images[0]), (std::vector<SketchObject*>{ p, d }));
    EXPECT_EQ(Parents(images[1]), (std::vector<SketchObject*>{ q, d }));
    EXPECT_EQ(images[0]->traced, 0);
    EXPECT_EQ(images[1]->traced, 1);
    const ParametricColorData data = DataOf(images[0]);
    EXPECT_EQ(data.modeWord, 0x12u);
    EXPECT_EQ(data.from, 0);
    EXPECT_EQ(data.to, 10);
    uint8_t r, g, b;
    ASSERT_TRUE(ParametricColorFromValue(5, 0, 10, 2, true, &r, &g, &b));
    EXPECT_EQ(images[0]->color & 0xFFFFFF, uint32_t(r | g << 8 | b << 16));
    // The images replace the selection.
    EXPECT_TRUE(IsSelected(images[0]) && IsSelected(images[1]));
    EXPECT_FALSE(IsSelected(p) || IsSelected(d) || IsSelected(q));

    EXPECT_EQ(UndoDepth(), depth + 1);
    ASSERT_EQ(UndoRedoCommand(0), kResultOK);
    EXPECT_TRUE(Images().empty());
}

TEST_F(ParametricColorCommandTest, ThreeValuesGiveRedFromTheFirstPicked) {
    SketchObject* a = Value(1);
    SketchObject* b = Value(0);
    SketchObject* c = Value(0.5);
    SketchObject* p = PointAt(10, 10);
    for (SketchObject* o : { a, b, p, c }) SelectSketchObject(o);
    ScriptDialogs({ Answer(true, 0, 1, 0, 1) });
    ASSERT_EQ(ParametricColorCommand(1), kResultOK);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogParamColorRgb);
    EXPECT_EQ(RanDialogs()[0].helpTopic, 39);
    const std::vector<SketchObject*> images = Images();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(Parents(images[0]), (std::vector<SketchObject*>{ p, c, b, a }));
    EXPECT_EQ(DataOf(images[0]).modeWord, 0x31u);
    EXPECT_EQ(images[0]->color & 0xFFFFFF, 0x7F00FFu);  // red 255, green 0, blue 127
}

TEST_F(ParametricColorCommandTest, CancelAndAnEmptyRangeBuildNothingAndKeepTheLastChoices) {
    SketchObject* d = Value(5);
    SketchObject* p = PointAt(10, 10);
    SelectSketchObject(d);
    SelectSketchObject(p);
    ScriptDialogs({ Answer(true, 1, 0, 2, 7) });
    ASSERT_EQ(ParametricColorCommand(0), kResultOK);
    ASSERT_EQ(Images().size(), 1u);
    EXPECT_EQ(DataOf(Images()[0]).modeWord, 0x20u);

    SketchObject* q = PointAt(50, 50);
    DeselectAll();
    SelectSketchObject(d);
    SelectSketchObject(q);
    EXPECT_EQ(RunOpened(Answer(false, 0, 2, 3, 4)), (std::vector<double>{ 2, 7 }));
    EXPECT_EQ(RunOpened(Answer(true, 0, 2, 6, 6)), (std::vector<double>{ 2, 7 }));
    EXPECT_EQ(Images().size(), 1u);
    // The record too: grey and no repetition are still chosen.
    std::vector<double> choices;
    DialogScript look;
    look.ok = false;
    look.edits.push_back([&](void* r) { choices = { double(Fields(r)[0].value.integer), double(Fields(r)[1].value.integer) }; });
    ScriptDialogs({ look });
    ParametricColorCommand(0);
    EXPECT_EQ(choices, (std::vector<double>{ 1, 0 }));
    EXPECT_TRUE(IsSelected(d) && IsSelected(q));
}

TEST_F(ParametricColorCommandTest, OnlyOneOrThreeMeasurementsAndSomethingToColourOpenTheDialog) {
    SketchObject* v[4] = { Value(1), Value(2), Value(3), Value(4) };
    SketchObject* p = PointAt(10, 10);
    struct Case { const char* name; std::vector<SketchObject*> selected; bool opens; };
    const Case cases[] = {
        { "no target", { v[0] }, false },
        { "two values", { v[0], v[1], p }, false },
        { "no value", { p }, false },
        // A fourth measurement is not kept: the three newest are.
        { "four values", { v[0], v[1], v[2], v[3], p }, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDialogDoubles();
        DeselectAll();
        for (SketchObject* o : c.selected) SelectSketchObject(o);
        ScriptDialogs({ Answer(true, 0, 1, 0, 10) });
        ASSERT_EQ(ParametricColorCommand(1), kResultOK);
        EXPECT_EQ(RanDialogs().size(), c.opens ? 1u : 0u);
    }
    ASSERT_EQ(Images().size(), 1u);
    EXPECT_EQ(Parents(Images()[0]), (std::vector<SketchObject*>{ p, v[3], v[2], v[1] }));
    EXPECT_FALSE(IsSelected(v[0]));
}
