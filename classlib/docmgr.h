// The document manager: the list of templates and what concerns all of them
// (new, open, prompting for file names, saving and closing everything).
#pragma once

#include "classlib/collections.h"

class CDocManager : public CObject {
    DECLARE_DYNAMIC(CDocManager)
public:
    CDocManager();
    ~CDocManager() override;

    virtual void AddDocTemplate(CDocTemplate* tmpl);
    POSITION GetFirstDocTemplatePosition() const { return m_templateList.GetHeadPosition(); }
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const {
        return static_cast<CDocTemplate*>(m_templateList.GetNext(pos));
    }
    // Opens path with the template that fits best; a document that is open already
    // is activated instead.
    virtual CDocument* OpenDocumentFile(const char* path);
    virtual bool SaveAllModified();
    virtual void CloseAllDocuments(bool endSession);
    virtual int GetOpenDocumentCount();
    virtual bool DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openDialog,
                                  CDocTemplate* tmpl);
    virtual void OnFileNew();
    virtual void OnFileOpen();
    virtual void RegisterShellFileTypes(bool compatible);
    virtual void UnregisterShellFileTypes();
    virtual bool OnDDECommand(char* command);

    // Appends "name\0*.ext\0" for a template to filter (the extensions of the
    // document string, separated by ';') and counts it in the dialog's filters;
    // the first template's first extension becomes defaultExt when that is empty.
    static void AppendFilterSuffix(CString& filter, OPENFILENAMEA& ofn, CDocTemplate* tmpl,
                                   CString* defaultExt);
    // The filters of the given template, or of every template when none is given.
    void AppendTemplateFilters(CString& filter, OPENFILENAMEA& ofn, CDocTemplate* tmpl, CString* defaultExt);

    CPtrList m_templateList;
};
