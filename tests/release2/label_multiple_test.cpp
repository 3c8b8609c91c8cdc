// figlate's Label Multiple Objects and label command: the typed sequence, the example,
// the dialog's record, and what the objects and the sketch's automatic sequences end with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/interact/command_table.h"
#include "later_text_source.h"
#include "release2/engine/engine_forms.h"
#include "release2/engine/label_multiple.h"
#include "release2/engine/label_sequence.h"
#include "tests/engine/core/sketch_fixture.h"
#include "tests/support/dialogs_double.h"

namespace {

std::vector<std::string> Sequence(const char* first, int n) {
    char state[kLabelStateSize];
    std::snprintf(state, sizeof state, "%s", first);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        char label[kLabelStateSize];
        EXPECT_EQ(NextLabelInSequence(state, label), 0);
        out.push_back(label);
    }
    return out;
}

TEST(LabelSequence, CountsOnFromTheTypedLabel) {
    struct Case { const char* first; std::vector<std::string> labels; };
    const Case cases[] = {
        { "A", { "A", "B", "C" } },
        { "X", { "X", "Y", "Z1", "Z2" } },  // never Z itself
        { "Z", { "Z1", "Z2" } },
        { "A9", { "A9", "A10", "A11" } },
        { "A99", { "A99", "A100" } },
        { "A19", { "A19", "A20" } },
        { "x[9]", { "x[9]", "x[10]", "x[11]" } },
        { "x[1]", { "x[1]", "x[2]" } },
        { "P'", { "P'1", "P'2" } },
        { "P1", { "P1", "P2" } },
        { "9", { "9", "10", "11" } },
        { "y", { "y", "z1", "z2" } },
        { "", { "1", "2" } },
        { "]", { "]1", "]2" } },  // a bracket without an opening one is plain text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(Sequence(c.first, int(c.labels.size())), c.labels);
    }
}

TEST(LabelSequence, StateCarriesTheMarkerAndStaysInItsRoom) {
    char state[kLabelStateSize] = "x[9]";
    char label[kLabelStateSize];
    NextLabelInSequence(state, label);
    EXPECT_STREQ(state, "=x[10{...}]");
    EXPECT_STREQ(FindLastMarker("={...}a{...}b"), "{...}b");
    EXPECT_EQ(FindLastMarker("A"), nullptr);
    // A label of nines as long as the room: the carry finds no room to grow, and the
    // state still holds its marker.
    std::string nines(250, '9');
    std::snprintf(state, sizeof state, "%s", nines.c_str());
    for (int i = 0; i < 3; ++i) {
        NextLabelInSequence(state, label);
        EXPECT_LT(std::strlen(state), size_t(kLabelStateSize));
        EXPECT_NE(FindLastMarker(state), nullptr);
    }
}

TEST(LabelSequence, BlankTexts) {
    EXPECT_TRUE(IsBlankText(nullptr));
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_TRUE(IsBlankText("   "));
    EXPECT_FALSE(IsBlankText(" A "));
}

class LabelMultipleTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetDialogDoubles();
    }
    void TearDown() override {
        ResetDialogDoubles();
        SketchTest::TearDown();
    }
    static std::string Text(LayoutNode* node) {
        if (!node) return "(none)";
        LayoutWriteContext w{ nullptr, nullptr, kWritePlainText, nullptr };
        std::string text(size_t(SerializeLayout(node, nullptr, &w)), '\0');
        SerializeLayout(node, text.data(), &w);
        return text;
    }
    static std::string Label(SketchObject* o) {
        char buffer[kLabelBufferSize];
        return GetObjectLabel(o, kLabelSequence, buffer, nullptr);
    }
    // The dialog as the user fills it: the typed label, then OK.
    static void TypeAndOk(const char* typed, LabelMultipleRecord* seen = nullptr) {
        DialogScript script;
        script.edits.push_back([typed, seen](void* record) {
            auto* r = static_cast<LabelMultipleRecord*>(record);
            if (seen) *seen = *r;
            std::snprintf(r->firstLabel, kLabelRecordTextSize, "%s", typed);
        });
        ScriptDialogs({ script });
    }
};

