#include "engine/text/object_text.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/sketch_fixture.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "tests/support/views_double.h"

namespace {

class ObjectTextTest : public SketchTest {
protected:
    void TearDown() override {
        RecordedViewRequests().noView = false;
        SketchTest::TearDown();
    }

    SketchObject* NewCaption() {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        return ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    }

    // A caption put where new ones go, with the candidate's size.
    SketchObject* PlacedCaption() {
        SketchObject* c = NewCaption();
        EXPECT_NE(c, nullptr);
        c->bounds.right = static_cast<int16_t>(c->bounds.left + 60);
        c->bounds.bottom = static_cast<int16_t>(c->bounds.top + 15);
        return c;
    }

    static std::string Text(LayoutNode* node) {
        LayoutWriteContext w{ nullptr, nullptr, 0, nullptr };
        std::string text(size_t(SerializeLayout(node, nullptr, &w)), '\0');
        SerializeLayout(node, text.data(), &w);
        return text;
    }
};

TEST(TextSizeLadder, StepsAlongTheRungs) {
    struct Case { int32_t size, step, result; };
    const Case cases[] = {
        { 11, 1, 12 }, { 11, -1, 10 }, { 72, 1, 128 }, { 128, 1, 128 }, { 200, -1, 128 },
        { 8, -1, 8 }, { 5, 1, 8 }, { 12, 1, 14 }, { 12, -1, 10 }, { 200, 1, 200 }, { 5, -1, 5 }, { 9, 0, 9 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size * 10 + c.step);
        EXPECT_EQ(SteppedTextSize(c.size, c.step), c.result);
    }
}

TEST_F(ObjectTextTest, StylesApplyToTheWholeCaptionAndToLabels) {
    SketchObject* c = NewCaption();
    ASSERT_NE(c, nullptr);
    LayoutParseContext p{ nullptr, nullptr, nullptr, 0 };
    LayoutNode* tree = nullptr;
    ASSERT_EQ(ParseLayoutString(&tree, "<H<T'a'><SW2#12<T'b'>>>", &p), kLayoutParseOK);
    CaptionInit init{ tree, c->textStyle, 10, 10 };
    ASSERT_TRUE(SetObjectTextLayout(c, &init));
    RelayoutObjectText(c, false);
    const int16_t width = c->bounds.right - c->bounds.left;

    TextStyle bigger{};
    bigger.field[kStyleSize] = 24;
    bigger.field[kStyleWeight] = 2;
    ApplyTextStyleToObject(c, &bigger, 0);
    CaptionData* d = CaptionDataOf(c);
    EXPECT_EQ(d->style.field[kStyleSize], 24);
    // The style node inside gives up the fields the caption now sets.
    EXPECT_EQ(Text(d->layout).find("#"), std::string::npos);
    EXPECT_GT(c->bounds.right - c->bounds.left, width);

    // A size field of 0 inherits: the size stays; a step moves it along the ladder.
    TextStyle none{};
    ApplyTextStyleToObject(c, &none, 0);
    EXPECT_EQ(c->textStyle.field[kStyleSize], 24);
    ApplyTextStyleToObject(c, &none, 1);
    EXPECT_EQ(c->textStyle.field[kStyleSize], 36);
    EXPECT_EQ(d->style.field[kStyleSize], 36);

    // A point's label changes its style only and is placed again.
    SketchObject* a = FreePoint();
    a->bounds = { -3, -3, 4, 4 };
    SetLabelShown(a, true, nullptr, true);
    const int16_t labelWidth = a->labelPlace.width;
    ApplyTextStyleToObject(a, &bigger, 0);
    EXPECT_EQ(a->textStyle.field[kStyleSize], 24);
    EXPECT_GT(a->labelPlace.width, labelWidth);
}

TEST_F(ObjectTextTest, CaptionsAreRefreshedOnlyOutsideEditing) {
    SketchObject* c = NewCaption();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(CaptionNeedsTextRefresh(c, 1));
    CaptionDataOf(c)->editing = 1;
    EXPECT_FALSE(CaptionNeedsTextRefresh(c, 1));
    CaptionDataOf(c)->editing = 0;
    EXPECT_TRUE(CaptionNeedsTextRefresh(c, 2));
}

TEST_F(ObjectTextTest, NewTextsGoDownAColumnThenToTheNext) {
    sketch->windowRect = { 100, 50, 300, 110 };
    SketchObject* first = PlacedCaption();
    EXPECT_EQ(first->bounds.left, 110);
    EXPECT_EQ(first->bounds.top, 55);
    SketchObject* second = PlacedCaption();
    EXPECT_EQ(second->bounds.left, 110);
    EXPECT_EQ(second->bounds.top, 71);  // one below the first's bounds
    SketchObject* third = PlacedCaption();
    EXPECT_EQ(third->bounds.top, 87);
    // The column is full: a fifth of the width (40) to the right, at the top; still in
    // the way of the first column there, so another fifth on.
    SketchObject* fourth = PlacedCaption();
    EXPECT_EQ(fourth->bounds.left, 190);
    EXPECT_EQ(fourth->bounds.top, 55);
    // A hidden caption does not block the place.
    ChangeObjectHidden(fourth, kHiddenByUser, false);
    SketchObject* fifth = PlacedCaption();
    EXPECT_EQ(fifth->bounds.left, fourth->bounds.left);
    EXPECT_EQ(fifth->bounds.top, fourth->bounds.top);
}

TEST_F(ObjectTextTest, WithoutRoomOrViewTextsGoToTheDefaultOffset) {
    // Too narrow for any column: the default offset, overlapping or not.
    sketch->windowRect = { 0, 0, 65, 20 };
    PlacedCaption();
    SketchObject* second = PlacedCaption();
    EXPECT_EQ(second->bounds.left, 10);
    EXPECT_EQ(second->bounds.top, 5);
    RecordedViewRequests().noView = true;
    sketch->windowRect = { 500, 500, 900, 900 };
    SketchObject* third = PlacedCaption();
    EXPECT_EQ(third->bounds.left, 10);
    EXPECT_EQ(third->bounds.top, 5);
}

TEST_F(ObjectTextTest, ReverseTempListReversesInPlace) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    a->tempLink = b;
    b->tempLink = c;
    c->tempLink = nullptr;
    SketchObject* head = a;
    ReverseTempList(&head);
    EXPECT_EQ(head, c);
    EXPECT_EQ(c->tempLink, b);
    EXPECT_EQ(b->tempLink, a);
    EXPECT_EQ(a->tempLink, nullptr);
}

}  // namespace

namespace {

// The margins the text code names are the ones the platform sets on the screen.
TEST(TextMargins, AgreeWithTheScreenValues) {
    EXPECT_EQ(DrawingMetrics.intMetricsB[kMetricCaptionMarginX], kScreenCaptionMarginX);
    EXPECT_EQ(DrawingMetrics.intMetricsB[kMetricCaptionMarginY], kScreenCaptionMarginY);
    EXPECT_EQ(DrawingMetrics.intMetricsB[kMetricValueMarginX], kScreenValueMarginX);
    EXPECT_EQ(DrawingMetrics.intMetricsB[kMetricValueMarginY], kScreenValueMarginY);
    EXPECT_EQ(DrawingMetrics.intMetricsB[kMetricTableGap], kScreenTableGap);
    EXPECT_EQ(DrawingMetrics.intMetricsB[kMetricTableCellMargin], kScreenTableCellMargin);
}

}  // namespace
