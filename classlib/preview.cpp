// The print preview: DoPrintPreview swaps the frame's pane and bars for a preview view
// and its bar; the view lays out whole pages (or one page zoomed in twice), draws each
// page from a metafile recorded against the printer and plays it scaled.
#include "classlib/preview.h"

#include "classlib/app.h"
#include "classlib/doc.h"
#include "classlib/frame.h"
#include "classlib/gdi.h"
#include "classlib/mdi.h"

#include <algorithm>
#include <cstdio>

IMPLEMENT_DYNCREATE(CPreviewView, CView)

BEGIN_MESSAGE_MAP(CPreviewView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_COMMAND(ID_PREVIEW_CLOSE, OnPreviewCloseCmd)
    ON_COMMAND(ID_PREVIEW_NUMPAGE, OnNumPageChange)
    ON_COMMAND(ID_PREVIEW_NEXT, OnNextPage)
    ON_COMMAND(ID_PREVIEW_PREV, OnPrevPage)
    ON_COMMAND(ID_PREVIEW_PRINT, OnPreviewPrint)
    ON_COMMAND(ID_PREVIEW_ZOOMIN, OnZoomIn)
    ON_COMMAND(ID_PREVIEW_ZOOMOUT, OnZoomOut)
    ON_UPDATE_COMMAND_UI(ID_PREVIEW_NEXT, OnUpdateNextPage)
    ON_UPDATE_COMMAND_UI(ID_PREVIEW_PREV, OnUpdatePrevPage)
    ON_UPDATE_COMMAND_UI(ID_PREVIEW_ZOOMIN, OnUpdateZoomIn)
    ON_UPDATE_COMMAND_UI(ID_PREVIEW_ZOOMOUT, OnUpdateZoomOut)
END_MESSAGE_MAP()

namespace {

constexpr int kPageGap = 8;        // screen pixels around and between whole pages
constexpr int kShadow = 3;
constexpr UINT kPreviewBarId = 0xE810;
constexpr int kZoomPercent[3] = { 0, 67, 100 };  // zoomed states: share of the printer's inch shown as a screen inch

// The frame a preview takes over: the top of the view's frames.
CFrameWnd* PreviewFrameOf(CView* view) {
    CFrameWnd* frame = view ? view->GetParentFrame() : nullptr;
    while (frame && frame->GetParentFrame()) frame = frame->GetParentFrame();
    return frame;
}

}  // namespace

// ---- Starting and ending

bool CView::DoPrintPreview(UINT barId, CView* printView, CRuntimeClass* previewViewClass, CPrintPreviewState* state) {
    CFrameWnd* frame = PreviewFrameOf(this);
    CObject* object = frame && state && previewViewClass && !frame->m_lpfnCloseProc ? previewViewClass->CreateObject()
                                                                                   : nullptr;
    if (!object || !object->IsKindOf(RUNTIME_CLASS(CPreviewView))) {
        delete object;
        delete state;
        return false;
    }
    auto* preview = static_cast<CPreviewView*>(object);
    preview->m_pPreviewState = state;
    preview->m_pOrigView = this;

    auto* bar = new CDialogBar;
    if (!bar->Create(frame, barId, BAR_ALIGN_TOP | WS_VISIBLE, kPreviewBarId)) {
        delete bar;
        delete preview;
        delete state;
        return false;
    }
    preview->m_pToolBar = bar;

    // The frame's own children step aside: visible bars and the main pane are hidden,
    // the pane renumbered so that the preview takes the leftover room.
    state->pViewActiveOld = frame->GetActiveView();
    state->hAccelTable = frame->m_hAccelTable;
    for (HWND child = ::GetTopWindow(frame->m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        if (child == bar->m_hWnd || !::IsWindowVisible(child)) continue;
        if (::GetDlgCtrlID(child) == AFX_IDW_PANE_FIRST) {
            state->hWndMainPane = child;
            ::SetWindowLongPtrA(child, GWLP_ID, AFX_IDW_PANE_FIRST + 0xff);
        }
        state->hiddenWindows.push_back(child);
    }
    for (HWND child : state->hiddenWindows) ::ShowWindow(child, SW_HIDE);

    CCreateContext context;
    context.m_pCurrentDoc = GetDocument();
    context.m_pCurrentFrame = frame;
    RECT none{};
    if (!preview->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, none, frame,
                         AFX_IDW_PANE_FIRST, &context)) {
        // Create deletes nothing on failure: put the frame back and drop the object.
        preview->m_pPrintView = nullptr;
        preview->OnPreviewClose();
        return false;
    }
    state->lpfnCloseProc = PreviewCloseProc;
    frame->m_lpfnCloseProc = PreviewCloseProc;
    frame->m_hAccelTable = nullptr;
    // The menu goes while the preview shows: its commands are the bar's.
    state->hMenu = ::GetMenu(frame->m_hWnd);
    if (state->hMenu) ::SetMenu(frame->m_hWnd, nullptr);
    if (!preview->SetPrintView(printView)) {
        preview->OnPreviewClose();
        return false;
    }
    frame->SetActiveView(preview);
    frame->RecalcLayout();
    preview->ActivateWindowForPreview();
    bar->OnUpdateCmdUI(frame, false);
    return true;
}

void CPreviewView::ActivateWindowForPreview() {
    if (m_hWnd) ::SetFocus(m_hWnd);
}

void PreviewCloseProc(CFrameWnd* frame) {
    auto* preview = frame ? dynamic_cast<CPreviewView*>(frame->GetActiveView()) : nullptr;
    if (preview) preview->OnPreviewClose();
}

void CPreviewView::OnPreviewClose() {
    CFrameWnd* frame = GetParentFrame();
    CPrintPreviewState* state = m_pPreviewState;
    if (m_pToolBar) {
        m_pToolBar->DestroyWindow();
        delete m_pToolBar;
        m_pToolBar = nullptr;
    }
    if (state) {
        for (HWND child : state->hiddenWindows) {
            if (::IsWindow(child)) ::ShowWindow(child, SW_SHOWNA);
        }
        if (state->hWndMainPane && ::IsWindow(state->hWndMainPane)) {
            ::SetWindowLongPtrA(state->hWndMainPane, GWLP_ID, AFX_IDW_PANE_FIRST);
        }
    }
    CView* printView = m_pPrintView;
    CPrintInfo* info = m_pPreviewInfo;
    m_pPreviewInfo = nullptr;
    if (frame) {
        frame->m_lpfnCloseProc = nullptr;
        if (state) frame->m_hAccelTable = state->hAccelTable;
        if (state && state->hMenu) ::SetMenu(frame->m_hWnd, state->hMenu);
        frame->SetActiveView(state ? state->pViewActiveOld : m_pOrigView);
    }
    // The print view ends the run it began, with the printer DC still alive.
    if (printView && info && m_bBegun) {
        CDC printer;
        printer.Attach(m_hPrinterDC);
        printer.m_bPrinting = true;
        POINT none{};
        printView->OnEndPrintPreview(&printer, info, none, this);
        printer.Detach();
    }
    delete info;  // deletes the dialog, and with it the printer DC
    m_hPrinterDC = nullptr;
    m_pPreviewState = nullptr;
    delete state;
    if (m_hWnd) {
        DestroyWindow();  // deletes this view
    } else {
        delete this;
    }
    if (frame) {
        frame->RecalcLayout();
        if (CView* view = frame->GetActiveView()) ::SetFocus(view->m_hWnd);
    }
}

// ---- The run

CPreviewView::CPreviewView() : m_pPageInfo(m_pageInfoArray) {}

CPreviewView::~CPreviewView() = default;

int CPreviewView::OnCreate(LPCREATESTRUCT cs) {
    // Not added to the document: the preview is no view of it.
    return CWnd::OnCreate(cs);
}

bool CPreviewView::SetPrintView(CView* printView) {
    m_pPrintView = printView;
    m_pPreviewInfo = new CPrintInfo;
    m_pPreviewInfo->m_bPreview = true;
    m_pPreviewInfo->SetMinPage(1);
    if (!printView->OnPreparePrinting(m_pPreviewInfo)) return false;
    m_hPrinterDC = m_pPreviewInfo->m_pPD->m_pd.hDC;
    if (!m_hPrinterDC) return false;
    CDC printer;
    printer.Attach(m_hPrinterDC);
    printer.m_bPrinting = true;
    printView->OnBeginPrinting(&printer, m_pPreviewInfo);
    printer.Detach();
    m_bBegun = true;
    CWinApp* app = CurrentApp();
    m_nZoomOutPages = m_pPreviewInfo->m_nNumPreviewPages ? m_pPreviewInfo->m_nNumPreviewPages
                                                         : (app ? app->m_nNumPreviewPages : 1);
    m_nZoomOutPages = std::clamp<UINT>(m_nZoomOutPages, 1, std::max<UINT>(m_nMaxPages, 1));
    m_nPages = m_nZoomState == 0 ? m_nZoomOutPages : 1;
    SetCurrentPage(m_pPreviewInfo->GetFromPage(), true);
    return true;
}

void CPreviewView::OnActivateView(bool activate, CView* activateView, CView* deactivateView) {
    CView::OnActivateView(activate, activateView, deactivateView);
}

void CPreviewView::SetCurrentPage(UINT page, bool clear) {
    if (m_pPreviewInfo) {
        const UINT last = std::max(m_pPreviewInfo->GetMinPage(), m_pPreviewInfo->GetMaxPage());
        page = std::clamp(page, m_pPreviewInfo->GetMinPage(), last);
    }
    m_nCurrentPage = std::max<UINT>(page, 1);
    if (m_pPreviewInfo && m_pPreviewInfo->GetMaxPage() != kUnknownPageCount) {
        char text[48];
        const UINT last = std::min(m_nCurrentPage + m_nPages - 1, m_pPreviewInfo->GetMaxPage());
        if (last > m_nCurrentPage) std::snprintf(text, sizeof text, "Pages %u-%u", m_nCurrentPage, last);
        else std::snprintf(text, sizeof text, "Page %u", m_nCurrentPage);
        m_pPreviewInfo->m_strPageDesc = text;
        if (CFrameWnd* frame = GetParentFrame()) frame->SetMessageText(text);
    }
    PositionPages();
    UpdateScrollRange();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, clear);
}

