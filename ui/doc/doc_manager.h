// The program's document manager and template: the open dialog offers the document
// families and takes several files at once, the save dialog offers the three save types
// and tells the document which one was chosen, a document that is open already is read
// again (it then opens as a copy), and new documents get unique default titles.
#pragma once
#include <string>
#include <vector>

#include "classlib/docmgr.h"
#include "classlib/doctempl.h"

class CYrnFileDialog;

// The filters of the two dialogs, in the dialog's "name|patterns|" form.
constexpr const char kOpenFilters[] = "Velmora Files (*.yrn;*.yr4)|*.yrn;*.yr4|All Files (*.*)|*.*|";
constexpr const char kHandheldAndWebFilters[] =
    "Corvinta Velmora Document (*.yr4)|*.yr4|HTML/Vantrope Document (*.htm)|*.htm|";
// Longest full path opened from a multiple selection.
constexpr size_t kMaxOpenPath = 260;

// The full paths of an open dialog's result: one path, or a folder followed by names
// (each NUL-ended, the list ended by an empty one) joined with a backslash.
std::vector<std::string> SelectedPaths(const char* buffer, size_t size);

class CYrnDocManager : public CDocManager {
    DECLARE_DYNAMIC(CYrnDocManager)
public:
    bool DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openDialog,
                          CDocTemplate* tmpl) override;
    void OnFileOpen() override;

private:
    // Prepares and runs the dialog; true for OK.
    bool RunDialog(CYrnFileDialog& dialog, CString& fileName, UINT titleId, DWORD flags, CDocTemplate* tmpl);
};

class CYRNDocTemplate : public CMultiDocTemplate {
    DECLARE_DYNAMIC(CYRNDocTemplate)
public:
    CYRNDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass);

    Confidence MatchDocType(const char* path, CDocument*& match) override;
    void SetDefaultTitle(CDocument* doc) override;
};
