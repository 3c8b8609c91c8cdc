#include "engine/docio/engine_document.h"

#include "engine/core/services/document_io.h"

#include <cstdio>
#include <cstring>

#include "engine/core/frame_tick.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/random.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_list.h"
#include "engine/docio/streams.h"
#include "engine/text/string_groups.h"

namespace {

constexpr uint32_t kPageArenaWords = 0;  // the sketch's own default

// Per item type: item size, growth step, initial capacity.
struct ArrayGrowth {
    uint32_t itemSize;
    int32_t  step;
    int32_t  initial;
};
const ArrayGrowth kGrowth[kDocumentItemTypes] = {
    { 0,                 0, 0 },
    { sizeof(Sketch*),   3, 1 },
    { 0,                 0, 0 },
    { sizeof(MenuBlob),  1, 1 },
    { 4,                 1, 1 },
};

// Items of the miscellany group.
constexpr int32_t kUntitledFormatItem = 7;   // "Untitled %d"
constexpr int32_t kCopyFormatItem     = 8;   // "%.*s copy"
constexpr int32_t kCopyNumberFormatItem = 9; // "%.*s copy %d"

// Document names are cut to this many bytes before the copy words go on.
constexpr size_t kMaxNameBuffer = 512;

// Whether the menu bar now shown came from a document's own description.
bool gMenuBarFromDocument = false;
int32_t gUntitledCounter = 0;

Sketch** Pages(const EngineDocument* document) {
    return static_cast<Sketch**>(document->arrays[kDocumentItemPage].items);
}

MenuBlob* Menus(const EngineDocument* document) {
    return static_cast<MenuBlob*>(document->arrays[kDocumentItemMenu].items);
}

bool IsFrontDocument(const EngineDocument* document) {
    return document != nullptr && gEngine.frontDocument == document;
}

// Makes the front sketch `page` (null: none), the current sketch left as it was.
void MakePageFront(Sketch* page) {
    Sketch* previous = nullptr;
    SetCurrentSketch(page, &previous);
    MakeCurrentSketchFront();
    SetCurrentSketch(previous, nullptr);
}

void AppendPage(EngineDocument* document, Sketch* page, void* ownerData) {
    DocumentArray& pages = document->arrays[kDocumentItemPage];
    Pages(document)[pages.count++] = page;
    page->viewOwner = ownerData;
    page->document = document;
    if (page->pageId == 0 || IsPageIdUsed(page, document)) page->pageId = NewPageId(document);
    if (document->currentPage == nullptr) document->currentPage = page;
}

bool PageHasUnsavedChanges(const Sketch* page) {
    return page->undoPosition != page->savedPosition;
}

}  // namespace

ResultCode CreateEngineDocument(EngineDocument** out, void* owner) {
    *out = nullptr;
    auto* document = static_cast<EngineDocument*>(AllocMemory(sizeof(EngineDocument), kAllocZero));
    if (document == nullptr) return kResultOutOfMemory;
    document->owner = owner;
    document->initWord = 1;
    document->documentValue = 1;
    *out = document;
    return kResultOK;
}

void FreeEngineDocument(EngineDocument* document) {
    if (document == nullptr) return;
    // The engine's front and current pointers must not outlive the pages they name, and
    // leaving the front sketch reads the old one: both go before any page is freed.
    Sketch* current = CurrentSketch();
    const bool wasCurrent = gEngine.currentDocument == document ||
                            (current != nullptr && current->document == document);
    if (IsFrontDocument(document)) {
        Sketch* previous = nullptr;
        SetCurrentSketch(nullptr, &previous);
        MakeCurrentSketchFront();
        SetCurrentSketch(wasCurrent ? nullptr : previous, nullptr);
    } else if (wasCurrent) {
        SetCurrentSketch(nullptr, nullptr);
    }
    for (int32_t type = kDocumentItemPage; type < kDocumentItemTypes; ++type) FreeDocumentArray(document, type);
    NotifyDocumentFreed(document);
    FreeMemory(document);
}

