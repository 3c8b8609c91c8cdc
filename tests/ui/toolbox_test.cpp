#include <gtest/gtest.h>

#include <windows.h>

#include "engine/core/engine_startup.h"
#include "engine/core/memory.h"
#include "engine/interact/toolbox.h"
#include "ui/tool_popout.h"
#include "ui/toolbox_bar.h"

namespace {

class ToolPopout : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(StartEngine());
        ToolboxEntry* previous = nullptr;
        ASSERT_EQ(InstallToolbox(CopyDefaultToolboxLayout(), &previous), kResultOK);
        FreeMemory(previous);
    }
    static void TearDownTestSuite() {
        ToolboxEntry* previous = nullptr;
        InstallToolbox(nullptr, &previous);
        FreeMemory(previous);
        ShutdownEngine();
    }
};

}  // namespace

TEST_F(ToolPopout, PlacementAndSize) {
    const RECT work{ 0, 0, 1024, 700 };
    const int rowHeight = 2 * GetSystemMetrics(SM_CYDLGFRAME) + 30;
    struct Case { int32_t placement; POINT anchor; RECT expected; };
    const Case cases[] = {
        { kPopoutRight, { 100, 50 }, { 103, 50, 103 + 119, 50 + rowHeight } },
        { kPopoutLeft, { 300, 50 }, { 301 - 119 + 37, 50, 301 + 37, 50 + rowHeight } },
        { kPopoutBelow, { 100, 200 }, { 103, 201, 103 + 2 * GetSystemMetrics(SM_CXDLGFRAME) + 29, 201 + 123 } },
        // A column that would pass the work area's bottom ends at it.
        { kPopoutBelow, { 100, 650 }, { 103, 700 - 123 + 1, 103 + 2 * GetSystemMetrics(SM_CXDLGFRAME) + 29, 701 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.placement);
        const RECT r = ToolPopoutWnd::PlaceRect(3, c.anchor, c.placement, work);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

TEST_F(ToolPopout, HitTestingAndCellsAgreeForEveryPlacement) {
    ToolPopoutWnd popout;
    popout.memberCount = 3;
    for (const int32_t placement : { kPopoutRight, kPopoutLeft, kPopoutBelow }) {
        SCOPED_TRACE(placement);
        popout.placement = placement;
        for (int cell = 0; cell <= 3; ++cell) {
            const POINT at = PopoutCellOrigin(cell, 3, placement);
            EXPECT_EQ(popout.HitTest({ at.x + 10, at.y + 10 }), cell);
        }
        EXPECT_EQ(popout.HitTest({ -5, 10 }), -1);
        EXPECT_EQ(popout.HitTest({ 10, -5 }), -1);
    }
    popout.placement = kPopoutRight;
    EXPECT_EQ(popout.HitTest({ 10, 31 }), -1);   // below the row
    EXPECT_EQ(popout.HitTest({ 4 * 28 + 2, 10 }), -1);  // past the last member
    popout.placement = kPopoutBelow;
    EXPECT_EQ(popout.HitTest({ 32, 10 }), -1);   // beside the column
}

TEST_F(ToolPopout, ShowsForEveryPlacementAndEndsOnAButton) {
    for (const int32_t placement : { kPopoutRight, kPopoutLeft, kPopoutBelow }) {
        SCOPED_TRACE(placement);
        ToolPopoutWnd popout;
        popout.group = 4;  // the straight objects
        popout.anchorX = 200;
        popout.anchorY = 100;
        popout.placement = placement;
        ASSERT_TRUE(popout.CreatePopout(nullptr));
        popout.Place();
        EXPECT_EQ(popout.memberCount, 3);
        EXPECT_EQ(popout.anchorX, 201);
        EXPECT_TRUE(IsWindowVisible(popout.m_hWnd));
        EXPECT_EQ(popout.hotCell, 0);

        // Over the line (member 3), then the release ends the strip with that choice.
        const POINT at = PopoutCellOrigin(3, 3, placement);
        SendMessageA(popout.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(at.x + 5, at.y + 5));
        EXPECT_EQ(popout.hotCell, 3);
        MSG up{ popout.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x + 5, at.y + 5), 0, {} };
        EXPECT_TRUE(popout.PreTranslateMessage(&up));
        EXPECT_FALSE(IsWindowVisible(popout.m_hWnd));
        EXPECT_FALSE(popout.keepIdling);
        EXPECT_EQ(popout.hotCell, 3);
        popout.DestroyWindow();
    }
}

TEST_F(ToolPopout, AReleaseOutsideEveryCellChoosesNothing) {
    ToolPopoutWnd popout;
    popout.group = 1;
    popout.anchorX = 200;
    popout.anchorY = 100;
    ASSERT_TRUE(popout.CreatePopout(nullptr));
    popout.Place();
    SendMessageA(popout.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 200));
    EXPECT_EQ(popout.hotCell, -1);
    MSG key{ popout.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, {} };
    EXPECT_TRUE(popout.PreTranslateMessage(&key));
    EXPECT_FALSE(IsWindowVisible(popout.m_hWnd));
    EXPECT_EQ(popout.hotCell, -1);
    popout.DestroyWindow();
}

TEST(ToolboxSide, ByTheBarsWidthAndTheFramesCentre) {
    const RECT button{ 10, 100, 37, 127 };
    struct Case { int width; int parentLeft; int32_t placement; POINT anchor; POINT menu; UINT flags; };
    const Case cases[] = {
        { 200, 0, kPopoutBelow, { 3, 94 }, { 10, 127 }, TPM_LEFTALIGN },     // a horizontal bar
        { 30, 0, kPopoutRight, { 3, 95 }, { 37, 100 }, TPM_LEFTALIGN },      // docked at the left
        { 30, 900, kPopoutLeft, { 3, 95 }, { 10, 100 }, TPM_RIGHTALIGN },    // docked at the right
    };
    for (const Case& c : cases) {
        const PopoutSide side = ChoosePopoutSide(button, c.width, c.parentLeft, 500);
        EXPECT_EQ(side.placement, c.placement);
        EXPECT_EQ(side.anchor.x, c.anchor.x);
        EXPECT_EQ(side.anchor.y, c.anchor.y);
        EXPECT_EQ(side.menuAt.x, c.menu.x);
        EXPECT_EQ(side.menuAt.y, c.menu.y);
        EXPECT_EQ(side.menuFlags, c.flags);
    }
}
