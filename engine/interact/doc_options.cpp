#include "engine/interact/doc_options.h"

#include <cstdio>
#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/chunked_array.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_list.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/page_links.h"

namespace {

constexpr int32_t kDocOptionsHelpTopic = 40;
constexpr ResultCode kAskBrokenLinks = 404;
constexpr ResultCode kAskPagesRemoved = 405;

// A page as it was when the dialog opened. The name is the page's whole name in a
// block of the snapshot's own, so that a cancel gives it back whole and without
// needing memory; null for a page without a name.
struct PageEntry {
    Sketch* page;
    int32_t brokenLinks;
    char*   name;
};

struct PageSnapshot {
    int32_t    count;
    Sketch*    currentPage;
    int32_t    currentIndex;
    int32_t    modified;
    int32_t    showTabs;
    PageEntry* entries;  // count entries, in the same block
};

struct ToolSnapshotEntry {
    int32_t index;  // of the tool in the document's ToolList
    char    name[kToolNameBytes];
};

EngineDocument* gDocument = nullptr;
PageSnapshot* gPages = nullptr;
ChunkedArray* gTools = nullptr;
int32_t gToolCount = 0;

Sketch** PageArray(EngineDocument* document) {
    return static_cast<Sketch**>(document->arrays[kDocumentItemPage].items);
}

bool HasName(const Sketch* page) { return page && page->title && page->title[0]; }

void CopyCut(char* to, const char* from, size_t chars) {
    size_t n = std::strlen(from);
    if (n > chars) n = chars;
    std::memcpy(to, from, n);
    to[n] = '\0';
}

void FreePageSnapshot() {
    if (!gPages) return;
    for (int32_t i = 0; i < gPages->count; ++i) FreeMemory(gPages->entries[i].name);
    FreeMemory(gPages);
    gPages = nullptr;
}

void FreeToolSnapshot() {
    FreeChunkedArray(gTools);
    gTools = nullptr;
    gToolCount = 0;
}

bool InSnapshot(const Sketch* page) {
    for (int32_t i = 0; gPages && i < gPages->count; ++i)
        if (gPages->entries[i].page == page) return true;
    return false;
}

bool InDocument(EngineDocument* document, const Sketch* page) {
    for (int32_t i = 0; i < DocumentPageCount(document); ++i)
        if (DocumentPageAt(document, i) == page) return true;
    return false;
}

ToolSnapshotEntry* ToolEntry(int32_t n) {
    return n >= 0 && n < gToolCount ? static_cast<ToolSnapshotEntry*>(ChunkedArrayAt(gTools, n)) : nullptr;
}

ToolList* Tools() { return gDocument ? DocumentToolList(gDocument) : nullptr; }

Sketch* ToolSketch(ToolList* list, int32_t index) {
    return list && index >= 0 && index < ToolListCount(list) ? ToolListEntries(list)[index].sketch : nullptr;
}

void FreePage(Sketch* page) {
    page->document = nullptr;
    FreeSketch(page);
}

void RestorePages(EngineDocument* document) {
    if (CurrentPageIndex(document) != gPages->currentIndex || document->currentPage != gPages->currentPage) {
        GoToPage(document, -1);
        SetCurrentSketch(nullptr, nullptr);
    }
    // Pages added in the dialog go; what is left is a subset of the snapshot's pages.
    for (int32_t i = DocumentPageCount(document) - 1; i >= 0; --i) {
        Sketch* page = DocumentPageAt(document, i);
        if (InSnapshot(page)) continue;
        RemoveDocumentItem(document, i, kDocumentItemPage, false);
        FreePage(page);
    }
    // The page array never shrinks, so it still has room for the snapshot's pages.
    Sketch** pages = PageArray(document);
    for (int32_t i = 0; i < gPages->count; ++i) {
        PageEntry& e = gPages->entries[i];
        pages[i] = e.page;
        e.page->document = document;
        FreeMemory(e.page->title);
        e.page->title = e.name;
        e.name = nullptr;
    }
    document->arrays[kDocumentItemPage].count = gPages->count;
    document->modified = gPages->modified;
    document->documentValue = gPages->showTabs;
    if (document->currentPage != gPages->currentPage) {
        GoToPage(document, gPages->currentIndex);
        SetCurrentSketch(document->currentPage, nullptr);
    }
    UpdateWindowTitles(document);
    RebuildPageTabs(document);
}

}  // namespace

