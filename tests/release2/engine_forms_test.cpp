// figlate's engine revisions, each checked both ways in one run: the shared form with
// nothing installed, then figlate's with its forms installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_keys.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "engine/interact/construction_commands.h"
#include "engine/interact/menu_rules.h"
#include "engine/interact/menu_texts.h"
#include "engine/interact/mouse.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/undo.h"
#include "later_text_source.h"
#include "release2/engine/command_forms.h"
#include "release2/engine/engine_forms.h"
#include "release2/engine/engine_revisions.h"
#include "release2/engine/legacy_helpers.h"
#include "release2/engine/text_stacking.h"
#include "tests/engine/core/sketch_fixture.h"
#include "ui/portable/menu_stream.h"

namespace {

struct FiglateForms {
    FiglateForms() {
        LaterReleaseForms forms = {};
        AddEngineForms(&forms);
        InstallLaterForms(forms);
    }
    ~FiglateForms() { ResetLaterForms(); }
};

TEST(LaterCommandTable, SaveAsTakesItsTextFromShift) {
    uint16_t text = 0, variant = 0, executor = 0;
    int32_t argument = 0;
    auto query = [&] {
        const CommandRow* row = CommandRowAt(18);
        return RunCommandStateQuery(row->stateQuery, 0, row->stateWord, &text, &variant, &executor, &argument);
    };
    Sketch* sketch = CreateSketch(0, nullptr);
    ASSERT_NE(sketch, nullptr);
    Sketch* previous = nullptr;
    SetCurrentSketch(sketch, &previous);
    struct Case { bool figlate; int32_t shift; uint16_t text; int32_t argument; };
    const Case cases[] = {
        { false, 1, menu_text::kTextSaveAsEllipsis, -1 },  // figmantle: one text whatever Shift
        { true, 0, menu_text::kTextSaveAsEllipsis, 1 },
        { true, 1, uint16_t(kLaterItemSaveAsHtml), 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.figlate << " " << c.shift);
        std::optional<FiglateForms> forms;
        if (c.figlate) forms.emplace();
        SetShiftState(c.shift);
        EXPECT_TRUE(query());
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(executor, 8);
        if (c.figlate) {
            EXPECT_EQ(argument, c.argument);
        }
        SetShiftState(0);
    }
    // With Shift the row is refreshed: figlate's "Save As" sits in a group Shift marks.
    {
        FiglateForms forms;
        EXPECT_EQ(CommandRowAt(18)->group, kCommandGroupPreferences);
    }
    EXPECT_EQ(CommandRowAt(18)->group, kCommandGroupDocument);
    SetCurrentSketch(previous, nullptr);
    FreeSketch(sketch);
    uint16_t t = 0, v = 0, e = 0;
    int32_t a = 0;
    FiglateForms forms;
    EXPECT_FALSE(SaveAsMenuState(0, 0, &t, &v, &e, &a));  // no current document
}

TEST(LaterCommandTable, LabelCommandRowOnlyInFiglate) {
    uint32_t row = 0;
    EXPECT_FALSE(MenuCodeToCommandRow(kLabelCommandMenuCode, &row));
    EXPECT_EQ(CommandRowAt(kLabelCommandRow), nullptr);
    EXPECT_EQ(RunCommandExecutor(kLabelCommandExecutor, 0), 0);  // no such slot: nothing runs
    FiglateForms forms;
    ASSERT_TRUE(MenuCodeToCommandRow(kLabelCommandMenuCode, &row));
    EXPECT_EQ(row, kLabelCommandRow);
    ASSERT_NE(CommandRowAt(row), nullptr);
    EXPECT_EQ(CommandRowAt(row)->stateQuery, kQueryLabel);
    EXPECT_FALSE(MenuCodeToCommandRow(84, &row));
    EXPECT_EQ(CommandRowAt(kPlotTableDataRow + 1), nullptr);
    EXPECT_EQ(CommandRowAt(1), &CommandRowTable[1]);
}

// The menu bar: figlate's has the label command after "Show Labels" and Plot Table Data
// after "Plot Points"; figmantle's is the shared one.
TEST(LaterCommandTable, MenuBarGainsTheLaterCommands) {
    using namespace menu_stream;
    size_t sharedLength = 0;
    const uint8_t* shared = DefaultMenuStreamBytes(&sharedLength);
    MenuStreamTree before;
    ASSERT_EQ(ReadMenuStream(shared, sharedLength, &before), ReadResult::Ok);
    uint32_t length = 0;
    const uint8_t* later = LaterDefaultMenuStream(&length);
    ASSERT_EQ(length, sharedLength + 4);
    MenuStreamTree after;
    ASSERT_EQ(ReadMenuStream(later, length, &after), ReadResult::Ok);
    EXPECT_EQ(CountCommandItems(after), CountCommandItems(before) + 2);
    EXPECT_EQ(after.reserveCount, before.reserveCount + 2);
    struct Case { uint16_t after, code; const char* menu; };
    const Case cases[] = {
        { 67, uint16_t(kLabelCommandMenuCode), "Display" },
        { 58, uint16_t(kPlotTableDataMenuCode), "Graph" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        int found = 0;
        for (const MenuStreamPopup& popup : after.popups) {
            for (size_t i = 0; i < popup.items.size(); ++i) {
                if (popup.items[i].kind != ItemKind::Command || popup.items[i].code != c.code) continue;
                ++found;
                ASSERT_GT(i, 0u);
                EXPECT_EQ(popup.items[i - 1].code, c.after);
                EXPECT_EQ(popup.title, c.menu);
            }
        }
        EXPECT_EQ(found, 1);
    }
    std::vector<uint8_t> out;
    EXPECT_FALSE(InsertCommandAfter(shared, sharedLength, 120, 85, &out));  // no such item
    EXPECT_FALSE(InsertCommandAfter(shared, sharedLength - 1, 67, 85, &out));  // cut short
    EXPECT_TRUE(out.empty());
}

class TextStackingTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        gEngine.frontSketch = sketch;
        ResetMouseState();
    }
    void TearDown() override {
        gEngine.frontSketch = nullptr;
        SketchTest::TearDown();
    }
    SketchObject* Caption(int16_t left, int16_t top, int16_t width, int16_t height) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* c = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(c, nullptr);
        RecomputeObject(c, nullptr, true);
        c->exists = 1;
        c->bounds = { left, top, int16_t(left + width), int16_t(top + height) };
        return c;
    }
    static bool ShiftEnter() { return HandleViewCommand(kKeyEnter, kKeyStepsToolbox); }
};

