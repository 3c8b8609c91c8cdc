// The window that shows the current page of a document. Every mouse and key event of
// a sketch comes through here, converted to 16-bit sketch units and handed to the
// engine with the page made current. Painting copies the back buffer to the window;
// only stale parts of the buffer are drawn again by the engine's draw pass.
#pragma once
#include <cstdint>

#include "classlib/view.h"
#include "engine/core/print_state.h"
#include "engine/core/screen_types.h"
#include "platform/win32/render/graphics_port.h"

class CFernwickDoc;
struct EngineDocument;
struct Sketch;

class CYRNView : public CView {
    DECLARE_DYNCREATE(CYRNView)
public:
    CYRNView();
    ~CYRNView() override;

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool PreTranslateMessage(MSG* msg) override;
    void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr) override;
    void OnInitialUpdate() override;
    void OnActivateView(bool activate, CView* activateView, CView* deactivateView) override;
    void OnDraw(CDC* dc) override;
    bool OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnPrint(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;
    void OnEndPrintPreview(CDC* dc, CPrintInfo* info, POINT point, CView* previewView) override;
    virtual void UpdateScrollBars();

    CFernwickDoc* GetFernwickDoc() const;
    // The page the view shows: its document's current page, or none.
    Sketch* Page() const;

    // Conversions between client pixels and sketch units.
    ScreenPoint DeviceToSketchPoint(int32_t x, int32_t y) const;
    ScreenRect DeviceToSketchRect(const RECT& rect) const;
    RECT SketchToDeviceRect(const ScreenRect& rect) const;
    POINT SketchToDevicePoint(ScreenPoint point) const;

    // Drawing and scrolling, for the document and the frames.
    void RedrawRect();
    void PaintInvalidRect(HDC paintDC);
    void RepaintPending(bool now);
    bool InvalidateSketchRect(const ScreenRect* rect, bool updateNow, bool relayout);
    void FadeTraces();
    void AcquirePortDC();
    bool GetPort(GraphicsPort** port);
    void ScrollToVisibleRect(Sketch* sketch, bool scrollNow);
    void SizeFrameToDocument(EngineDocument* document);
    bool UpdateVisibleRect();
    void ApplyZoomMapping();
    void SetViewCursor();
    void RebuildCanvas();

    GraphicsPort m_port{};
    uint8_t m_initialUpdateDone = 0;
    uint8_t m_zoomMapped = 0;
    double m_zoomX = 0;
    double m_zoomY = 0;
    uint8_t m_altDown = 0;
    ScreenRect m_pending = kEmptyScreenRect;
    uint32_t m_downTime = 0;
    ScreenPoint m_downPoint{};
    // The print run's page layout; its scale is 0 between runs until one begins.
    PrintSettings m_printSettings{};

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnMButtonDown(UINT flags, CPoint point);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnEditClear();
    void OnDeleteBackward();
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnSize(UINT type, int cx, int cy);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnWindowPosChanged(WINDOWPOS* pos);
    void OnSysColorChange();
    void OnDestroy();
    void OnPrintCommand();
    void OnPrintPreviewCommand();
    DECLARE_MESSAGE_MAP()

private:
    // Both print commands first make sure the page has something to print.
    bool PageHasPrintExtent();
    void EnsureZoom();
    void ScrollBarTo(int bar, int32_t position, bool scrollNow);
    void ScrollBy(int32_t dx, int32_t dy);
    void OnScroll(int bar, UINT code, UINT pos);
    RECT ClientRectLogical() const;
};

// The view of a window handle, when it is a sketch view.
CYRNView* SketchViewFromHandle(HWND hwnd);
