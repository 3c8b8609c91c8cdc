// The frame of one document window inside the main frame. Its client is a splitter of
// sketch views with the page tabs; it opens maximised when asked, keeps the engine
// document's stored window size up to date and titles itself after the current page.
#pragma once
#include <cstdint>

#include "classlib/mdi.h"
#include "ui/frames/yrn_splitter.h"

class CChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame();

    bool OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context) override;
    void ActivateFrame(int showCommand = -1) override;
    void OnUpdateFrameTitle(bool addToTitle) override;

    CYrnSplitter* Splitter() { return &m_splitter; }

    // Set once the frame was sized to the document's stored window size.
    uint8_t m_sizedToDocument = 0;
    // The page part the title routine appended last (" - 2", " - Name"), so that
    // retitling takes off exactly that and never a part of the document's own name.
    CString m_pageSuffix;

protected:
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnMDIActivate(BOOL activate, CWnd* activated, CWnd* deactivated);
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void RememberWindowSize();

    CYrnSplitter m_splitter;
};
