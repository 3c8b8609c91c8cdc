#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "engine/core/engine_startup.h"
#include "engine/text/layout.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "ui/splash/splash_wnd.h"

namespace {

std::string Written(LayoutNode* tree) {
    const int32_t n = SerializeLayout(tree, nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    SerializeLayout(tree, text.data(), nullptr);
    return text;
}

class CreditPages : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void TearDown() override { FreeCredits(); }
};

}  // namespace

TEST_F(CreditPages, PlaceholdersExpandAndUnknownOnesFail) {
    struct Case { const char* text; ResultCode result; const char* written; };
    const Case cases[] = {
        { "<H<%1>>", kLayoutParseOK, "<H<SW2<H<T8xVersion ><T3x4.0>>>>" },
        { "<H<%2>>", kLayoutParseOK, "<H<T4x0400>>" },
        { "<H<%3>>", kLayoutParseOK, "<H<T3x4.0>>" },
        { "<H<%4>>", kLayoutParseOK, "<H<0>>" },
        { "<H<%5>>", kLayoutParseSyntax, nullptr },
        { "<H<%0>>", kLayoutParseSyntax, nullptr },
        { "<H<%12>>", kLayoutParseSyntax, nullptr },
        { "<VX<T'a'>>", kLayoutParseWarning, "<VC<T1xa>>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutNode* tree = nullptr;
        EXPECT_EQ(ParseCreditText(c.text, &tree), c.result);
        if (!c.written) {
            EXPECT_EQ(tree, nullptr);
            continue;
        }
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(Written(tree), c.written);
        FreeLayoutNode(tree);
    }
    for (int32_t page = 0; page < kCreditPageCount; ++page) {
        SCOPED_TRACE(page);
        LayoutNode* tree = nullptr;
        EXPECT_EQ(BuildCreditPage(page, &tree), kLayoutParseOK);
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(tree->kind, kLayoutStackedRows);
        EXPECT_EQ(static_cast<StackedRowsNode*>(tree)->alignment, page == 0 ? 2 : 1);
        FreeLayoutNode(tree);
    }
    LayoutNode* none = nullptr;
    EXPECT_EQ(BuildCreditPage(4, &none), kLayoutParseSyntax);
    EXPECT_EQ(none, nullptr);
}

// The pages scroll up through the band one after another and wrap around; each one is
// centred when first drawn, and the next enters from just below the band.
TEST_F(CreditPages, PagesFollowInOrderThroughTheBand) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 460, 240);
    HGDIOBJ old = SelectObject(dc, bitmap);
    LayoutDrawState state;
    GraphicsPort port;
    MakeDrawStateForDC(&state, &port, dc, false);
    state.style.field[kStyleSize] = 12;

    ASSERT_TRUE(InitCredits());
    EXPECT_EQ(Credits().baseline, kCreditUnplaced);
    EXPECT_EQ(Credits().nextIndex, 1);
    ScrollCreditsUp();
    EXPECT_EQ(Credits().baseline, kCreditUnplaced);
    DrawCredits(&state, 440, 0, kCreditBandBottom);
    const CreditScroll& c = Credits();
    ASSERT_GT(c.height, 0);
    EXPECT_EQ(c.baseline, (kCreditBandBottom - c.height) / 2 + c.page->ascent);
    EXPECT_GE(440 - c.page->width, 0);

    std::vector<int32_t> shown{ c.nextIndex - 1 };
    for (int step = 0; step < 5000 && shown.size() < 6; ++step) {
        ScrollCreditsUp();
        const int32_t before = c.nextIndex;
        DrawCredits(&state, 440, 0, kCreditBandBottom);
        if (c.nextIndex != before) {
            shown.push_back(c.nextIndex - 1);
            EXPECT_EQ(c.baseline, kCreditBandBottom + 1);
            ASSERT_NE(c.page, nullptr);
        }
    }
    EXPECT_EQ(shown, (std::vector<int32_t>{ 0, 1, 2, 3, 0, 1 }));

    FreeCredits();
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
