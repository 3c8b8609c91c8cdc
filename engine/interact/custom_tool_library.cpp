#include "engine/interact/custom_tool_library.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/chunked_array.h"
#include "engine/core/memory.h"
#include "engine/core/services/busy.h"
#include "engine/core/services/command_groups.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/services/popup_menus.h"
#include "engine/core/services/script_view.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_list.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/custom_tools.h"
#include "engine/interact/doc_options.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/tool_playback.h"
#include "engine/interact/toolbox.h"

namespace {

constexpr int32_t kFolderNameChars = 35;
constexpr int32_t kMenuNameChars   = 80;
constexpr int32_t kMaxOpenDocuments = 256;
constexpr uint8_t kToolCopiedIn    = 1;
constexpr int32_t kBusyCopying     = 3;

// String group 3.
constexpr int32_t kTextCreateNewTool = 3;
constexpr int32_t kTextToolOptions   = 4;
constexpr int32_t kTextShowScript    = 5;
constexpr int32_t kTextHideScript    = 6;
constexpr int32_t kTextThisDocument  = 11;
constexpr int32_t kTextOtherDocs     = 12;
constexpr int32_t kTextToolFolder    = 13;
constexpr int32_t kTextFromOtherDoc  = 14;
constexpr int32_t kTextFromFolder    = 15;
constexpr int32_t kTextNoTools       = 16;

// Commands of the menu (entries without a list).
constexpr int32_t kCommandCreate  = 0;
constexpr int32_t kCommandOptions = 1;
constexpr int32_t kCommandScript  = 2;

struct FolderFile {
    ToolList* tools;
    char      name[kFolderNameChars + 1];
};

struct CurrentTool {
    ToolList* list;
    int32_t   index;
};

CurrentTool   gCurrent{ nullptr, 0 };
ChunkedArray* gFolder = nullptr;  // FolderFile, made with the first file that has tools
int32_t       gFolderCount = 0;

void ReleaseCurrent() {
    if (gCurrent.list) ToolListRelease(gCurrent.list, gCurrent.index);
    gCurrent = { nullptr, 0 };
}

FolderFile* FolderAt(int32_t i) {
    return i >= 0 && i < gFolderCount ? static_cast<FolderFile*>(ChunkedArrayAt(gFolder, i)) : nullptr;
}

// The open document whose list it is; null for a list of the tool folder.
EngineDocument* OwnerOf(ToolList* list) {
    if (!list) return nullptr;
    EngineDocument* open[kMaxOpenDocuments];
    const int32_t n = OpenEngineDocuments(open, kMaxOpenDocuments);
    for (int32_t i = 0; i < n && i < kMaxOpenDocuments; ++i)
        if (DocumentToolList(open[i]) == list) return open[i];
    if (gEngine.frontDocument && DocumentToolList(gEngine.frontDocument) == list) return gEngine.frontDocument;
    return nullptr;
}

}  // namespace

bool InitCustomToolLibrary() { return true; }

bool GetCurrentCustomTool(ToolList** list, int32_t* index) {
    if (list) *list = gCurrent.list;
    if (index) *index = gCurrent.list ? gCurrent.index : 0;
    return gCurrent.list != nullptr;
}

int32_t ToolSelectFromLibrary(ToolList* list, int32_t index) {
    ReleaseCurrent();
    Sketch* tool = nullptr;
    const ResultCode rc = list ? ToolListAcquire(list, index, &tool) : kResultToolUnavailable;
    if (rc != kResultOK) {
        ShowAlertByCode(rc == kResultOutOfMemory ? kResultOutOfMemory : kResultToolUnavailable, 0);
        return 0;
    }
    // A tool read from a file may carry given kinds looser than its steps need.
    RefreshToolGivenKinds(tool);
    // Shown first, so that the run it starts can tell the view its first given.
    ShowToolInScriptView(tool, OwnerOf(list));
    if (!SelectCustomToolSketch(tool)) {
        ToolListRelease(list, index);
        return 0;
    }
    gCurrent = { list, index };
    return 1;
}

bool GrowToolList(ToolList** list, const ToolListNewEntry* entry, uint32_t value) {
    ToolList* before = *list;
    if (!ToolListAdd(list, entry, value)) return false;
    if (gCurrent.list && gCurrent.list == before) gCurrent.list = *list;
    return true;
}

bool UniqueToolName(ToolList* list, const char* name) {
    char existing[256];
    for (int32_t i = 0; i < ToolListCount(list); ++i)
        if (ToolListName(list, i, existing, sizeof existing) && std::strcmp(existing, name) == 0) return false;
    return true;
}

