// Print preview: a view of printed pages that takes the place of the frame's own view
// and bars until it is closed. Pages are drawn at the printer's resolution (recorded
// into a metafile against the printer's DC) and played scaled onto the screen.
#pragma once

#include "classlib/controlbar.h"
#include "classlib/print.h"
#include "classlib/view.h"

#include <vector>

// What the frame looked like before the preview, to put back on Close.
struct CPrintPreviewState {
    HMENU hMenu = nullptr;
    std::vector<HWND> hiddenWindows;   // bars and the client the preview hid
    HWND hWndMainPane = nullptr;       // the frame's main pane, renumbered while hidden
    CView* pViewActiveOld = nullptr;
    HACCEL hAccelTable = nullptr;
    // Called by the frame's close (the preview closes instead of the frame).
    void (*lpfnCloseProc)(CFrameWnd* frame) = nullptr;
};

// Commands of the preview bar.
#define ID_PREVIEW_CLOSE      0xE300
#define ID_PREVIEW_NUMPAGE    0xE301
#define ID_PREVIEW_NEXT       0xE302
#define ID_PREVIEW_PREV       0xE303
#define ID_PREVIEW_PRINT      0xE304
#define ID_PREVIEW_ZOOMIN     0xE305
#define ID_PREVIEW_ZOOMOUT    0xE306

class CPreviewView : public CView {
    DECLARE_DYNCREATE(CPreviewView)
public:
    CPreviewView();
    ~CPreviewView() override;

    // One shown page: where it is on the screen, the printer page's size (device
    // pixels), the screen-over-printer ratio (cx / cy; cx 0 means not yet worked out)
    // and the ratio of the zoomed-out layout.
    struct PageInfo {
        RECT rectScreen;
        SIZE sizeUnscaled;
        SIZE sizeScaleRatio;
        SIZE sizeZoomOutRatio;
    };

    // Takes the run: the print view's preparation and beginning of printing against
    // the printer. False when either fails (no printer, or the view refused).
    virtual bool SetPrintView(CView* printView);
    // The first shown page; clear repaints the whole window.
    void SetCurrentPage(UINT page, bool clear);
    // The shown page under a client point, or -1 (and the page index in out).
    bool FindPageRect(POINT& point, UINT& page);
    virtual void OnDraw(CDC* dc) override;
    void OnActivateView(bool activate, CView* activateView, CView* deactivateView) override;

    // 0 whole pages, 1 and 2 zoomed in.
    UINT m_nZoomState = 0;
    UINT m_nZoomOutPages = 1;
    UINT m_nPages = 1;
    UINT m_nCurrentPage = 1;
    // The page records: the library's two, or an array a subclass puts in their place
    // (it owns that one).
    PageInfo* m_pPageInfo;
    PageInfo m_pageInfoArray[2]{};
    UINT m_nMaxPages = 2;
    CPrintInfo* m_pPreviewInfo = nullptr;
    CView* m_pPrintView = nullptr;
    CView* m_pOrigView = nullptr;
    CDialogBar* m_pToolBar = nullptr;
    CPrintPreviewState* m_pPreviewState = nullptr;
    HDC m_hPrinterDC = nullptr;
    bool m_bBegun = false;  // the print view began its run
    // The scroll position in zoomed states (client pixels).
    POINT m_scrollPos{};

    // Ends the preview: the frame gets its view and bars back. Deletes this view.
    virtual void OnPreviewClose();
    void ActivateWindowForPreview();

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnPreviewCloseCmd() { OnPreviewClose(); }
    void OnNumPageChange();
    void OnNextPage();
    void OnPrevPage();
    void OnPreviewPrint();
    void OnZoomIn();
    void OnZoomOut();
    void OnUpdateNextPage(CCmdUI* ui);
    void OnUpdatePrevPage(CCmdUI* ui);
    void OnUpdateZoomIn(CCmdUI* ui);
    void OnUpdateZoomOut(CCmdUI* ui);
    DECLARE_MESSAGE_MAP()

    // The zoom about a page and a client point (or the page's centre when point is
    // (-1, -1)); lays out the pages and scroll bars again.
    void DoZoom(UINT page, POINT point);
    void SetZoomStateBase(UINT state, UINT page, POINT point);
    // Works out where each shown page goes.
    void PositionPages();
    // The size of a page on the screen at the zoom state.
    SIZE PageScreenSize() const;
    virtual void UpdateScrollRange();
    void ScrollTo(int bar, int position);
};

// The frame's close procedure while a preview shows.
void PreviewCloseProc(CFrameWnd* frame);
