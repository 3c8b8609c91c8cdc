#include <gtest/gtest.h>

#include "engine/core/services/drawing_metrics.h"
#include "engine/text/text_style.h"

namespace {

TextStyle Style(std::initializer_list<std::pair<int32_t, int16_t>> fields) {
    TextStyle s;
    FillTextStyle(&s, 0);
    for (auto [index, value] : fields) s.field[index] = value;
    return s;
}

// The address of a temporary, valid to the end of the full expression.
const TextStyle* Ptr(const TextStyle& s) { return &s; }

TEST(TextStyle, MergeInheritsZerosAndAddsLevels) {
    const TextStyle inner = Style({ { kStyleWeight, 2 }, { kStyleScriptLevel, 1 } });
    const TextStyle outer = Style({ { kStyleWeight, 1 }, { kStyleSize, 12 }, { kStyleScriptLevel, 1 } });
    TextStyle merged;
    MergeTextStyle(&merged, &inner, &outer);
    EXPECT_EQ(merged.field[kStyleWeight], 2);
    EXPECT_EQ(merged.field[kStyleSize], 12);
    EXPECT_EQ(merged.field[kStyleScriptLevel], 2);
    TextStyle inPlace = inner;
    MergeTextStyle(&inPlace, &inPlace, &outer);
    EXPECT_TRUE(TextStylesEqual(&inPlace, &merged));
}

TEST(TextStyle, OverrideAndIntersect) {
    TextStyle target = Style({ { kStyleWeight, 1 }, { kStyleScriptLevel, 3 } });
    OverrideTextStyle(&target, Ptr(Style({ { kStyleWeight, 2 }, { kStyleSlant, 2 }, { kStyleScriptLevel, 1 } })));
    EXPECT_TRUE(TextStylesEqual(&target, Ptr(Style({ { kStyleWeight, 2 }, { kStyleSlant, 2 }, { kStyleScriptLevel, 3 } }))));

    TextStyle a = Style({ { kStyleRed, 5 }, { kStyleGreen, 6 }, { kStyleBlue, 7 }, { kStyleWeight, 2 } });
    const TextStyle b = Style({ { kStyleRed, 5 }, { kStyleGreen, 9 }, { kStyleBlue, 7 }, { kStyleWeight, 2 } });
    IntersectTextStyle(&a, &b, 0);
    EXPECT_TRUE(TextStylesEqual(&a, Ptr(Style({ { kStyleWeight, 2 } }))));
    IntersectTextStyle(&a, &b, 1);
    EXPECT_TRUE(TextStylesEqual(&a, &b));
}

TEST(TextStyle, ClearMatchingFields) {
    struct Case { TextStyle style; TextStyle reference; int32_t answer; TextStyle left; };
    const TextStyle colour = Style({ { kStyleRed, 2 }, { kStyleGreen, 3 }, { kStyleBlue, 4 } });
    const Case cases[] = {
        { Style({ { kStyleWeight, 2 } }), Style({ { kStyleWeight, 2 } }), 1, Style({}) },
        { Style({ { kStyleWeight, 2 } }), Style({}), 0, Style({ { kStyleWeight, 2 } }) },
        // No colour of its own passes the colour step whatever the reference has.
        { Style({ { kStyleWeight, 2 } }), colour, 0, Style({ { kStyleWeight, 2 } }) },
        { Style({}), colour, 1, Style({}) },
        { colour, colour, 1, Style({}) },
        { Style({ { kStyleRed, 9 }, { kStyleGreen, 3 }, { kStyleBlue, 4 } }), colour, 0,
          Style({ { kStyleRed, 9 }, { kStyleGreen, 3 }, { kStyleBlue, 4 } }) },
        { Style({ { kStyleScriptLevel, 1 } }), Style({ { kStyleScriptLevel, 1 } }), 0,
          Style({ { kStyleScriptLevel, 1 } }) },
    };
    for (const Case& c : cases) {
        TextStyle s = c.style;
        EXPECT_EQ(ClearMatchingStyleFields(&s, &c.reference), c.answer);
        EXPECT_TRUE(TextStylesEqual(&s, &c.left));
    }
}

TEST(TextStyle, LettersTogglesAndEmptiness) {
    EXPECT_EQ(StyleLetterIndex('P'), 0);
    EXPECT_EQ(StyleLetterIndex('+'), 10);
    EXPECT_EQ(StyleLetterIndex('X'), 11);
    EXPECT_EQ(StyleLetterAt(7), 'R');
    TextStyle target = Style({});
    SetOrResetStyleField(Ptr(Style({ { kStyleWeight, 2 } })), &target, kStyleWeight, 2);
    EXPECT_EQ(target.field[kStyleWeight], 1);
    SetOrResetStyleField(Ptr(Style({})), &target, kStyleWeight, 2);
    EXPECT_EQ(target.field[kStyleWeight], 2);
    EXPECT_EQ(IsTextStyleEmpty(Ptr(Style({}))), 1);
    EXPECT_EQ(IsTextStyleEmpty(Ptr(Style({ { kStyleScriptLevel, 1 } }))), 0);
}

TEST(TextStyle, ScriptLevelSizes) {
    struct Case { int16_t size; int16_t level; int32_t pixels; };
    const Case cases[] = {
        { 12, 0, 12 }, { 12, 1, 10 }, { 12, 2, 9 }, { 12, 3, 8 }, { 100, 1, 80 }, { 8, 4, 6 },
        { 36, 1, 24 }, { 96, 2, 61 }, { 12, 10, 1 }, { 20, -1, 20 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " at " << c.level);
        const TextStyle s = Style({ { kStyleSize, c.size }, { kStyleScriptLevel, c.level } });
        EXPECT_EQ(ScriptLevelFontSize(&s), c.pixels);
    }
    // While printing the size is scaled first and the ladder is not used.
    CurrentOutputScale.printing = 1;
    CurrentOutputScale.factor = 2.0;
    const TextStyle s = Style({ { kStyleSize, 12 }, { kStyleScriptLevel, 1 } });
    EXPECT_EQ(ScriptLevelFontSize(&s), 19);
    CurrentOutputScale.printing = 0;
    CurrentOutputScale.factor = 1.0;
}

}  // namespace
