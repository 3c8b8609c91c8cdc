// The strip of page tabs at the left end of a document window's horizontal scroll bar:
// one owner-drawn tab per page. The tab control would take an "&" in a page's name for
// a mnemonic, so each "&" is stored as "m" with its position kept in the tab's item data
// and put back when the tab is drawn.
#pragma once
#include <cstdint>

#include "classlib/controls.h"

// A tab's text as the control stores it: every "&" turned into "m"; bit i of the mask
// marks an "&" at position i (the first 32 characters only).
struct StoredTabText {
    char text[256];
    uint32_t mask;
    bool hadAmpersand;
};
StoredTabText StoreTabText(const char* text);
// Puts the "&" back at each masked position of a stored text (in place).
void RestoreTabText(char* text, uint32_t mask);

// Height of the tab font for a horizontal scroll bar of the given height.
int32_t TabFontHeight(int32_t scrollBarHeight);

class PageTabCtrl : public CTabCtrl {
    DECLARE_DYNAMIC(PageTabCtrl)
public:
    // Appends a tab; false when the control refused it.
    bool AddTab(const char* text);
    // The tab's text as it is drawn (at most 39 characters).
    CString ShownText(int index) const;
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
};
