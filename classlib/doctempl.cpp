#include "classlib/doctempl.h"

#include "classlib/app.h"
#include "classlib/doc.h"
#include "classlib/mdi.h"
#include "classlib/view.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                           CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {}

CDocTemplate::~CDocTemplate() {
    if (m_hMenuShared) ::DestroyMenu(m_hMenuShared);
    if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
    if (m_hMenuEmbedding) ::DestroyMenu(m_hMenuEmbedding);
    if (m_hAccelEmbedding) ::DestroyAcceleratorTable(m_hAccelEmbedding);
    if (m_hMenuInPlace) ::DestroyMenu(m_hMenuInPlace);
    if (m_hAccelInPlace) ::DestroyAcceleratorTable(m_hAccelInPlace);
}

void CDocTemplate::SetServerInfo(UINT embeddingId, UINT inPlaceId, CRuntimeClass* inPlaceFrameClass) {
    HINSTANCE module = ResourceModule();
    if (!m_hMenuEmbedding) m_hMenuEmbedding = ::LoadMenuA(module, MAKEINTRESOURCEA(embeddingId));
    if (!m_hAccelEmbedding) m_hAccelEmbedding = ::LoadAcceleratorsA(module, MAKEINTRESOURCEA(embeddingId));
    if (!m_hMenuInPlace) m_hMenuInPlace = ::LoadMenuA(module, MAKEINTRESOURCEA(inPlaceId));
    if (!m_hAccelInPlace) m_hAccelInPlace = ::LoadAcceleratorsA(module, MAKEINTRESOURCEA(inPlaceId));
    m_pInPlaceFrameClass = inPlaceFrameClass;
}

void CDocTemplate::LoadTemplate() {
    if (m_strDocStrings.IsEmpty()) m_strDocStrings.LoadString(m_nIDResource);
    if (!m_hMenuShared) m_hMenuShared = ::LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(m_nIDResource));
    if (!m_hAccelTable) {
        m_hAccelTable = ::LoadAcceleratorsA(ResourceModule(), MAKEINTRESOURCEA(m_nIDResource));
    }
}

bool CDocTemplate::GetDocString(CString& out, DocStringIndex index) const {
    return ExtractField(out, m_strDocStrings, static_cast<int>(index));
}

// An open document of the same path is already open; a path whose extension is
// one of the filter's fits natively; anything else is worth a foreign attempt.
CDocTemplate::Confidence CDocTemplate::MatchDocType(const char* path, CDocument*& match) {
    match = nullptr;
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        CDocument* doc = GetNextDoc(pos);
        if (!doc->GetPathName().IsEmpty() && doc->GetPathName().CompareNoCase(path) == 0) {
            match = doc;
            return yesAlreadyOpen;
        }
    }
    CString exts;
    if (GetDocString(exts, filterExt) && !exts.IsEmpty()) {
        const char* dot = std::strrchr(path, '.');
        const char* slash = std::strrchr(path, '\\');
        if (dot && (!slash || dot > slash)) {
            for (int start = 0; start < exts.GetLength();) {
                int end = exts.Find(';', start);
                if (end < 0) end = exts.GetLength();
                CString one = exts.Mid(start, end - start);
                one.TrimLeft('*');
                if (!one.IsEmpty() && one.CompareNoCase(dot) == 0) return yesAttemptNative;
                start = end + 1;
            }
        }
    }
    return yesAttemptForeign;
}

void CDocTemplate::AddDocument(CDocument* doc) { doc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* doc) { doc->m_pDocTemplate = nullptr; }

CDocument* CDocTemplate::CreateNewDocument() {
    if (!m_pDocClass) return nullptr;
    CObject* made = m_pDocClass->CreateObject();
    if (!made || !made->IsKindOf(RUNTIME_CLASS(CDocument))) {
        delete made;
        return nullptr;
    }
    auto* doc = static_cast<CDocument*>(made);
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
    CCreateContext context;
    context.m_pCurrentFrame = other;
    context.m_pCurrentDoc = doc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (!m_pFrameClass) return nullptr;
    CObject* made = m_pFrameClass->CreateObject();
    if (!made || !made->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
        delete made;
        return nullptr;
    }
    auto* frame = static_cast<CFrameWnd*>(made);
    if (frame->IsKindOf(RUNTIME_CLASS(CMDIChildWnd))) static_cast<CMDIChildWnd*>(frame)->m_hMenuShared = m_hMenuShared;
    // A frame that fails to load has deleted itself.
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible) {
    frame->InitialUpdateFrame(doc, makeVisible);
}

bool CDocTemplate::SaveAllModified() {
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        if (!GetNextDoc(pos)->SaveModified()) return false;
    }
    return true;
}

void CDocTemplate::CloseAllDocuments(bool) {
    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* doc = GetNextDoc(pos);
        doc->OnCloseDocument();   // may delete doc and unlink it; pos already points past it
    }
}

CMultiDocTemplate::CMultiDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                                     CRuntimeClass* viewClass)
    : CDocTemplate(resourceId, docClass, frameClass, viewClass) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    while (!m_docList.IsEmpty()) {
        auto* doc = static_cast<CDocument*>(m_docList.RemoveHead());
        CDocTemplate::RemoveDocument(doc);
        delete doc;
    }
}

void CMultiDocTemplate::AddDocument(CDocument* doc) {
    CDocTemplate::AddDocument(doc);
    m_docList.AddTail(doc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* doc) {
    CDocTemplate::RemoveDocument(doc);
    if (POSITION pos = m_docList.Find(doc)) m_docList.RemoveAt(pos);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const char* path, bool makeVisible) {
    CDocument* doc = CreateNewDocument();
    if (!doc) {
        ShowAppMessage(IDS_LIB_NEW_FAILED);
        return nullptr;
    }
    bool autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = false;   // the frame's failure must not delete it yet
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (!frame) {
        ShowAppMessage(IDS_LIB_NEW_FAILED);
        delete doc;
        return nullptr;
    }
    if (!path) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            // Destroying the frame takes the views and, with the last one, the document.
            frame->DestroyWindow();
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        CWaitCursor wait;
        if (!doc->OnOpenDocument(path)) {
            frame->DestroyWindow();
            return nullptr;
        }
        doc->SetPathName(path);
    }
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* doc) {
    CString name;
    if (!GetDocString(name, fileNewName) || name.IsEmpty()) GetDocString(name, docName);
    if (name.IsEmpty()) name.LoadString(IDS_LIB_UNTITLED);
    CString title;
    title.Format("%s%u", name.c_str(), m_nUntitledCount + 1);
    doc->SetTitle(title);
}
