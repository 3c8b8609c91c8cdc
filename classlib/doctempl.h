// Document templates: which document, frame and view classes belong together, the
// document strings, and the making of new documents and their windows.
#pragma once

#include "classlib/collections.h"
#include "classlib/msgmap.h"

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    // Fields of the document string, separated by '\n' in the string resource.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    // How well a file fits this template, best last.
    enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign,
                      yesAttemptNative, yesAlreadyOpen };

    ~CDocTemplate() override;

    virtual void LoadTemplate();
    virtual bool GetDocString(CString& out, DocStringIndex index) const;
    virtual Confidence MatchDocType(const char* path, CDocument*& match);
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& pos) const = 0;
    virtual void AddDocument(CDocument* doc);
    virtual void RemoveDocument(CDocument* doc);
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
    virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible = true);
    virtual CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) = 0;
    virtual void SetDefaultTitle(CDocument* doc) = 0;
    virtual bool SaveAllModified();
    virtual void CloseAllDocuments(bool endSession);

    // The menus and keys of an embedded document: fully open (embeddingId) and active
    // in place (inPlaceId), with the class of the in-place frame.
    void SetServerInfo(UINT embeddingId, UINT inPlaceId, CRuntimeClass* inPlaceFrameClass);
    CRuntimeClass* GetViewClass() const { return m_pViewClass; }

    // Shared menu and accelerators of the template's frames (resource of its id).
    HMENU m_hMenuShared = nullptr;
    HMENU m_hMenuEmbedding = nullptr;
    HACCEL m_hAccelEmbedding = nullptr;
    HMENU m_hMenuInPlace = nullptr;
    HACCEL m_hAccelInPlace = nullptr;
    CRuntimeClass* m_pInPlaceFrameClass = nullptr;
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDResource;
    CString m_strDocStrings;

protected:
    CDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass);

    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
};

class CMultiDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                      CRuntimeClass* viewClass);
    ~CMultiDocTemplate() override;

    POSITION GetFirstDocPosition() const override { return m_docList.GetHeadPosition(); }
    CDocument* GetNextDoc(POSITION& pos) const override { return static_cast<CDocument*>(m_docList.GetNext(pos)); }
    void AddDocument(CDocument* doc) override;
    void RemoveDocument(CDocument* doc) override;
    // A new document (path null) or the document read from path, in a new frame;
    // when the document cannot be made or read, the frame is destroyed again and
    // the result is null.
    CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) override;
    // The file-new name (else the document name) followed by a running number.
    void SetDefaultTitle(CDocument* doc) override;

    CPtrList m_docList;
    UINT m_nUntitledCount = 0;
};
