// figlate's key names in menu texts against the shared form, through the later-release
// table: installed, then reset within the same run.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/services/later_release.h"
#include "engine/core/services/string_groups.h"
#include "engine/interact/command_table.h"
#include "release2/text/string_resources.h"
#include "release2/text/text_forms.h"

namespace {

// Key words that differ from the shared ones, so the test sees which form ran.
int32_t LoadKeyWord(uint32_t id, char* buffer, int32_t size) {
    const char* text = id == kStringCtrlKey ? "Strg+" : id == kStringAltKey ? "Alt-" :
                       id == kStringShiftKey ? "Umsch+" : id == kStringDelKey ? "Entf" : "";
    std::strncpy(buffer, text, size_t(size) - 1);
    buffer[size - 1] = '\0';
    return int32_t(std::strlen(buffer));
}

// One key letter per row: rows 0 to 5.
const char* KeyLetters(int32_t group, int32_t item) {
    return group == kGroupMiscellany && item == 0 ? "Mm/8+ " : "";
}

struct LaterKeyNames : ::testing::Test {
    void SetUp() override { SetStringResourceSource({ nullptr, 0, LoadKeyWord }); }
    void TearDown() override {
        ResetLaterForms();
        SetStringResourceSource({});
    }
    static void Install() {
        LaterReleaseForms forms = {};
        AddTextForms(&forms);
        forms.text.groupText = KeyLetters;
        InstallLaterForms(forms);
    }
};

std::string KeyText(uint32_t row, bool shift) {
    char buffer[32];
    FormatCommandKeyText(row, shift, buffer, sizeof buffer);
    return buffer;
}

TEST_F(LaterKeyNames, BothForms) {
    struct Case { uint32_t row; bool shift; const char* later; };
    const Case cases[] = {
        { 0, false, "\tStrg+M" }, { 0, true, "\tUmsch+Strg+M" }, { 1, false, "\tUmsch+Strg+M" },
        { 2, false, "\tAlt-/" },  { 3, false, "\tEntf" },        { 4, false, "\tAlt-+" },
        { 5, false, "" },         { 6, false, "" },
    };
    Install();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(KeyText(c.row, c.shift), c.later);
    }
    // Cut to size - 1 like the shared form.
    char small[5];
    EXPECT_EQ(FormatCommandKeyText(0, false, small, sizeof small), 4u);
    EXPECT_STREQ(small, "\tStr");

    // The shared form again: its own words and key letters (row 1 is 'M' there).
    ResetLaterForms();
    EXPECT_EQ(KeyText(1, false), "\tCtrl+M");
}

}  // namespace
