#include "ui/view/yrn_preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "classlib/app.h"
#include "engine/core/sketch.h"
#include "engine/docio/print_layout.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_services.h"
#include "ui/engine_calls.h"
#include "ui/resource_ids.h"
#include "ui/view/sketch_view.h"

IMPLEMENT_DYNCREATE(CYrnPreview, CPreviewView)

BEGIN_MESSAGE_MAP(CYrnPreview, CPreviewView)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_VSCROLL()
    ON_COMMAND(ID_PREVIEW_ZOOMIN, OnZoomIn)
    ON_COMMAND(ID_PREVIEW_ZOOMOUT, OnZoomOut)
    ON_COMMAND(ID_PREVIEW_FIT, OnFitToPage)
    ON_UPDATE_COMMAND_UI(ID_PREVIEW_FIT, OnUpdateFitToPage)
    ON_EN_CHANGE(IDC_PREVIEW_SCALE, OnScaleChange)
    ON_COMMAND(IDC_PREVIEW_LARGE, OnLargePlots)
    ON_UPDATE_COMMAND_UI(IDC_PREVIEW_LARGE, OnUpdateLargePlots)
END_MESSAGE_MAP()

namespace {

constexpr int32_t kLowestPercent = 1;
constexpr int32_t kHighestPercent = 5000;
constexpr int32_t kPercentOnError = 100;

// The bar's bitmap buttons, in the order of m_bitmaps.
constexpr struct {
    UINT bitmap;
    UINT button;
} kBarBitmaps[4] = {
    { IDB_PREVIEW_NEXT, ID_PREVIEW_NEXT },
    { IDB_PREVIEW_PREV, ID_PREVIEW_PREV },
    { IDB_PREVIEW_ZOOM_IN, ID_PREVIEW_ZOOMIN },
    { IDB_PREVIEW_ZOOM_OUT, ID_PREVIEW_ZOOMOUT },
};

}  // namespace

CYrnPreview::CYrnPreview() {
    m_nCurrentPage = 0;
    SetPageCount(1);
    if (CWinApp* app = CurrentApp()) {
        m_savedPreviewPages = app->m_nNumPreviewPages;
        app->m_nNumPreviewPages = 1;
    }
}

CYrnPreview::~CYrnPreview() {
    if (CWinApp* app = CurrentApp()) app->m_nNumPreviewPages = m_savedPreviewPages;
    if (CMainApp* app = TheApp()) app->m_idleSuspended[1] = 0;
    for (HBITMAP& b : m_bitmaps) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
    m_pPageInfo = m_pageInfoArray;
    delete[] m_pageArray;
}

CYRNView* CYrnPreview::SketchView() const {
    return m_pPrintView && m_pPrintView->IsKindOf(RUNTIME_CLASS(CYRNView)) ? static_cast<CYRNView*>(m_pPrintView)
                                                                         : nullptr;
}

