#include "ui/view/sketch_view.h"

#include <algorithm>

#include "classlib/gdi.h"
#include "classlib/print.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/geometry.h"
#include "engine/core/object_creation.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_keys.h"
#include "engine/core/alerts.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/print_layout.h"
#include "platform/win32/busy_feedback.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/render/traces.h"
#include "platform/win32/ui_fonts.h"
#include "platform/win32/shell.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/engine_calls.h"
#include "ui/frames/child_frame.h"
#include "ui/frames/main_frame.h"
#include "ui/input_state.h"
#include "ui/resource_ids.h"
#include "ui/view/view_math.h"
#include "ui/view/yrn_preview.h"

namespace {

constexpr char kViewClass[] = "YrnView";
// "This sketch contains no printable objects."
constexpr ResultCode kNothingToPrintAlert = 410;
constexpr int16_t kDirtyGrowth = 7;
// The middle button and the wheel step the toolbox as the arrows with its flag do.
constexpr uint16_t kStepToolForward = kKeyRight;
constexpr uint16_t kWheelForward = kKeyUp;
constexpr uint16_t kWheelBackward = kKeyDown;

uint32_t ShiftFlags() { return KeyHeld(VK_SHIFT) ? kMouseFlagShift : 0; }

ScreenRect ToScreenRect(const RECT& r) {
    return ScreenRect{ static_cast<int16_t>(RoundClamp(r.left)), static_cast<int16_t>(RoundClamp(r.top)),
                       static_cast<int16_t>(RoundClamp(r.right)), static_cast<int16_t>(RoundClamp(r.bottom)) };
}

// Cursor resources by the engine's cursor kind (0 when a system cursor serves).
HCURSOR CursorForKind(int32_t kind) {
    static const struct {
        int32_t first;
        int32_t last;
        UINT resource;
        const char* system;
    } kCursors[] = {
        // kinds      resource               system cursor
        { 0, 0,       IDC_SELECT_ARROW,      nullptr },
        { 4, 4,       IDC_SELECT_ARROW,      nullptr },
        { 1, 1,       IDC_OVER_OBJECT,       nullptr },
        { 5, 5,       IDC_OVER_OBJECT,       nullptr },
        { 2, 2,       IDC_STRETCH,           nullptr },
        { 3, 3,       IDC_ACTION_BUTTON,     nullptr },
        { 6, 9,       IDC_TOOL,              nullptr },
        { 10, 10,     IDC_TEXT_NOTHING,      nullptr },
        { 11, 11,     IDC_TEXT_LABEL_TOGGLE, nullptr },
        { 12, 12,     IDC_OVER_LABEL,        nullptr },
        { 13, 13,     0,                     IDC_IBEAM },
        { 14, 14,     IDC_SCROLL_HAND,       nullptr },
        { 15, 15,     IDC_SCROLLING,         nullptr },
        { 16, 16,     0,                     IDC_SIZEWE },
        { 17, 17,     0,                     IDC_SIZENS },
    };
    for (const auto& c : kCursors) {
        if (kind < c.first || kind > c.last) continue;
        if (c.system) return LoadCursorA(nullptr, c.system);
        if (HCURSOR cursor = LoadCursorA(ResourceModule(), MAKEINTRESOURCEA(c.resource))) return cursor;
        break;
    }
    return LoadCursorA(nullptr, IDC_ARROW);
}

}  // namespace

IMPLEMENT_DYNCREATE(CYRNView, CView)

BEGIN_MESSAGE_MAP(CYRNView, CView)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_MBUTTONDOWN()
    ON_WM_MOUSEWHEEL()
    ON_WM_CHAR()
    ON_WM_SETCURSOR()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_ERASEBKGND()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
    ON_COMMAND(CMD_CLEAR, OnEditClear)
    ON_COMMAND(ID_DELETE_BACKWARD, OnDeleteBackward)
    ON_COMMAND(ID_FILE_PRINT, OnPrintCommand)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnPrintPreviewCommand)
END_MESSAGE_MAP()

CYRNView::CYRNView() { m_port.ropMode = R2_MASKPEN; }

CYRNView::~CYRNView() = default;

