#include "ui/doc/fernwick_doc.h"

#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "classlib/archive.h"
#include "classlib/doctempl.h"
#include "classlib/gdi.h"
#include "engine/core/alerts.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/memory.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/services/files.h"
#include "engine/core/services/later_release.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/docio/applet_page.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/motion.h"
#include "engine/interact/selection_census.h"
#include "platform/rules/font_list.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/shell.h"
#include "ui/app/main_app.h"
#include "ui/doc/document_rules.h"
#include "ui/doc/document_services.h"
#include "ui/frames/main_frame.h"
#include "ui/menus.h"
#include "ui/portable/native_data.h"
#include "ui/resource_ids.h"
#include "ui/view/sketch_view.h"

namespace {
constexpr ResultCode kResultNameInUse = 6;
constexpr ResultCode kAlertLinkFailed = 403;
constexpr int32_t kServerStateWord = 5;
constexpr UINT kShowSelectionsCommand = 32821;
constexpr int kHimetricPerInch = 2540;
// Native data a container hands back is read whole; no sketch comes near this.
constexpr uint32_t kNativeDataLimit = 64u * 1024u * 1024u;
constexpr int kWriteAccess = 2;

CFernwickDoc* gDocumentBeingSaved = nullptr;

// Marks the document whose save dialog may be open, for the length of a save.
class SavingScope {
public:
    explicit SavingScope(CFernwickDoc* doc) : previous_(gDocumentBeingSaved) { gDocumentBeingSaved = doc; }
    ~SavingScope() { gDocumentBeingSaved = previous_; }
    SavingScope(const SavingScope&) = delete;
    SavingScope& operator=(const SavingScope&) = delete;

private:
    CFernwickDoc* previous_;
};
}  // namespace

IMPLEMENT_DYNCREATE(CFernwickDoc, COleServerDoc)

BEGIN_MESSAGE_MAP(CFernwickDoc, COleServerDoc)
    ON_COMMAND(CMD_EDIT_COPY, OnCopyItem)
    ON_COMMAND(kShowSelectionsCommand, OnShowSelections)
    ON_COMMAND(ID_STOP_ALL_MOTIONS, OnStopAllMotions)
    ON_COMMAND(ID_TEXT_STYLE_DIALOG, OnTextStyleDialog)
    ON_COMMAND(ID_ARC_SECTOR, OnArcSector)
    ON_UPDATE_COMMAND_UI(ID_ARC_SECTOR, OnUpdateArcSector)
    ON_COMMAND_RANGE(ID_FIRST_TEXT_STYLE, ID_LAST_TEXT_STYLE, OnTextStyleCommand)
    ON_UPDATE_COMMAND_UI_RANGE(ID_FIRST_TEXT_STYLE, ID_LAST_TEXT_STYLE, OnUpdateTextStyleCommand)
    ON_COMMAND_RANGE(kFirstFontMenuId, kFontMenuIdLimit - 1, OnFontCommand)
    ON_COMMAND(kSaveAsWebPageCommand, OnSaveAsWebPage)
END_MESSAGE_MAP()

CFernwickDoc* CFernwickDoc::DocumentBeingSaved() { return gDocumentBeingSaved; }

void CFernwickDoc::OnStopAllMotions() {
    SketchScope scope(CurrentPage());
    StopAllSketchesMotions(0);
}

void CFernwickDoc::OnTextStyleDialog() {
    if (!CurrentPage()) return;
    SketchScope scope(CurrentPage());
    TextStyleCommand(CensusShiftState() != 0 ? 1 : 0);
}

void CFernwickDoc::OnArcSector() {
    HWND frame = m_mainFrame ? m_mainFrame->m_hWnd : nullptr;
    if (frame) RunArcInteriorCommand(frame, true);
}

void CFernwickDoc::OnUpdateArcSector(CCmdUI* ui) {
    const Sketch* page = CurrentPage();
    const SketchObject* only = page ? page->selectionHead : nullptr;
    ui->Enable(only && !only->nextSelected && only->objectKind == kKindArc);
}

