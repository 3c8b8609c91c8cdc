// The document's services to its views, and the services of the views and documents
// that the engine reaches through plain functions.
#include "ui/doc/document_services.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <shlobj.h>

#include "classlib/docmgr.h"
#include "classlib/doctempl.h"
#include "classlib/menu.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/geometry.h"
#include "engine/core/memory.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/services/folders.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/sketch_hooks.h"
#include "engine/core/services/user_interface.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/pick_session.h"
#include "engine/text/string_groups.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "platform/win32/render/traces.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_rules.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/frames/child_frame.h"
#include "ui/frames/engine_commands.h"
#include "ui/frames/main_frame.h"
#include "engine/core/services/bars.h"
#include "engine/interact/command_state.h"
#include "ui/menus.h"
#include "ui/input_state.h"
#include "ui/resource_ids.h"
#include "ui/view/sketch_view.h"
#include "ui/view/view_math.h"

namespace {

// The bar shows the front document's motions: its items follow at once, and the whole bar
// is repainted so the buttons leave the previous document's look.
void RefreshVisibleMotionController() {
    if (!IsMotionControllerVisible()) return;
    CmdStateRefreshNow();
    if (MotionControllerBar* bar = TheMotionController()) {
        bar->UpdateControl(6);
        bar->Invalidate(true);
    }
}

constexpr int32_t kHelpItemsGroup = 22;
constexpr int32_t kHelpTitlesGroup = 23;
constexpr int32_t kMaxHelpItems = 64;
constexpr uint32_t kScrollRangeDelayMs = 500;
constexpr int32_t kScrollRangePriority = 10;

std::vector<CYRNView*> ViewsOf(const CFernwickDoc* doc) {
    std::vector<CYRNView*> views;
    for (POSITION pos = doc->GetFirstViewPosition(); pos;) {
        CView* view = doc->GetNextView(pos);
        if (view->IsKindOf(RUNTIME_CLASS(CYRNView))) views.push_back(static_cast<CYRNView*>(view));
    }
    return views;
}



int32_t ScrollRangeTaskStep(IdleTask* task, int32_t finish) {
    auto* record = reinterpret_cast<CFernwickDoc::ScrollRangeTask*>(task);
    if (!finish && static_cast<int32_t>(GetTickCount() - record->due) < 0) return 1;
    record->owner->UpdateScrollRanges();
    return 0;
}

void InsertHelpItems(HMENU bar) {
    const char* title = GroupText(kHelpTitlesGroup, 0);
    for (int i = 0, n = GetMenuItemCount(bar); i < n && title && title[0]; ++i) {
        char text[128] = "";
        GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
        if (std::strcmp(text, title) != 0) continue;
        HMENU help = GetSubMenu(bar, i);
        if (!help) return;
        for (int entry = 0; entry < kMaxHelpItems; ++entry) {
            const char* item = GroupText(kHelpItemsGroup, entry * 2);
            if (auto ends = LaterForms().shell.helpMenuEndsAt) {
                if (ends(item, entry)) break;
            } else if (!item || !item[0]) {
                break;
            }
            if (std::strcmp(item, "-") == 0) {
                InsertMenuA(help, entry, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            } else {
                InsertMenuA(help, entry, MF_BYPOSITION | MF_STRING, kHelpMenuFirst + entry, item);
            }
        }
        return;
    }
}

}  // namespace

void OpenHelpMenuLink(int32_t entry) { OpenLinkWithAlert(GroupText(kHelpItemsGroup, entry * 2 + 1)); }

// ---- Current sketch, documents of sketches ------------------------------------------

SketchScope::SketchScope(Sketch* sketch) { SetCurrentSketch(sketch, &previous_); }
SketchScope::~SketchScope() { SetCurrentSketch(previous_, nullptr); }

CFernwickDoc* DocumentOfEngine(const EngineDocument* document) {
    if (!document || !document->owner) return nullptr;
    auto* object = static_cast<CObject*>(document->owner);
    return object->IsKindOf(RUNTIME_CLASS(CFernwickDoc)) ? static_cast<CFernwickDoc*>(object) : nullptr;
}

CFernwickDoc* DocumentOfSketch(const Sketch* sketch) { return sketch ? DocumentOfEngine(sketch->document) : nullptr; }

uint32_t SketchChangeCount(const Sketch* sketch) {
    return sketch ? sketch->structureChangeCount + sketch->selectionChangeCount : 0;
}

// ---- The document's views -----------------------------------------------------------

Sketch* CFernwickDoc::CurrentPage() const { return m_engine ? m_engine->currentPage : nullptr; }

CYRNView* CFernwickDoc::FrontView() const {
    if (m_frontView) return m_frontView;
    std::vector<CYRNView*> views = ViewsOf(this);
    return views.empty() ? nullptr : views.front();
}

void CFernwickDoc::SetFrontView(CYRNView* view) {
    m_frontView = view;
    // A caption edited in place blinks its caret in the front view.
    Sketch* page = CurrentPage();
    GraphicsPort* port = nullptr;
    if (page && page->editSession && view && view->GetPort(&port) && port)
        PortSetCaretDC(page->editSession, port->windowDC);
}

bool CFernwickDoc::GetFrontPort(GraphicsPort** port) {
    CYRNView* view = FrontView();
    return view && view->GetPort(port);
}

void CFernwickDoc::SetActive(bool activate) {
    CMainFrame* frame = TheMainFrame();
    if (activate) {
        if (!frame || frame->m_activeDocument == this) return;
        if (frame->m_activeDocument) frame->m_activeDocument->SetActive(false);
        frame->m_activeDocument = this;
        if (PrimaryButtonDown()) {
            m_menuJustClosed = 1;
            POINT cursor;
            GetCursorPos(&cursor);
            CYRNView* under = SketchViewFromHandle(WindowFromPoint(cursor));
            if (under && under->GetDocument() == this) m_swallowNextClick = 1;
        }
        Sketch* page = CurrentPage();
        if (!page) return;
        {
            SketchScope scope(page);
            for (CYRNView* view : ViewsOf(this)) {
                if (!view->m_port.backDC && view->m_hWnd) view->RebuildCanvas();
            }
            MakeCurrentSketchFront();
            RefreshVisibleMotionController();
        }
        SetCurrentSketch(nullptr, nullptr);
        return;
    }
    if (!frame || frame->m_activeDocument != this) return;
    StopToolPlayback();
    frame->m_activeDocument = nullptr;
    if (m_engine && gEngine.frontDocument == m_engine) {
        Sketch* page = CurrentPage();
        SetCurrentSketch(nullptr, nullptr);
        MakeCurrentSketchFront();
        if (page) {
            for (CYRNView* view : ViewsOf(this)) {
                if (!view->m_hWnd) continue;
                if (!ScreenRectIsEmpty(page->dirtyRect)) view->InvalidateSketchRect(&page->dirtyRect, true, false);
            }
        }
        RefreshVisibleMotionController();
    }
}

void CFernwickDoc::InvalidateViews(bool dirtyOnly, bool updateNow, bool relayout) {
    Sketch* page = CurrentPage();
    for (CYRNView* view : ViewsOf(this)) {
        if (!view->m_hWnd) continue;
        bool invalidated = false;
        if (dirtyOnly) {
            if (page) invalidated = view->InvalidateSketchRect(&page->dirtyRect, updateNow, false);
        } else {
            invalidated = view->InvalidateSketchRect(nullptr, updateNow, relayout);
        }
        if (invalidated) m_viewsInvalidated = 1;
    }
}

bool CFernwickDoc::AnyViewNeedsPaint() {
    for (CYRNView* view : ViewsOf(this)) {
        RECT r;
        if (view->m_hWnd && GetUpdateRect(view->m_hWnd, &r, FALSE)) return true;
    }
    return false;
}

void CFernwickDoc::RepaintPendingRect(bool emptyAfter) {
    Sketch* page = CurrentPage();
    if (!page) return;
    for (CYRNView* view : ViewsOf(this)) {
        if (view->m_hWnd) view->RepaintPending(true);
    }
    if (emptyAfter) ScreenRectSetEmpty(&page->dirtyRect);
}

void CFernwickDoc::UpdateVisibleRect() {
    if (CYRNView* view = FrontView()) view->UpdateVisibleRect();
}

void CFernwickDoc::FadeTracesAllViews() {
    for (CYRNView* view : ViewsOf(this)) {
        if (view->m_hWnd) view->FadeTraces();
    }
}

bool CFernwickDoc::FreeViewBuffers(int32_t mode, HDC dc) {
    bool freed = false;
    for (CYRNView* view : ViewsOf(this)) {
        if (mode == 1 || view->m_port.windowDC != dc) freed = FreeOffscreenBuffers(&view->m_port, mode == 1) || freed;
    }
    return freed;
}

void CFernwickDoc::SyncScrollAndInvalidate(bool scrollNow) {
    CYRNView* front = FrontView();
    if (!front || !front->m_hWnd) return;
    front->ScrollToVisibleRect(CurrentPage(), scrollNow);
    front->UpdateScrollBars();
    InvalidateOtherPanes(front);
}

void CFernwickDoc::SizeFramesToDocument() {
    for (CYRNView* view : ViewsOf(this)) {
        if (view->m_hWnd) view->SizeFrameToDocument(m_engine);
    }
}

void CFernwickDoc::UpdateScrollRanges() {
    std::vector<CYRNView*> views = ViewsOf(this);
    Sketch* page = CurrentPage();
    if (views.empty() || !page || !views.front()->m_hWnd) return;
    CYRNView* first = views.front();
    RECT client;
    first->GetClientRect(&client);
    const double sx = first->m_zoomX ? first->m_zoomX : 1;
    const double sy = first->m_zoomY ? first->m_zoomY : 1;
    const PixelRect e = ScrollExtentFor(page->extent, sx, sy, PixelRect{ client.left, client.top, client.right, client.bottom });
    m_scrollExtent = RECT{ e.left, e.top, e.right, e.bottom };
    for (CYRNView* view : views) {
        if (view->m_hWnd) view->UpdateScrollBars();
    }
}

void CFernwickDoc::ScheduleScrollRanges() {
    if (m_scrollTask.task.queued) return;
    m_scrollTask.due = GetTickCount() + kScrollRangeDelayMs;
    AddIdleTask(&m_scrollTask.task, ScrollRangeTaskStep, kScrollRangePriority);
}

HMENU CFernwickDoc::GetDefaultMenu() {
    // An embedded sketch opened from its container shows the embedding's own menu; in
    // place it shares the run-time bar with the container.
    if (IsEmbedded() && !IsInPlaceActive()) {
        if (HMENU server = COleServerDoc::GetDefaultMenu()) return server;
    }
    // Every document shows the one run-time bar; the first one to be shown builds it.
    static bool helpItemsAdded = false;
    HMENU bar = RuntimeMenuBar();
    if (!bar) return nullptr;
    if (!helpItemsAdded) {
        helpItemsAdded = true;
        InsertHelpItems(bar);
    }
    static bool built = false;
    if (m_engine) BuildDocumentMenuBar(m_engine, !built);
    built = true;
    if (CMainApp* app = TheApp()) app->SetMenusBuilt();
    return bar;
}

// ---- Titles and page tabs -------------------------------------------------------------

void UpdateFrameTitle(CFernwickDoc* doc) {
    std::vector<CYRNView*> views = ViewsOf(doc);
    if (views.empty() || !views.front()->m_hWnd) return;
    CWnd* main = CurrentMainWindow();
    HWND titled = nullptr;
    for (HWND w = GetParent(views.front()->m_hWnd); w && (!main || w != main->m_hWnd); w = GetParent(w)) {
        if (GetWindowTextLengthA(w) > 0) {
            titled = w;
            break;
        }
    }
    if (!titled) return;
    CWnd* window = CWnd::FromHandlePermanent(titled);
    CChildFrame* child = window && window->IsKindOf(RUNTIME_CLASS(CChildFrame)) ? static_cast<CChildFrame*>(window) : nullptr;
    char text[512] = "";
    GetWindowTextA(titled, text, sizeof text);
    EngineDocument* engine = doc->Engine();
    Sketch* page = doc->CurrentPage();
    const CString suffix = page ? PageTitleSuffix(page->title, CurrentPageIndex(engine), DocumentPageCount(engine))
                                : CString();
    const CString previous = child ? child->m_pageSuffix : CString();
    const CString title = RetitleWithPage(text, previous, suffix);
    if (child) child->m_pageSuffix = suffix;
    SetWindowTextA(titled, title);
}

void UpdateWindowTitles(EngineDocument* document) {
    if (CFernwickDoc* doc = DocumentOfEngine(document)) UpdateFrameTitle(doc);
}

void GetDocumentTitleUpper(EngineDocument* document, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return;
    buffer[0] = '\0';
    CFernwickDoc* doc = DocumentOfEngine(document);
    if (!doc) return;
    std::snprintf(buffer, size, "%s", doc->GetTitle().c_str());
    buffer[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(buffer[0])));
}