int CYrnPreview::OnCreate(LPCREATESTRUCT cs) {
    if (CPreviewView::OnCreate(cs) == -1) return -1;
    // Idle work of the shell waits while the preview shows.
    if (CMainApp* app = TheApp()) app->m_idleSuspended[1] = 1;
    for (size_t i = 0; i < std::size(kBarBitmaps); ++i) {
        m_bitmaps[i] = static_cast<HBITMAP>(
            LoadImageA(ResourceModule(), MAKEINTRESOURCEA(kBarBitmaps[i].bitmap), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (m_pToolBar && m_pToolBar->m_hWnd && m_bitmaps[i]) {
            ::SendDlgItemMessageA(m_pToolBar->m_hWnd, kBarBitmaps[i].button, BM_SETIMAGE, IMAGE_BITMAP,
                                  reinterpret_cast<LPARAM>(m_bitmaps[i]));
        }
    }
    return 0;
}

void CYrnPreview::ShowPercent(double percent) {
    if (!m_pToolBar || !m_pToolBar->m_hWnd) return;
    char text[24];
    std::snprintf(text, sizeof text, "%ld", std::lround(percent));
    writingScale_ = true;
    ::SetDlgItemTextA(m_pToolBar->m_hWnd, IDC_PREVIEW_SCALE, text);
    writingScale_ = false;
}

void CYrnPreview::OnActivateView(bool activate, CView* activateView, CView* deactivateView) {
    if (activate) {
        if (CYRNView* view = SketchView()) ShowPercent(view->m_printSettings.scalePercent);
        SetPageCount(0);
    }
    CPreviewView::OnActivateView(activate, activateView, deactivateView);
}

void CYrnPreview::SetPageCount(uint32_t count) {
    if (count == 0) {
        CYRNView* view = SketchView();
        Sketch* page = view ? view->Page() : nullptr;
        if (!page) return;
        count = static_cast<uint32_t>(std::max<int32_t>(CountPrintPages(page, &view->m_printSettings), 1));
    }
    // Page numbers of a run are 16-bit and the last one means "unknown": a layout of
    // more pages shows the first of them.
    count = std::min<uint32_t>(count, kUnknownPageCount - 1);
    if (m_pageCapacity < count) {
        auto* grown = new (std::nothrow) PageInfo[count]();
        if (grown) {
            if (m_pageArray) std::copy(m_pageArray, m_pageArray + m_pageCapacity, grown);
            delete[] m_pageArray;
            m_pageArray = grown;
            m_pageCapacity = count;
        }
    }
    if (m_pageArray) {
        m_pPageInfo = m_pageArray;
        m_nMaxPages = m_pageCapacity;
    }
    if (m_pPreviewInfo) m_pPreviewInfo->SetMaxPage(count);
    m_nZoomOutPages = count > 1 ? 2 : 1;
    m_nPages = m_nZoomState != 0 ? 1 : m_nZoomOutPages;
    if (m_pPreviewInfo && m_hWnd) {
        for (uint32_t i = 1; i < m_nMaxPages; ++i) m_pPageInfo[i].sizeScaleRatio.cx = 0;
        SetCurrentPage(m_nCurrentPage, true);
        UpdateScrollBar();
    }
}

// ---- Zoom

void CYrnPreview::SetZoomState(UINT state, UINT page, POINT point) {
    if (state == m_nZoomState) return;
    m_nZoomState = state;
    DoZoom(page, point);
}

void CYrnPreview::DoZoom(UINT page, POINT point) {
    CPreviewView::DoZoom(page, point);
    UpdateScrollBar();
}

void CYrnPreview::OnLButtonDown(UINT, CPoint point) {
    POINT p = point;
    UINT page = 0;
    if (!FindPageRect(p, page)) return;
    SetZoomState((m_nZoomState + 1) % 3, page, p);
}

void CYrnPreview::OnZoomIn() {
    if (m_nZoomState < 2) SetZoomState(m_nZoomState + 1, 0, POINT{ -1, -1 });
}

void CYrnPreview::OnZoomOut() {
    if (m_nZoomState > 0) SetZoomState(m_nZoomState - 1, 0, POINT{ -1, -1 });
}

// ---- The vertical bar over whole pages

void CYrnPreview::UpdateScrollRange() {
    if (m_nZoomState != 0) {
        CPreviewView::UpdateScrollRange();
        return;
    }
    UpdateScrollBar();
}

void CYrnPreview::UpdateScrollBar() {
    if (!m_hWnd || m_nZoomState != 0 || !m_pPreviewInfo) return;
    ::ShowScrollBar(m_hWnd, SB_HORZ, FALSE);
    const UINT minPage = m_pPreviewInfo->GetMinPage(), maxPage = m_pPreviewInfo->GetMaxPage();
    const bool valid = maxPage < 0x8000 && maxPage - minPage <= 0x7fff;
    const int last = int(maxPage) - int(m_nPages) + 1;
    const bool show = valid && last > 1;
    ::ShowScrollBar(m_hWnd, SB_VERT, show);
    if (show) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = int(minPage);
        si.nMax = last;
        si.nPage = 1;
        si.nPos = int(std::min<UINT>(m_nCurrentPage, UINT(last)));
        if (!::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE)) ::SetScrollRange(m_hWnd, SB_VERT, si.nMin, si.nMax, TRUE);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CYrnPreview::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    CPreviewView::OnVScroll(code, pos, bar);
    if (m_nZoomState == 0 && m_pPreviewInfo) {
        const int last = int(m_pPreviewInfo->GetMaxPage()) - int(m_nPages) + 1;
        if (int(m_nCurrentPage) > last && m_nCurrentPage > 1) SetCurrentPage(m_nCurrentPage - 1, true);
    }
    UpdateScrollBar();
}

// ---- Scale, fit and large plots

void CYrnPreview::OnScaleChange() {
    if (writingScale_ || !m_pToolBar || !m_pToolBar->m_hWnd) return;
    CYRNView* view = SketchView();
    Sketch* page = view ? view->Page() : nullptr;
    if (!page) return;
    char text[32] = "";
    ::GetDlgItemTextA(m_pToolBar->m_hWnd, IDC_PREVIEW_SCALE, text, sizeof text);
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text) value = 0;
    if (value < kLowestPercent) {
        ShowPercent(kPercentOnError);
        MessageBeep(UINT(-1));
        value = kPercentOnError;
    } else if (value > kHighestPercent) {
        ShowPercent(kHighestPercent);
        MessageBeep(UINT(-1));
        value = kHighestPercent;
    }
    PrintSettings& s = view->m_printSettings;
    s.fitToPage = 0;
    s.noMargin = 0;
    s.scalePercent = double(value);
    {
        SketchScope scope(page);
        ComputePrintLayout(page, &s);
    }
    SetPageCount(0);
    page->printSettings.fitToPage = 0;
    page->printSettings.scalePercent = double(value);
    Invalidate(true);
}

