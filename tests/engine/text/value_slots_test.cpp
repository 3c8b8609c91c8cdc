#include "engine/text/value_slots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "engine/core/memory.h"
#include "engine/text/value_text.h"
#include "support/alerts_double.h"
#include "support/text_port_double.h"

namespace {

std::string Serialize(LayoutNode* node, uint32_t options = 0) {
    LayoutWriteContext context{};
    context.options = options;
    const int32_t n = SerializeLayout(node, nullptr, &context);
    std::string text(static_cast<size_t>(n), '\0');
    SerializeLayout(node, text.data(), &context);
    return text;
}

std::string RunText(LayoutNode* node) {
    int32_t length = 0;
    const char* text = node ? GetTextRun(node, &length) : nullptr;
    return text ? std::string(text, static_cast<size_t>(length)) : std::string();
}

int32_t Shown(LayoutNode* selector) {
    int32_t index = -1;
    ShownAlternative(selector, &index);
    return index;
}

// One value at slot 3 of a six-slot list, its mantissa inside a row.
class ValueSlots : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreatePtrListArena(&arena_, 64));
        previous_ = SetCurrentPtrListArena(arena_);
        ASSERT_TRUE(AllocPtrList(6, 6, &list_));
        for (int32_t i = 0; i < 6; ++i) PtrListData(list_)[i] = nullptr;
        root_ = CreateLayoutNode(kLayoutRow, nullptr, 0);
        ASSERT_NE(root_, nullptr);
        ASSERT_TRUE(CreateValueSlotText(list_, 3, root_, &mantissa_));
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        FreeLayoutNode(root_);
        FreePtrList(&list_);
        FreeCurrentPtrListArena();
        SetCurrentPtrListArena(previous_);
    }
    LayoutNode* Slot(int32_t i) { return ValueSlotNode(list_, i); }

    PtrListArena* arena_ = nullptr;
    PtrListArena* previous_ = nullptr;
    ValueSlotList list_ = 0;
    LayoutNode* root_ = nullptr;
    LayoutNode* mantissa_ = nullptr;
};

}  // namespace

TEST_F(ValueSlots, PlainValuesNeedNoSelector) {
    FormatValueIntoSlots(list_, 3, 12.345, 2, kValueFormPlain);
    EXPECT_EQ(Slot(3), mantissa_);
    EXPECT_EQ(RunText(mantissa_), "12.35");
    EXPECT_EQ(Slot(4), nullptr);
    EXPECT_EQ(Slot(5), nullptr);
    EXPECT_EQ(Serialize(root_), "<H<T5x12.35>>");
}

TEST_F(ValueSlots, LargeValueBuildsTheExponentFormOnce) {
    FormatValueIntoSlots(list_, 3, 1234567.0, 2, kValueFormPlain);
    LayoutNode* selector = Slot(4);
    ASSERT_NE(selector, nullptr);
    ASSERT_NE(Slot(5), nullptr);
    EXPECT_EQ(selector->kind, kLayoutAlternatives);
    EXPECT_EQ(RunText(mantissa_), "1.23");
    EXPECT_EQ(RunText(Slot(5)), "6");
    EXPECT_EQ(Shown(selector), kSelectPowerTen);
    EXPECT_EQ(mantissa_->parent, selector->parent);  // wrapped together in one row
    EXPECT_EQ(mantissa_->parent->parent, root_);
    EXPECT_EQ(Serialize(root_, kWriteShownAlternativeOnly),
              "<H<H<T4x1.23><+<H<!D7><T2x10>><T1x6>>>>");

    // The power of ten shows: the value measures wider than its mantissa.
    ResetTextPort();
    LayoutDrawState state{};
    MeasureLayout(root_, &state);
    EXPECT_GT(root_->width, mantissa_->width + selector->width / 2);
    EXPECT_GT(selector->width, 0);

    // Back to a plain value: the same nodes, the selector shows nothing.
    FormatValueIntoSlots(list_, 3, 2.5, 1, kValueFormPlain);
    EXPECT_EQ(Slot(4), selector);
    EXPECT_EQ(Shown(selector), kSelectPlain);
    EXPECT_EQ(RunText(mantissa_), "2.5");

    FormatValueIntoSlots(list_, 3, -std::numeric_limits<double>::infinity(), 2, kValueFormPlain);
    EXPECT_EQ(Slot(4), selector);
    EXPECT_EQ(Shown(selector), kSelectInfinity);
    EXPECT_EQ(RunText(mantissa_), "-");
    EXPECT_EQ(RunText(Slot(5)), "6");  // the exponent is left alone

    SetValueSlotText(list_, 3, "undefined");
    EXPECT_EQ(RunText(mantissa_), "undefined");
    EXPECT_EQ(Shown(selector), kSelectPlain);
}