// ---- Services the engine asks of the documents and views ------------------------------

int32_t NoPageHook(EngineDocument*, int32_t) { return 0; }

void ShowPageInViews(EngineDocument* document, int32_t, int32_t newPageIndex) {
    if (newPageIndex < 0) return;
    CFernwickDoc* doc = DocumentOfEngine(document);
    if (!doc) return;
    doc->SyncScrollAndInvalidate(false);
    doc->UpdateScrollRanges();
    doc->InvalidateViews(false, true, true);
    UpdateWindowTitles(document);
    for (CYRNView* view : ViewsOf(doc)) {
        if (!view->m_hWnd) continue;
        SketchScope scope(doc->CurrentPage());
        ChooseSelectionColor(&view->m_port);
    }
    RebuildPageTabs(document);
}

bool IsDocumentNameFree(const char* name) {
    bool free = true;
    ForEachDocument([&](CDocument* doc) {
        if (lstrcmpiA(doc->GetTitle(), name) == 0 || lstrcmpiA(doc->GetPathName(), name) == 0) free = false;
    });
    return free;
}

bool DocumentHasOwnFile(const EngineDocument* document) {
    CFernwickDoc* doc = DocumentOfEngine(const_cast<EngineDocument*>(document));
    return doc && !doc->m_needsNewName && doc->GetPathName()[0] != '\0';
}