TEST_F(LabelMultipleTest, ExampleShowsTheFirstFiveLabels) {
    LaterTextsInstalled later;
    struct Case { const char* typed; const char* example; };
    const Case cases[] = {
        { "A", "Example: A, B, C, D, E..." },
        { "x[9]", "Example: x[9], x[10], x[11], x[12], x[13]..." },
        { "  ", "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        LayoutNode* sample = BuildLabelSampleLayout(c.typed);
        ASSERT_NE(sample, nullptr);
        EXPECT_EQ(Text(sample), c.example);
        FreeLayoutNode(sample);
    }
    // No memory for the row: no example, nothing leaks.
    for (int32_t n = 1; n < 40; ++n) {
        SetAllocFailureAfter(n);
        LayoutNode* sample = BuildLabelSampleLayout("A");
        SetAllocFailureAfter(0);
        if (sample) FreeLayoutNode(sample);
    }
}

TEST_F(LabelMultipleTest, TypedLabelChangesRenewTheOkButton) {
    char typed[kLabelRecordTextSize] = "A";
    LabelMultipleRecord r{};
    r.firstLabel = typed;
    r.enableBits = 3;
    std::snprintf(r.remembered, sizeof r.remembered, "A");
    EXPECT_FALSE(LabelTextChanged(&r));
    std::snprintf(typed, sizeof typed, "   ");
    EXPECT_TRUE(LabelTextChanged(&r));
    EXPECT_EQ(r.enableBits, 2);
    std::snprintf(typed, sizeof typed, "%s", std::string(100, 'Q').c_str());
    EXPECT_TRUE(LabelTextChanged(&r));
    EXPECT_EQ(r.enableBits, 3);
    EXPECT_EQ(std::strlen(r.remembered), size_t(kLabelTypedLength));
    // Only the first 75 characters count.
    typed[90] = 'R';
    EXPECT_FALSE(LabelTextChanged(&r));
}

TEST_F(LabelMultipleTest, ThreePointsTakeTheSequenceInSelectionOrder) {
    LaterTextsInstalled later;
    struct Case { int32_t automaticStart; const char* afterwards; };
    // The automatic sequence for points stood at A: every label was its next one, so it
    // moved on to D. Standing at P it gave other labels and stays.
    const Case cases[] = { { 0, "D" }, { 15, "P" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.automaticStart);
        FreeSketch(sketch);
        sketch = CreateSketch(0, nullptr);
        SetCurrentSketch(sketch, nullptr);
        SketchObject* p[3] = { PointAt(10, 10), PointAt(20, 20), PointAt(30, 30) };
        for (SketchObject* o : p) Label(o);  // named before the sequence is set
        sketch->labelSequences[kClassPoint].position = c.automaticStart;
        for (SketchObject* o : { p[1], p[0], p[2] }) SelectSketchObject(o);
        LabelMultipleRecord seen{};
        TypeAndOk("A", &seen);
        LabelMultipleObjects();
        ASSERT_EQ(RanDialogs().size(), 1u);
        EXPECT_EQ(RanDialogs()[0].kind, kDialogLabelMultiple);
        EXPECT_TRUE(RanDialogs()[0].hadChangeRoutine);
        EXPECT_EQ(seen.checkFlags, 3);  // some label was hidden
        EXPECT_EQ(seen.showLabels, 1);
        EXPECT_EQ(Label(p[1]), "A");
        EXPECT_EQ(Label(p[0]), "B");
        EXPECT_EQ(Label(p[2]), "C");
        for (SketchObject* o : p) {
            EXPECT_EQ(o->label.level, kLabelGiven);
            EXPECT_EQ(o->label.shown, 1);
        }
        char next[kLabelBufferSize];
        NextAutoLabel(kClassPoint, next);
        EXPECT_STREQ(next, c.afterwards);
        ResetDialogDoubles();
    }
}

TEST_F(LabelMultipleTest, CheckBoxDisabledWhenEveryLabelShowsAndCancelChangesNothing) {
    LaterTextsInstalled later;
    SketchObject* a = PointAt(10, 10);
    SketchObject* b = PointAt(20, 20);
    SetObjectLabel(a, "Q", true);
    for (SketchObject* o : { a, b }) {
        SetLabelShown(o, true, nullptr, true);
        SelectSketchObject(o);
    }
    LabelMultipleRecord seen{};
    DialogScript cancel;
    cancel.ok = false;
    cancel.edits.push_back([&seen](void* record) { seen = *static_cast<LabelMultipleRecord*>(record); });
    ScriptDialogs({ cancel });
    LabelMultipleObjects();
    EXPECT_EQ(seen.checkFlags, 2);
    EXPECT_STREQ(seen.firstLabel, "Q");  // the first selected object's label
    EXPECT_EQ(Label(a), "Q");
    EXPECT_NE(b->label.level, kLabelGiven);
}

TEST_F(LabelMultipleTest, LabelCommandWithOnePointShowsItsLabelAndOpensProperties) {
    LaterTextsInstalled later;
    SketchObject* p = PointAt(10, 10);
    SelectSketchObject(p);
    EXPECT_EQ(LabelCommand(0), 0);
    EXPECT_EQ(p->label.shown, 1);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogProperties);
}

}  // namespace