CFernwickDoc::CFernwickDoc() {
    m_scrollTask.owner = this;
    m_openingPress.owner = this;
}

int32_t CFernwickDoc::OpeningPressStep(IdleTask* task, int32_t finish) {
    CFernwickDoc* doc = reinterpret_cast<OpeningPressTask*>(task)->owner;
    EngineDocument* engine = doc->m_engine;
    if (engine == nullptr || engine->currentPage == nullptr) return 0;
    // Pressed in the window that shows them, once it is the front one.
    if (!finish && gEngine.frontSketch != engine->currentPage) return 1;
    SketchScope scope(engine->currentPage);
    ResultCode failure = kResultOK;
    PressSelectedButtons(&failure);
    if (failure != kResultOK) ShowAlertByCode(failure, 0);
    return 0;
}

CFernwickDoc::~CFernwickDoc() {
    SetActive(false);
    if (m_scrollTask.task.queued) RemoveIdleTask(&m_scrollTask.task);
    if (m_openingPress.task.queued) RemoveIdleTask(&m_openingPress.task);
    if (m_engine) FreeEngineDocument(m_engine);
    m_engine = nullptr;
}

bool CFernwickDoc::IsModified() { return m_engine && IsDocumentModified(m_engine); }

void CFernwickDoc::SetModifiedFlag(bool modified) { CDocument::SetModifiedFlag(modified); }

void CFernwickDoc::SetServerState(Sketch* page) {
    m_engine->currentPage = page;
    m_app = CurrentApp();
    m_mainFrame = TheMainFrame();
    m_itemSize[0] = m_itemSize[1] = 100;
    m_scrollExtent = RECT{ 0, 0, 100, 100 };
    m_serverWords[0] = m_serverWords[1] = 0;
    m_serverWords[2] = kServerStateWord;
}

bool CFernwickDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return false;
    if (m_engine) FreeEngineDocument(m_engine);
    m_engine = nullptr;
    if (CreateEngineDocument(&m_engine, this) != kResultOK) return false;
    void* page = nullptr;
    if (AddDocumentItem(m_engine, &page, kDocumentItemPage, this) != kResultOK || !page) return false;
    SetServerState(static_cast<Sketch*>(page));
    return true;
}

bool CFernwickDoc::OnOpenDocument(const char* path) {
    CWaitCursor wait;
    DeleteContents();
    CDocument::SetModifiedFlag(true);

    StreamHandle stream = 0;
    EngineDocument* engine = nullptr;
    char* message = nullptr;
    ResultCode rc = OpenFileStreamForRead(path, &stream);
    if (rc == kResultOK) {
        bool asCopy = false;
        rc = ReadEngineDocument(stream, &engine, &asCopy, this, &message, false);
        m_needsNewName = asCopy ? 1 : 0;
        m_handheldOrigin = IsHandheldPath(path) ? 1 : 0;
        if (!m_needsNewName && !IsDocumentNameFree(path)) {
            m_needsNewName = 1;
            rc = KeepWorstError(rc, kResultNameInUse);
        }
        if (IsFatalResult(rc)) {
            rc = FatalCodeForExtension(path, rc);
        } else if (!engine || !engine->currentPage) {
            rc = kResultNoSketches;
            if (engine) FreeEngineDocument(engine);
            engine = nullptr;
        } else if (!m_needsNewName && _access(path, kWriteAccess) == 0) {
            m_hasOwnFile = 1;
        }
        CloseStream(stream);
    }

    const bool fatal = IsFatalResult(rc);
    if (rc != kResultOK && !message) {
        if (rc == kResultFileNotFound) {
            CFileException e(CFileException::fileNotFound, -1, path);
            ReportSaveLoadException(path, &e, false, IDS_LIB_FILE_NOT_FOUND);
        } else {
            ShowAlertByCode(rc, 0);
        }
    }
    if (!fatal && engine) {
        if (m_engine) FreeEngineDocument(m_engine);
        m_engine = engine;
        CDocument::SetModifiedFlag(false);
        SetServerState(engine->currentPage);
        UpdateAllViews(nullptr);
        SizeFramesToDocument();
        SketchScope scope(engine->currentPage);
        RebuildPageTabs(engine);
        GraphicsPort* port = nullptr;
        if (GetFrontPort(&port)) ChooseSelectionColor(port);
        AddIdleTask(&m_openingPress.task, OpeningPressStep, kIdleStatusTextRefresh);
    } else if (engine) {
        FreeEngineDocument(engine);
    }
    if (message) {
        ShowAppMessage(message, MB_OK);
        FreeMemory(message);
    }
    return !fatal;
}