TEST_F(TextStackingTest, ShiftEnterStacksWidensAndStartsOver) {
    SketchObject* first = Caption(50, 40, 80, 20);
    SketchObject* second = Caption(300, 10, 60, 15);
    SelectSketchObject(first);
    SelectSketchObject(second);
    // figmantle: Shift+Enter is not used and nothing moves.
    EXPECT_FALSE(ShiftEnter());
    EXPECT_EQ(second->bounds.left, 300);

    FiglateForms forms;
    ASSERT_TRUE(ShiftEnter());
    EXPECT_EQ(second->bounds.left, 50);
    EXPECT_EQ(second->bounds.top, 62);  // the first's bottom (60) + 2
    EXPECT_EQ(second->bounds.bottom - second->bounds.top, 15);
    EXPECT_EQ(first->bounds.top, 40);
    ASSERT_TRUE(ShiftEnter());
    EXPECT_EQ(second->bounds.top, 63);  // one more pixel
    // Undo puts the second back where the last Shift+Enter found it, with one record.
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), 0);
    EXPECT_EQ(second->bounds.top, 62);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), 0);
    EXPECT_EQ(sketch->selectionHead, second);  // the column selected again, in its order
    EXPECT_EQ(second->nextSelected, first);
    EXPECT_EQ(second->bounds.left, 300);
    EXPECT_EQ(second->bounds.top, 10);
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), 0);
    EXPECT_EQ(second->bounds.left, 50);

    // A column 200 apart starts over at 2.
    const int16_t dy = int16_t(first->bounds.bottom + 200 - second->bounds.top);
    second->bounds.top = int16_t(second->bounds.top + dy);
    second->bounds.bottom = int16_t(second->bounds.bottom + dy);
    SelectSketchObject(first);
    SelectSketchObject(second);
    ASSERT_TRUE(ShiftEnter());
    EXPECT_EQ(second->bounds.top, first->bounds.bottom + kStackSpacing);
}

