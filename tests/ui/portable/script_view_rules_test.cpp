#include "ui/portable/script_view_rules.h"

#include <gtest/gtest.h>

TEST(ScriptViewRules, RowHeights) {
    struct Case { bool separator; int32_t ascent, descent, height; };
    const Case cases[] = {
        { true, 30, 5, 4 },     // separators ignore any text metrics
        { false, 7, 3, 22 },    // a 10-pixel row is raised to the least height
        { false, 16, 6, 22 },
        { false, 20, 8, 28 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScriptRowHeight(c.separator, c.ascent, c.descent), c.height) << c.ascent << "+" << c.descent;
}

TEST(ScriptViewRules, EnsureVisibleOverRowsOfVaryingHeight) {
    // Item tops: 0 22 26 56 78 118 140 162 184 244; the list shows 100 pixels.
    const std::vector<int32_t> heights = { 22, 4, 30, 22, 40, 22, 22, 22, 60, 22 };
    struct Case { int32_t top, item; bool inProgress; int32_t newTop; };
    const Case cases[] = {
        { 5, 2, false, 0 },   // above, and everything up to it fits: back to the start
        { 9, 6, false, 5 },   // above, too far down to fit: centred with the item after it
        { 2, 3, false, 2 },   // visible: nothing moves
        { 2, 3, true, 2 },
        { 0, 3, false, 0 },   // its bottom exactly at the list's bottom is visible
        { 0, 5, false, 4 },   // below: just far enough for it and the next at the bottom
        { 0, 5, true, 5 },    // below while a tool is in progress: centred
        { 0, 9, false, 8 },   // the last item has no next one
        { 0, 8, false, 8 },   // with its next one too tall to share the list: still shown
        { 3, 12, false, 3 },  // no such item
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "top " << c.top << " item " << c.item << " progress " << c.inProgress);
        EXPECT_EQ(StepListTopFor(heights, c.top, 100, c.item, c.inProgress), c.newTop);
    }
}

TEST(ScriptViewRules, SplitterKeepsLeastHeights) {
    struct Case { int32_t comment, list, delta, clamped; };
    const Case cases[] = {
        { 30, 100, 5, 5 },
        { 30, 100, -20, -12 },   // the comment stops at 18
        { 30, 100, 70, 64 },     // the list stops at 36
        { 18, 36, 10, 0 },
        { 18, 36, -10, 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampSplitterDelta(c.comment, c.list, c.delta), c.clamped) << c.comment << " " << c.delta;
}

TEST(ScriptViewRules, DropPlacesAndMoves) {
    // 1 heading, 2-3 givens, 4 separator, 5 given, 6 separator, 7 heading, 8 step.
    const std::vector<bool> givens = { false, true, true, false, true, false, false, false };
    struct Insert { int32_t pointer, insertion; };
    const Insert inserts[] = {
        { 3, 3 }, { 1, 2 }, { 4, 3 } /* a tie goes up */, { 5, 5 },
        { 7, 6 }, { 8, 6 }, { 0, 6 } /* past the last row: after the last given */,
    };
    for (const Insert& c : inserts) EXPECT_EQ(GivenInsertionRow(givens, c.pointer), c.insertion) << c.pointer;
    EXPECT_EQ(GivenInsertionRow({ false, false }, 1), 0);

    EXPECT_TRUE(MayDropGivenAt(givens, 6));
    EXPECT_TRUE(MayDropGivenAt(givens, 2));
    EXPECT_FALSE(MayDropGivenAt(givens, 8));
    // A lone given is never draggable.
    EXPECT_FALSE(MayDropGivenAt({ false, false, false }, 2));
    EXPECT_FALSE(MayDropGivenAt({ false, false, false }, 3));

    struct Drop { int32_t source, insertion, moves, toward; };
    const Drop drops[] = {
        { 2, 2, 0, 0 },   // on itself
        { 2, 3, 0, 0 },   // just below itself is the same place
        { 3, 5, 0, 0 },   // only a separator between
        { 2, 6, 2, 5 },   // to the end, past both others
        { 2, 5, 1, 3 },
        { 5, 2, 2, 2 },   // to the top
        { 5, 3, 1, 3 },
    };
    for (const Drop& d : drops) {
        SCOPED_TRACE(testing::Message() << d.source << " -> " << d.insertion);
        const GivenDrop drop = GivenDropMoves(givens, d.source, d.insertion);
        EXPECT_EQ(drop.moves, d.moves);
        EXPECT_EQ(drop.towardRow, d.toward);
    }
}
