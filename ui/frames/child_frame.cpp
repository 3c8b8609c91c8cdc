#include "ui/frames/child_frame.h"

#include "classlib/doc.h"
#include "engine/core/services/later_release.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/view/sketch_view.h"

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWnd)
    ON_WM_SYSCOMMAND()
    ON_WM_MDIACTIVATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CChildFrame::CChildFrame() = default;

bool CChildFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
    if (!m_splitter.Create(this, 1, 2, CSize(10, 10), context,
                           WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | SPLITTER_DYNAMIC, AFX_IDW_PANE_FIRST)) {
        return false;
    }
    // The splitter holds the pane identifier the frame would look for its view by.
    CWnd* first = m_splitter.GetPane(0, 0);
    if (first && first->IsKindOf(RUNTIME_CLASS(CView))) SetActiveView(static_cast<CView*>(first), false);
    return true;
}

void CChildFrame::ActivateFrame(int showCommand) {
    CMainApp* app = TheApp();
    // A new frame is the active child as soon as it exists: the first one is the one
    // without a sibling.
    bool firstChild = true;
    for (HWND w = ::GetWindow(::GetParent(m_hWnd), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (w != m_hWnd && ::GetWindow(w, GW_OWNER) == nullptr) firstChild = false;
    }
    if (firstChild && app && app->m_maximiseChildren) showCommand = SW_SHOWMAXIMIZED;
    CMDIChildWnd::ActivateFrame(showCommand);
}

void CChildFrame::OnUpdateFrameTitle(bool addToTitle) {
    CMDIChildWnd::OnUpdateFrameTitle(addToTitle);
    // The library wrote the title afresh: no page part is in it any more.
    m_pageSuffix.Empty();
    CDocument* doc = GetActiveDocument();
    if (doc && doc->IsKindOf(RUNTIME_CLASS(CFernwickDoc))) UpdateFrameTitle(static_cast<CFernwickDoc*>(doc));
}

void CChildFrame::OnSysCommand(UINT id, LPARAM) {
    // Stepping to another window would leave a drag in a sketch holding the mouse.
    const UINT command = id & 0xFFF0;
    if ((command == SC_NEXTWINDOW || command == SC_PREVWINDOW) && SketchViewFromHandle(::GetCapture())) return;
    // Where the close box runs the engine's close command, that command decides (it asks
    // to save a changed document, and does nothing while it is disabled).
    if (command == SC_CLOSE) {
        if (const auto form = LaterForms().window.childCloseCommand; form && form()) return;
    }
    Default();
}

void CChildFrame::OnMDIActivate(BOOL activate, CWnd* activated, CWnd* deactivated) {
    CMDIChildWnd::OnMDIActivate(activate, activated, deactivated);
    CDocument* doc = activate ? GetActiveDocument() : nullptr;
    if (doc && doc->IsKindOf(RUNTIME_CLASS(CFernwickDoc))) {
        auto* fdoc = static_cast<CFernwickDoc*>(doc);
        if (Sketch* page = fdoc->CurrentPage()) {
            SketchScope scope(page);
            if (gEngine.frontSketch != page) MakeCurrentSketchFront();
            UpdateFrameTitle(fdoc);
        }
    }
    RememberWindowSize();
}

void CChildFrame::OnSize(UINT type, int cx, int cy) {
    CMDIChildWnd::OnSize(type, cx, cy);
    RememberWindowSize();
}

void CChildFrame::RememberWindowSize() {
    CWnd* pane = m_splitter.m_hWnd ? m_splitter.GetPane(0, 0) : nullptr;
    if (!pane || !pane->IsKindOf(RUNTIME_CLASS(CYRNView))) return;
    auto* view = static_cast<CYRNView*>(pane);
    CFernwickDoc* doc = view->GetFernwickDoc();
    EngineDocument* engine = doc ? doc->Engine() : nullptr;
    if (!engine) return;
    RECT client;
    GetClientRect(&client);
    const double zx = view->m_zoomX > 0 ? view->m_zoomX : 1;
    const double zy = view->m_zoomY > 0 ? view->m_zoomY : 1;
    engine->windowWidth =
        static_cast<int16_t>((client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL)) / zx);
    engine->windowHeight =
        static_cast<int16_t>((client.bottom - client.top - ::GetSystemMetrics(SM_CYHSCROLL)) / zy);
}
