#include "ui/dialogs/text_style_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/engine_startup.h"
#include "platform/rules/font_list.h"
#include "platform/win32/fonts.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kFaces = 1121, kSizes = 1122, kBold = 1123, kItalic = 1124, kUnderline = 1125;

std::vector<std::string> gBoxes;
HWND gDialog = nullptr;

BOOL CALLBACK CollectText(HWND child, LPARAM text) {
    char cls[32] = "", buffer[256] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        GetWindowTextA(child, buffer, sizeof buffer);
        *reinterpret_cast<std::string*>(text) += buffer;
    }
    return TRUE;
}

// Message boxes that come up are read and answered.
BOOL CALLBACK CloseBoxes(HWND window, LPARAM) {
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (window == gDialog || !IsWindowVisible(window) || std::strcmp(cls, "#32770") != 0) return TRUE;
    std::string seen;
    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&seen));
    gBoxes.push_back(seen);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}
void CALLBACK CloseBoxesTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CloseBoxes, 0); }

class TextStyleDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(StartEngine());
        if (TheFontList().size < 2) {
            ASSERT_TRUE(BuildFontList());
        }
    }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        main_ = CreateWindowExA(0, "STATIC", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 450, nullptr,
                                nullptr, nullptr, nullptr);
        RegisterMainWindow(main_, true, false);
        gBoxes.clear();
    }
    void TearDown() override {
        RegisterMainWindow(nullptr, false, false);
        DestroyWindow(main_);
    }

    // The dialog over the record, open without its own loop.
    struct Open {
        explicit Open(TextStyle* record) : dialog(record) {
            EXPECT_TRUE(dialog.Create(IDD_TEXT_STYLE, nullptr));
            dialog.ShowWindow(SW_SHOW);  // the preview paints only when shown
            gDialog = dialog.m_hWnd;
        }
        ~Open() {
            dialog.DestroyWindow();
            gDialog = nullptr;
        }
        HWND Item(int id) const { return ::GetDlgItem(dialog.m_hWnd, id); }
        UINT State(int id) const { return ::IsDlgButtonChecked(dialog.m_hWnd, id); }
        void Click(int id) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(Item(id))); }
        std::string SizeText() const {
            char text[64] = "";
            GetWindowTextA(Item(kSizes), text, sizeof text);
            return text;
        }
        std::string SizeItem(int index) const {
            char text[64] = "";
            SendMessageA(Item(kSizes), CB_GETLBTEXT, WPARAM(index), LPARAM(text));
            return text;
        }
        TextStyleDialog dialog;
    };

    static TextStyle Style(int16_t size, int16_t weight, int16_t slant, int16_t underline) {
        TextStyle s{};
        s.field[kStyleFont] = 1;
        s.field[kStyleSize] = size;
        s.field[kStyleWeight] = weight;
        s.field[kStyleSlant] = slant;
        s.field[kStyleUnderline] = underline;
        return s;
    }
    HWND main_ = nullptr;
};

// A size the list does not offer goes in before the first larger one; a mixed flag shows
// the third state.
TEST_F(TextStyleDialogTest, OpensWithOddSizesInOrderAndMixedFlagsIndeterminate) {
    struct Case { int16_t size; int index; int count; const char* text; };
    const Case cases[] = { { 11, 2, 10, "11" }, { 72, 9, 10, "72" }, { 12, 2, 9, "12" }, { 0, -1, 9, "" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        TextStyle style = Style(c.size, 0, 1, 2);
        Open open(&style);
        EXPECT_EQ(SendMessageA(open.Item(kSizes), CB_GETCOUNT, 0, 0), c.count);
        EXPECT_EQ(SendMessageA(open.Item(kSizes), CB_GETCURSEL, 0, 0), c.index);
        if (c.index >= 0) {
            EXPECT_EQ(open.SizeItem(c.index), c.text);
        }
        EXPECT_EQ(open.SizeText(), c.text);
        EXPECT_EQ(open.State(kBold), UINT(BST_INDETERMINATE));
        EXPECT_EQ(open.State(kItalic), UINT(BST_UNCHECKED));
        EXPECT_EQ(open.State(kUnderline), UINT(BST_CHECKED));
        EXPECT_GT(SendMessageA(open.Item(kFaces), CB_GETCOUNT, 0, 0), 0);
    }
}

// A flag the whole selection had set only turns on and off; a mixed one also comes back
// to the third state.
TEST_F(TextStyleDialogTest, StateBoxesCycleByWhatTheSelectionHad) {
    TextStyle mixed = Style(12, 0, 2, 1);
    Open open(&mixed);
    const UINT mixedCycle[] = { BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED };
    for (UINT expected : mixedCycle) {
        open.Click(kBold);
        EXPECT_EQ(open.State(kBold), expected);
    }
    const UINT setCycle[] = { BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED };
    for (UINT expected : setCycle) {
        open.Click(kItalic);
        EXPECT_EQ(open.State(kItalic), expected);
    }
}

TEST_F(TextStyleDialogTest, TheExchangeKeepsWhatIsLeftMixedOrEmpty) {
    TextStyle style = Style(14, 0, 2, 1);
    Open open(&style);
    SetWindowTextA(open.Item(kSizes), "");
    SendMessageA(open.Item(kSizes), CB_SETCURSEL, WPARAM(-1), 0);
    ASSERT_TRUE(open.dialog.UpdateData(true));
    EXPECT_EQ(style.field[kStyleWeight], 0);  // indeterminate: each object keeps its own
    EXPECT_EQ(style.field[kStyleSize], 14);   // empty: the size stays
    EXPECT_EQ(style.field[kStyleSlant], 2);

    // Through checked and back to the third state, the preview painted on the way.
    open.Click(kBold);
    open.Click(kBold);
    ASSERT_EQ(open.State(kBold), UINT(BST_CHECKED));
    RedrawWindow(open.Item(1265), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    open.Click(kBold);
    ASSERT_EQ(open.State(kBold), UINT(BST_INDETERMINATE));
    ASSERT_TRUE(open.dialog.UpdateData(true));
    EXPECT_EQ(style.field[kStyleWeight], 0);

    open.Click(kBold);  // unchecked: plain
    SetWindowTextA(open.Item(kSizes), "11");
    ASSERT_TRUE(open.dialog.UpdateData(true));
    EXPECT_EQ(style.field[kStyleWeight], 1);
    EXPECT_EQ(style.field[kStyleSize], 11);
}

// Sizes beyond 1638 points are refused before they reach the style's 16-bit field; the
// exchange fails, so the dialog stays open, and the record keeps its size.
TEST_F(TextStyleDialogTest, SizesOutOfRangeFailTheExchange) {
    for (const char* typed : { "1639", "99999999999", "0" }) {
        SCOPED_TRACE(typed);
        TextStyle style = Style(14, 1, 1, 1);
        Open open(&style);
        SetWindowTextA(open.Item(kSizes), typed);
        gBoxes.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, CloseBoxesTimer);
        EXPECT_FALSE(open.dialog.UpdateData(true));
        KillTimer(nullptr, timer);
        ASSERT_EQ(gBoxes.size(), 1u);
        EXPECT_NE(gBoxes[0].find("between 1 and 1638"), std::string::npos) << gBoxes[0];
        EXPECT_EQ(style.field[kStyleSize], 14);
    }
}

}  // namespace
