#include "engine/core/alerts.h"

#include "engine/core/services/alerts.h"
#include "tests/support/alerts_double.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

class AlertsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAlertDoubles(); }
};

TEST_F(AlertsTest, TableHasOneRowPerCodeAndTextsFitTheirBuffers) {
    std::set<int32_t> codes;
    for (const AlertRecord& row : AlertTable) {
        SCOPED_TRACE(row.code);
        EXPECT_TRUE(codes.insert(row.code).second);
        EXPECT_NE(row.code, 0);
        EXPECT_NE(row.code, 104);
        // Every row names a text of its own group; an empty one means a wrong item.
        EXPECT_GT(std::strlen(AlertCaption(row)), 0u);
        EXPECT_GT(std::strlen(AlertText(row)), 0u);
        EXPECT_LT(std::strlen(AlertCaption(row)), 256u);
        EXPECT_LT(std::strlen(AlertText(row)), 256u);
    }
    EXPECT_EQ(codes.size(), 79u);
}

TEST_F(AlertsTest, ShowsTheRowOfACodeOrTheGenericAlert) {
    ShowAlertByCode(0, 1);
    ShowAlertByCode(104, 1);
    EXPECT_TRUE(ShownAlerts().empty());

    ShowAlertByCode(999, 1);
    ShowAlertByCode(14, 0);
    ShowAlertByCode(150, 1);
    ASSERT_EQ(ShownAlerts().size(), 3u);
    const ShownAlert& generic = ShownAlerts()[0];
    EXPECT_EQ(generic.caption, "Error");
    EXPECT_EQ(generic.text, "That operation could not complete because an error occurred.");
    EXPECT_EQ(generic.code, 999);
    EXPECT_EQ(generic.helpTopic, 0);
    EXPECT_FALSE(generic.notice);
    EXPECT_EQ(generic.owner, 1u);

    const ShownAlert& applet = ShownAlerts()[1];
    EXPECT_EQ(applet.caption, "Vantrope");
    EXPECT_EQ(applet.helpTopic, 47);
    EXPECT_TRUE(applet.notice);
    EXPECT_NE(applet.text.find("(These objects have been selected.)\n\nDo you want"), std::string::npos);

    EXPECT_NE(ShownAlerts()[2].text.find("exit Velmora. \r\n\r\nTo save"), std::string::npos);
}

TEST_F(AlertsTest, QuestionsAnswerFromTheUserExceptForSilentCodes) {
    ScriptQuestionAnswers({ false, true });
    EXPECT_TRUE(AskQuestionByCode(0, true, 0));
    EXPECT_FALSE(AskQuestionByCode(104, false, 0));
    EXPECT_TRUE(AskedQuestions().empty());

    EXPECT_FALSE(AskQuestionByCode(201, true, 2));
    EXPECT_TRUE(AskQuestionByCode(128, false, 0));
    ASSERT_EQ(AskedQuestions().size(), 2u);
    EXPECT_EQ(AskedQuestions()[0].buttons, kQuestionOkCancel);
    EXPECT_EQ(AskedQuestions()[0].caption, "Custom Tool");
    EXPECT_EQ(AskedQuestions()[0].owner, 2u);
    EXPECT_EQ(AskedQuestions()[1].buttons, kQuestionYesNo);
    EXPECT_EQ(AskedQuestions()[1].code, 128);
}

}  // namespace