void FitFramesToSketch(EngineDocument* document) {
    if (CFernwickDoc* doc = DocumentOfEngine(document)) doc->SizeFramesToDocument();
}

void NotifyDocumentFreed(EngineDocument*) {}

int32_t OpenEngineDocuments(EngineDocument** out, int32_t room) {
    int32_t count = 0;
    ForEachDocument([&](CDocument* doc) {
        if (!doc->IsKindOf(RUNTIME_CLASS(CFernwickDoc))) return;
        EngineDocument* engine = static_cast<CFernwickDoc*>(doc)->Engine();
        if (!engine) return;
        if (count < room) out[count] = engine;
        ++count;
    });
    return count;
}
void NotifySketchFreed() {}

bool DocumentWindowTitle(const EngineDocument* document, char* buffer, uint32_t size) {
    if (size) buffer[0] = 0;
    CFernwickDoc* doc = DocumentOfEngine(const_cast<EngineDocument*>(document));
    if (!doc || !size) return false;
    std::snprintf(buffer, size, "%s", doc->GetTitle().c_str());
    return true;
}

namespace {

bool ReclaimViewBuffers(int32_t pass, HDC failingDC) {
    bool freed = false;
    ForEachDocument([&](CDocument* doc) {
        if (doc->IsKindOf(RUNTIME_CLASS(CFernwickDoc)))
            freed = static_cast<CFernwickDoc*>(doc)->FreeViewBuffers(pass, failingDC) || freed;
    });
    return freed;
}

GraphicsPort* FrontPortOfSketch(Sketch* sketch) {
    CFernwickDoc* doc = DocumentOfSketch(sketch);
    GraphicsPort* port = nullptr;
    return doc && doc->GetFrontPort(&port) ? port : nullptr;
}

}  // namespace