bool CFernwickDoc::OnSaveDocument(const char* path) {
    if (!m_engine) return false;
    CWaitCursor wait;
    const bool webPage = m_saveType == kSaveWebPage;
    CString preview;
    char temporary[kMaxPathChars] = "";
    StreamHandle stream = 0;
    // A picture is written by the later release whole, not through a stream of ours.
    if (auto other = LaterForms().shell.saveOtherType) {
        SketchScope scope(m_engine->currentPage);
        const int32_t written = other(m_saveType, path);
        if (written >= 0) {
            if (written != kResultOK) ShowAlertByCode(written, 1);
            return !IsFatalResult(written);
        }
    }
    ResultCode rc = OpenTempFileStreamForWrite(path, temporary, &stream);
    if (rc == kResultOK) {
        if (webPage) {
            rc = WriteAppletPage(stream, m_engine, PathFileName(path));
            // The page only works beside the applet's archive.
            if (::GetFileAttributesA(AppletArchivePath(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
                rc = AppletResultWithoutArchive(rc);
            } else if (rc == kResultAppletWritten || rc == kResultAppletPartial) {
                preview = "file://";
                preview += path;
            }
        } else {
            rc = WriteEngineDocument(stream, m_engine, m_saveType == kSaveHandheld);
        }
        // Buffered bytes reach the disk only at the close: its error counts too.
        rc = KeepWorstError(rc, CloseStream(stream));
    }
    if (!IsFatalResult(rc)) rc = KeepWorstError(rc, ReplaceFileKeepingAttributes(path, temporary));
    // A failed save leaves the target as it was: only the temporary file goes.
    if (IsFatalResult(rc) && temporary[0]) DeleteStreamFile(temporary);
    if (rc == kResultCancelled) return false;
    if (!preview.IsEmpty() && !IsFatalResult(rc)) {
        if (AskQuestionByCode(rc, false, 1) && !OpenWithShell(preview.c_str())) ShowAlertByCode(kAlertLinkFailed, 1);
    } else if (rc != kResultOK) {
        ShowAlertByCode(rc, 1);
    }
    if (!IsFatalResult(rc) && savingUnderOwnName_ && m_saveType == kSaveNative) {
        MarkEngineDocumentSaved(m_engine, false, rc);
    }
    if (rc == kResultOK && !webPage) CDocument::SetModifiedFlag(false);
    return !IsFatalResult(rc);
}

bool CFernwickDoc::SaveAsWebPage() {
    const int32_t previous = m_saveType;
    m_saveType = kSaveWebPage;
    const bool saved = DoSave(nullptr, true);
    m_saveType = previous;
    return saved;
}

void CFernwickDoc::OnSaveAsWebPage() { SaveAsWebPage(); }

bool CFernwickDoc::DoFileSave() {
    // A document without a file of its own (a copy, a read-only file) asks for a name.
    if (!m_hasOwnFile || m_strPathName.IsEmpty()) return DoSave(nullptr, true);
    return DoSave(m_strPathName, true);
}

bool CFernwickDoc::DoSave(const char* path, bool replace) {
    SavingScope saving(this);
    CString name(path);
    // Saving in place writes the document's own, native form.
    if (!name.IsEmpty()) m_saveType = kSaveNative;
    if (name.IsEmpty()) {
        name = m_strPathName;
        if (replace && name.IsEmpty()) {
            CString extension;
            if (m_pDocTemplate) m_pDocTemplate->GetDocString(extension, CDocTemplate::filterExt);
            name = ProposedSaveName(m_strTitle, extension);
        }
        CWinApp* app = CurrentApp();
        if (!app || !app->DoPromptFileName(name, replace ? IDS_LIB_SAVE_AS : IDS_LIB_SAVE_COPY_AS,
                                           OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN, false,
                                           m_pDocTemplate)) {
            return false;
        }
        // The dialog has set the save type it chose.
    }
    CWaitCursor wait;
    savingUnderOwnName_ = replace && m_saveType == kSaveNative;
    const bool saved = OnSaveDocument(name);
    savingUnderOwnName_ = true;
    // A failed save never deletes anything under the chosen name: the file there (if
    // any) is the user's intact old one; the save wrote only a temporary file.
    if (!saved) return false;
    if (replace && m_saveType == kSaveNative) {
        SetPathName(name, true);
        m_hasOwnFile = 1;
    }
    return true;
}

bool CFernwickDoc::SaveModified() {
    if (!IsModified()) return true;
    CString name;
    if (m_hasOwnFile && !m_strPathName.IsEmpty()) name = m_strPathName;
    else if (!m_strTitle.IsEmpty()) name = m_strTitle;
    else name.LoadString(IDS_LIB_UNTITLED);
    CString prompt;
    FormatResourceString(prompt, IDS_LIB_SAVE_CHANGES, name);
    CMainApp* app = TheApp();
    const UINT type = app && app->m_noCancelPrompt ? MB_YESNO : MB_YESNOCANCEL;
    switch (ShowAppMessage(prompt, type, IDS_LIB_SAVE_CHANGES)) {
    case IDCANCEL: return false;
    case IDYES: return DoFileSave();
    default: return true;
    }
}

// ---- The OLE server's side

void CFernwickDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        if (!m_engine || !m_engine->currentPage) {
            ar.Fail(kResultNoSketches);
            return;
        }
        void* bytes = nullptr;
        uint32_t length = 0;
        ResultCode rc;
        {
            SketchScope scope(m_engine->currentPage);
            rc = StoreNativeData(m_engine, &bytes, &length);
        }
        // A store that fails writes nothing and says so: the container keeps what it had.
        if (IsFatalResult(rc)) {
            ar.Fail(rc);
            return;
        }
        ar.Write(bytes, length);
        FreeMemory(bytes);
        return;
    }
    std::vector<uint8_t> bytes;
    if (!ar.ReadToEnd(bytes, kNativeDataLimit)) return;
    EngineDocument* engine = nullptr;
    char* message = nullptr;
    const ResultCode rc =
        LoadNativeData(bytes.data(), static_cast<uint32_t>(bytes.size()), this, &engine, &message);
    if (message) FreeMemory(message);
    if (IsFatalResult(rc) || !engine) {
        ar.Fail(IsFatalResult(rc) ? rc : kResultNoSketches);
        return;
    }
    if (m_engine) FreeEngineDocument(m_engine);
    m_engine = engine;
    SetServerState(engine->currentPage);
    UpdateAllViews(nullptr);
}

