// Documents: the data behind one or more views, with the life of a file (new,
// open, save, save as, close prompts).
#pragma once

#include "classlib/collections.h"
#include "classlib/msgmap.h"

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const char* title);
    const CString& GetPathName() const { return m_strPathName; }
    // Takes the full form of path; the title becomes the file's title and the path
    // joins the recent files when addToRecent is set.
    virtual void SetPathName(const char* path, bool addToRecent = true);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual bool IsModified();
    virtual void SetModifiedFlag(bool modified = true);

    void AddView(CView* view);
    void RemoveView(CView* view);
    POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
    CView* GetNextView(POSITION& pos) const { return static_cast<CView*>(m_viewList.GetNext(pos)); }
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);
    // Numbers the frames of the document (":1", ":2") and renews their titles.
    virtual void UpdateFrameCounts();
    virtual void OnChangedViewList();

    // Override points of the document's life.
    virtual void DeleteContents();
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const char* path);
    virtual bool OnSaveDocument(const char* path);
    virtual void OnCloseDocument();
    virtual bool SaveModified();
    virtual bool CanCloseFrame(CFrameWnd* frame);
    virtual void PreCloseFrame(CFrameWnd* frame);
    virtual bool DoSave(const char* path, bool replace = true);
    virtual bool DoFileSave();
    virtual HMENU GetDefaultMenu();
    virtual HACCEL GetDefaultAccelerator();
    // Tells the user that loading or saving path failed; e names the cause.
    virtual void ReportSaveLoadException(const char* path, CException* e, bool saving, UINT defaultPromptId);

    bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) override;

    bool m_bAutoDelete = true;
    bool m_bEmbedded = false;

protected:
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();
    DECLARE_MESSAGE_MAP()

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    CPtrList m_viewList;
    bool m_bModified = false;
    friend class CDocTemplate;
};
