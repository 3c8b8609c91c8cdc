// The splitter window: panes of views in one row and up to two columns, split by
// the user on demand, with scroll bars shared by the panes of a column (horizontal)
// and of the row (vertical).
#pragma once

#include "classlib/controls.h"
#include "classlib/view.h"

#include <vector>

// Splitter style (low word of its window style).
#define SPLITTER_DYNAMIC 0x0001L

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    enum SplitterPart { partSplitBox, partSplitBar };
    // Hit codes: the split box beside the horizontal scroll bar (it splits columns),
    // then the bars between columns, one code per bar.
    enum HitTestValue {
        hitNothing = 0,
        hitSplitBox = 2,
        hitColumnBarFirst = 0x40,  // the bar after the first column
    };
    struct CRowColInfo {
        int nMinSize;
        int nIdealSize;
        int nCurSize;
    };

    CSplitterWnd();
    ~CSplitterWnd() override;

    // A dynamic splitter of one row and at most two columns: the first pane is made
    // from the context's view class, the second from the same class when the user
    // splits. Other shapes are refused.
    bool Create(CWnd* parent, int maxRows, int maxCols, SIZE sizeMin, CCreateContext* context,
                DWORD style = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | SPLITTER_DYNAMIC,
                UINT id = AFX_IDW_PANE_FIRST);

    virtual bool CreateView(int row, int col, CRuntimeClass* viewClass, SIZE initSize, CCreateContext* context);
    virtual void DeleteView(int row, int col);
    virtual bool SplitColumn(int cxBefore);
    virtual void DeleteColumn(int colDelete);
    // Makes one shared scroll bar (or the size box) as a child with identifier id.
    virtual bool CreateScrollBarCtrl(DWORD style, UINT id);
    virtual void RecalcLayout();
    virtual void OnDrawSplitter(CDC* dc, SplitterPart type, const CRect& rect);
    virtual int HitTest(CPoint point) const;
    // The rectangle (client coordinates) that hit code ht covers.
    virtual void GetHitRect(int ht, CRect& rect);
    virtual bool CanActivateNext(bool previous = false);
    virtual void ActivateNext(bool previous = false);
    virtual CWnd* GetActivePane(int* row = nullptr, int* col = nullptr);
    virtual void SetActivePane(int row, int col, CWnd* wnd = nullptr);
    virtual void StartTracking(int ht);
    virtual void StopTracking(bool accept);

    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }
    bool IsChildPane(CWnd* wnd, int* row, int* col) const;
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetMaxRowCount() const { return m_nMaxRows; }
    int GetMaxColumnCount() const { return m_nMaxCols; }
    void GetColumnInfo(int col, int& cur, int& min) const;
    void SetColumnInfo(int col, int ideal, int min);
    void GetRowInfo(int row, int& cur, int& min) const;
    void SetRowInfo(int row, int ideal, int min);
    DWORD GetScrollStyle() const;
    // The shared scroll bar a pane's SB_HORZ or SB_VERT calls reach, or null.
    CScrollBar* GetPaneScrollBar(const CWnd* pane, int bar) const;

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnCancelMode();
    void OnDestroy();

    // The area of the panes, less the scroll bars.
    CRect InsideRect() const;
    // The left edge of each column and of the bar after it.
    int ColumnLeft(int col) const;
    void AttachScrollBar(UINT id);
    void DestroyScrollBar(UINT id);
    void DrawTracker();

    CRuntimeClass* m_pDynamicViewClass = nullptr;
    int m_nMaxRows = 1;
    int m_nMaxCols = 1;
    int m_nRows = 0;
    int m_nCols = 0;
    std::vector<CRowColInfo> m_pColInfo;
    std::vector<CRowColInfo> m_pRowInfo;
    int m_cxSplitter = 7;      // the bar between panes
    int m_cySplitter = 7;
    int m_cxSplitterGap = 7;   // the split box beside a scroll bar
    int m_cySplitterGap = 7;
    bool m_bHasHScroll = false;
    bool m_bHasVScroll = false;
    bool m_bDynamic = false;
    bool m_bTracking = false;
    int m_htTrack = hitNothing;
    CRect m_rectTracker;       // the tracking bar, client coordinates
    CRect m_rectLimit;         // where the tracking bar may go
    CPoint m_ptTrackOffset;
    bool m_bTrackerShown = false;
    std::vector<CScrollBar*> m_scrollBars;   // attached to the shared bars
    DECLARE_MESSAGE_MAP()
};
