// The print preview of a sketch page: the library's preview with a bar of its own (the
// scale in percent, Fit To Page, Print Large Plots, bitmap buttons), any number of pages
// following the page's print layout, and a vertical bar over the pages when whole pages
// show.
#pragma once
#include <cstdint>

#include "classlib/preview.h"
#include "engine/core/screen_types.h"

class CYRNView;

class CYrnPreview : public CPreviewView {
    DECLARE_DYNCREATE(CYrnPreview)
public:
    CYrnPreview();
    ~CYrnPreview() override;

    void OnActivateView(bool activate, CView* activateView, CView* deactivateView) override;
    // n pages (0: the front page's print layout counts them). A page array that cannot
    // grow keeps the old one: the preview shows the pages it can.
    void SetPageCount(uint32_t count);
    void SetZoomState(UINT state, UINT page, POINT point);
    void DoZoom(UINT page, POINT point);
    void UpdateScrollBar();

    // The pages' records on the heap, replacing the library's two.
    PageInfo* m_pageArray = nullptr;
    uint32_t m_pageCapacity = 0;
    UINT m_savedPreviewPages = 1;
    HBITMAP m_bitmaps[4] = {};
    // The two print extents differ, so the large-plots choice matters.
    bool m_largePlotsChangeable = false;
    ScreenRect m_extentWhole{};    // large loci whole
    ScreenRect m_extentClipped{};  // large loci cut to the window

protected:
    void UpdateScrollRange() override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnZoomIn();
    void OnZoomOut();
    void OnFitToPage();
    void OnUpdateFitToPage(CCmdUI* ui);
    void OnScaleChange();
    void OnLargePlots();
    void OnUpdateLargePlots(CCmdUI* ui);
    DECLARE_MESSAGE_MAP()

private:
    CYRNView* SketchView() const;
    void ShowPercent(double percent);
    bool writingScale_ = false;
};