CYRNView* SketchViewFromHandle(HWND hwnd) {
    CWnd* wnd = hwnd ? CWnd::FromHandlePermanent(hwnd) : nullptr;
    return wnd && wnd->IsKindOf(RUNTIME_CLASS(CYRNView)) ? static_cast<CYRNView*>(wnd) : nullptr;
}

bool CYRNView::PreCreateWindow(CREATESTRUCT& cs) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        if (!GetClassInfoA(ModuleInstance(), ViewWindowClass(), &wc)) return false;
        wc.lpszClassName = kViewClass;
        wc.style |= CS_OWNDC;
        wc.hInstance = ModuleInstance();
        if (!RegisterClassA(&wc)) return false;
        registered = true;
    }
    cs.lpszClass = kViewClass;
    // No bars of its own: the splitter's shared bars scroll the view (GetScrollBarCtrl).
    return CView::PreCreateWindow(cs);
}

// A view passes its messages on as a plain window does.
bool CYRNView::PreTranslateMessage(MSG* msg) { return CWnd::PreTranslateMessage(msg); }

void CYRNView::OnPrepareDC(CDC* dc, CPrintInfo* info) {
    CView::OnPrepareDC(dc, info);
    if (!info || !dc->IsPrinting()) return;
    Sketch* page = Page();
    if (m_printSettings.scalePercent == 0) {
        m_printSettings.resolution = dc->GetDeviceCaps(LOGPIXELSX);
        m_printSettings.pageWidth = static_cast<int16_t>(std::min(dc->GetDeviceCaps(HORZRES), 0x7fff));
        m_printSettings.pageHeight = static_cast<int16_t>(std::min(dc->GetDeviceCaps(VERTRES), 0x7fff));
        m_printSettings.scalePercent = 100;
        m_printSettings.fitToPage = 0;
        m_printSettings.uiFlag = 0;
        SketchScope scope(page);
        ComputePrintLayout(page, &m_printSettings);
    }
    if (!info->m_bPreview && page && CountPrintPages(page, &m_printSettings) < int32_t(info->m_nCurPage)) {
        info->m_bContinuePrinting = false;
    }
}

CFernwickDoc* CYRNView::GetFernwickDoc() const {
    CDocument* doc = GetDocument();
    return doc && doc->IsKindOf(RUNTIME_CLASS(CFernwickDoc)) ? static_cast<CFernwickDoc*>(doc) : nullptr;
}

Sketch* CYRNView::Page() const {
    CFernwickDoc* doc = GetFernwickDoc();
    return doc ? doc->CurrentPage() : nullptr;
}

ScreenPoint CYRNView::DeviceToSketchPoint(int32_t x, int32_t y) const {
    const double sx = m_zoomX ? m_zoomX : 1;
    const double sy = m_zoomY ? m_zoomY : 1;
    return ScreenPoint{ DeviceToSketch(x, m_port.scrollX, sx), DeviceToSketch(y, m_port.scrollY, sy) };
}

ScreenRect CYRNView::DeviceToSketchRect(const RECT& r) const {
    const ScreenPoint a = DeviceToSketchPoint(r.left, r.top);
    const ScreenPoint b = DeviceToSketchPoint(r.right, r.bottom);
    return ScreenRect{ a.x, a.y, b.x, b.y };
}

POINT CYRNView::SketchToDevicePoint(ScreenPoint p) const {
    const double sx = m_zoomX ? m_zoomX : 1;
    const double sy = m_zoomY ? m_zoomY : 1;
    return POINT{ SketchToDevice(p.x, m_port.scrollX, sx), SketchToDevice(p.y, m_port.scrollY, sy) };
}

RECT CYRNView::SketchToDeviceRect(const ScreenRect& r) const {
    const POINT a = SketchToDevicePoint(ScreenPoint{ r.left, r.top });
    const POINT b = SketchToDevicePoint(ScreenPoint{ r.right, r.bottom });
    return RECT{ a.x, a.y, b.x, b.y };
}