SIZE CPreviewView::PageScreenSize() const {
    SIZE size{ 1, 1 };
    if (!m_hPrinterDC || !m_hWnd) return size;
    const int pw = ::GetDeviceCaps(m_hPrinterDC, PHYSICALWIDTH) > 0 ? ::GetDeviceCaps(m_hPrinterDC, PHYSICALWIDTH)
                                                                      : ::GetDeviceCaps(m_hPrinterDC, HORZRES);
    const int ph = ::GetDeviceCaps(m_hPrinterDC, PHYSICALHEIGHT) > 0 ? ::GetDeviceCaps(m_hPrinterDC, PHYSICALHEIGHT)
                                                                       : ::GetDeviceCaps(m_hPrinterDC, VERTRES);
    const int dpiX = std::max(1, ::GetDeviceCaps(m_hPrinterDC, LOGPIXELSX));
    const int dpiY = std::max(1, ::GetDeviceCaps(m_hPrinterDC, LOGPIXELSY));
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (m_nZoomState == 0) {
        // Whole pages side by side within the window.
        const int n = std::max<int>(m_nPages, 1);
        const double across = double(client.right - kPageGap * (n + 1)) / n / pw;
        const double down = double(client.bottom - 2 * kPageGap) / ph;
        const double s = std::max(0.0, std::min(across, down));
        size = { std::max(1, int(pw * s)), std::max(1, int(ph * s)) };
    } else {
        HDC screen = ::GetDC(nullptr);
        const int screenX = ::GetDeviceCaps(screen, LOGPIXELSX), screenY = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        const int percent = kZoomPercent[std::min<UINT>(m_nZoomState, 2)];
        size = { std::max(1, MulDiv(pw, screenX * percent, dpiX * 100)),
                 std::max(1, MulDiv(ph, screenY * percent, dpiY * 100)) };
    }
    return size;
}

