#include "classlib/ole_ipframe.h"

#include <gtest/gtest.h>

namespace {

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

// Each handle answers at its own square and nowhere else; the middle of the object is
// the view's.
TEST(ResizeBar, HandlesSitAtTheCornersAndEdgeMiddles) {
    const RECT area{ 0, 0, 100, 80 };
    struct Case { POINT p; int handle; };
    const Case cases[] = {
        { { 0, 0 }, 0 },   { { 6, 6 }, 0 },   { { 7, 7 }, -1 },  { { 50, 2 }, 1 },  { { 99, 0 }, 2 },
        { { 97, 40 }, 3 }, { { 99, 79 }, 4 }, { { 50, 78 }, 5 }, { { 0, 79 }, 6 },  { { 3, 40 }, 7 },
        { { 50, 40 }, -1 }, { { 30, 2 }, -1 }, { { 100, 80 }, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
        EXPECT_EQ(COleResizeBar::HandleAt(area, c.p), c.handle);
    }
}

// A handle moves its own edges only, and the object never shrinks below its least size
// nor turns over: the opposite edges stay put.
TEST(ResizeBar, DraggingMovesTheHandlesEdgesWithinALeastSize) {
    const RECT start{ 50, 10, 150, 90 };
    struct Case { int handle, dx, dy; RECT out; };
    const Case cases[] = {
        { 4, 30, 20, { 50, 10, 180, 110 } },
        { 0, -10, -5, { 40, 5, 150, 90 } },
        { 1, 40, 7, { 50, 17, 150, 90 } },      // the top edge: dx does nothing
        { 3, -20, 99, { 50, 10, 130, 90 } },    // the right edge: dy does nothing
        { 6, 5, 5, { 55, 10, 150, 95 } },
        { 4, -500, -500, { 50, 10, 71, 31 } },  // no smaller than three handles a side
        { 0, 500, 500, { 129, 69, 150, 90 } },
        { -1, 10, 10, { 50, 10, 150, 90 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handle);
        const RECT r = COleResizeBar::DraggedRect(start, c.handle, c.dx, c.dy);
        EXPECT_TRUE(Same(r, c.out)) << r.left << " " << r.top << " " << r.right << " " << r.bottom;
    }
}