COleServerItem* CFernwickDoc::OnGetEmbeddedItem() { return new CFernwickItem(this); }

void CFernwickDoc::OnSetItemRects(const RECT* position, const RECT* clip) {
    COleServerDoc::OnSetItemRects(position, clip);
    if (CYRNView* view = FrontView()) view->UpdateScrollBars();
}

void CFernwickDoc::OnInPlaceActivation(bool active) {
    if (active) {
        POSITION pos = GetFirstViewPosition();
        CView* first = pos ? GetNextView(pos) : nullptr;
        if (!FrontView() && first && first->IsKindOf(RUNTIME_CLASS(CYRNView))) {
            SetFrontView(static_cast<CYRNView*>(first));
        }
    }
    SetActive(active);
}

HACCEL CFernwickDoc::GetDefaultAccelerator() {
    if (IsEmbedded()) return COleServerDoc::GetDefaultAccelerator();
    return nullptr;
}

void CFernwickDoc::OnCopyItem() {
    COleServerItem* item = GetEmbeddedItem();
    // The clipboard is busy (another program holds it open) or memory ran short.
    if (item && !item->CopyToClipboard(true)) ShowAppMessage("Cannot open the Clipboard", MB_ICONEXCLAMATION);
}

void CFernwickDoc::OnShowSelections() {}

