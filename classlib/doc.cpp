#include "classlib/doc.h"

#include "classlib/app.h"
#include "classlib/doctempl.h"
#include "classlib/view.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(CMD_CLOSE_DOCUMENT, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument() {
    // Views that outlive their document (an error path) must not reach back.
    for (POSITION pos = GetFirstViewPosition(); pos;) GetNextView(pos)->m_pDocument = nullptr;
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title) {
    m_strTitle = title;
    UpdateFrameCounts();
}

void CDocument::SetPathName(const char* path, bool addToRecent) {
    char full[MAX_PATH];
    DWORD n = ::GetFullPathNameA(path, sizeof full, full, nullptr);
    m_strPathName = (n > 0 && n < sizeof full) ? CString(full) : CString(path);
    char title[MAX_PATH];
    if (::GetFileTitleA(m_strPathName, title, sizeof title) == 0) {
        SetTitle(title);
    } else {
        const char* name = std::strrchr(m_strPathName.c_str(), '\\');
        SetTitle(name ? name + 1 : m_strPathName.c_str());
    }
    if (addToRecent) {
        if (CWinApp* app = CurrentApp()) app->AddToRecentFileList(m_strPathName);
    }
}

bool CDocument::IsModified() { return m_bModified; }

void CDocument::SetModifiedFlag(bool modified) { m_bModified = modified; }

void CDocument::AddView(CView* view) {
    m_viewList.AddTail(view);
    view->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* view) {
    POSITION pos = m_viewList.Find(view);
    if (!pos) return;
    m_viewList.RemoveAt(pos);
    view->m_pDocument = nullptr;
    OnChangedViewList();
}

// A document whose last view went away goes with it.
void CDocument::OnChangedViewList() {
    if (m_viewList.IsEmpty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* view = GetNextView(pos);
        if (view != sender) view->OnUpdate(sender, hint, hintObject);
    }
}

void CDocument::UpdateFrameCounts() {
    std::vector<CFrameWnd*> frames;
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* view = GetNextView(pos);
        if (!view->m_hWnd || !view->IsWindowVisible()) continue;
        CFrameWnd* frame = view->GetParentFrame();
        if (!frame) continue;
        bool seen = false;
        for (CFrameWnd* f : frames) seen = seen || f == frame;
        if (!seen) frames.push_back(frame);
    }
    int number = 1;
    for (CFrameWnd* frame : frames) {
        frame->m_nWindow = frames.size() > 1 ? number++ : 0;
        frame->OnUpdateFrameTitle(true);
    }
}

void CDocument::DeleteContents() {}

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(false);
    return true;
}

// The library keeps no data of its own in files: opening checks that the file is
// there and can be read; documents read their data in their override.
bool CDocument::OnOpenDocument(const char* path) {
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        CFileException e(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                             ? CFileException::fileNotFound : CFileException::accessDenied,
                         static_cast<LONG>(error), path);
        ReportSaveLoadException(path, &e, false, IDS_LIB_OPEN_FAILED);
        return false;
    }
    ::CloseHandle(file);
    DeleteContents();
    SetModifiedFlag(false);
    return true;
}

// Without a document's own writer there is nothing to write: that is a failure,
// never a silent success.
bool CDocument::OnSaveDocument(const char* path) {
    ReportSaveLoadException(path, nullptr, true, IDS_LIB_SAVE_FAILED);
    return false;
}

void CDocument::OnCloseDocument() {
    bool autoDelete = m_bAutoDelete;
    m_bAutoDelete = false;   // the frames' views going away must not delete us midway
    while (!m_viewList.IsEmpty()) {
        CView* view = static_cast<CView*>(m_viewList.GetHead());
        CFrameWnd* frame = view->GetParentFrame();
        PreCloseFrame(frame);
        if (frame) {
            frame->DestroyWindow();
        } else {
            view->DestroyWindow();
        }
        // A view that is still listed after its window went was not ours to close.
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == view) RemoveView(view);
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

bool CDocument::SaveModified() {
    if (!IsModified()) return true;
    CString name = m_strPathName;
    if (name.IsEmpty()) name = m_strTitle;
    if (name.IsEmpty()) name.LoadString(IDS_LIB_UNTITLED);
    CString prompt;
    FormatResourceString(prompt, IDS_LIB_SAVE_CHANGES, name);
    switch (ShowAppMessage(prompt, MB_YESNOCANCEL, IDS_LIB_SAVE_CHANGES)) {
    case IDCANCEL: return false;
    case IDYES: return DoFileSave();
    default: return true;
    }
}

bool CDocument::CanCloseFrame(CFrameWnd* frame) {
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* view = GetNextView(pos);
        if (view->GetParentFrame() != frame) return true;   // another frame shows it
    }
    return SaveModified();
}

void CDocument::PreCloseFrame(CFrameWnd*) {}

bool CDocument::DoFileSave() {
    DWORD attributes = m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(m_strPathName);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return DoSave(nullptr);
    return DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.c_str());
}

bool CDocument::DoSave(const char* path, bool replace) {
    CString name(path);
    if (name.IsEmpty()) {
        name = m_strPathName;
        if (replace && name.IsEmpty()) {
            name = m_strTitle.SpanExcluding(" #%;/\\");
            CString ext;
            if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty()) {
                int semi = ext.Find(';');
                name += semi >= 0 ? ext.Left(semi) : ext;
            }
        }
        CWinApp* app = CurrentApp();
        if (!app || !app->DoPromptFileName(name, replace ? IDS_LIB_SAVE_AS : IDS_LIB_SAVE_COPY_AS,
                                           OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, false, m_pDocTemplate)) {
            return false;
        }
    }
    CWaitCursor wait;
    if (!OnSaveDocument(name)) {
        if (!path) ::DeleteFileA(name);   // a file made for the new name goes again
        return false;
    }
    if (replace) SetPathName(name);
    return true;
}

HMENU CDocument::GetDefaultMenu() { return nullptr; }

HACCEL CDocument::GetDefaultAccelerator() { return nullptr; }

void CDocument::ReportSaveLoadException(const char* path, CException* e, bool saving, UINT defaultPromptId) {
    CString prompt;
    if (e && e->IsKindOf(RUNTIME_CLASS(CFileException))) {
        auto* fe = static_cast<CFileException*>(e);
        if (fe->m_strFileName[0] == 0 && path) lstrcpynA(fe->m_strFileName, path, MAX_PATH);
        char text[512];
        if (fe->GetErrorMessage(text, sizeof text)) prompt = text;
    }
    if (prompt.IsEmpty()) {
        FormatResourceString(prompt, defaultPromptId ? defaultPromptId
                                                 : (saving ? IDS_LIB_SAVE_FAILED : IDS_LIB_OPEN_FAILED),
                         path);
    }
    ShowAppMessage(prompt, MB_ICONEXCLAMATION, defaultPromptId);
}

bool CDocument::OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) {
    if (CCmdTarget::OnCmdMsg(id, code, extra, handlerInfo)) return true;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(id, code, extra, handlerInfo);
}

void CDocument::OnFileClose() {
    if (!SaveModified()) return;
    OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(nullptr); }