void FreeDocumentArray(EngineDocument* document, int32_t type) {
    if (type <= kDocumentItemNone || type >= kDocumentItemTypes) return;
    DocumentArray& array = document->arrays[type];
    switch (type) {
    case kDocumentItemPage:
        document->currentPage = nullptr;
        while (array.count > 0) RemoveDocumentItem(document, array.count - 1, kDocumentItemPage, true);
        break;
    case kDocumentItemTool: {
        auto* list = static_cast<ToolList*>(array.items);
        if (list != nullptr) {
            CustomToolCancelDelete(list);
            if (ToolboxHasToolOf(list)) ToolboxSelectCustomTool();
            FreeToolList(list);
            array.items = nullptr;
        }
        break;
    }
    case kDocumentItemMenu:
        for (int32_t i = 0; i < array.count; ++i) FreeMemory(Menus(document)[i].bytes);
        break;
    default:
        break;
    }
    FreeMemory(array.items);
    array.items = nullptr;
    array.count = 0;
    array.capacity = 0;
}

ResultCode ReserveDocumentItems(EngineDocument* document, int32_t type, int32_t n) {
    if (type <= kDocumentItemNone || type >= kDocumentItemTypes || n < 0) return kResultInvalidArg;
    DocumentArray& array = document->arrays[type];
    if (type == kDocumentItemTool) {
        if (array.items == nullptr) {
            array.items = CreateToolList(n > 5 ? n : 5, 0);
            if (array.items == nullptr) return kResultOutOfMemory;
        }
        return kResultOK;
    }
    const ArrayGrowth& growth = kGrowth[type];
    int32_t capacity = array.capacity;
    if (array.items == nullptr) {
        capacity = array.count + n > growth.initial ? array.count + n : growth.initial;
    } else if (array.count + n > array.capacity) {
        const int32_t shortfall = array.count + n - array.capacity;
        capacity = array.capacity + (shortfall > growth.step ? shortfall : growth.step);
    } else {
        return kResultOK;
    }
    const size_t bytes = static_cast<size_t>(capacity) * growth.itemSize;
    void* items = array.items;
    if (items == nullptr) {
        items = AllocMemory(bytes, kAllocZero);
        if (items == nullptr) return kResultOutOfMemory;
    } else if (!ReallocMemory(&items, bytes, true)) {
        return kResultOutOfMemory;
    }
    if (array.items != nullptr) {
        const size_t used = static_cast<size_t>(array.capacity) * growth.itemSize;
        std::memset(static_cast<uint8_t*>(items) + used, 0, bytes - used);
    }
    array.items = items;
    array.capacity = capacity;
    return kResultOK;
}

ResultCode AddDocumentItem(EngineDocument* document, void** item, int32_t type, void* ownerData) {
    if (item) *item = nullptr;
    if (type == kDocumentItemPage) {
        ResultCode rc = ReserveDocumentItems(document, type, 1);
        if (rc != kResultOK) return rc;
        Sketch* page = CreateSketch(kPageArenaWords, document);
        if (page == nullptr) return kResultOutOfMemory;
        AppendPage(document, page, ownerData);
        if (item) *item = page;
        return kResultOK;
    }
    if (type == kDocumentItemMenu) {
        ResultCode rc = ReserveDocumentItems(document, type, 1);
        if (rc != kResultOK) return rc;
        DocumentArray& menus = document->arrays[type];
        MenuBlob* blob = &Menus(document)[menus.count++];
        *blob = MenuBlob{nullptr, 0};
        if (item) *item = blob;
        return kResultOK;
    }
    return kResultInvalidArg;
}

ResultCode AddMenuBlob(EngineDocument* document, const uint8_t* bytes, uint32_t length) {
    void* slot = nullptr;
    ResultCode rc = AddDocumentItem(document, &slot, kDocumentItemMenu, nullptr);
    if (rc != kResultOK) return rc;
    auto* blob = static_cast<MenuBlob*>(slot);
    blob->bytes = static_cast<uint8_t*>(AllocMemory(length ? length : 1, 0));
    if (blob->bytes == nullptr) {
        --document->arrays[kDocumentItemMenu].count;  // the slot is given back
        return kResultOutOfMemory;
    }
    if (length) std::memcpy(blob->bytes, bytes, length);
    blob->length = static_cast<int32_t>(length);
    return kResultOK;
}

ResultCode InsertDocumentItem(EngineDocument* document, Sketch* item, int32_t type, void* ownerData) {
    if (item == nullptr) return kResultInvalidArg;
    if (type == kDocumentItemPage) {
        ResultCode rc = ReserveDocumentItems(document, type, 1);
        if (rc != kResultOK) return rc;
        AppendPage(document, item, ownerData);
        return kResultOK;
    }
    if (type == kDocumentItemTool) {
        ResultCode rc = ReserveDocumentItems(document, type, 1);
        if (rc != kResultOK) return rc;
        auto** list = reinterpret_cast<ToolList**>(&document->arrays[kDocumentItemTool].items);
        const ToolListNewEntry entry = { item, 0 };
        return GrowToolList(list, &entry, 0) ? kResultOK : kResultOutOfMemory;
    }
    return kResultInvalidArg;
}