IMPLEMENT_DYNAMIC(CFernwickItem, COleServerItem)

CFernwickItem::CFernwickItem(CFernwickDoc* doc) : COleServerItem(doc, true) {}

CFernwickItem::~CFernwickItem() { ReleaseOffscreenCanvas(&m_port); }

void CFernwickItem::Serialize(CArchive& ar) { COleServerItem::Serialize(ar); }

bool CFernwickItem::OnGetExtent(DWORD aspect, SIZE& size) {
    if (aspect != DVASPECT_CONTENT) return COleServerItem::OnGetExtent(aspect, size);
    CFernwickDoc* doc = GetFernwickDoc();
    const RECT& e = doc->m_scrollExtent;
    doc->m_itemSize[0] = e.right - e.left;
    doc->m_itemSize[1] = e.bottom - e.top;
    // A pixel of the scroll extent is a hundredth of an inch: 25.4 HIMETRIC units.
    size.cx = MulDiv(doc->m_itemSize[0], kHimetricPerInch, 100);
    size.cy = MulDiv(doc->m_itemSize[1], kHimetricPerInch, 100);
    return true;
}

bool CFernwickItem::OnSetExtent(DWORD aspect, const SIZE& size) {
    if (aspect != DVASPECT_CONTENT || size.cx <= 0 || size.cy <= 0) return false;
    CFernwickDoc* doc = GetFernwickDoc();
    RECT& e = doc->m_scrollExtent;
    // Back from HIMETRIC to pixels of a hundredth of an inch, rounded to the nearest.
    const int32_t width = std::max(1, MulDiv(size.cx, 100, kHimetricPerInch));
    const int32_t height = std::max(1, MulDiv(size.cy, 100, kHimetricPerInch));
    e.right = e.left + width;
    e.bottom = e.top + height;
    doc->m_itemSize[0] = width;
    doc->m_itemSize[1] = height;
    if (CYRNView* view = doc->FrontView()) view->UpdateScrollBars();
    return true;
}

bool CFernwickItem::OnDraw(CDC* dc, SIZE&) {
    CFernwickDoc* doc = GetFernwickDoc();
    Sketch* page = doc->CurrentPage();
    if (!page) return false;
    const RECT& e = doc->m_scrollExtent;
    const int32_t width = e.right - e.left;
    const int32_t height = e.bottom - e.top;
    doc->m_itemSize[0] = width;
    doc->m_itemSize[1] = height;
    HDC hdc = dc->GetSafeHdc();
    // y runs downwards as in the sketch: a window extent of negative height would turn
    // the picture over the container's rectangle, and the sketch would land above it.
    ::SetMapMode(hdc, MM_ANISOTROPIC);
    ::SetWindowExtEx(hdc, width, height, nullptr);
    ::SetWindowOrgEx(hdc, 0, 0, nullptr);
    m_port.windowDC = hdc;
    m_port.dc = hdc;
    m_port.lineBounds = RECT{ 0, 0, width, height };
    m_port.paintRect = RECT{ 0, 0, width, height };
    ScreenRect area{ -1, -1, static_cast<int16_t>(width + 1), static_cast<int16_t>(height + 1) };
    {
        SketchScope scope(page);
        BeginRedrawPass(&m_port, &area);
        DrawSketch(&m_port, &area);
        EndRedrawPass(&m_port, &area);
    }
    m_port.windowDC = nullptr;
    m_port.dc = nullptr;
    return true;
}