void CYrnPreview::OnFitToPage() {
    CYRNView* view = SketchView();
    Sketch* page = view ? view->Page() : nullptr;
    if (!page) return;
    PrintSettings& s = view->m_printSettings;
    s.fitToPage = 1;
    s.noMargin = 0;
    {
        SketchScope scope(page);
        ComputePrintLayout(page, &s);
    }
    ShowPercent(s.scalePercent);
    page->printSettings.fitToPage = 1;
    page->printSettings.scalePercent = double(std::lround(s.scalePercent));
    SetPageCount(0);
    Invalidate(true);
}

void CYrnPreview::OnUpdateFitToPage(CCmdUI* ui) { ui->Enable(true); }

void CYrnPreview::OnLargePlots() {
    CYRNView* view = SketchView();
    Sketch* page = view ? view->Page() : nullptr;
    if (!page || !m_pToolBar || !m_pToolBar->m_hWnd) return;
    const bool ticked = ::IsDlgButtonChecked(m_pToolBar->m_hWnd, IDC_PREVIEW_LARGE) == BST_CHECKED;
    PrintSettings& s = view->m_printSettings;
    s.clipLargePlots = ticked ? 0 : 1;
    page->printSettings.clipLargePlots = s.clipLargePlots;
    {
        SketchScope scope(page);
        ComputePrintExtentClipped(s.uiFlag != 0, !ticked);
        ComputePrintLayout(page, &s);
    }
    page->printSettings.scalePercent = double(std::lround(s.scalePercent));
    SetPageCount(0);
    Invalidate(true);
}

// The preview's extents compare large loci whole and cut to the window (labels as the
// print has them): that is the choice the box makes.
void CYrnPreview::OnUpdateLargePlots(CCmdUI* ui) {
    CYRNView* view = SketchView();
    Sketch* page = view ? view->Page() : nullptr;
    if (!page) {
        ui->Enable(false);
        return;
    }
    m_largePlotsChangeable =
        !LargePlotExtentsMatch(page, view->m_printSettings.uiFlag != 0, &m_extentWhole, &m_extentClipped);
    ui->SetCheck(view->m_printSettings.clipLargePlots == 0 ? 1 : 0);
    ui->Enable(m_largePlotsChangeable);
}