bool DocOptionsSnapshotPages(EngineDocument* document) {
    FreePageSnapshot();
    const int32_t count = DocumentPageCount(document);
    const size_t bytes = sizeof(PageSnapshot) + sizeof(PageEntry) * size_t(count);
    auto* snapshot = static_cast<PageSnapshot*>(AllocMemory(bytes, kAllocZero));
    if (!snapshot) return false;
    snapshot->entries = reinterpret_cast<PageEntry*>(snapshot + 1);
    snapshot->currentPage = document->currentPage;
    snapshot->currentIndex = CurrentPageIndex(document);
    snapshot->modified = document->modified;
    snapshot->showTabs = document->documentValue;
    gPages = snapshot;
    for (int32_t i = 0; i < count; ++i) {
        Sketch* page = DocumentPageAt(document, i);
        PageEntry& e = snapshot->entries[i];
        e.page = page;
        e.brokenLinks = DocOptionsLinkButtons(document, page, false);
        if (HasName(page)) {
            const size_t n = std::strlen(page->title) + 1;
            e.name = static_cast<char*>(AllocMemory(n, 0));
            if (!e.name) {
                FreePageSnapshot();
                return false;
            }
            std::memcpy(e.name, page->title, n);
        }
        snapshot->count = i + 1;
    }
    return true;
}

bool DocOptionsSnapshotTools(EngineDocument* document) {
    FreeToolSnapshot();
    ToolList* list = DocumentToolList(document);
    if (list) {
        // The tool in use must not be one the dialog may free.
        const bool inUse = ToolboxHasToolOf(list);
        CustomToolCancelDelete(list);
        if (inUse) ToolboxSelectCustomTool();
    }
    const int32_t count = list ? ToolListCount(list) : 0;
    gTools = CreateChunkedArray(sizeof(ToolSnapshotEntry), count, 0, 0);
    if (!gTools) return false;
    for (int32_t i = 0; i < count; ++i) {
        auto* e = static_cast<ToolSnapshotEntry*>(ChunkedArrayAt(gTools, i));
        if (!e) {
            FreeToolSnapshot();
            return false;
        }
        e->index = i;
        ToolListName(list, i, e->name, kToolNameBytes);
        gToolCount = i + 1;
    }
    return true;
}

int32_t DocOptionsRun(int32_t flag) {
    Sketch* current = CurrentSketch();
    EngineDocument* document = current && current->document ? current->document : gEngine.frontDocument;
    if (!document) return 0;
    gDocument = document;
    if (!DocOptionsSnapshotPages(document) || !DocOptionsSnapshotTools(document)) {
        FreePageSnapshot();
        FreeToolSnapshot();
        gDocument = nullptr;
        ShowAlertByCode(kResultOutOfMemory, 0);
        return 0;
    }
    StopToolPlayback();
    DocOptionsRecord record = { document, flag ? 0 : 1 };
    const bool ok = RunCommandDialog(kDialogDocumentOptions, &record, nullptr, kDocOptionsHelpTopic, 0);
    DocOptionsFinishPages(ok);
    // The tools follow the dialog's answer even when a page question was declined.
    const int32_t result = DocOptionsFinishTools(ok);
    gDocument = nullptr;
    return result;
}

ResultCode DocumentOptionsCommand(int32_t) {
    DocOptionsRun(1);
    return kResultOK;
}

bool DocOptionsPageName(EngineDocument* document, int32_t index, char* buffer) {
    Sketch* page = DocumentPageAt(document, index);
    if (HasName(page)) {
        CopyCut(buffer, page->title, kPageNameChars);
        return true;
    }
    std::snprintf(buffer, kPageNameChars + 1, "%i", static_cast<int>(index + 1));
    return false;
}

ResultCode DocOptionsRenamePage(EngineDocument* document, int32_t index, const char* text) {
    Sketch* page = DocumentPageAt(document, index);
    if (!page || !text) return kResultOK;
    char number[16];
    std::snprintf(number, sizeof number, "%i", static_cast<int>(index + 1));
    char cut[kPageNameChars + 1];
    CopyCut(cut, text, kPageNameChars);
    const bool unnamed = !cut[0] || std::strcmp(cut, number) == 0;
    if (HasName(page) ? std::strcmp(page->title, cut) == 0 : unnamed) return kResultOK;
    // The old name goes only once the new one is had.
    const ResultCode rc = SetSketchTitle(page, unnamed ? nullptr : cut);
    if (rc != kResultOK) return rc;
    UpdateWindowTitles(document);
    RebuildPageTabs(document);
    SetDocumentModified(document, true);
    return kResultOK;
}

void MoveListEntry(EngineDocument* document, int32_t from, int32_t to) {
    const int32_t count = DocumentPageCount(document);
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
    Sketch** pages = PageArray(document);
    Sketch* moved = pages[from];
    if (from < to) std::memmove(&pages[from], &pages[from + 1], sizeof(Sketch*) * size_t(to - from));
    else std::memmove(&pages[to + 1], &pages[to], sizeof(Sketch*) * size_t(from - to));
    pages[to] = moved;
    SetDocumentModified(document, true);
    UpdateWindowTitles(document);
    RebuildPageTabs(document);
}