void CYRNView::EnsureZoom() {
    if (m_zoomX != 0) return;
    SIZE numerator{ 1, 1 }, denominator{ 1, 1 };
    if (CFernwickDoc* doc = GetFernwickDoc()) doc->GetZoomFactor(&numerator, &denominator);
    m_zoomX = numerator.cx > 0 && denominator.cx > 0 ? double(numerator.cx) / denominator.cx : 1;
    m_zoomY = numerator.cy > 0 && denominator.cy > 0 ? double(numerator.cy) / denominator.cy : 1;
    AcquirePortDC();
}

void CYRNView::ApplyZoomMapping() {
    EnsureZoom();
    if (!m_port.windowDC) return;
    SetMapMode(m_port.windowDC, MM_ANISOTROPIC);
    SetWindowExtEx(m_port.windowDC, 1000, 1000, nullptr);
    SetViewportExtEx(m_port.windowDC, ZoomViewportExtent(m_zoomX), ZoomViewportExtent(m_zoomY), nullptr);
    m_zoomMapped = 1;
}

void CYRNView::AcquirePortDC() {
    if (!m_port.windowDC && m_hWnd) {
        // The class DC of a CS_OWNDC window: kept for the window's life, never released.
        m_port.windowDC = ::GetDC(m_hWnd);
        m_port.dc = m_port.windowDC;
        m_port.hwnd = m_hWnd;
    }
    SketchScope scope(Page());
    ChooseSelectionColor(&m_port);
}

bool CYRNView::GetPort(GraphicsPort** port) {
    if (!m_port.windowDC) AcquirePortDC();
    if (!m_port.windowDC) return false;
    *port = &m_port;
    return true;
}

void CYRNView::RebuildCanvas() {
    if (!m_port.windowDC) AcquirePortDC();
    SketchScope scope(Page());
    RebuildOffscreenCanvas(&m_port);
}

RECT CYRNView::ClientRectLogical() const {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (m_port.windowDC) DPtoLP(m_port.windowDC, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

void CYRNView::UpdateScrollBars() {
    if (!m_port.hwnd) return;
    if (!m_zoomMapped) ApplyZoomMapping();
    CFernwickDoc* doc = GetFernwickDoc();
    if (!doc) return;
    const RECT& e = doc->m_scrollExtent;
    RECT client;
    GetClientRect(&client);
    const int bars[2] = { SB_HORZ, SB_VERT };
    int32_t positions[2] = { 0, 0 };
    for (int i = 0; i < 2; ++i) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        if (!GetScrollInfo(bars[i], &si, SIF_ALL)) si.nPos = i == 0 ? m_port.scrollX : m_port.scrollY;
        const ScrollBarState s = i == 0 ? ScrollRangeFor(e.left, e.right, si.nPos, client.right)
                                        : ScrollRangeFor(e.top, e.bottom, si.nPos, client.bottom);
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = s.minimum;
        si.nMax = s.maximum - 1;   // Windows counts the last unit in; the range ends before maximum
        si.nPage = static_cast<UINT>(s.page);
        si.nPos = s.position;
        SetScrollInfo(bars[i], &si, true);
        positions[i] = s.position;
    }
    m_port.scrollX = static_cast<int16_t>(RoundClamp(positions[0]));
    m_port.scrollY = static_cast<int16_t>(RoundClamp(positions[1]));
    if (doc->IsFrontView(this)) {
        if (Sketch* page = Page()) page->windowRect = DeviceToSketchRect(client);
    }
    for (HDC dc : { m_port.windowDC, m_port.backDC, m_port.tracesDC }) {
        if (dc) SetViewportOrgEx(dc, -m_port.scrollX, -m_port.scrollY, nullptr);
    }
}

void CYRNView::ScrollBarTo(int bar, int32_t position, bool scrollNow) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(bar, &si, SIF_ALL);
    if (si.nPos == position) return;
    RECT client;
    GetClientRect(&client);
    const int32_t page = bar == SB_HORZ ? client.right : client.bottom;
    si.fMask = SIF_RANGE | SIF_POS;
    si.nMin = std::min(si.nMin, position);
    si.nMax = std::max(si.nMax, position + page - 1);
    si.nPos = position;
    SetScrollInfo(bar, &si, true);
    if (scrollNow) {
        // A bar that appears or grows may resize the view on the way, which redraws it
        // at the new position already: only what is left is scrolled.
        const int32_t shown = bar == SB_HORZ ? m_port.scrollX : m_port.scrollY;
        if (bar == SB_HORZ) ScrollBy(position - shown, 0);
        else ScrollBy(0, position - shown);
    }
}

