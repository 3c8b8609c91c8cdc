// The client of a document window: a splitter of one row and up to two columns of
// sketch views, whose first column gives the left end of its horizontal scroll bar to
// the page tabs. The user sizes the strip with a box at its right edge; dragged below
// half its natural width it hides (only the box shows) and the document remembers that.
#pragma once
#include <cstdint>

#include "classlib/splitter.h"

class PageTabCtrl;

// Control identifier of the page tab strip.
constexpr UINT kPageTabControlId = 57215;
// Width of a hidden strip: the sizing box alone.
constexpr int32_t kHiddenStripWidth = 7;
// Hit code of the sizing box while the primary button is down; with the button up the
// box answers the library's split box code, whose cursor it wants.
constexpr int kSizingBoxHit = 10;

// The strip's width while the sizing box is dragged to x.
int32_t DraggedStripWidth(int32_t x, int32_t firstColumnWidth);
// Where the strip settles when the sizing box is let go: its width, whether it shows,
// and the document's show-page-tabs flag.
struct StripDrop {
    int32_t width;
    bool shown;
};
StripDrop DroppedStripWidth(int32_t width, int32_t firstTabRight, int32_t tabCount);
// The width of a strip shown to fit its tabs, leaving `margin` pixels of the first column.
int32_t FittedStripWidth(int32_t lastTabRight, int32_t firstColumnWidth, int32_t margin);
// The width laid out: none with fewer than two tabs, never into the scroll bar's last 50.
int32_t LaidOutStripWidth(int32_t width, int32_t tabCount, int32_t scrollBarWidth);

// The document's show-page-tabs flag. The document value carried by the file header is
// that flag: 1 for a new document, kept through saving and reading.
bool DocumentShowsPageTabs(const struct EngineDocument* document);
void SetDocumentShowsPageTabs(struct EngineDocument* document, bool show);

class CYrnSplitter : public CSplitterWnd {
    DECLARE_DYNAMIC(CYrnSplitter)
public:
    CYrnSplitter();
    ~CYrnSplitter() override;

    bool CreateScrollBarCtrl(DWORD style, UINT id) override;
    void RecalcLayout() override;
    void OnDrawSplitter(CDC* dc, SplitterPart type, const CRect& rect) override;
    int HitTest(CPoint point) const override;
    void GetHitRect(int ht, CRect& rect) override;

    // The tab operations of the document's page tabs.
    void DeleteAllTabs();
    void AddTab(const char* text);
    void ShowTabStrip(bool show);
    void SelectTab(int index);

    PageTabCtrl* TabControl() const { return m_tabs; }
    int32_t StripWidth() const { return m_stripWidth; }
    // The hit code at a point with the primary button down or up.
    int HitTestButton(CPoint point, bool buttonDown) const;
    // The tab control is shown (whether or not the window is on the screen).
    bool StripShown() const;
    // The sizing box, client coordinates.
    CRect SizingBoxRect() const;

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnSettingChange(UINT flags, LPCSTR section);
    void OnPageTabChange(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    void MakeTabFont();
    int32_t FirstColumnWidth() const;
    int32_t TabRight(int index) const;
    void UpdateDocumentScrollRanges();

    HFONT m_tabFont = nullptr;
    int32_t m_stripWidth = kHiddenStripWidth;
    uint8_t m_dragging = 0;
    PageTabCtrl* m_tabs = nullptr;
};
