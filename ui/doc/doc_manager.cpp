#include "ui/doc/doc_manager.h"

#include <cstdio>
#include <cstring>

#include "classlib/app.h"
#include "engine/core/services/later_release.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/doc/file_dialog.h"
#include "ui/frames/main_frame.h"

IMPLEMENT_DYNAMIC(CYrnDocManager, CDocManager)
IMPLEMENT_DYNAMIC(CYRNDocTemplate, CMultiDocTemplate)

namespace {

// The document whose save the dialog is for: the one saving, else the front sketch's.
CFernwickDoc* FrontDocument() {
    if (CFernwickDoc* saving = CFernwickDoc::DocumentBeingSaved()) return saving;
    return gEngine.frontSketch ? DocumentOfSketch(gEngine.frontSketch) : nullptr;
}

// Keeps the shell's idle update running while a common dialog holds the message loop.
class IdleTimerScope {
public:
    IdleTimerScope() : started_(!MenuIdleTimerRunning()) {
        if (started_) StartMenuIdleTimer();
    }
    ~IdleTimerScope() {
        if (started_) StopMenuIdleTimer();
    }
    IdleTimerScope(const IdleTimerScope&) = delete;
    IdleTimerScope& operator=(const IdleTimerScope&) = delete;

private:
    bool started_;
};

}  // namespace

std::vector<std::string> SelectedPaths(const char* buffer, size_t size) {
    std::vector<std::string> paths;
    if (!buffer || size == 0) return paths;
    const char* end = buffer + size;
    auto length = [end](const char* p) {
        size_t n = 0;
        while (p + n < end && p[n]) ++n;
        return n;
    };
    const size_t firstLength = length(buffer);
    if (firstLength == 0) return paths;
    std::string folder(buffer, firstLength);
    const char* name = buffer + firstLength + 1;
    if (name >= end || *name == '\0') {
        paths.push_back(folder);
        return paths;
    }
    if (folder.back() != '\\') folder += '\\';
    while (name < end && *name) {
        const size_t n = length(name);
        std::string path = folder + std::string(name, n);
        if (path.size() <= kMaxOpenPath) paths.push_back(path);
        name += n + 1;
    }
    return paths;
}

bool CYrnDocManager::RunDialog(CYrnFileDialog& dialog, CString& fileName, UINT titleId, DWORD flags,
                               CDocTemplate* tmpl) {
    CString title;
    title.LoadString(titleId);
    dialog.m_ofn.Flags |= OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | flags;
    dialog.SetTitle(title);
    if (dialog.m_bOpenFileDialog) {
        dialog.m_ofn.Flags |= OFN_ALLOWMULTISELECT;
        dialog.SetFilter(kOpenFilters);
        dialog.m_ofn.nFilterIndex = 1;
    } else {
        CString filter, defaultExt;
        AppendTemplateFilters(filter, dialog.m_ofn, tmpl, &defaultExt);
        filter += kHandheldAndWebFilters;
        const LaterShellForms& later = LaterForms().shell;
        if (later.moreSaveFilters) filter += later.moreSaveFilters();
        dialog.SetFilter(filter);
        if (!defaultExt.IsEmpty()) dialog.SetDefaultExt(defaultExt);
        CFernwickDoc* front = FrontDocument();
        dialog.m_ofn.nFilterIndex = front && front->m_handheldOrigin ? 2 : 1;
        // The later release's dialog opens on the type the command chose (Save As HTML
        // chooses the web page) and proposes the name for it.
        if (later.proposeSaveName && front && front->m_saveType != kSaveNative) {
            dialog.m_ofn.nFilterIndex = static_cast<DWORD>(front->m_saveType) + 1;
            char name[MAX_PATH] = "";
            std::snprintf(name, sizeof name, "%s", static_cast<const char*>(fileName));
            later.proposeSaveName(front->m_saveType, name, sizeof name);
            fileName = name;
        }
    }
    dialog.SetFileName(fileName);
    IdleTimerScope idle;
    if (dialog.DoModal() != IDOK) return false;
    fileName = dialog.GetPathName();
    if (!dialog.m_bOpenFileDialog) {
        if (CFernwickDoc* front = FrontDocument()) {
            const int32_t type = ChosenSaveType(static_cast<int32_t>(dialog.m_ofn.nFilterIndex), fileName);
            front->m_saveType = type;
            if (type == kSaveNative) front->m_handheldOrigin = 0;
        }
    }
    return true;
}

bool CYrnDocManager::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openDialog,
                                      CDocTemplate* tmpl) {
    CYrnFileDialog dialog(openDialog);
    return RunDialog(dialog, fileName, titleId, flags, tmpl);
}

void CYrnDocManager::OnFileOpen() {
    CYrnFileDialog dialog(true);
    CString name;
    if (!RunDialog(dialog, name, IDS_LIB_OPEN, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, nullptr)) return;
    CWinApp* app = CurrentApp();
    if (!app) return;
    for (const std::string& path : SelectedPaths(dialog.m_ofn.lpstrFile, dialog.m_ofn.nMaxFile)) {
        app->OpenDocumentFile(path.c_str());
    }
}

CYRNDocTemplate::CYRNDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                                 CRuntimeClass* viewClass)
    : CMultiDocTemplate(resourceId, docClass, frameClass, viewClass) {}

CDocTemplate::Confidence CYRNDocTemplate::MatchDocType(const char* path, CDocument*& match) {
    const Confidence confidence = CMultiDocTemplate::MatchDocType(path, match);
    if (confidence != yesAlreadyOpen) return confidence;
    // Read it again: the new document finds its name taken and opens as a copy.
    match = nullptr;
    return yesAttemptNative;
}

void CYRNDocTemplate::SetDefaultTitle(CDocument* doc) {
    char name[128] = "";
    MakeUntitledName(name, sizeof name);
    doc->SetTitle(name);
}