void CPreviewView::PositionPages() {
    if (!m_hWnd || !m_pPageInfo) return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const SIZE page = PageScreenSize();
    const UINT shown = std::min(m_nPages, m_nMaxPages);
    const int total = int(shown) * int(page.cx) + int(shown - 1) * kPageGap;
    int x = std::max(kPageGap, (int(client.right) - total) / 2) - int(m_nZoomState ? m_scrollPos.x : 0);
    const int y = std::max(kPageGap, (int(client.bottom) - int(page.cy)) / 2) - int(m_nZoomState ? m_scrollPos.y : 0);
    for (UINT i = 0; i < shown; ++i) {
        PageInfo& info = m_pPageInfo[i];
        info.rectScreen = { x, y, x + page.cx, y + page.cy };
        info.sizeUnscaled = { ::GetDeviceCaps(m_hPrinterDC, HORZRES), ::GetDeviceCaps(m_hPrinterDC, VERTRES) };
        info.sizeScaleRatio = { page.cx, std::max<LONG>(1, info.sizeUnscaled.cx) };
        if (m_nZoomState == 0) info.sizeZoomOutRatio = info.sizeScaleRatio;
        x += page.cx + kPageGap;
    }
}

bool CPreviewView::FindPageRect(POINT& point, UINT& page) {
    const UINT shown = std::min(m_nPages, m_nMaxPages);
    for (UINT i = 0; i < shown; ++i) {
        if (::PtInRect(&m_pPageInfo[i].rectScreen, point)) {
            page = i;
            point.x -= m_pPageInfo[i].rectScreen.left;
            point.y -= m_pPageInfo[i].rectScreen.top;
            return true;
        }
    }
    return false;
}