namespace {
// The views remember the sketch's change count when they paint; a count that moved on
// with no invalidation since means the layout was never brought up to date.
bool SketchLayoutBehind(Sketch* sketch) {
    const CFernwickDoc* doc = DocumentOfSketch(sketch);
    return doc && !doc->m_viewsInvalidated && doc->m_rememberedChangeCount != SketchChangeCount(sketch);
}
}  // namespace

void InstallDrawingPortServices() {
    SetCanvasReclaimHandler(ReclaimViewBuffers);
    SetSketchPortLookup(FrontPortOfSketch);
    RegisterLayoutBehindCheck(SketchLayoutBehind);
}

void FlushPendingRedraw(int32_t flag) {
    Sketch* sketch = CurrentSketch();
    CFernwickDoc* doc = DocumentOfSketch(sketch);
    if (!doc || ScreenRectIsEmpty(sketch->dirtyRect)) return;
    doc->RepaintPendingRect(flag != 0);
}

void UpdateSketchViews() {
    if (CFernwickDoc* doc = DocumentOfSketch(CurrentSketch())) doc->FadeTracesAllViews();
}

int32_t UpdateSketchVisibleRect(Sketch* sketch) {
    CFernwickDoc* doc = DocumentOfSketch(sketch);
    if (!doc) return 0;
    doc->UpdateVisibleRect();
    return 1;
}

void ScheduleScrollRangeUpdate() {
    if (CFernwickDoc* doc = DocumentOfSketch(CurrentSketch())) doc->ScheduleScrollRanges();
}

void ScrollSketchTo(ScreenPoint origin) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    ScreenRect& r = sketch->windowRect;
    auto clamp = [](int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX)); };
    r.right = clamp(int32_t(r.right) - r.left + origin.x);
    r.bottom = clamp(int32_t(r.bottom) - r.top + origin.y);
    r.left = origin.x;
    r.top = origin.y;
    if (CFernwickDoc* doc = DocumentOfSketch(sketch)) doc->SyncScrollAndInvalidate(true);
}

