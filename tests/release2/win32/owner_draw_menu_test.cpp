// figlate's owner-drawn menu items: a layout after the check column, measured with the
// GUI font, greyed items in the grey text colour, the check mark 4 pixels down.
#include "release2/ui/win32/owner_draw_menu.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "engine/text/layout.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

class OwnerDrawMenuTest : public RenderTest {
protected:
    OwnerDrawMenuTest() { layout_ = LayoutFromPlainText("x1", 2, 0); }
    ~OwnerDrawMenuTest() override { FreeLayoutNode(layout_); }

    // Draws the item over the whole canvas in the given state.
    void Draw(UINT itemState) {
        canvas_.Fill(RGB(1, 2, 3));
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_MENU;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = itemState;
        dis.hDC = canvas_.dc();
        dis.rcItem = { 10, 20, 110, 20 + kItemHeight };
        dis.itemData = reinterpret_cast<ULONG_PTR>(layout_);
        menu_.DrawItem(&dis);
    }
    static constexpr int kItemHeight = 30;
    LayoutNode* layout_ = nullptr;
    OwnerDrawMenu menu_;
};

TEST_F(OwnerDrawMenuTest, MeasuresTheLayoutWithSixPixelsOfAirAndTheCheckColumn) {
    ASSERT_NE(layout_, nullptr);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(layout_);
    menu_.MeasureItem(&mis);
    EXPECT_FALSE(layout_->dirty);
    EXPECT_GT(layout_->width, 0);
    EXPECT_EQ(int(mis.itemHeight), layout_->ascent + layout_->descent + 6);
    EXPECT_EQ(int(mis.itemWidth), GetSystemMetrics(SM_CXMENUCHECK) + layout_->width + 4);

    // An item without a layout is left as the system made it.
    MEASUREITEMSTRUCT none{};
    none.itemHeight = 7;
    menu_.MeasureItem(&none);
    EXPECT_EQ(none.itemHeight, 7u);
}

TEST_F(OwnerDrawMenuTest, ColoursFollowTheItemState) {
    struct Case { UINT state; int fill; int text; };
    const Case cases[] = {
        { 0, COLOR_MENU, COLOR_MENUTEXT },
        { ODS_SELECTED, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT },
        { ODS_GRAYED, COLOR_MENU, COLOR_GRAYTEXT },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        Draw(c.state);
        const COLORREF fill = GetSysColor(c.fill);
        EXPECT_EQ(canvas_.At(10, 20), fill);
        EXPECT_EQ(canvas_.At(109, 20 + kItemHeight - 1), fill);
        EXPECT_EQ(canvas_.At(9, 20), RGB(1, 2, 3));  // nothing outside the item
        // The text is drawn in the state's colour, right of the check column.
        const COLORREF text = GetSysColor(c.text);
        EXPECT_GT(canvas_.Count(text), 0);
        const int layoutLeft = 10 + GetSystemMetrics(SM_CXMENUCHECK) + 3;
        int leftOfLayout = 0;
        for (int y = 0; y < canvas_.height(); ++y)
            for (int x = 0; x < layoutLeft; ++x) leftOfLayout += canvas_.At(x, y) == text;
        EXPECT_EQ(leftOfLayout, 0);
    }
    // Greyed text is grey only: none of the plain menu text colour is left.
    Draw(ODS_GRAYED);
    ASSERT_NE(GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_MENUTEXT));
    EXPECT_EQ(canvas_.Count(GetSysColor(COLOR_MENUTEXT)), 0);
}

TEST_F(OwnerDrawMenuTest, TheCheckMarkSitsTwoInAndFourDown) {
    Draw(0);
    const auto plain = canvas_.Snapshot();
    Draw(ODS_CHECKED);
    const auto checked = canvas_.Snapshot();
    // The check mark adds ink only inside its box at (left + 2, top + 4).
    const int w = GetSystemMetrics(SM_CXMENUCHECK), h = GetSystemMetrics(SM_CYMENUCHECK);
    int added = 0, outside = 0;
    for (int y = 0; y < canvas_.height(); ++y) {
        for (int x = 0; x < canvas_.width(); ++x) {
            if (plain[y * canvas_.width() + x] == checked[y * canvas_.width() + x]) continue;
            ++added;
            if (x < 12 || x >= 12 + w || y < 24 || y >= 24 + h) ++outside;
        }
    }
    EXPECT_GT(added, 0);
    EXPECT_EQ(outside, 0);
}

}  // namespace