void CYRNView::ScrollBy(int32_t dx, int32_t dy) {
    if (dx == 0 && dy == 0) return;
    // The screen is repainted whole from the scrolled back buffer rather than moved in
    // place: moving the window's own pixels was seen to leave the old picture on the
    // screen under Wine on a busy machine, and the copy costs one blit.
    InvalidateRect(nullptr, false);
    RECT client;
    GetClientRect(&client);
    for (HDC dc : { m_port.backDC, m_port.tracesDC }) {
        if (!dc) continue;
        // The buffers move in device units: their mapping is taken off for the copy.
        const int saved = SaveDC(dc);
        SetMapMode(dc, MM_TEXT);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        SetWindowOrgEx(dc, 0, 0, nullptr);
        BitBlt(dc, -dx, -dy, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        RestoreDC(dc, saved);
    }
    UpdateScrollBars();
    if (Sketch* page = Page()) FillScrolledStrips(page, &m_port, -dx, -dy);
}

void CYRNView::OnScroll(int bar, UINT code, UINT) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(bar, &si, SIF_ALL)) return;
    const ScrollBarState state{ si.nMin, si.nMax + 1, static_cast<int32_t>(si.nPage), si.nPos };
    const int32_t target = ScrollTarget(state, static_cast<int32_t>(code), si.nTrackPos);
    if (code == SB_ENDSCROLL || code == SB_THUMBPOSITION) return;
    ScrollBarTo(bar, target, true);
}

void CYRNView::OnHScroll(UINT code, UINT pos, CScrollBar*) { OnScroll(SB_HORZ, code, pos); }
void CYRNView::OnVScroll(UINT code, UINT pos, CScrollBar*) { OnScroll(SB_VERT, code, pos); }

void CYRNView::ScrollToVisibleRect(Sketch* sketch, bool scrollNow) {
    if (!sketch) return;
    EnsureZoom();
    const int32_t x = RoundClamp(sketch->windowRect.left * m_zoomX);
    const int32_t y = RoundClamp(sketch->windowRect.top * m_zoomY);
    ScrollBarTo(SB_HORZ, x, false);
    ScrollBarTo(SB_VERT, y, false);
    if (scrollNow) {
        // Measured after the bars moved: a resize on the way has redrawn at the new place.
        ScrollBy(x - m_port.scrollX, y - m_port.scrollY);
    } else {
        m_port.scrollX = static_cast<int16_t>(x);
        m_port.scrollY = static_cast<int16_t>(y);
        InvalidateRect(nullptr, false);
    }
    {
        SketchScope scope(sketch);
        FlushPendingRedraw(scrollNow ? 1 : 0);
    }
    if (scrollNow) UpdateWindow();
}

