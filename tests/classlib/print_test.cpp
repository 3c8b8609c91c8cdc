// A print run's page range: the dialog's range inside the document's pages, and a
// document of unknown length that prints one page unless its view says otherwise.
#include <gtest/gtest.h>

#include "classlib/gdi.h"
#include "classlib/print.h"
#include "classlib/view.h"

namespace {

class BlankView : public CView {
public:
    void OnDraw(CDC*) override {}
};

TEST(PrintRun, TheDialogsRangeIsKeptInsideTheDocumentsPages) {
    struct Case { bool range; WORD from, to; UINT min, max; UINT first, last; };
    const Case cases[] = {
        { false, 3, 4, 1, 9, 1, 9 },   // all pages: the range is ignored
        { true, 3, 4, 1, 9, 3, 4 },
        { true, 0, 20, 2, 9, 2, 9 },   // beyond the document: cut to its pages
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from * 100 + c.to);
        CPrintInfo info;
        EXPECT_EQ(info.GetMaxPage(), kUnknownPageCount);
        info.SetMinPage(c.min);
        info.SetMaxPage(c.max);
        info.m_pPD->m_pd.Flags = c.range ? (info.m_pPD->m_pd.Flags | PD_PAGENUMS) : (info.m_pPD->m_pd.Flags & ~PD_PAGENUMS);
        info.m_pPD->m_pd.nFromPage = c.from;
        info.m_pPD->m_pd.nToPage = c.to;
        EXPECT_EQ(info.GetFromPage(), c.first);
        EXPECT_EQ(info.GetToPage(), c.last);
    }
}

TEST(PrintRun, AnUnknownLengthPrintsOnePageUnlessTheViewSaysMore) {
    BlankView view;
    CDC dc;
    CPrintInfo info;
    for (UINT page : { 1u, 2u }) {
        info.m_nCurPage = page;
        info.m_bContinuePrinting = true;
        view.OnPrepareDC(&dc, &info);
        EXPECT_EQ(info.m_bContinuePrinting, page == 1) << page;
    }
    info.SetMaxPage(5);
    info.m_bContinuePrinting = true;
    view.OnPrepareDC(&dc, &info);
    EXPECT_TRUE(info.m_bContinuePrinting);
    view.OnPrepareDC(&dc, nullptr);  // painting: nothing to do
}

}  // namespace