bool RemoveDocumentItem(EngineDocument* document, int32_t index, int32_t type, bool freeItem) {
    if (document == nullptr || type <= kDocumentItemNone || type >= kDocumentItemTypes) return false;
    DocumentArray& array = document->arrays[type];
    if (index < 0 || index >= array.count) return false;
    if (type == kDocumentItemPage) {
        Sketch* page = Pages(document)[index];
        if (page == gEngine.frontSketch) MakePageFront(nullptr);
        if (page == CurrentSketch()) SetCurrentSketch(nullptr, nullptr);
        if (page->firstObject != nullptr || PageHasUnsavedChanges(page)) document->modified = 1;
        if (document->currentPage == page) document->currentPage = nullptr;
        Sketch** pages = Pages(document);
        std::memmove(&pages[index], &pages[index + 1], sizeof(Sketch*) * (array.count - index - 1));
        --array.count;
        if (freeItem) {
            page->document = nullptr;
            FreeSketch(page);
        }
        return true;
    }
    if (type == kDocumentItemMenu) {
        MenuBlob& blob = Menus(document)[index];
        FreeMemory(blob.bytes);
        blob = MenuBlob{nullptr, 0};
        return true;
    }
    return false;
}

void RemovePage(EngineDocument* document, Sketch* page, bool freeItem) {
    for (int32_t i = 0; i < DocumentPageCount(document); ++i) {
        if (Pages(document)[i] == page) {
            RemoveDocumentItem(document, i, kDocumentItemPage, freeItem);
            return;
        }
    }
}

int32_t DocumentPageCount(const EngineDocument* document) {
    return document ? document->arrays[kDocumentItemPage].count : 0;
}

Sketch* DocumentPageAt(const EngineDocument* document, int32_t index) {
    if (index < 0 || index >= DocumentPageCount(document)) return nullptr;
    return Pages(document)[index];
}

int32_t CurrentPageIndex(const EngineDocument* document) {
    if (document == nullptr || document->currentPage == nullptr) return -1;
    for (int32_t i = 0; i < DocumentPageCount(document); ++i) {
        if (Pages(document)[i] == document->currentPage) return i;
    }
    return -1;
}

ToolList* DocumentToolList(const EngineDocument* document) {
    return document ? static_cast<ToolList*>(document->arrays[kDocumentItemTool].items) : nullptr;
}

int32_t DocumentToolCount(const EngineDocument* document) {
    ToolList* list = DocumentToolList(document);
    return list ? ToolListCount(list) : 0;
}

int32_t DocumentMenuCount(const EngineDocument* document) {
    return document ? document->arrays[kDocumentItemMenu].count : 0;
}

const MenuBlob* DocumentMenuAt(const EngineDocument* document, int32_t index) {
    if (index < 0 || index >= DocumentMenuCount(document)) return nullptr;
    return &Menus(document)[index];
}

Sketch* FindPageById(const EngineDocument* document, uint16_t id, int32_t* index) {
    for (int32_t i = 0; i < DocumentPageCount(document); ++i) {
        if (Pages(document)[i]->pageId == id) {
            if (index) *index = i;
            return Pages(document)[i];
        }
    }
    if (index) *index = -1;
    return nullptr;
}

bool IsPageIdUsed(const Sketch* page, const EngineDocument* document) {
    for (int32_t i = 0; i < DocumentPageCount(document); ++i) {
        const Sketch* other = Pages(document)[i];
        if (other != page && other->pageId == page->pageId) return true;
    }
    return false;
}

uint16_t NewPageId(const EngineDocument* document) {
    // At most 32,768 ids exist and a document holds far fewer pages, so a free one is
    // always found; the bound only keeps a broken generator from hanging the caller.
    uint16_t id = 0;
    for (int32_t attempt = 0; attempt < 1 << 20; ++attempt) {
        id = static_cast<uint16_t>(NextRandom() | 0x8000);
        if (FindPageById(document, id, nullptr) == nullptr) break;
    }
    return id;
}

