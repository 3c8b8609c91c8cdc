#include "ui/frames/child_frame.h"

#include "classlib/doc.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)

CChildFrame::CChildFrame() = default;

bool CChildFrame::OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context) {
    return CMDIChildWnd::OnCreateClient(cs, context);
}

void CChildFrame::ActivateFrame(int showCommand) {
    CMainApp* app = TheApp();
    if (showCommand == -1 && app && app->m_maximiseChildren) showCommand = SW_SHOWMAXIMIZED;
    CMDIChildWnd::ActivateFrame(showCommand);
}

void CChildFrame::OnUpdateFrameTitle(bool addToTitle) {
    CMDIChildWnd::OnUpdateFrameTitle(addToTitle);
    // The library wrote the title afresh: no page part is in it any more.
    m_pageSuffix.Empty();
    CDocument* doc = GetActiveDocument();
    if (doc && doc->IsKindOf(RUNTIME_CLASS(CFernwickDoc))) UpdateFrameTitle(static_cast<CFernwickDoc*>(doc));
}
