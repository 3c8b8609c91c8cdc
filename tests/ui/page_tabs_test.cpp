#include <gtest/gtest.h>

#include <string>

#include "classlib/frame.h"
#include "classlib/view.h"
#include "engine/core/engine_startup.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "ui/frames/page_tabs.h"
#include "ui/frames/yrn_splitter.h"

namespace {

TEST(PageTabText, AmpersandsAreStoredAsMWithTheirPlacesInTheMask) {
    struct Case { const char* in; const char* stored; uint32_t mask; bool had; };
    const Case cases[] = {
        { "Page", "Page", 0, false },
        { "A&B", "AmB", 0x2, true },
        { "&&", "mm", 0x3, true },
        // Past the first 32 characters an "&" has no bit: it stays "m".
        { "0123456789012345678901234567890123&", "0123456789012345678901234567890123m", 0, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        StoredTabText s = StoreTabText(c.in);
        EXPECT_STREQ(s.text, c.stored);
        EXPECT_EQ(s.mask, c.mask);
        EXPECT_EQ(s.hadAmpersand, c.had);
        RestoreTabText(s.text, s.mask);
        if (c.mask || !c.had) {
            EXPECT_STREQ(s.text, c.in);
        }
    }
}

TEST(PageTabText, FontHeightFollowsTheScrollBar) {
    EXPECT_EQ(TabFontHeight(6), 8);
    EXPECT_EQ(TabFontHeight(17), 11);
    EXPECT_EQ(TabFontHeight(30), 20);
}

TEST(PageTabStrip, WidthRules) {
    // Dragging: the pointer's x plus 2, held 20 pixels inside the first column; hidden
    // (7) when that is below 6.
    EXPECT_EQ(DraggedStripWidth(100, 400), 102);
    EXPECT_EQ(DraggedStripWidth(395, 400), 382);
    EXPECT_EQ(DraggedStripWidth(5, 400), kHiddenStripWidth);
    // Letting go: below half the natural width (first tab + 39 with more pages) hides.
    EXPECT_EQ(DroppedStripWidth(20, 41, 3).width, kHiddenStripWidth);
    EXPECT_FALSE(DroppedStripWidth(20, 41, 3).shown);
    EXPECT_EQ(DroppedStripWidth(45, 41, 3).width, 80);
    EXPECT_TRUE(DroppedStripWidth(45, 41, 3).shown);
    EXPECT_EQ(DroppedStripWidth(200, 41, 3).width, 200);
    EXPECT_EQ(DroppedStripWidth(30, 41, 1).width, 50);
    // Shown to fit its tabs, never into the column's last pixels.
    EXPECT_EQ(FittedStripWidth(60, 400, 50), 68);
    EXPECT_EQ(FittedStripWidth(390, 400, 50), 350);
    // Laid out: nothing for a single tab, never into the scroll bar's last 50 pixels.
    EXPECT_EQ(LaidOutStripWidth(7, 1, 300), 0);
    EXPECT_EQ(LaidOutStripWidth(120, 3, 300), 120);
    EXPECT_EQ(LaidOutStripWidth(120, 3, 140), 90);
    EXPECT_EQ(LaidOutStripWidth(120, 3, 30), 0);
}

class PlainView : public CView {
    DECLARE_DYNCREATE(PlainView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(PlainView, CView)

class TabFrame : public CFrameWnd {
public:
    CYrnSplitter splitter;
    bool OnCreateClient(LPCREATESTRUCT, CCreateContext* context) override {
        return splitter.Create(this, 1, 2, CSize(10, 10), context);
    }
};

class PageTabs : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        ASSERT_EQ(CreateEngineDocument(&document, nullptr), kResultOK);
        previousFront = gEngine.frontDocument;
        gEngine.frontDocument = document;
        frame = new TabFrame;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(PlainView);
        ASSERT_TRUE(frame->Create(nullptr, "Tabs", WS_OVERLAPPEDWINDOW, CRect(0, 0, 500, 400), nullptr, nullptr, 0,
                                  &context));
        frame->ShowWindow(SW_SHOWNA);
    }
    void TearDown() override {
        if (frame && frame->m_hWnd) frame->DestroyWindow();
        gEngine.frontDocument = previousFront;
        FreeEngineDocument(document);
    }
    CYrnSplitter& S() { return frame->splitter; }
    void ThreePages() {
        S().DeleteAllTabs();
        for (const char* name : { "Start", "R&D", "3" }) S().AddTab(name);
    }
    int TabRight(int i) {
        RECT r{};
        S().TabControl()->GetItemRect(i, &r);
        return r.right;
    }
    int FirstColumn() {
        int cur = 0, min = 0;
        S().GetColumnInfo(0, cur, min);
        return cur;
    }
    void DragBox(int toX) {
        const CPoint from = S().SizingBoxRect().CenterPoint();
        S().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        S().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, from.y));
        S().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(toX, from.y));
    }

    EngineDocument* document = nullptr;
    EngineDocument* previousFront = nullptr;
    TabFrame* frame = nullptr;
};

