// The page tabs of every window that shows a document: one tab per page, labelled with
// the page's name or its number, the current page's tab selected.
#include <cstdio>
#include <vector>

#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/frames/yrn_splitter.h"
#include "ui/view/sketch_view.h"

namespace {

// The splitters of a document's views, each once.
std::vector<CYrnSplitter*> SplittersOf(CFernwickDoc* doc) {
    std::vector<CYrnSplitter*> splitters;
    for (POSITION pos = doc->GetFirstViewPosition(); pos;) {
        CView* view = doc->GetNextView(pos);
        if (!view->m_hWnd) continue;
        CWnd* parent = CWnd::FromHandlePermanent(::GetParent(view->m_hWnd));
        if (!parent || !parent->IsKindOf(RUNTIME_CLASS(CYrnSplitter))) continue;
        auto* splitter = static_cast<CYrnSplitter*>(parent);
        bool seen = false;
        for (CYrnSplitter* s : splitters) seen = seen || s == splitter;
        if (!seen) splitters.push_back(splitter);
    }
    return splitters;
}

}  // namespace

void RebuildPageTabs(EngineDocument* document) {
    CFernwickDoc* doc = DocumentOfEngine(document);
    if (!doc) return;
    const int32_t pages = DocumentPageCount(document);
    const int32_t current = CurrentPageIndex(document);
    for (CYrnSplitter* splitter : SplittersOf(doc)) {
        splitter->DeleteAllTabs();
        for (int32_t i = 0; i < pages; ++i) {
            Sketch* page = DocumentPageAt(document, i);
            char number[16];
            std::snprintf(number, sizeof number, "%d", static_cast<int>(i + 1));
            splitter->AddTab(page && page->title && page->title[0] ? page->title : number);
        }
        splitter->ShowTabStrip(DocumentShowsPageTabs(document) && pages > 1);
        splitter->SelectTab(current);
    }
}

void InvalidateOtherPanes(CYRNView* front) {
    if (!front || !front->m_hWnd) return;
    CWnd* parent = CWnd::FromHandlePermanent(::GetParent(front->m_hWnd));
    if (!parent || !parent->IsKindOf(RUNTIME_CLASS(CYrnSplitter))) return;
    auto* splitter = static_cast<CYrnSplitter*>(parent);
    for (int col = 0; col < splitter->GetColumnCount(); ++col) {
        CWnd* pane = splitter->GetPane(0, col);
        if (pane && pane != front) pane->Invalidate(false);
    }
}