void ClearTracesAllViews(EngineDocument* document) {
    CFernwickDoc* doc = DocumentOfEngine(document);
    if (!doc) return;
    for (CYRNView* view : ViewsOf(doc)) ClearTracesLayer(&view->m_port);
}

ResultCode RebuildSketchViews(int32_t) {
    if (CFernwickDoc* doc = DocumentOfSketch(CurrentSketch())) doc->InvalidateViews(false, true, true);
    return kResultOK;
}

// ---- The host's document commands -------------------------------------------------------

namespace {
ResultCode SendHostCommand(UINT id) {
    if (HWND main = GetMainWindow()) SendMessageA(main, WM_COMMAND, id, 0);
    return kResultOK;
}
constexpr int32_t kSaveInPlace = 17;
}  // namespace

ResultCode HostNewDocument(int32_t) {
    StopToolPlayback();
    return SendHostCommand(ID_FILE_NEW);
}
ResultCode HostOpenDocument(int32_t) {
    StopToolPlayback();
    return SendHostCommand(ID_FILE_OPEN);
}
ResultCode HostSaveDocument(int32_t argument) {
    if (auto form = LaterForms().shell.hostSaveCommand) return SendHostCommand(form(argument));
    return SendHostCommand(argument == kSaveInPlace ? ID_FILE_SAVE : ID_FILE_SAVE_AS);
}
ResultCode HostPrint(int32_t) { return SendHostCommand(ID_FILE_PRINT); }
ResultCode HostPrintPreview(int32_t) { return SendHostCommand(ID_FILE_PRINT_PREVIEW); }
ResultCode HostPrintSetup(int32_t) { return SendHostCommand(ID_FILE_PRINT_SETUP); }
ResultCode HostNoOp(int32_t) { return kResultOK; }

// ---- Folders of link targets

namespace {

char* EngineCopy(const char* text, size_t n) {
    auto* out = static_cast<char*>(AllocMemory(n + 1, 0));
    if (out == nullptr) return nullptr;
    std::memcpy(out, text, n);
    out[n] = 0;
    return out;
}

// Cut after the last backslash when asked: the folder with its trailing backslash.
char* CopyPath(const char* path, bool cut) {
    if (path == nullptr || path[0] == 0) return nullptr;
    size_t n = std::strlen(path);
    if (cut) {
        const char* slash = std::strrchr(path, '\\');
        n = slash ? static_cast<size_t>(slash - path) + 1 : 0;
        if (n == 0) return nullptr;
    }
    return EngineCopy(path, n);
}

}  // namespace

char* GetDocumentFolder(const EngineDocument* document, bool cut) {
    if (document == nullptr) {
        char path[MAX_PATH] = "";
        const DWORD n = GetModuleFileNameA(ModuleInstance(), path, sizeof path);
        if (n == 0 || n >= sizeof path) return nullptr;
        return CopyPath(path, cut);
    }
    CFernwickDoc* doc = DocumentOfEngine(document);
    return doc ? CopyPath(doc->GetPathName(), cut) : nullptr;
}

bool BrowseForFolder(char* path) {
    char title[256] = "";
    CopyGroupString256(kGroupHelpTexts, 2, title);
    const HRESULT com = CoInitialize(nullptr);
    BROWSEINFOA info{};
    info.hwndOwner = GetActiveWindow();
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST list = SHBrowseForFolderA(&info);
    bool chosen = false;
    if (list) {
        char folder[MAX_PATH] = "";
        if (SHGetPathFromIDListA(list, folder)) {
            const size_t n = std::strlen(folder);
            if (n > 0 && n < MAX_PATH - 1 && folder[n - 1] != '\\') std::strcat(folder, "\\");
            std::memcpy(path, folder, std::strlen(folder) + 1);
            chosen = true;
        }
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

namespace {
// The help folder once known (found beside the program or chosen by the user).
char gHelpFolder[MAX_PATH] = "";
}  // namespace

char* GetHelpFolder() {
    if (gHelpFolder[0]) return EngineCopy(gHelpFolder, std::strlen(gHelpFolder));
    char* program = GetDocumentFolder(nullptr, true);
    if (program == nullptr) return nullptr;
    char name[256] = "";
    CopyGroupString256(kGroupHelpTexts, 3, name);
    char path[MAX_PATH + 1] = "";
    const int n = std::snprintf(path, sizeof path, "%s%s", program, name);
    FreeMemory(program);
    if (n <= 0 || n >= MAX_PATH) return nullptr;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!BrowseForFolder(path)) return nullptr;
    }
    std::memcpy(gHelpFolder, path, std::strlen(path) + 1);
    return EngineCopy(gHelpFolder, std::strlen(gHelpFolder));
}
