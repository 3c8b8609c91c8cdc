// The frame of one document window inside the main frame.
//
// Stand-in: the splitter with its page tabs is not built; the frame holds its one view
// directly. OnCreateClient is where the splitter and tab strip go.
#pragma once
#include <cstdint>

#include "classlib/mdi.h"

class CChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame();

    bool OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context) override;
    void ActivateFrame(int showCommand = -1) override;
    void OnUpdateFrameTitle(bool addToTitle) override;

    // Set once the frame was sized to the document's stored window size.
    uint8_t m_sizedToDocument = 0;
    // The page part the title routine appended last (" - 2", " - Name"), so that
    // retitling takes off exactly that and never a part of the document's own name.
    CString m_pageSuffix;
};
