// The sketch preview's page records: grown for more pages, kept for fewer, and a page
// count bounded by what a print run can number.
#include <gtest/gtest.h>

#include "classlib/print.h"
#include "ui/view/yrn_preview.h"

namespace {

TEST(SketchPreviewPages, TheArrayGrowsOnlyAndTheCountSetsPagesShown) {
    CYrnPreview preview;
    EXPECT_EQ(preview.m_pageCapacity, 1u);
    EXPECT_EQ(preview.m_pPageInfo, preview.m_pageArray);
    struct Case { uint32_t count; uint32_t capacity; UINT zoomedOut; };
    const Case cases[] = {
        { 3, 3, 2 },
        { 1, 3, 1 },   // fewer pages keep the larger array
        { 2, 3, 2 },
        { 100000, kUnknownPageCount - 1, 2 },  // more than a run can number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        preview.m_pageArray[0].sizeScaleRatio.cx = 7;
        preview.SetPageCount(c.count);
        EXPECT_EQ(preview.m_pageCapacity, c.capacity);
        EXPECT_EQ(preview.m_nMaxPages, c.capacity);
        EXPECT_EQ(preview.m_nZoomOutPages, c.zoomedOut);
        EXPECT_EQ(preview.m_nPages, c.zoomedOut);
        EXPECT_EQ(preview.m_pageArray[0].sizeScaleRatio.cx, 7);  // copied across
    }
    preview.m_nZoomState = 1;
    preview.SetPageCount(3);
    EXPECT_EQ(preview.m_nPages, 1u);
}

}  // namespace