void RemoveToolFromLibrary(ToolList* list, int32_t index, bool* wasCurrent) {
    if (wasCurrent) *wasCurrent = false;
    if (!list || index < 0 || index >= ToolListCount(list)) return;
    if (gCurrent.list == list) {
        if (gCurrent.index == index) {
            ReleaseCurrent();
            if (wasCurrent) *wasCurrent = true;
        } else if (index < gCurrent.index) {
            --gCurrent.index;
        }
    }
    // The toolbox may still run the tool: it lets go before the sketch is freed.
    Sketch* sketch = ToolListEntries(list)[index].sketch;
    if (sketch && CurrentCustomToolSketch() == sketch) {
        ToolboxSelectCustomTool();
        if (CurrentCustomToolSketch() == sketch) SetCurrentTool(kToolTranslateArrow);
    }
    ToolListRemove(list, index, true);
}

void CustomToolCancelDelete(ToolList* list) {
    if (list && gCurrent.list == list) ReleaseCurrent();
}

ResultCode CreateNewToolCommand() {
    EngineDocument* document = gEngine.frontDocument;
    if (!document) return kResultOK;
    ResultCode rc = ReserveDocumentItems(document, kDocumentItemTool, 1);
    Sketch* tool = nullptr;
    if (rc == kResultOK) {
        CurrentSketchScope scope(gEngine.frontSketch);
        rc = MakeToolFromSelection(&tool);
    }
    if (rc == kResultOK) rc = InsertDocumentItem(document, tool, kDocumentItemTool, nullptr);
    if (rc != kResultOK) {
        if (tool) {
            DetachToolSketch(tool);
            FreeSketch(tool);
        }
        ShowAlertByCode(rc, 0);
        return rc;
    }
    ToolList* list = DocumentToolList(document);
    SetDocumentModified(document, true);
    CmdStateInvalidate(kCommandGroupSaveAndClose);  // the document now has a tool to save
    int32_t item = 0, member = 0;
    if (ToolboxFindTool(kToolCustomButton, &item, &member)) SelectToolboxItem(item, member);
    ToolSelectFromLibrary(list, ToolListCount(list) - 1);
    return kResultOK;
}

bool CustomToolsAvailable(bool excludeFront) {
    EngineDocument* front = gEngine.frontDocument;
    if (!excludeFront && front && ToolListCount(DocumentToolList(front)) > 0) return true;
    EngineDocument* open[kMaxOpenDocuments];
    const int32_t n = OpenEngineDocuments(open, kMaxOpenDocuments);
    for (int32_t i = 0; i < n && i < kMaxOpenDocuments; ++i)
        if (open[i] != front && ToolListCount(DocumentToolList(open[i])) > 0) return true;
    for (int32_t i = 0; i < gFolderCount; ++i)
        if (ToolListCount(FolderAt(i)->tools) > 0) return true;
    return false;
}

// ---- The menu ------------------------------------------------------------------------------------

