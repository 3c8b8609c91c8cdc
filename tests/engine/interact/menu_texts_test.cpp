#include "engine/interact/menu_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/text/string_groups.h"

// The rule programs store menu texts by item number; the string group must hold the
// same text at each of those numbers.
TEST(MenuTexts, ItemNumbersNameTheirTextsInTheMenuGroup) {
    using namespace menu_text;
    struct Case { int32_t item; const char* text; };
    const Case cases[] = {
        { kTextMidpoint, "&Midpoint" },
        { kTextMidpoints, "&Midpoints" },
        { kTextLocus, "Loc&us" },
        { kTextSaveAsEllipsis, "Save &As..." },
        { kTextSaveAsHTMLEllipsis, "Save &As HTML..." },
        { kTextOpenEllipsis, "&Open..." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(std::string(GroupText(1, c.item)), c.text);
    }
}