TEST_F(TextStackingTest, FewerThanTwoFreeTextsMoveNothing) {
    FiglateForms forms;
    SketchObject* caption = Caption(50, 40, 80, 20);
    SketchObject* point = PointAt(200, 200);
    SelectSketchObject(caption);
    SelectSketchObject(point);
    EXPECT_TRUE(ShiftEnter());  // the key is used, but there is no column to make
    EXPECT_FALSE(StackSelectedTextObjects());
    EXPECT_EQ(sketch->undoPosition, nullptr);
    // Out of memory: no record is left and nothing moves.
    SketchObject* other = Caption(300, 10, 60, 15);
    SelectSketchObject(other);
    SetAllocFailureAfter(1);
    EXPECT_FALSE(StackSelectedTextObjects());
    SetAllocFailureAfter(0);
    EXPECT_EQ(other->bounds.left, 300);
    EXPECT_EQ(sketch->undoPosition, nullptr);
}

TEST_F(TextStackingTest, NewPointsShowTheirLabelsOnlyWhenShown) {
    sketch->settings.labelNewPoints = 1;
    SketchObject* shown = PointAt(10, 10);
    SketchObject* hidden = PointAt(20, 20);
    hidden->hidden = kHiddenByUser;
    EXPECT_EQ(AutoLabelNewObject(shown), shown);
    AutoLabelNewObject(hidden);
    EXPECT_EQ(shown->label.shown, 1);
    EXPECT_EQ(hidden->label.shown, 0);
}

}  // namespace

