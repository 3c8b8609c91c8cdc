#include "engine/core/tool_givens.h"

#include <algorithm>
#include <string>
#include <vector>

#include "sketch_fixture.h"

using ToolGivens = SketchTest;

// Givens matched automatically (their label used in tools) come first; each group keeps
// the order it had.
TEST_F(ToolGivens, AssumedGivensMoveFirstAndBothGroupsKeepTheirOrder) {
    struct Case {
        const char* assumed;  // per given: '1' assumed
        const char* order;    // the givens afterwards, by their index before
    };
    const Case cases[] = {
        { "0000", "0123" }, { "0001", "3012" }, { "0101", "1302" }, { "1100", "0123" }, { "0", "0" }, { "", "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.assumed);
        std::vector<SketchObject*> givens;
        for (const char* a = c.assumed; *a; ++a) {
            givens.push_back(FreePoint());
            givens.back()->label.useInTools = *a == '1';
            ASSERT_TRUE(PtrListAppend(&sketch->givenList, givens.back()));
        }
        SortToolGivens(sketch);
        std::string order;
        for (int32_t i = 0; i < static_cast<int32_t>(givens.size()); ++i)
            order += char('0' + (std::find(givens.begin(), givens.end(), PtrListItem(sketch->givenList, i)) - givens.begin()));
        EXPECT_EQ(order, c.order);
        FreePtrList(&sketch->givenList);
    }
}