void CPreviewView::UpdateScrollRange() {
    if (!m_hWnd) return;
    if (m_nZoomState == 0) {
        m_scrollPos = {};
        ::ShowScrollBar(m_hWnd, SB_BOTH, FALSE);
        return;
    }
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const SIZE page = PageScreenSize();
    const int width = page.cx + 2 * kPageGap, height = page.cy + 2 * kPageGap;
    for (int bar : { SB_HORZ, SB_VERT }) {
        const int extent = bar == SB_HORZ ? width : height;
        const int view = bar == SB_HORZ ? client.right : client.bottom;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = 0;
        si.nMax = extent - 1;
        si.nPage = UINT(std::max(view, 0));
        LONG& pos = bar == SB_HORZ ? m_scrollPos.x : m_scrollPos.y;
        pos = std::clamp<LONG>(pos, 0, std::max(0, extent - view));
        si.nPos = pos;
        ::ShowScrollBar(m_hWnd, bar, extent > view);
        ::SetScrollInfo(m_hWnd, bar, &si, TRUE);
    }
}

void CPreviewView::ScrollTo(int bar, int position) {
    LONG& pos = bar == SB_HORZ ? m_scrollPos.x : m_scrollPos.y;
    if (pos == position) return;
    pos = position;
    UpdateScrollRange();
    PositionPages();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPreviewView::OnHScroll(UINT code, UINT pos, CScrollBar*) {
    if (m_nZoomState == 0) return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, SB_HORZ, &si);
    int p = si.nPos;
    switch (code) {
    case SB_LINELEFT: p -= 16; break;
    case SB_LINERIGHT: p += 16; break;
    case SB_PAGELEFT: p -= int(si.nPage); break;
    case SB_PAGERIGHT: p += int(si.nPage); break;
    case SB_THUMBTRACK: p = int(pos); break;
    default: return;
    }
    ScrollTo(SB_HORZ, std::clamp(p, 0, std::max(0, si.nMax - int(si.nPage) + 1)));
}

