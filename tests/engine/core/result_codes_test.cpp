#include "engine/core/result_codes.h"

#include <gtest/gtest.h>

TEST(ResultCodes, WorstCodeWinsAndWarningsAreNotFatal) {
    struct Case { ResultCode worst, code, kept; };
    const Case cases[] = { { 0, 4, 4 }, { 4, 0, 4 }, { 4, 35, 35 }, { 100, 9, 100 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(KeepWorstError(c.worst, c.code), c.kept);
    }
    EXPECT_TRUE(IsWarningResult(16));
    EXPECT_FALSE(IsFatalResult(16));
    EXPECT_TRUE(IsFatalResult(17));
    EXPECT_FALSE(IsWarningResult(0));
}
