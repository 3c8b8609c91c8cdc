// What the engine's document asks of the platform's windows: names of open documents
// and frame sizes.
#pragma once
#include <cstdint>

struct EngineDocument;

// False when an open document has this title or path name (compared without case).
bool    IsDocumentNameFree(const char* name);
// True when the document was read from or saved to a file that Save writes again in place.
bool    DocumentHasOwnFile(const EngineDocument* document);
// After a document was read: each view's frame is sized once to the stored window size.
void    FitFramesToSketch(EngineDocument* document);
// Called while an engine document is freed: its pages, tools and menus are gone, the
// record itself goes right after.
void    NotifyDocumentFreed(EngineDocument* document);
// The engine documents of the open windows, at most `room` of them into `out`; answers
// how many are open.
int32_t OpenEngineDocuments(EngineDocument** out, int32_t room);
// The title of the document's window ("" and false for a document without one).
bool    DocumentWindowTitle(const EngineDocument* document, char* buffer, uint32_t size);
// After a document's pages were renamed, reordered, added or removed: the titles of its
// windows and its page tabs follow.
void    UpdateWindowTitles(EngineDocument* document);
void    RebuildPageTabs(EngineDocument* document);