void CPreviewView::OnVScroll(UINT code, UINT pos, CScrollBar*) {
    if (m_nZoomState == 0) {
        // Whole pages: the bar steps through the pages.
        if (!m_pPreviewInfo) return;
        UINT page = m_nCurrentPage;
        switch (code) {
        case SB_LINEUP: case SB_PAGEUP: if (page > m_pPreviewInfo->GetMinPage()) --page; break;
        case SB_LINEDOWN: case SB_PAGEDOWN: ++page; break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: page = pos; break;
        case SB_TOP: page = m_pPreviewInfo->GetMinPage(); break;
        case SB_BOTTOM: page = m_pPreviewInfo->GetMaxPage(); break;
        default: return;
        }
        if (page > m_pPreviewInfo->GetMaxPage()) page = m_pPreviewInfo->GetMaxPage();
        SetCurrentPage(page, true);
        return;
    }
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, SB_VERT, &si);
    int p = si.nPos;
    switch (code) {
    case SB_LINEUP: p -= 16; break;
    case SB_LINEDOWN: p += 16; break;
    case SB_PAGEUP: p -= int(si.nPage); break;
    case SB_PAGEDOWN: p += int(si.nPage); break;
    case SB_THUMBTRACK: p = int(pos); break;
    default: return;
    }
    ScrollTo(SB_VERT, std::clamp(p, 0, std::max(0, si.nMax - int(si.nPage) + 1)));
}

