// What the document does for all its views together, and what the engine and the
// shell ask of the document that owns a sketch: titles, page tabs, the sketch's
// document, the current sketch made and restored around engine calls.
#pragma once
#include <cstdint>

#include "classlib/app.h"
#include "classlib/doctempl.h"

class CFernwickDoc;
class CYRNView;
struct EngineDocument;
struct Sketch;

// Makes a sketch current for its scope and restores the previous one.
class SketchScope {
public:
    explicit SketchScope(Sketch* sketch);
    ~SketchScope();
    SketchScope(const SketchScope&) = delete;
    SketchScope& operator=(const SketchScope&) = delete;

private:
    Sketch* previous_ = nullptr;
};

// Calls visit(CDocument*) for every open document of every template.
template <typename Visit>
void ForEachDocument(Visit visit) {
    CWinApp* app = CurrentApp();
    if (!app || !app->m_pDocManager) return;
    for (POSITION t = app->GetFirstDocTemplatePosition(); t;) {
        CDocTemplate* tmpl = app->GetNextDocTemplate(t);
        for (POSITION d = tmpl->GetFirstDocPosition(); d;) visit(tmpl->GetNextDoc(d));
    }
}

// The document that shows a sketch, or null (tools, sketches of no document).
CFernwickDoc* DocumentOfSketch(const Sketch* sketch);
CFernwickDoc* DocumentOfEngine(const EngineDocument* document);
// What the drawing ports ask of the documents: the views' buffers freed for a reclaim
// pass, and the port of a sketch's front view. Installed when the program starts.
void InstallDrawingPortServices();

// A count that changes whenever the sketch's objects or selection change.
uint32_t SketchChangeCount(const Sketch* sketch);

// The shell's folder browser titled as the help folder's question; the chosen folder
// with a trailing backslash into `path` (MAX_PATH bytes). False when cancelled.
bool BrowseForFolder(char* path);

// Titles of the document's frames: the child frame's title with the page part.
void UpdateFrameTitle(CFernwickDoc* doc);
void UpdateWindowTitles(EngineDocument* document);
// The page tabs of every splitter showing the document.
void RebuildPageTabs(EngineDocument* document);
// Invalidates the panes beside the front view in its splitter.
void InvalidateOtherPanes(CYRNView* front);
// The owning document's title cut to the buffer, its first letter upper-cased.
void GetDocumentTitleUpper(EngineDocument* document, char* buffer, uint32_t size);