void DocOptionsDeletePage(EngineDocument* document, int32_t index) {
    Sketch* page = DocumentPageAt(document, index);
    if (!page) return;
    if (page == document->currentPage) {
        const int32_t neighbour = index == DocumentPageCount(document) - 1 ? index - 1 : index + 1;
        if (neighbour < 0 || GoToPage(document, neighbour) != kResultOK) return;
    }
    if (page == CurrentSketch()) SetCurrentSketch(document->currentPage, nullptr);
    if (!RemoveDocumentItem(document, index, kDocumentItemPage, false)) return;
    // A page of the snapshot stays alive for a cancel; one added in this dialog cannot
    // come back and goes at once.
    if (!InSnapshot(page)) FreePage(page);
    SetDocumentModified(document, true);
    UpdateWindowTitles(document);
    RebuildPageTabs(document);
}

ResultCode DocOptionsCopyPage(EngineDocument* document, Sketch* source, void* owner, void*) {
    if (!document || !source) return kResultInvalidArg;
    Sketch* previous = nullptr;
    SetCurrentSketch(source, &previous);
    StreamHandle stream = 0;
    ResultCode rc = OpenMemoryStream(0, &stream);
    const bool open = rc == kResultOK;
    Sketch* copy = nullptr;
    if (rc == kResultOK) rc = StashLinkTargets(source, 1);
    if (rc == kResultOK) rc = WritePageSketch(stream, source, false);
    if (rc == kResultOK) rc = StreamSeek(stream, 0, 0);
    if (rc == kResultOK) {
        rc = ReadSketch(stream, &copy, document, kCurrentPageFormat);
        // A page that reads back with only a notice is still a whole copy.
        if (copy && !IsFatalError(rc)) rc = kResultOK;
    }
    if (rc == kResultOK) rc = StashLinkTargets(copy, 0);
    if (rc == kResultOK) rc = InsertDocumentItem(document, copy, kDocumentItemPage, owner);
    else StashLinkTargets(nullptr, 0);
    // The bytes were only a way across: the stream goes with them.
    if (open) DiscardStream(stream);
    if (rc != kResultOK) {
        if (copy) {
            RemovePage(document, copy, false);
            SetCurrentSketch(source, nullptr);
            FreePage(copy);
        }
    } else {
        copy->document = document;
        SetDocumentModified(document, true);
        UpdateWindowTitles(document);
        RebuildPageTabs(document);
    }
    SetCurrentSketch(previous, nullptr);
    return rc;
}

int32_t DocOptionsLinkButtons(EngineDocument* document, Sketch* page, bool select) {
    if (!page) return 0;
    SketchObject* first = nullptr;
    SketchObject* last = nullptr;
    int32_t broken = 0;
    for (SketchObject* o = page->firstObject; o; o = o->nextInSketch) {
        if (!LinkToPageTarget(o) || LinkButtonTargetExists(document, o)) continue;
        ++broken;
        o->tempLink = nullptr;
        if (last) last->tempLink = o;
        else first = o;
        last = o;
    }
    if (select && page == CurrentSketch()) {
        DeselectAll();
        for (SketchObject* o = first; o; o = o->tempLink) {
            if (o->hidden == kHiddenByUser) ChangeObjectHidden(o, kShown, true);
            SelectSketchObject(o);
        }
    }
    return broken;
}

void DocOptionsFinishPages(bool accepted) {
    EngineDocument* document = gDocument;
    if (!gPages || !document) return;
    if (accepted) {
        bool removed = false;
        for (int32_t i = 0; i < gPages->count; ++i) removed = removed || !InDocument(document, gPages->entries[i].page);
        if (removed) accepted = AskQuestionByCode(kAskPagesRemoved, false, 0);
        bool broken = false;
        for (int32_t i = 0; accepted && i < gPages->count; ++i) {
            const PageEntry& e = gPages->entries[i];
            broken = broken || (InDocument(document, e.page) && DocOptionsLinkButtons(document, e.page, false) > e.brokenLinks);
        }
        if (accepted && broken) accepted = AskQuestionByCode(kAskBrokenLinks, false, 0);
        if (accepted) {
            for (int32_t i = 0; i < gPages->count; ++i)
                if (!InDocument(document, gPages->entries[i].page)) FreePage(gPages->entries[i].page);
            FreePageSnapshot();
            return;
        }
    }
    RestorePages(document);
    FreePageSnapshot();
}