void CPreviewView::OnSize(UINT, int, int) {
    PositionPages();
    UpdateScrollRange();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL CPreviewView::OnEraseBkgnd(CDC* dc) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::FillRect(dc->m_hDC, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    return TRUE;
}

// ---- Zoom

void CPreviewView::DoZoom(UINT page, POINT point) {
    m_nPages = m_nZoomState == 0 ? m_nZoomOutPages : 1;
    if (m_nZoomState == 0) {
        m_scrollPos = {};
    } else {
        // The clicked spot of the page (or its centre) comes to the middle of the window.
        const PageInfo& before = m_pPageInfo[std::min(page, m_nMaxPages - 1)];
        const int bw = std::max<int>(1, before.rectScreen.right - before.rectScreen.left);
        const int bh = std::max<int>(1, before.rectScreen.bottom - before.rectScreen.top);
        if (point.x < 0 || point.y < 0) point = { bw / 2, bh / 2 };
        const SIZE now = PageScreenSize();
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        m_scrollPos.x = kPageGap + MulDiv(point.x, now.cx, bw) - client.right / 2;
        m_scrollPos.y = kPageGap + MulDiv(point.y, now.cy, bh) - client.bottom / 2;
        if (page > 0) SetCurrentPage(m_nCurrentPage + page, false);
    }
    UpdateScrollRange();
    PositionPages();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPreviewView::SetZoomStateBase(UINT state, UINT page, POINT point) {
    if (state == m_nZoomState) return;
    m_nZoomState = state;
    DoZoom(page, point);
}

void CPreviewView::OnLButtonDown(UINT, CPoint point) {
    POINT p = point;
    UINT page = 0;
    if (!FindPageRect(p, page)) return;
    SetZoomStateBase((m_nZoomState + 1) % 3, page, p);
}

void CPreviewView::OnZoomIn() {
    if (m_nZoomState < 2) SetZoomStateBase(m_nZoomState + 1, 0, POINT{ -1, -1 });
}

void CPreviewView::OnZoomOut() {
    if (m_nZoomState > 0) SetZoomStateBase(m_nZoomState - 1, 0, POINT{ -1, -1 });
}

void CPreviewView::OnUpdateZoomIn(CCmdUI* ui) { ui->Enable(m_nZoomState < 2); }
void CPreviewView::OnUpdateZoomOut(CCmdUI* ui) { ui->Enable(m_nZoomState > 0); }

// ---- Paging and printing

// One page or two side by side, whole pages only.
void CPreviewView::OnNumPageChange() {
    m_nZoomOutPages = m_nZoomOutPages == 1 && m_nMaxPages > 1 ? 2 : 1;
    if (m_nZoomState == 0) m_nPages = m_nZoomOutPages;
    SetCurrentPage(m_nCurrentPage, true);
}

void CPreviewView::OnNextPage() { SetCurrentPage(m_nCurrentPage + 1, true); }

void CPreviewView::OnPrevPage() {
    if (m_nCurrentPage > 1) SetCurrentPage(m_nCurrentPage - 1, true);
}

void CPreviewView::OnUpdateNextPage(CCmdUI* ui) {
    ui->Enable(m_pPreviewInfo && m_nCurrentPage + m_nPages - 1 < m_pPreviewInfo->GetMaxPage());
}

void CPreviewView::OnUpdatePrevPage(CCmdUI* ui) {
    ui->Enable(m_pPreviewInfo && m_nCurrentPage > m_pPreviewInfo->GetMinPage());
}

void CPreviewView::OnPreviewPrint() {
    CView* view = m_pPrintView;
    OnPreviewClose();
    if (view && view->m_hWnd) view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
}

// ---- Drawing

void CPreviewView::OnDraw(CDC* dc) {
    if (!m_pPrintView || !m_pPreviewInfo || !m_hPrinterDC) return;
    const int horzRes = ::GetDeviceCaps(m_hPrinterDC, HORZRES), vertRes = ::GetDeviceCaps(m_hPrinterDC, VERTRES);
    const int physW = std::max(horzRes, ::GetDeviceCaps(m_hPrinterDC, PHYSICALWIDTH));
    const int physH = std::max(vertRes, ::GetDeviceCaps(m_hPrinterDC, PHYSICALHEIGHT));
    const int offX = ::GetDeviceCaps(m_hPrinterDC, PHYSICALOFFSETX), offY = ::GetDeviceCaps(m_hPrinterDC, PHYSICALOFFSETY);
    const int mmX = ::GetDeviceCaps(m_hPrinterDC, HORZSIZE), mmY = ::GetDeviceCaps(m_hPrinterDC, VERTSIZE);
    const UINT shown = std::min(m_nPages, m_nMaxPages);
    for (UINT i = 0; i < shown; ++i) {
        const UINT pageNumber = m_nCurrentPage + i;
        if (pageNumber > m_pPreviewInfo->GetMaxPage()) break;
        const RECT& r = m_pPageInfo[i].rectScreen;
        // Paper with its shadow.
        RECT shadow = { r.left + kShadow, r.top + kShadow, r.right + kShadow, r.bottom + kShadow };
        ::FillRect(dc->m_hDC, &shadow, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::FillRect(dc->m_hDC, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::FrameRect(dc->m_hDC, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));

        // The printable area's frame in hundredths of a millimetre for the metafile.
        const RECT frame = { 0, 0, MulDiv(horzRes, mmX * 100, std::max(1, horzRes)),
                             MulDiv(vertRes, mmY * 100, std::max(1, vertRes)) };
        HDC meta = ::CreateEnhMetaFileA(m_hPrinterDC, nullptr, &frame, nullptr);
        if (!meta) continue;
        CDC page;
        page.Attach(meta);
        page.m_hAttribDC = m_hPrinterDC;
        page.m_bPrinting = true;
        m_pPreviewInfo->m_nCurPage = pageNumber;
        m_pPreviewInfo->m_bContinuePrinting = true;
        m_pPrintView->OnPrepareDC(&page, m_pPreviewInfo);
        const bool draw = m_pPreviewInfo->m_bContinuePrinting;
        if (draw) {
            m_pPreviewInfo->m_rectDraw = { 0, 0, horzRes, vertRes };
            m_pPrintView->OnPrint(&page, m_pPreviewInfo);
        }
        page.Detach();
        HENHMETAFILE picture = ::CloseEnhMetaFile(meta);
        if (!picture) continue;
        if (draw) {
            const int w = r.right - r.left, h = r.bottom - r.top;
            const RECT to = { r.left + MulDiv(offX, w, physW), r.top + MulDiv(offY, h, physH),
                              r.left + MulDiv(offX + horzRes, w, physW), r.top + MulDiv(offY + vertRes, h, physH) };
            const int saved = ::SaveDC(dc->m_hDC);
            ::IntersectClipRect(dc->m_hDC, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
            ::PlayEnhMetaFile(dc->m_hDC, picture, &to);
            ::RestoreDC(dc->m_hDC, saved);
        }
        ::DeleteEnhMetaFile(picture);
    }
}

// ---- The base view's preview end

void CView::OnEndPrintPreview(CDC* dc, CPrintInfo* info, POINT, CView*) { OnEndPrinting(dc, info); }
