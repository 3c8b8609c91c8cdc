#include "classlib/docmgr.h"

#include "classlib/app.h"
#include "classlib/doc.h"
#include "classlib/doctempl.h"
#include "classlib/filedlg.h"
#include "classlib/view.h"

IMPLEMENT_DYNAMIC(CDocManager, CObject)

CDocManager::CDocManager() = default;

CDocManager::~CDocManager() {
    while (!m_templateList.IsEmpty()) delete static_cast<CDocTemplate*>(m_templateList.RemoveHead());
}

void CDocManager::AddDocTemplate(CDocTemplate* tmpl) {
    tmpl->LoadTemplate();
    m_templateList.AddTail(tmpl);
}

CDocument* CDocManager::OpenDocumentFile(const char* path) {
    if (!path || !*path) return nullptr;
    char full[MAX_PATH];
    DWORD n = ::GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) {
        CString prompt;
        FormatResourceString(prompt, IDS_LIB_BAD_FILE_NAME, path);
        ShowAppMessage(prompt);
        return nullptr;
    }
    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    CDocument* open = nullptr;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* tmpl = GetNextDocTemplate(pos);
        CDocument* match = nullptr;
        CDocTemplate::Confidence c = tmpl->MatchDocType(full, match);
        if (c > bestMatch) {
            bestMatch = c;
            best = tmpl;
            if (c == CDocTemplate::yesAlreadyOpen) open = match;
        }
        if (c == CDocTemplate::yesAlreadyOpen) break;
    }
    if (open) {
        // Bring the document's first frame forward instead of reading it again.
        POSITION pos = open->GetFirstViewPosition();
        if (pos) {
            CView* view = open->GetNextView(pos);
            if (CFrameWnd* frame = view->GetParentFrame()) {
                frame->ActivateFrame();
                if (CFrameWnd* app = frame->GetParentFrame()) app->ActivateFrame();
            }
        }
        return open;
    }
    return best ? best->OpenDocumentFile(full) : nullptr;
}

bool CDocManager::SaveAllModified() {
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        if (!GetNextDocTemplate(pos)->SaveAllModified()) return false;
    }
    return true;
}

void CDocManager::CloseAllDocuments(bool endSession) {
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) GetNextDocTemplate(pos)->CloseAllDocuments(endSession);
}

int CDocManager::GetOpenDocumentCount() {
    int count = 0;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* tmpl = GetNextDocTemplate(pos);
        for (POSITION d = tmpl->GetFirstDocPosition(); d; tmpl->GetNextDoc(d)) ++count;
    }
    return count;
}

void CDocManager::AppendFilterSuffix(CString& filter, OPENFILENAMEA& ofn, CDocTemplate* tmpl,
                                     CString* defaultExt) {
    CString name, exts;
    if (!tmpl->GetDocString(name, CDocTemplate::filterName) || name.IsEmpty()) return;
    if (!tmpl->GetDocString(exts, CDocTemplate::filterExt) || exts.IsEmpty()) return;
    CString patterns;
    for (int start = 0; start < exts.GetLength();) {
        int end = exts.Find(';', start);
        if (end < 0) end = exts.GetLength();
        CString one = exts.Mid(start, end - start);
        if (!one.IsEmpty() && one[0] == '.') {
            if (defaultExt && defaultExt->IsEmpty()) *defaultExt = one.Mid(1);
            if (!patterns.IsEmpty()) patterns += ';';
            patterns += "*" + one;
        }
        start = end + 1;
    }
    filter += name;
    filter += '|';   // separators become NULs when the filter is handed to the dialog
    filter += patterns;
    filter += '|';
    ++ofn.nMaxCustFilter;
}

void CDocManager::AppendTemplateFilters(CString& filter, OPENFILENAMEA& ofn, CDocTemplate* tmpl,
                                        CString* defaultExt) {
    if (tmpl) {
        AppendFilterSuffix(filter, ofn, tmpl, defaultExt);
        return;
    }
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        AppendFilterSuffix(filter, ofn, GetNextDocTemplate(pos), defaultExt);
    }
}

bool CDocManager::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openDialog,
                                   CDocTemplate* tmpl) {
    CFileDialog dialog(openDialog);
    CString title;
    title.LoadString(titleId);
    dialog.m_ofn.Flags |= flags;
    CString filter, defaultExt;
    AppendTemplateFilters(filter, dialog.m_ofn, tmpl, &defaultExt);
    CString all;
    all.LoadString(IDS_LIB_ALL_FILES);
    filter += all + "|*.*|";
    ++dialog.m_ofn.nMaxCustFilter;
    dialog.SetFilter(filter);
    if (!openDialog && !defaultExt.IsEmpty()) dialog.SetDefaultExt(defaultExt);
    dialog.SetTitle(title);
    dialog.SetFileName(fileName);
    bool ok = dialog.DoModal() == IDOK;
    if (ok) fileName = dialog.GetPathName();
    return ok;
}

void CDocManager::OnFileNew() {
    POSITION pos = GetFirstDocTemplatePosition();
    if (!pos) return;
    GetNextDocTemplate(pos)->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
    CString name;
    if (!DoPromptFileName(name, IDS_LIB_OPEN, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, true, nullptr)) return;
    if (CWinApp* app = CurrentApp()) app->OpenDocumentFile(name);
}