int32_t DocOptionsFinishTools(bool accepted) {
    ToolList* list = Tools();
    int32_t result = 1;
    if (!list) {
        FreeToolSnapshot();
        return result;
    }
    if (accepted) {
        bool changed = false;
        for (int32_t i = 0; i < ToolListCount(list);) {
            // A tool copied in keeps its changed flag (1): it still has to be saved.
            if (ToolListTestFlags(list, i, kToolMarkAdded & ~kToolChangedFlags)) {
                ToolListClearFlags(list, i, kToolMarkAdded & ~kToolChangedFlags);
                changed = true;
            }
            if (!ToolListTestFlags(list, i, kToolMarkRemoved)) {
                ++i;
                continue;
            }
            ToolListRemove(list, i, true);
            changed = true;
            for (int32_t j = 0; j < gToolCount; ++j)
                if (ToolEntry(j)->index > i) --ToolEntry(j)->index;
        }
        for (int32_t j = 0; j < gToolCount; ++j) {
            const int32_t b = ToolEntry(j)->index;
            if (b <= j) continue;
            ToolListSwap(list, b, j);
            ToolListSetFlags(list, b, kToolMarkChanged);
            ToolListSetFlags(list, j, kToolMarkChanged);
            for (int32_t k = j + 1; k < gToolCount; ++k) {
                if (ToolEntry(k)->index == j) {
                    ToolEntry(k)->index = b;
                    break;
                }
            }
            ToolEntry(j)->index = j;
            changed = true;
        }
        for (int32_t j = 0; j < gToolCount; ++j) {
            const int32_t i = ToolEntry(j)->index;
            if (!ToolListTestFlags(list, i, kToolMarkRenamed)) continue;
            ToolListClearFlags(list, i, kToolMarkRenamed);
            if (!ToolListSetName(list, i, ToolEntry(j)->name)) result = 0;
            ToolListSetFlags(list, i, kToolMarkChanged);
            changed = true;
        }
        if (changed) SetDocumentModified(gDocument, true);
    } else {
        for (int32_t i = 0; i < ToolListCount(list);) {
            if (ToolListTestFlags(list, i, kToolMarkRenamed)) {
                ToolListClearFlags(list, i, kToolMarkRenamed);
                ShowToolStatus(ToolSketch(list, i), nullptr);
            }
            ToolListClearFlags(list, i, kToolMarkRemoved);
            if (ToolListTestFlags(list, i, kToolMarkAdded & ~kToolChangedFlags)) {
                ToolListRemove(list, i, true);
                continue;
            }
            ++i;
        }
    }
    FreeToolSnapshot();
    return result;
}

int32_t CustomToolCount() { return gToolCount; }

int32_t CustomToolName(int32_t n, char* buffer, int32_t size) {
    const ToolSnapshotEntry* e = ToolEntry(n);
    const char* name = e ? e->name : "";
    const int32_t length = static_cast<int32_t>(std::strlen(name));
    if (buffer && size > 0) CopyCut(buffer, name, size_t(size - 1));
    return length + 1;
}

void CustomToolRename(int32_t n, const char* text) {
    ToolSnapshotEntry* e = ToolEntry(n);
    if (!e || !text) return;
    CopyCut(e->name, text, kToolNameBytes - 1);
    ToolList* list = Tools();
    if (!list) return;
    ToolListSetFlags(list, e->index, kToolMarkRenamed);
    ShowToolStatus(ToolSketch(list, e->index), e->name);
}

void DocOptionsMoveTool(int32_t from, int32_t to) {
    if (!ToolEntry(from) || !ToolEntry(to) || from == to) return;
    const ToolSnapshotEntry moved = *ToolEntry(from);
    const int32_t step = from < to ? 1 : -1;
    for (int32_t k = from; k != to; k += step) *ToolEntry(k) = *ToolEntry(k + step);
    *ToolEntry(to) = moved;
}

void DocOptionsDeleteTool(int32_t n) {
    if (!ToolEntry(n)) return;
    if (ToolList* list = Tools()) ToolListSetFlags(list, ToolEntry(n)->index, kToolMarkRemoved);
    for (int32_t k = n; k + 1 < gToolCount; ++k) *ToolEntry(k) = *ToolEntry(k + 1);
    --gToolCount;
}

int32_t DocOptionsAddTool() {
    ToolList* list = Tools();
    if (!list || ToolListCount(list) == 0 || !gTools) return 0;
    auto* e = static_cast<ToolSnapshotEntry*>(ChunkedArrayAt(gTools, gToolCount));
    const int32_t index = ToolListCount(list) - 1;
    // Marked even when the snapshot cannot take it, so that a cancel still removes it.
    ToolListSetFlags(list, index, kToolMarkAdded);
    if (!e) return 0;
    e->index = index;
    ToolListName(list, index, e->name, kToolNameBytes);
    ++gToolCount;
    return 1;
}