void CYRNView::SizeFrameToDocument(EngineDocument* document) {
    Sketch* page = Page();
    if (!page || !document) return;
    ScrollToVisibleRect(page, false);
    CFrameWnd* frame = GetParentFrame();
    if (!frame || !frame->IsKindOf(RUNTIME_CLASS(CChildFrame))) return;
    auto* child = static_cast<CChildFrame*>(frame);
    if (child->m_sizedToDocument || document->windowWidth <= 0 || document->windowHeight <= 0) return;
    child->m_sizedToDocument = 1;
    RECT r{ 0, 0, RoundClamp(document->windowWidth * m_zoomX) + GetSystemMetrics(SM_CXVSCROLL),
            RoundClamp(document->windowHeight * m_zoomY) + GetSystemMetrics(SM_CYHSCROLL) };
    AdjustWindowRectEx(&r, child->GetStyle(), FALSE, child->GetExStyle());
    child->SetWindowPos(nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CYRNView::UpdateVisibleRect() {
    Sketch* page = Page();
    if (!page || !m_hWnd) return false;
    RECT client;
    GetClientRect(&client);
    page->windowRect = DeviceToSketchRect(client);
    return true;
}

void CYRNView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    CFernwickDoc* doc = GetFernwickDoc();
    if (!doc) return;
    if (!doc->m_frontView || doc->m_frontView == this) doc->SetFrontView(this);
    if (Sketch* page = Page()) {
        SketchScope scope(page);
        ScrollToVisibleRect(page, false);
        UpdateScrollBars();
        RebuildOffscreenCanvas(&m_port);
        RecomputeSketch(false);
    }
    m_initialUpdateDone = 1;
}

void CYRNView::OnSize(UINT type, int cx, int cy) {
    if (!m_initialUpdateDone) {
        CView::OnSize(type, cx, cy);
        return;
    }
    SketchScope scope(Page());
    UpdateScrollBars();
    CView::OnSize(type, cx, cy);
    RebuildOffscreenCanvas(&m_port);
    if (m_port.hwnd) {
        RECT client;
        GetClientRect(&client);
        m_pending = DeviceToSketchRect(client);
        RedrawRect();
        UpdateWindow();
    }
}

void CYRNView::OnActivateView(bool activate, CView* activateView, CView* deactivateView) {
    CFernwickDoc* doc = GetFernwickDoc();
    Sketch* page = Page();
    if (activate && doc && page) {
        SketchScope scope(page);
        if (gEngine.frontSketch != page) MakeCurrentSketchFront();
        CMainFrame* frame = TheMainFrame();
        if (frame && frame->m_activeDocument != doc) doc->SetActive(true);
        CMainApp* app = TheApp();
        if (app && app->m_menusBuilt) IdleUpdate(0);
    }
    CView::OnActivateView(activate, activateView, deactivateView);
}

void CYRNView::OnDraw(CDC* dc) {
    Sketch* page = Page();
    if (page && !ScreenRectIsEmpty(page->dirtyRect)) {
        SketchScope scope(page);
        FlushPendingRedraw(1);
    }
    PaintInvalidRect(dc ? dc->m_hDC : nullptr);
}

void CYRNView::PaintInvalidRect(HDC paintDC) {
    PAINTSTRUCT ps;
    HDC dc = paintDC;
    if (!dc) dc = ::BeginPaint(m_hWnd, &ps);
    if (!dc) return;
    RECT r;
    if (GetClipBox(dc, &r) != NULLREGION && !IsRectEmpty(&r)) {
        InflateRect(&r, 1, 1);
        if (m_port.backDC) {
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, m_port.backDC, r.left, r.top, SRCCOPY);
        } else {
            ScreenRectUnion(ToScreenRect(r), &m_pending);
            RedrawRect();
        }
    }
    if (!paintDC) ::EndPaint(m_hWnd, &ps);
}

void CYRNView::RedrawRect() {
    Sketch* page = Page();
    if (!page || !m_port.windowDC) return;
    const RECT client = ClientRectLogical();
    ScreenRect r = m_pending;
    ScreenRectIntersect(ToScreenRect(client), &r);
    if (ScreenRectIsEmpty(r)) return;

    m_port.paintRect = RECT{ r.left, r.top, r.right, r.bottom };
    RECT device = m_port.paintRect;
    LPtoDP(m_port.windowDC, reinterpret_cast<POINT*>(&device), 2);
    HRGN clip = CreateRectRgnIndirect(&device);
    SelectClipRgn(m_port.windowDC, clip);
    if (m_port.backDC) SelectClipRgn(m_port.backDC, clip);
    DeleteObject(clip);

    const PixelRect bounds = WidenLineBounds(
        PixelRect{ m_port.lineBounds.left, m_port.lineBounds.top, m_port.lineBounds.right, m_port.lineBounds.bottom },
        PixelRect{ client.left, client.top, client.right, client.bottom });
    m_port.lineBounds = RECT{ bounds.left, bounds.top, bounds.right, bounds.bottom };

    {
        SketchScope scope(page);
        BeginRedrawPass(&m_port, &r);
        DrawSketch(&m_port, &r);
        EndRedrawPass(&m_port, &r);
    }
    m_pending = kEmptyScreenRect;
    if (CFernwickDoc* doc = GetFernwickDoc()) {
        doc->m_viewsInvalidated = 0;
        doc->m_rememberedChangeCount = SketchChangeCount(page);
    }
    SelectClipRgn(m_port.windowDC, nullptr);
    if (m_port.backDC) SelectClipRgn(m_port.backDC, nullptr);
}