namespace {

class EngineRevisionsTest : public SketchTest {};

TEST_F(EngineRevisionsTest, FiniteValuesOnly) {
    struct Case { double value; bool defined; bool finite; };
    const Case cases[] = {
        { 2.5, true, true }, { 0, false, false }, { HUGE_VAL, true, false }, { -HUGE_VAL, true, false },
        { std::nan(""), true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        SketchObject* m = Value(c.value, c.defined);
        double out = -1;
        EXPECT_EQ(GetFiniteValue(m, &out), c.finite);
        if (c.finite) {
            EXPECT_EQ(out, c.value);
        }
    }
    EXPECT_FALSE(GetFiniteValue(nullptr, nullptr));
    double out = 0;
    EXPECT_FALSE(GetFiniteValue(PointAt(1, 1), &out));  // a point holds no value
}

TEST_F(EngineRevisionsTest, PaddedRecordLengths) {
    struct Case { int32_t kind; uint32_t in, out; };
    const Case cases[] = { { 1, 7, 8 }, { 2, 7, 8 }, { 1, 8, 8 }, { 3, 7, 7 }, { 0, 7, 7 }, { 1, UINT32_MAX, UINT32_MAX } };
    for (const Case& c : cases) EXPECT_EQ(GetPaddedRecordLength(c.kind, c.in), c.out) << c.kind << " " << c.in;
}

TEST_F(EngineRevisionsTest, DuplicateCalculationsMustComputeTheSame) {
    SketchObject* function = PointAt(0, 0);  // stands for the function they derive from
    SketchObject* one = CreateHelperParameter(kKindPlainParameter, 1);
    SketchObject* two = CreateHelperParameter(kKindPlainParameter, 2);
    SketchObject* pattern = CreateHelperParameter(kKindPlainParameter, 2);
    ASSERT_TRUE(one && two && pattern);
    EXPECT_FALSE(IsSameCalculation(one, pattern));
    EXPECT_TRUE(IsSameCalculation(two, pattern));
    EXPECT_FALSE(IsSameCalculation(function, pattern));
    // Made derivatives of the function by hand: only types, parents and tokens are read.
    for (SketchObject* c : { one, two }) {
        c->constructionType = kTypeDerivative;
        c->parents = List({ function });
        ASSERT_TRUE(PtrListAppend(&function->children, c));
    }
    PtrList parents = List({ function });
    struct Case { bool figlate; const SketchObject* pattern; SketchObject* found; };
    const Case cases[] = { { false, pattern, one }, { true, pattern, two }, { true, nullptr, one } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.figlate << " " << (c.pattern != nullptr));
        std::optional<FiglateForms> forms;
        if (c.figlate) forms.emplace();
        bool reversed = true;
        EXPECT_EQ(FindEquivalentObject(ConstructionTypeTable[kTypeDerivative].duplicateRule, parents, 0,
                                       kTypeDerivative, &reversed, c.pattern),
                  c.found);
    }
    FreePtrList(&parents);
    FreePtrList(&function->children);
    for (SketchObject* c : { one, two }) {
        FreePtrList(&c->parents);
        c->constructionType = kTypeFree;
    }
}

TEST_F(EngineRevisionsTest, TheType15PredicateComesPastTheSharedSlots) {
    SketchObject* onPath = PointAt(1, 1);
    onPath->constructionType = kTypePointOnPath;  // only the type is read
    SelectSketchObject(onPath);
    EXPECT_EQ(MenuRulePredicateAnswer(kPredicateType15Source, 0), -1);
    {
        FiglateForms forms;
        EXPECT_EQ(MenuRulePredicateAnswer(kPredicateType15Source, 0), 1);
        EXPECT_EQ(MenuRulePredicateAnswer(kPredicateType15Source + 1, 0), -1);
        onPath->constructionType = kTypeFree;
        EXPECT_EQ(MenuRulePredicateAnswer(kPredicateType15Source, 0), 0);
    }
}

TEST_F(EngineRevisionsTest, ChainOfColoredImagesLeadsToItsSource) {
    SketchObject* a = PointAt(1, 1);
    SketchObject* b = PointAt(2, 2);
    // The chain is made by hand: only the types and first parents are read.
    b->constructionType = 79;
    PtrList parents = List({ a });
    b->parents = parents;
    EXPECT_EQ(FindParentAboveCode79Chain(b), a);
    EXPECT_EQ(FindParentAboveCode79Chain(a), nullptr);
    a->constructionType = 15;
    SelectSketchObject(b);
    EXPECT_TRUE(IsType15Source());
    a->constructionType = 0;
    EXPECT_FALSE(IsType15Source());
    b->parents = 0;
    FreePtrList(&parents);
    b->constructionType = 0;
}

}  // namespace

namespace {

class TypedUndoTextTest : public TextStackingTest {};

TEST_F(TypedUndoTextTest, UndoItemReadsTheSameBothWays) {
    SketchObject* first = Caption(50, 40, 80, 20);
    SketchObject* second = Caption(300, 10, 60, 15);
    SelectSketchObject(first);
    SelectSketchObject(second);
    ASSERT_TRUE(StackSelectedTextObjects());
    char shared[256], typed[256], redo[256];
    BuildUndoMenuText(shared, 50);
    {
        LaterTextsInstalled later;
        LaterReleaseForms forms = LaterForms();
        AddEngineForms(&forms);
        InstallLaterForms(forms);
        BuildUndoMenuText(typed, 50);
        BuildUndoMenuText(redo, 52);
    }
    EXPECT_STREQ(typed, shared);
    EXPECT_NE(std::string(typed).find("Translate"), std::string::npos) << typed;
    EXPECT_STREQ(redo, "&Redo  ");  // nothing to redo: the template with empty arguments
}

}  // namespace