namespace {

struct MenuBuild {
    ToolMenuModel* model;
    uint32_t*      counter;
    int32_t        entries;
};

bool Record(MenuBuild& b, uint32_t id, ToolList* list, int32_t index) {
    auto* e = static_cast<ToolMenuEntry*>(ChunkedArrayAt(b.model->entries, b.entries));
    if (!e) return false;
    *e = { id, list, index };
    ++b.entries;
    return true;
}

bool AddCommand(MenuBuild& b, PopupMenu* menu, int32_t text, bool enabled, int32_t command) {
    uint32_t id = 0;
    return AppendPopupCommand(menu, GroupText(kGroupMiscellany, text), enabled, false, b.counter, &id) &&
           Record(b, id, nullptr, command);
}

// A group's heading goes in before its first item only.
bool AddHeading(PopupMenu* menu, bool* added, int32_t text) {
    if (*added) return true;
    *added = true;
    uint32_t none = 0;
    return AppendPopupItem(menu, kPopupSeparator, nullptr, false, false, &none, nullptr) &&
           AppendPopupHeading(menu, GroupText(kGroupMiscellany, text));
}

bool AddTools(MenuBuild& b, PopupMenu* menu, ToolList* list) {
    for (int32_t i = 0; i < ToolListCount(list); ++i) {
        char name[kMenuNameChars + 1];
        ToolListName(list, i, name, sizeof name);
        const bool current = gCurrent.list == list && gCurrent.index == i;
        uint32_t id = 0;
        if (!AppendPopupCommand(menu, name, true, current, b.counter, &id) || !Record(b, id, list, i)) return false;
    }
    return true;
}

// A submenu's title: the first letter upper-cased, a ".yrn" ending dropped, 35 characters.
void SubmenuTitle(const char* text, bool capitalise, char* out) {
    char title[512];
    std::snprintf(title, sizeof title, "%s", text);
    size_t length = std::strlen(title);
    if (length >= 4 && (std::strcmp(title + length - 4, ".yrn") == 0 || std::strcmp(title + length - 4, ".YRN") == 0))
        title[length -= 4] = 0;
    if (capitalise && title[0]) title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
    const size_t kept = length < size_t(kFolderNameChars) ? length : size_t(kFolderNameChars);
    std::memcpy(out, title, kept);
    out[kept] = 0;
}

bool AddSubmenu(MenuBuild& b, PopupMenu* menu, const char* title, bool capitalise, ToolList* list) {
    char text[kFolderNameChars + 1];
    SubmenuTitle(title, capitalise, text);
    PopupMenu* submenu = nullptr;
    return AppendPopupSubmenu(menu, &submenu, text) && AddTools(b, submenu, list);
}

bool BuildMenu(PopupMenu* menu, MenuBuild& b) {
    const bool copying = b.model->flag != 0;
    const bool available = CustomToolsAvailable(false);
    EngineDocument* front = gEngine.frontDocument;
    Sketch* frontSketch = gEngine.frontSketch;
    if (!copying) {
        if (!AddCommand(b, menu, kTextCreateNewTool, frontSketch && frontSketch->selectionHead, kCommandCreate) ||
            !AddCommand(b, menu, kTextToolOptions, available && frontSketch, kCommandOptions) ||
            !AddCommand(b, menu, IsScriptViewVisible() ? kTextHideScript : kTextShowScript, available, kCommandScript))
            return false;
        if (front && ToolListCount(DocumentToolList(front)) > 0) {
            bool heading = false;
            if (!AddHeading(menu, &heading, kTextThisDocument) || !AddTools(b, menu, DocumentToolList(front)))
                return false;
        }
    }
    if (!available && copying) {
        uint32_t none = 0;
        return AppendPopupItem(menu, 1, GroupText(kGroupMiscellany, kTextNoTools), false, false, &none, nullptr);
    }
    bool heading = false;
    EngineDocument* open[kMaxOpenDocuments];
    const int32_t n = OpenEngineDocuments(open, kMaxOpenDocuments);
    for (int32_t i = 0; i < n && i < kMaxOpenDocuments; ++i) {
        if (open[i] == front || (copying && open[i] == b.model->target)) continue;
        ToolList* list = DocumentToolList(open[i]);
        if (ToolListCount(list) == 0) continue;
        char title[256];
        DocumentWindowTitle(open[i], title, sizeof title);
        if (!AddHeading(menu, &heading, copying ? kTextFromOtherDoc : kTextOtherDocs) ||
            !AddSubmenu(b, menu, title, true, list))
            return false;
    }
    heading = false;
    for (int32_t i = 0; i < gFolderCount; ++i) {
        FolderFile* file = FolderAt(i);
        if (ToolListCount(file->tools) == 0) continue;
        if (!AddHeading(menu, &heading, copying ? kTextFromFolder : kTextToolFolder) ||
            !AddSubmenu(b, menu, file->name, false, file->tools))
            return false;
    }
    return true;
}

const ToolMenuEntry* FindEntry(const ToolMenuModel* model, uint32_t id) {
    if (!model->entries) return nullptr;
    const int32_t last = ChunkedArrayLastIndex(model->entries);
    for (int32_t i = 0; i <= last; ++i) {
        auto* e = static_cast<const ToolMenuEntry*>(ChunkedArrayAt(model->entries, i));
        if (e && e->id == id) return e;
    }
    return nullptr;
}

// A copy of a tool by a round trip through the stored form, as a document would read it.
ResultCode CopyToolSketch(Sketch* tool, Sketch** copy) {
    *copy = nullptr;
    StreamHandle stream = 0;
    ResultCode rc = OpenMemoryStream(0, &stream);
    if (rc != kResultOK) return rc;
    rc = WriteToolSketch(stream, tool);
    const ResultCode closed = CloseStream(stream);
    if (rc == kResultOK) rc = closed;
    uint32_t size = 0;
    void* bytes = TakeStreamBytes(stream, &size);
    if (rc == kResultOK && !bytes) rc = kResultOutOfMemory;
    if (rc == kResultOK) {
        StreamHandle in = 0;
        rc = OpenMemoryStreamCopy(bytes, size, &in);
        if (rc == kResultOK) {
            rc = ReadSketch(in, copy, nullptr, kCurrentPartialFormat);
            DiscardStream(in);
            if (!IsFatalResult(rc)) rc = kResultOK;
        }
    }
    FreeMemory(bytes);
    if (rc == kResultOK && !*copy) rc = kResultOutOfMemory;
    return rc;
}

void CopyIntoDocument(const ToolMenuEntry& e, EngineDocument* target) {
    if (!target) return;
    Sketch* tool = nullptr;
    ResultCode rc = ToolListAcquire(e.list, e.index, &tool);
    Sketch* copy = nullptr;
    if (rc == kResultOK) {
        BusyTask* busy = BeginBusyTask(kBusyCopying, 0, false);
        rc = CopyToolSketch(tool, &copy);
        EndBusyTask(busy);
        ToolListRelease(e.list, e.index);
    }
    if (rc == kResultOK) {
        rc = InsertDocumentItem(target, copy, kDocumentItemTool, nullptr);
        if (rc != kResultOK) FreeSketch(copy);
    }
    if (rc != kResultOK) {
        ShowAlertByCode(rc, 0);
        return;
    }
    ToolList* list = DocumentToolList(target);
    ToolListSetFlags(list, ToolListCount(list) - 1, kToolCopiedIn);
}

}  // namespace