void CYRNView::RepaintPending(bool now) {
    Sketch* page = Page();
    if (!page || ScreenRectIsEmpty(page->dirtyRect)) return;
    ScreenRect dirty = page->dirtyRect;
    ScreenRectInset(&dirty, -kDirtyGrowth, -kDirtyGrowth);
    InvalidateSketchRect(&dirty, false, false);
    ScreenRectUnion(dirty, &m_pending);
    if (now) {
        RedrawRect();
        PaintInvalidRect(nullptr);
    }
}

bool CYRNView::InvalidateSketchRect(const ScreenRect* rect, bool updateNow, bool relayout) {
    bool result = false;
    if (!rect || relayout) {
        Sketch* page = Page();
        RECT client;
        GetClientRect(&client);
        const ScreenRect whole = DeviceToSketchRect(client);
        {
            SketchScope scope(page);
            if (page) UnionDirtyRect(&whole);
            RebuildOffscreenCanvas(&m_port);
        }
        InvalidateRect(nullptr, false);
        if (relayout && page) InvalidateSketchViews(page);
        result = true;
    } else if (!ScreenRectIsEmpty(*rect)) {
        RECT device = SketchToDeviceRect(*rect);
        RECT client;
        GetClientRect(&client);
        RECT clipped;
        if (IntersectRect(&clipped, &device, &client)) {
            InvalidateRect(&clipped, false);
            result = true;
        }
    }
    if (updateNow) UpdateWindow();
    return result;
}

void CYRNView::FadeTraces() {
    Sketch* page = Page();
    if (!page || ScreenRectIsEmpty(page->tracedArea)) return;
    if (FadeTracesStep(&m_port)) InvalidateRect(nullptr, true);
}

void CYRNView::SetViewCursor() {
    if (BusyCursorWanted()) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return;
    }
    CFernwickDoc* doc = GetFernwickDoc();
    Sketch* page = Page();
    if (!page || page != gEngine.frontSketch || (doc && doc->m_menuJustClosed && PrimaryButtonDown())) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return;
    }
    SetCursor(CursorForKind(MouseCursorKind()));
}

BOOL CYRNView::OnSetCursor(CWnd*, UINT, UINT) {
    SetViewCursor();
    return TRUE;
}

BOOL CYRNView::OnEraseBkgnd(CDC*) { return TRUE; }

void CYRNView::OnWindowPosChanged(WINDOWPOS*) { Default(); }

void CYRNView::OnSysColorChange() { InvalidateSketchRect(nullptr, false, true); }

void CYRNView::OnDestroy() {
    CFernwickDoc* doc = GetFernwickDoc();
    if (doc && doc->m_frontView == this) doc->m_frontView = nullptr;
    ReleaseOffscreenCanvas(&m_port);
    CView::OnDestroy();
}

// ---- The mouse road ---------------------------------------------------------------

void CYRNView::OnLButtonDown(UINT, CPoint point) {
    CFernwickDoc* doc = GetFernwickDoc();
    Sketch* page = Page();
    if (!doc || !page) return;
    if (doc->m_swallowNextClick) {
        doc->m_swallowNextClick = 0;
        return;
    }
    if (doc->m_menuJustClosed) {
        doc->m_menuJustClosed = 0;
        SetViewCursor();
    }
    SetCapture();
    uint32_t flags = 0;
    m_altDown = KeyHeld(VK_MENU) ? 1 : 0;
    if (m_altDown) flags = kMouseFlagAlt;
    const ScreenPoint p = DeviceToSketchPoint(point.x, point.y);
    flags += ShiftFlags();
    {
        SketchScope scope(page);
        SketchMouseHover(flags, p, 1);
        SketchMouseDown(flags, p);
    }
    IdleUpdate(0);
    m_downTime = GetTickCount();
    m_downPoint = p;
    if (!doc->IsFrontView(this)) {
        doc->SetFrontView(this);
        UpdateVisibleRect();
    }
    SetViewCursor();
    IdleUpdate(0);
}