namespace {

// Visits the link target word of every link-to-page button of the page. Action buttons
// lie in their class's draw-layer ring, which the few buttons of a page share with few
// other objects, so the page's order list (every object) need not be walked.
template <typename Visit>
void ForEachPageLink(Sketch* page, Visit visit) {
    const int32_t layer = ObjectClassTable[kClassActionButton].drawLayer;
    if (layer < 0 || layer >= kDrawLayerCount) {
        for (SketchObject* object = page->firstObject; object != nullptr; object = object->nextInSketch)
            if (int16_t* target = LinkToPageTarget(object)) visit(target);
        return;
    }
    SketchObject* const head = page->layerHeads[layer];
    for (SketchObject* object = head; object != nullptr;) {
        SketchObject* const next = object->nextInLayer == head ? nullptr : object->nextInLayer;
        if (int16_t* target = LinkToPageTarget(object)) visit(target);
        object = next;
    }
}

}  // namespace

int32_t ConvertPageLinksToIndexes(EngineDocument* document, Sketch* page, PageLinkWord* saved, int32_t room) {
    if (page == nullptr) return 0;
    int32_t kept = 0;
    ForEachPageLink(page, [&](int16_t* target) {
        if (kept >= 0 && kept < room) saved[kept] = PageLinkWord{target, *target};
        kept = kept >= 0 && kept < room ? kept + 1 : -1;
        int32_t index = -1;
        if (FindPageById(document, static_cast<uint16_t>(*target), &index) != nullptr)
            *target = static_cast<int16_t>(index);
    });
    return kept;
}

void ConvertPageLinks(EngineDocument* document, Sketch* page, bool toIndex) {
    if (page == nullptr) return;
    if (toIndex) {
        ConvertPageLinksToIndexes(document, page, nullptr, 0);
        return;
    }
    ForEachPageLink(page, [&](int16_t* target) {
        if (Sketch* linked = DocumentPageAt(document, *target)) *target = static_cast<int16_t>(linked->pageId);
    });
}

ResultCode GoToPage(EngineDocument* document, int32_t index) {
    if (document == nullptr || index < -1 || index >= DocumentPageCount(document)) return kResultNoSuchPage;
    const int32_t old = CurrentPageIndex(document);
    if (index == old) return kResultOK;
    if (ResultCode veto = NoPageHook(document, index)) return veto;
    Sketch* previous = nullptr;
    SetCurrentSketch(document->currentPage, &previous);
    if (document->currentPage != nullptr) {
        UpdateSketchVisibleRect(document->currentPage);
        StopFrameTicks(document->currentPage);
    }
    document->currentPage = DocumentPageAt(document, index);
    SetCurrentSketch(document->currentPage, nullptr);
    if (gEngine.frontDocument == nullptr || gEngine.frontDocument == document) MakeCurrentSketchFront();
    ShowPageInViews(document, old, index);
    SetCurrentSketch(previous, nullptr);
    return kResultOK;
}

ResultCode GoToPageAndTarget(int32_t index, uint32_t buttonId) {
    EngineDocument* document = gEngine.frontDocument;
    if (document == nullptr || index < 0 || index >= DocumentPageCount(document)) return kResultNoSuchPage;
    ResultCode rc = GoToPage(document, index);
    if (rc != kResultOK || buttonId == 0) return rc;
    for (SketchObject* object = document->currentPage->firstObject; object != nullptr;
         object = object->nextInSketch) {
        if (ActionButtonId(object) == buttonId) {
            Sketch* previous = nullptr;
            SetCurrentSketch(document->currentPage, &previous);
            PressActionButton(object);
            SetCurrentSketch(previous, nullptr);
            return kResultOK;
        }
    }
    return kResultNoSuchButton;
}

void SetDocumentModified(EngineDocument* document, bool modified) {
    if (document == nullptr) return;
    document->modified = modified ? 1 : 0;
    if (IsFrontDocument(document)) CmdStateInvalidate(kCommandGroupSaveAndClose);
}

bool IsDocumentModified(const EngineDocument* document) {
    if (document == nullptr) return false;
    if (document->modified) return true;
    for (int32_t i = 0; i < DocumentPageCount(document); ++i) {
        if (PageHasUnsavedChanges(Pages(document)[i])) return true;
    }
    ToolList* tools = DocumentToolList(document);
    for (int32_t i = 0; i < DocumentToolCount(document); ++i) {
        if (ToolListTestFlags(tools, i, kToolChangedFlags)) return true;
    }
    return false;
}