int32_t BuildCustomToolMenu(PopupMenu* menu, ToolMenuModel* model, uint32_t* idCounter) {
    FreeToolMenuEntry(model);
    model->entries = CreateChunkedArray(sizeof(ToolMenuEntry), 0, 16, 0);
    if (!model->entries) return 0;
    MenuBuild b{ model, idCounter, 0 };
    if (!BuildMenu(menu, b)) {
        FreeToolMenuEntry(model);
        return 0;
    }
    return 1;
}

void ChooseCustomToolFromMenu(uint32_t id, ToolMenuModel* model, bool showScriptView) {
    const ToolMenuEntry* found = FindEntry(model, id);
    if (!found) return;
    const ToolMenuEntry e = *found;
    if (model->flag != 0) {
        if (e.list) CopyIntoDocument(e, model->target ? model->target : gEngine.frontDocument);
        return;
    }
    if (!e.list) {
        switch (e.index) {
        case kCommandCreate:
            CreateNewToolCommand();
            break;
        case kCommandOptions:
            DocOptionsRun(0);
            break;
        case kCommandScript:
            ShowScriptView(!IsScriptViewVisible());
            break;
        default:
            break;
        }
        return;
    }
    int32_t item = 0, member = 0;
    if (ToolboxFindTool(kToolCustomButton, &item, &member)) SelectToolboxItem(item, member);
    if (ToolSelectFromLibrary(e.list, e.index)) {
        if (showScriptView) ShowScriptView(true);
    } else {
        ChooseCurrentTool();
    }
}

void FreeToolMenuEntry(ToolMenuModel* model) {
    if (model->entries) FreeChunkedArray(model->entries);
    model->entries = nullptr;
}

// ---- The tool folder ---------------------------------------------------------------------------

void CustomToolFolderScan(const char* path, const char* name) {
    StreamHandle stream = 0;
    if (OpenFileStreamForRead(path, &stream) != kResultOK) return;
    EngineDocument* document = nullptr;
    bool openAsCopy = false;
    char* message = nullptr;  // a damaged file is passed over without a word
    const ResultCode rc = ReadEngineDocument(stream, &document, &openAsCopy, nullptr, &message, true);
    FreeMemory(message);
    ToolList* tools = nullptr;
    if (!IsFatalResult(rc) && document && ToolListCount(DocumentToolList(document)) > 0) {
        tools = DocumentToolList(document);
        document->arrays[kDocumentItemTool].items = nullptr;
        SetToolListUserData(tools, 0);
    }
    if (document) FreeEngineDocument(document);
    CloseStream(stream);
    if (!tools) return;
    if (!gFolder) gFolder = CreateChunkedArray(sizeof(FolderFile), 0, 5, 0);
    auto* file = gFolder ? static_cast<FolderFile*>(ChunkedArrayAt(gFolder, gFolderCount)) : nullptr;
    if (!file) {
        FreeToolList(tools);
        return;
    }
    file->tools = tools;
    std::snprintf(file->name, sizeof file->name, "%s", name ? name : "");
    ++gFolderCount;
}

int32_t ToolFolderFileCount() { return gFolderCount; }

ToolList* ToolFolderFileTools(int32_t index, const char** name) {
    FolderFile* file = FolderAt(index);
    if (name) *name = file ? file->name : "";
    return file ? file->tools : nullptr;
}

void FreeToolFolderList() {
    for (int32_t i = 0; i < gFolderCount; ++i) {
        FolderFile* file = FolderAt(i);
        if (!file) continue;
        CustomToolCancelDelete(file->tools);
        if (ToolboxHasToolOf(file->tools)) ToolboxSelectCustomTool();
        FreeToolList(file->tools);
    }
    if (gFolder) FreeChunkedArray(gFolder);
    gFolder = nullptr;
    gFolderCount = 0;
}