void CYRNView::OnMouseMove(UINT, CPoint) {
    CFernwickDoc* doc = GetFernwickDoc();
    Sketch* page = Page();
    if (!doc || !page) return;
    if (doc->m_menuJustClosed && PrimaryButtonDown()) return;
    if (page != gEngine.frontSketch) return;
    HWND foreground = ::GetForegroundWindow();
    if (!foreground || (foreground != m_hWnd && !::IsChild(foreground, m_hWnd))) return;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    uint32_t flags = ShiftFlags();
    if (KeyHeld(VK_MENU)) flags += kMouseFlagAlt;
    {
        SketchScope scope(page);
        SketchMouseHover(flags, DeviceToSketchPoint(cursor.x, cursor.y), 1);
    }
    IdleUpdate(0);
    SketchScope scope(page);
    FlushPendingRedraw(1);
}

void CYRNView::OnLButtonUp(UINT flags, CPoint point) {
    CFernwickDoc* doc = GetFernwickDoc();
    Sketch* page = Page();
    if (!doc || !page) return;
    if (doc->m_menuJustClosed) {
        doc->m_menuJustClosed = 0;
        doc->m_swallowNextClick = 0;
        OnMouseMove(flags, point);
        return;
    }
    {
        SketchScope scope(page);
        const ScreenPoint p = DeviceToSketchPoint(point.x, point.y);
        ReleaseCapture();
        m_altDown = 0;
        SketchMouseUp(ShiftFlags(), p);
    }
    IdleUpdate(0);
    doc->SetFrontView(this);
}

void CYRNView::OnLButtonDblClk(UINT, CPoint point) {
    Sketch* page = Page();
    if (!page) return;
    {
        SketchScope scope(page);
        SketchDoubleClick(ShiftFlags(), DeviceToSketchPoint(point.x, point.y));
    }
    IdleUpdate(0);
}

void CYRNView::OnRButtonDown(UINT flags, CPoint point) {
    if (Sketch* page = Page()) {
        SketchScope scope(page);
        const uint32_t mouse = KeyHeld(VK_SHIFT) ? kMouseFlagRight | kMouseFlagShift : kMouseFlagRight;
        SketchMouseDown(mouse, DeviceToSketchPoint(point.x, point.y));
    }
    CView::OnRButtonDown(flags, point);
}

void CYRNView::OnMButtonDown(UINT, CPoint) {
    SketchScope scope(gEngine.frontSketch);
    HandleViewCommand(kStepToolForward, kKeyStepsToolbox);
}

BOOL CYRNView::OnMouseWheel(UINT flags, short delta, CPoint point) {
    CMainFrame* frame = TheMainFrame();
    if (!frame || !frame->IsToolboxVisible()) return CView::OnMouseWheel(flags, delta, point);
    const int32_t steps = WheelToolSteps(delta);
    SketchScope scope(gEngine.frontSketch);
    for (int32_t i = 0; i < (steps < 0 ? -steps : steps); ++i) {
        HandleViewCommand(steps > 0 ? kWheelForward : kWheelBackward, kKeyStepsToolbox);
    }
    return TRUE;
}

void CYRNView::OnChar(UINT ch, UINT, UINT) {
    if (ch >= 32) {
        SketchScope scope(gEngine.frontSketch);
        HandleSketchChar(ch);
    } else {
        TranslateSpecialKey(ch);
    }
}

void CYRNView::OnEditClear() {
    if (FocusIsEdit(::GetFocus())) {
        ::SendMessageA(::GetFocus(), WM_KEYDOWN, VK_DELETE, 0);
        return;
    }
    SketchScope scope(gEngine.frontSketch);
    HandleViewCommand(kKeyDelete, 0);
}