TEST_F(PageTabs, StartsWithOneTabAndNoStrip) {
    ASSERT_NE(S().TabControl(), nullptr);
    EXPECT_EQ(S().TabControl()->GetItemCount(), 1);
    EXPECT_EQ(std::string(S().TabControl()->ShownText(0).c_str()), "1");
    EXPECT_EQ(S().StripWidth(), 0);
}

TEST_F(PageTabs, AnAmpersandInAPageNameShowsInItsTab) {
    ThreePages();
    EXPECT_EQ(std::string(S().TabControl()->ShownText(1).c_str()), "R&D");
    char stored[16] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = stored;
    item.cchTextMax = sizeof stored;
    ASSERT_TRUE(S().TabControl()->GetItem(1, &item));
    EXPECT_STREQ(stored, "RmD");
}

TEST_F(PageTabs, ShownStripFitsItsTabsAndHiddenLeavesTheSizingBox) {
    ThreePages();
    S().ShowTabStrip(true);
    EXPECT_EQ(S().StripWidth(), std::min(TabRight(2) + 8, FirstColumn() - 50));
    EXPECT_TRUE(S().TabControl()->IsWindowVisible());
    // The scroll bar starts where the strip ends.
    CRect bar;
    ::GetWindowRect(::GetDlgItem(S().m_hWnd, IDW_SPLIT_HSCROLL_FIRST), &bar);
    S().ScreenToClient(&bar);
    EXPECT_EQ(bar.left, S().StripWidth());

    S().ShowTabStrip(false);
    EXPECT_EQ(S().StripWidth(), kHiddenStripWidth);
    EXPECT_FALSE(S().TabControl()->IsWindowVisible());
}

TEST_F(PageTabs, TheSizingBoxAnswersItsOwnCodeOnlyWithTheButtonDown) {
    ThreePages();
    S().ShowTabStrip(false);
    const CPoint box = S().SizingBoxRect().CenterPoint();
    EXPECT_EQ(S().HitTestButton(box, true), kSizingBoxHit);
    EXPECT_EQ(S().HitTestButton(box, false), CSplitterWnd::hitSplitBox);
    EXPECT_EQ(S().HitTestButton(CPoint(200, 100), true), CSplitterWnd::hitNothing);
}

TEST_F(PageTabs, DraggingTheBoxShowsOrHidesTheStripAndSetsTheDocumentsFlag) {
    ThreePages();
    S().ShowTabStrip(false);
    SetDocumentShowsPageTabs(document, false);

    DragBox(150);
    EXPECT_EQ(S().StripWidth(), 152);
    EXPECT_TRUE(S().TabControl()->IsWindowVisible());
    EXPECT_TRUE(DocumentShowsPageTabs(document));

    DragBox(12);
    EXPECT_EQ(S().StripWidth(), kHiddenStripWidth);
    EXPECT_FALSE(S().TabControl()->IsWindowVisible());
    EXPECT_FALSE(DocumentShowsPageTabs(document));
}

}  // namespace
