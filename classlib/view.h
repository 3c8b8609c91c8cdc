// Views: the windows that show a document inside a frame.
#pragma once

#include "classlib/frame.h"

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id, CCreateContext* context = nullptr) override;
    // Routing: the view, then its document.
    bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) override;
    void PostNcDestroy() override;
    // Inside a splitter, the splitter's shared scroll bars.
    CScrollBar* GetScrollBarCtrl(int bar) const override;

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    virtual void OnDraw(CDC* dc) = 0;
    virtual void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr);
    virtual void OnActivateView(bool activate, CView* activateView, CView* deactivateView);
    virtual void OnActivateFrame(UINT state, CFrameWnd* frame);
    // Printing: the print loop and preview call these.
    virtual bool OnPreparePrinting(CPrintInfo* info);
    virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
    virtual void OnPrint(CDC* dc, CPrintInfo* info);
    virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);
    virtual void OnEndPrintPreview(CDC* dc, CPrintInfo* info, POINT point, CView* previewView);

    // The print run of the Print command: dialog (none when the shell prints), output
    // file, status window, the job and its pages.
    void OnFilePrint();
    // Shows the print preview of printView in the frame, with the bar of dialog
    // template barId and a view of previewViewClass (a CPreviewView); false when it
    // could not start. The state is the preview's from then on (it deletes it).
    bool DoPrintPreview(UINT barId, CView* printView, CRuntimeClass* previewViewClass, struct CPrintPreviewState* state);

protected:
    // The printer DC for a run: the dialog's, or with no dialog (preview, shell
    // printing) the kept, default or named printer's. False when there is none or the
    // user cancelled.
    bool DoPreparePrinting(CPrintInfo* info);
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnPaint();
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    // Next and previous pane of a splitter.
    bool OnNextPaneCmd(UINT id);
    void OnUpdateNextPaneMenu(CCmdUI* ui);
    DECLARE_MESSAGE_MAP()

    CDocument* m_pDocument = nullptr;
    friend class CDocument;
};