void CYRNView::OnDeleteBackward() {
    if (FocusIsEdit(::GetFocus())) {
        ::SendMessageA(::GetFocus(), WM_CHAR, 8, 0);
        return;
    }
    SketchScope scope(gEngine.frontSketch);
    HandleViewCommand(kKeyBackspace, 0);
}

bool CYRNView::PageHasPrintExtent() {
    Sketch* page = Page();
    if (!page) return false;
    bool any = false;
    {
        SketchScope scope(page);
        any = ComputePrintExtentClipped(page->printSettings.uiFlag != 0, page->printSettings.clipLargePlots != 0);
    }
    if (!any) ShowAlertByCode(kNothingToPrintAlert, 0);
    return any;
}

void CYRNView::OnPrintCommand() {
    if (!PageHasPrintExtent()) return;
    m_printSettings.scalePercent = 0;
    CView::OnFilePrint();
    MaskFpuExceptions();
}

void CYRNView::OnPrintPreviewCommand() {
    if (!PageHasPrintExtent()) return;
    m_printSettings.scalePercent = 0;
    if (!DoPrintPreview(IDD_PREVIEW_BAR, this, RUNTIME_CLASS(CYrnPreview), new CPrintPreviewState)) {
        ShowAppMessage(IDS_LIB_COMMAND_FAILED);
    }
    MaskFpuExceptions();
}

bool CYRNView::OnPreparePrinting(CPrintInfo* info) {
    info->m_nNumPreviewPages = 2;
    return DoPreparePrinting(info);
}

void CYRNView::OnBeginPrinting(CDC* dc, CPrintInfo* info) {
    Sketch* page = Page();
    if (!page) return;
    SketchScope scope(page);
    PrintSettings& s = m_printSettings;
    InitPrintSettings(&s);
    s.resolution = dc->GetDeviceCaps(LOGPIXELSX);
    s.pageWidth = static_cast<int16_t>(std::min(dc->GetDeviceCaps(HORZRES), 0x7fff));
    s.pageHeight = static_cast<int16_t>(std::min(dc->GetDeviceCaps(VERTRES), 0x7fff));
    s.scalePercent = page->printSettings.scalePercent > 0 ? page->printSettings.scalePercent : 100.0;
    s.fitToPage = page->printSettings.fitToPage;
    s.uiFlag = page->printSettings.uiFlag;
    s.clipLargePlots = page->printSettings.clipLargePlots;
    ComputePrintExtentClipped(s.uiFlag != 0, s.clipLargePlots != 0);
    // Pages printed here are paper: the drawing sizes its pens for the printer.
    SetPrintingToPage(true);
    BeginPrintPage(page, 1, &s);
    // Page numbers of a run are 16-bit, the last meaning "unknown".
    info->SetMaxPage(static_cast<UINT>(std::clamp<int32_t>(CountPrintPages(page, &s), 1, kUnknownPageCount - 1)));
    UseUiFontsForDpi(s.resolution);
}

void CYRNView::OnPrint(CDC* dc, CPrintInfo* info) {
    dc->SetViewportOrg(info->m_rectDraw.left, info->m_rectDraw.top);
    m_printSettings.pageNumber = info->m_nCurPage;
    Sketch* page = Page();
    if (page) {
        AcquirePortDC();
        m_port.paintRect = SketchToDeviceRect(page->printExtent);
        if (CountPrintPages(page, &m_printSettings) >= int32_t(info->m_nCurPage)) {
            GraphicsPort printer = m_port;
            printer.dc = dc->m_hDC;
            const int saved = SaveDC(dc->m_hDC);
            SketchScope scope(page);
            DrawPrintPage(page, &printer, &m_printSettings);
            RestoreDC(dc->m_hDC, saved);
        }
    }
    MaskFpuExceptions();
}

void CYRNView::OnEndPrinting(CDC*, CPrintInfo*) {
    RestoreUiFonts();
    Sketch* page = Page();
    EndPrinting(page);
    SetPrintingToPage(false);
    if (page) InvalidateSketchRect(nullptr, false, false);
}

void CYRNView::OnEndPrintPreview(CDC* dc, CPrintInfo* info, POINT point, CView* previewView) {
    CView::OnEndPrintPreview(dc, info, point, previewView);
    Invalidate(false);
}