TEST_F(ValueSlots, PlusInfinityShowsOnlyTheGlyph) {
    FormatValueIntoSlots(list_, 3, std::numeric_limits<double>::infinity(), 2, kValueFormPlain);
    EXPECT_EQ(RunText(mantissa_), "");
    EXPECT_EQ(Shown(Slot(4)), kSelectInfinity);
    EXPECT_EQ(Serialize(root_, kWriteShownAlternativeOnly), "<H<H<Tx><!A5>>>");
}

TEST_F(ValueSlots, SlotsOutsideTheListAreRefused) {
    LayoutNode* node = nullptr;
    EXPECT_FALSE(CreateValueSlotText(list_, 6, root_, &node));
    EXPECT_FALSE(CreateValueSlotText(list_, -1, root_, &node));
    EXPECT_EQ(node, nullptr);
    EXPECT_EQ(LayoutChildCount(root_), 1);
    // A mantissa in the list's last slot has no room for the selector and exponent.
    ASSERT_TRUE(CreateValueSlotText(list_, 5, root_, &node));
    FormatValueIntoSlots(list_, 5, 1e9, 2, kValueFormPlain);
    EXPECT_EQ(RunText(node), "");  // unchanged: the exponent form could not be built
    FormatValueIntoSlots(list_, 7, 1.0, 2, kValueFormPlain);  // no mantissa: nothing happens
}

TEST_F(ValueSlots, AMantissaWithoutParentKeepsItsPlainForm) {
    LayoutNode* orphan = nullptr;
    ASSERT_TRUE(CreateValueSlotText(list_, 0, nullptr, &orphan));
    FormatValueIntoSlots(list_, 0, 2e7, 1, kValueFormPlain);
    EXPECT_EQ(Slot(1), nullptr);
    EXPECT_EQ(orphan->parent, nullptr);
    FormatValueIntoSlots(list_, 0, 3.26, 1, kValueFormPlain);
    EXPECT_EQ(RunText(orphan), "3.3");
    FreeLayoutNode(orphan);
}

TEST_F(ValueSlots, RunningOutOfMemoryLeavesTheMantissaInPlace) {
    for (uint32_t n = 1; n < 40; ++n) {
        SCOPED_TRACE(n);
        FormatValueIntoSlots(list_, 3, 1.5, 1, kValueFormPlain);
        SetAllocFailureAfter(n);
        const bool built = AddExponentSlots(list_, 3);
        SetAllocFailureAfter(0);
        EXPECT_TRUE(ShownAlerts().empty());  // a display that cannot grow says nothing
        if (!built) {
            EXPECT_EQ(Slot(4), nullptr);
            EXPECT_EQ(Slot(5), nullptr);
            EXPECT_EQ(mantissa_->parent, root_);
            EXPECT_EQ(Serialize(root_), "<H<T3x1.5>>");
            continue;
        }
        EXPECT_NE(Slot(4), nullptr);
        EXPECT_NE(Slot(5), nullptr);
        FormatValueIntoSlots(list_, 3, 3e8, 0, kValueFormPlain);
        EXPECT_EQ(Serialize(root_, kWriteShownAlternativeOnly),
                  "<H<H<T1x3><+<H<!D7><T2x10>><T1x8>>>>");
        return;
    }
    FAIL() << "the exponent form was never built";
}

TEST(BuildNumberLayout, ARowHoldingThePlainValue) {
    Sketch* sketch = CreateSketch(64, nullptr);
    Sketch* other = CreateSketch(64, nullptr);
    ASSERT_TRUE(sketch && other);
    Sketch* before = nullptr;
    SetCurrentSketch(other, &before);
    LayoutNode* row = BuildNumberLayout(sketch, 0.125, 3);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(CurrentSketch(), other);
    EXPECT_EQ(Serialize(row), "<H<T5x0.125>>");
    FreeLayoutNode(row);

    row = BuildNumberLayout(sketch, -4.5e12, 1);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Serialize(row, kWriteShownAlternativeOnly), "<H<H<T4x-4.5><+<H<!D7><T2x10>><T2x12>>>>");
    FreeLayoutNode(row);
    EXPECT_EQ(BuildNumberLayout(nullptr, 1.0, 2), nullptr);

    FreeSketch(sketch);
    FreeSketch(other);
    SetCurrentSketch(before, nullptr);
}
