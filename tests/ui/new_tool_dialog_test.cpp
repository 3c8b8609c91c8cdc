#include "ui/dialogs/new_tool_dialog.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "engine/core/services/later_release.h"
#include "ui/resource_ids.h"

namespace {
bool Always() { return true; }
}  // namespace

TEST(NewToolDialog, TheLabelIsTheRequestsOrTheTemplatesWhereOnlyTheNameIsExchanged) {
    for (const bool nameOnly : { false, true }) {
        SCOPED_TRACE(nameOnly);
        LaterReleaseForms forms = {};
        if (nameOnly) forms.window.newToolNameOnly = Always;
        InstallLaterForms(forms);
        NewToolDialog dialog(nullptr);
        dialog.name = "Kite";
        dialog.label = "Name of the tool:";
        ASSERT_TRUE(dialog.Create(IDD_NEW_TOOL, nullptr));
        char text[64] = "";
        GetDlgItemTextA(dialog.m_hWnd, IDC_TOOL_NAME_LABEL, text, sizeof text);
        EXPECT_EQ(std::string(text), nameOnly ? "Tool Name:" : "Name of the tool:");
        GetDlgItemTextA(dialog.m_hWnd, IDC_TOOL_NAME, text, sizeof text);
        EXPECT_EQ(std::string(text), "Kite");
        SetDlgItemTextA(dialog.m_hWnd, IDC_TOOL_NAME, "Square");
        ASSERT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(std::string(dialog.name.c_str()), "Square");
        dialog.DestroyWindow();
        ResetLaterForms();
    }
}
