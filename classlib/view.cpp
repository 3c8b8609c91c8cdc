#include "classlib/view.h"

#include "classlib/doc.h"
#include "classlib/gdi.h"
#include "classlib/print.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(InitialUpdateMessage, OnInitialUpdateMessage)
    ON_COMMAND_EX(CMD_NEXT_PANE, OnNextPaneCmd)
    ON_COMMAND_EX(CMD_PREVIOUS_PANE, OnNextPaneCmd)
    ON_UPDATE_COMMAND_UI(CMD_NEXT_PANE, OnUpdateNextPaneMenu)
    ON_UPDATE_COMMAND_UI(CMD_PREVIOUS_PANE, OnUpdateNextPaneMenu)
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

bool CView::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = ViewWindowClass();
    // The frame draws the client edge; the view keeps its own border only inside splitters.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    return true;
}

bool CView::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                   CWnd* parent, UINT id, CCreateContext* context) {
    return CWnd::Create(className, windowName, style, rect, parent, id, context);
}

int CView::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    CFrameWnd* frame = GetParentFrame();
    if (frame && frame->GetActiveView() == this) frame->SetActiveView(nullptr, false);
    CWnd::OnDestroy();
}

void CView::PostNcDestroy() { delete this; }

bool CView::OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) {
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo)) return true;
    return m_pDocument && m_pDocument->OnCmdMsg(id, code, extra, handlerInfo);
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

// A click into a view makes it the active view of its frame.
int CView::OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message) {
    int result = CWnd::OnMouseActivate(topParent, hitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) return result;
    if (CFrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() != this) frame->SetActiveView(this);
    }
    return result;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView* sender, LPARAM, CObject*) {
    if (sender != this) Invalidate(true);
}

// A document whose length is unknown prints one page unless the view says otherwise.
void CView::OnPrepareDC(CDC*, CPrintInfo* info) {
    if (info && !info->m_bPreview && info->GetMaxPage() == kUnknownPageCount) {
        info->m_bContinuePrinting = info->m_nCurPage == 1;
    }
}

void CView::OnActivateView(bool activate, CView* activateView, CView*) {
    if (activate && activateView == this) {
        CFrameWnd* frame = GetParentFrame();
        if (frame && frame->GetActiveView() == this && ::GetFocus() != m_hWnd) {
            // The focus follows only within the active top-level window.
            CWnd* top = GetTopLevelParent();
            if (top && top->m_hWnd == ::GetActiveWindow()) SetFocus();
        }
    }
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

bool CView::OnPreparePrinting(CPrintInfo*) { return false; }
void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* dc, CPrintInfo*) { OnDraw(dc); }
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}
