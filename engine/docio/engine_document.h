// The engine's side of one open document: its pages (each a Sketch), its custom tools
// (a ToolList), its menu descriptions and a few document-wide values. The document of
// the user interface creates it, owns it and frees it; the document file's reader and
// writer fill and store it.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct Sketch;
struct ToolList;

enum DocumentItemType : int32_t {
    kDocumentItemNone  = 0,
    kDocumentItemPage  = 1,  // items are Sketch pointers
    kDocumentItemTool  = 2,  // only `items` is used: the document's ToolList
    kDocumentItemMenu  = 3,  // items are MenuBlob records
    kDocumentItemOther = 4,  // sections of other types: only counted, never filled
    kDocumentItemTypes = 5,
};

struct DocumentArray {
    void*   items;
    int32_t count;
    int32_t capacity;
};

// A menu description (MenuStream bytes) as the document stores it.
struct MenuBlob {
    uint8_t* bytes;
    int32_t  length;
};

struct EngineDocument {
    DocumentArray arrays[kDocumentItemTypes];
    Sketch*  currentPage;    // null when there is none
    void*    owner;          // the user-interface document
    int32_t  modified;
    int32_t  initWord;       // 1 at creation
    int32_t  documentValue;  // 1 at creation; carried through the file header
    int16_t  windowWidth;    // stored page-window size; 0 until a file supplies it
    int16_t  windowHeight;
};

// Change flags of a custom tool in its ToolList entry.
constexpr uint8_t kToolChangedFlags = 1 | 4;

constexpr ResultCode kResultNoSuchPage   = 400;
constexpr ResultCode kResultNoSuchButton = 402;

ResultCode CreateEngineDocument(EngineDocument** out, void* owner);
void       FreeEngineDocument(EngineDocument* document);
void       FreeDocumentArray(EngineDocument* document, int32_t type);
// Room for n more items of the type (the tool type makes the ToolList); 100 without
// memory, the document as it was.
ResultCode ReserveDocumentItems(EngineDocument* document, int32_t type, int32_t n);

// Page: a new empty page with the owner data, appended with a new PageId (*item is the
// Sketch). Menu blob: one more empty slot (*item is the MenuBlob).
ResultCode AddDocumentItem(EngineDocument* document, void** item, int32_t type, void* ownerData);
// A copy of the bytes as a new menu blob.
ResultCode AddMenuBlob(EngineDocument* document, const uint8_t* bytes, uint32_t length);
// Page: an existing sketch appended (its PageId made unique). Tool: appended to the
// document's ToolList, which takes it over.
ResultCode InsertDocumentItem(EngineDocument* document, Sketch* item, int32_t type, void* ownerData);
bool       RemoveDocumentItem(EngineDocument* document, int32_t index, int32_t type, bool freeItem);
void       RemovePage(EngineDocument* document, Sketch* page, bool freeItem);

int32_t    DocumentPageCount(const EngineDocument* document);
Sketch*    DocumentPageAt(const EngineDocument* document, int32_t index);
int32_t    CurrentPageIndex(const EngineDocument* document);
ToolList*  DocumentToolList(const EngineDocument* document);
int32_t    DocumentToolCount(const EngineDocument* document);
int32_t    DocumentMenuCount(const EngineDocument* document);
const MenuBlob* DocumentMenuAt(const EngineDocument* document, int32_t index);

Sketch*    FindPageById(const EngineDocument* document, uint16_t id, int32_t* index);
bool       IsPageIdUsed(const Sketch* page, const EngineDocument* document);
// A random 15-bit value with bit 15 set that no page of the document has.
uint16_t   NewPageId(const EngineDocument* document);
// Link-to-page buttons of the page: toIndex turns their PageIds into page indexes (as the
// file keeps them), else indexes back into PageIds.
void       ConvertPageLinks(EngineDocument* document, Sketch* page, bool toIndex);
// The to-index direction that also keeps each converted word's id in `saved` (room
// entries), so that the ids come back without another walk over the page's objects.
// Answers the entries kept, or -1 when there were more (then convert back by walking).
struct PageLinkWord {
    int16_t* word;
    int16_t  id;
};
int32_t    ConvertPageLinksToIndexes(EngineDocument* document, Sketch* page, PageLinkWord* saved, int32_t room);

// -1 leaves no current page. 400 for another index outside the pages.
ResultCode GoToPage(EngineDocument* document, int32_t index);
// On the front document; a nonzero button id presses that action button on the page.
ResultCode GoToPageAndTarget(int32_t index, uint32_t buttonId);

void       SetDocumentModified(EngineDocument* document, bool modified);
bool       IsDocumentModified(const EngineDocument* document);
// After the new file is in place: the tools' change flags are cleared when the full
// form was written, and when the save gave 0 the modified flag and every page's saved
// mark as well.
void       MarkEngineDocumentSaved(EngineDocument* document, bool handheld, ResultCode result);

ResultCode BuildDocumentMenuBar(EngineDocument* document, bool force);

// Names of new documents ("Untitled 3") and of documents that open as a copy
// ("Triangle copy 2.yrn"), never one an open document uses; `limit` is the buffer size.
void MakeUntitledName(char* name, uint32_t limit);
void MakeCopyName(char* name, uint32_t limit);