void MarkEngineDocumentSaved(EngineDocument* document, bool handheld, ResultCode result) {
    if (document == nullptr || IsFatalResult(result)) return;
    if (!handheld) {
        ToolList* tools = DocumentToolList(document);
        for (int32_t i = 0; i < DocumentToolCount(document); ++i) ToolListClearFlags(tools, i, kToolChangedFlags);
    }
    if (result != kResultOK) return;
    for (int32_t i = 0; i < DocumentPageCount(document); ++i) {
        Sketch* page = Pages(document)[i];
        page->savedPosition = page->undoPosition;
    }
    SetDocumentModified(document, false);
}

ResultCode BuildDocumentMenuBar(EngineDocument* document, bool force) {
    struct Candidate {
        const uint8_t* bytes;
        uint32_t       length;
        bool           own;
    };
    Candidate candidates[3] = {};
    int32_t n = 0;
    if (const MenuBlob* blob = DocumentMenuAt(document, 0); blob != nullptr && blob->bytes != nullptr)
        candidates[n++] = { blob->bytes, static_cast<uint32_t>(blob->length), true };
    uint32_t length = 0;
    if (const uint8_t* bytes = ProgramMenuStream(&length)) candidates[n++] = { bytes, length, false };
    if (const uint8_t* bytes = DefaultMenuStream(&length)) candidates[n++] = { bytes, length, false };
    ResultCode rc = kResultOK;
    for (int32_t i = 0; i < n; ++i) {
        const Candidate& c = candidates[i];
        if (!force && !gMenuBarFromDocument && !c.own) return kResultOK;  // already shown
        rc = BuildMenuBarFromStream(c.bytes, c.length);
        if (rc <= 2) {
            gMenuBarFromDocument = c.own;
            return rc;
        }
    }
    return rc;
}

void MakeUntitledName(char* name, uint32_t limit) {
    if (name == nullptr || limit == 0) return;
    const char* format = GroupText(kGroupMiscellany, kUntitledFormatItem);
    // Bounded so that a platform that calls every name used cannot hang the caller.
    for (int32_t attempt = 0; attempt < 100000; ++attempt) {
        ++gUntitledCounter;
        std::snprintf(name, limit, format, gUntitledCounter);
        if (IsDocumentNameFree(name)) return;
    }
}

void MakeCopyName(char* name, uint32_t limit) {
    if (name == nullptr || limit == 0) return;
    char base[kMaxNameBuffer];
    char extension[5] = "";
    size_t length = std::strlen(name);
    if (length >= sizeof base) length = sizeof base - 1;
    std::memcpy(base, name, length);
    base[length] = '\0';
    if (length >= 5 && base[length - 4] == '.') {
        std::memcpy(extension, base + length - 4, 5);
        length -= 4;
        base[length] = '\0';
    }
    const size_t extensionLength = std::strlen(extension);
    auto compose = [&](const char* format, int32_t cut, int32_t number) {
        if (cut < 0) cut = 0;
        if (static_cast<size_t>(cut) > length) cut = static_cast<int32_t>(length);
        int written = number ? std::snprintf(name, limit, format, cut, base, number)
                             : std::snprintf(name, limit, format, cut, base);
        size_t used = written < 0 ? 0 : static_cast<size_t>(written);
        if (used >= limit) used = limit - 1;
        const size_t room = limit - 1 - used;
        const size_t n = extensionLength < room ? extensionLength : room;
        std::memcpy(name + used, extension, n);
        name[used + n] = '\0';
    };
    const char* first = GroupText(kGroupMiscellany, kCopyFormatItem);
    compose(first, static_cast<int32_t>(limit) - static_cast<int32_t>(std::strlen(first)) - 1, 0);
    const char* numbered = GroupText(kGroupMiscellany, kCopyNumberFormatItem);
    const int32_t numberedCut = static_cast<int32_t>(limit) - static_cast<int32_t>(std::strlen(numbered));
    for (int32_t number = 2; number < 100000 && !IsDocumentNameFree(name); ++number) {
        int32_t cut = numberedCut;
        for (int32_t power = 10; power <= number; power *= 10) --cut;
        compose(numbered, cut, number);
    }
}

void SetCurrentDocumentModified() {
    if (Sketch* s = CurrentSketch()) SetDocumentModified(s->document, true);
}
