#include "tests/support/document_services_double.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "engine/core/services/bars.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/services/user_interface.h"

namespace {
DocumentServices gServices;
size_t gNextMenuResult = 0;

std::string Folded(const char* text) {
    std::string s(text);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

DocumentServices& RecordedDocumentServices() { return gServices; }

MotionBarRecord& RecordedMotionBar() {
    static MotionBarRecord record{};
    return record;
}

void RefreshMotionControllerItem(int32_t item, int32_t state) {
    MotionBarRecord& r = RecordedMotionBar();
    if (item >= 0 && item < 8) r.motionBarItems[item] = state;
    ++r.motionBarRefreshes;
}
bool IsMotionControllerVisible() { return RecordedMotionBar().motionControllerVisible != 0; }
void SetMotionControllerHidden(bool hidden) { RecordedMotionBar().motionControllerVisible = hidden ? 0 : 1; }
bool HasMotionControllerCommand() { return RecordedMotionBar().hasShowCommand; }

void ResetDocumentServices() {
    gServices = DocumentServices{};
    gNextMenuResult = 0;
}

ResultCode BuildMenuBarFromStream(const uint8_t* bytes, uint32_t length) {
    gServices.menuBuilds.emplace_back(bytes, bytes + length);
    if (gServices.menuBuildIndexReset) {
        gServices.menuBuildIndexReset = false;
        gNextMenuResult = 0;
    }
    if (gNextMenuResult < gServices.menuBuildResults.size()) return gServices.menuBuildResults[gNextMenuResult++];
    return 0;
}

const uint8_t* ProgramMenuStream(uint32_t* length) {
    *length = static_cast<uint32_t>(gServices.programMenu.size());
    return gServices.programMenu.empty() ? nullptr : gServices.programMenu.data();
}

const uint8_t* DefaultMenuStream(uint32_t* length) {
    *length = static_cast<uint32_t>(gServices.defaultMenu.size());
    return gServices.defaultMenu.empty() ? nullptr : gServices.defaultMenu.data();
}

int32_t NoPageHook(EngineDocument*, int32_t) { return gServices.pageVeto; }

void ShowPageInViews(EngineDocument* document, int32_t oldIndex, int32_t newIndex) {
    gServices.pagesShown.push_back({document, oldIndex, newIndex});
}

bool IsDocumentNameFree(const char* name) {
    const std::string folded = Folded(name);
    return std::none_of(gServices.openNames.begin(), gServices.openNames.end(),
                        [&](const std::string& open) { return Folded(open.c_str()) == folded; });
}

bool DocumentHasOwnFile(const EngineDocument* document) { return gServices.documentsWithFile.count(document) != 0; }

void FitFramesToSketch(EngineDocument* document) { gServices.framesFitted.push_back(document); }

void NotifyDocumentFreed(EngineDocument* document) { gServices.documentsFreed.push_back(document); }

void RebuildPageTabs(EngineDocument*) { ++gServices.tabRebuilds; }
void UpdateWindowTitles(EngineDocument*) { ++gServices.titleUpdates; }

int32_t OpenEngineDocuments(EngineDocument** out, int32_t room) {
    const int32_t count = static_cast<int32_t>(gServices.openDocuments.size());
    for (int32_t i = 0; i < count && i < room; ++i) out[i] = gServices.openDocuments[size_t(i)];
    return count;
}

bool DocumentWindowTitle(const EngineDocument* document, char* buffer, uint32_t size) {
    const auto found = gServices.windowTitles.find(document);
    if (size) std::snprintf(buffer, size, "%s", found != gServices.windowTitles.end() ? found->second.c_str() : "");
    return found != gServices.windowTitles.end();
}

void ShowContextMenu(bool overEmptySpace, bool overObject) {
    RecordedDocumentServices().contextMenus.push_back({ overEmptySpace, overObject });
}

void RefreshToolboxBar() { ++RecordedDocumentServices().toolboxRefreshes; }
bool IsToolboxVisible() { return !RecordedDocumentServices().toolboxHidden; }
void SetToolboxHidden(bool hidden) { RecordedDocumentServices().toolboxHidden = hidden; }

bool ShowTextPalette(bool show) {
    DocumentServices& s = RecordedDocumentServices();
    const bool was = s.textPaletteShown;
    if (!show) s.notationBarWanted = false;
    s.textPaletteShown = show;
    return was;
}
bool IsTextPaletteVisible() { return RecordedDocumentServices().textPaletteShown; }
void UpdateTextPalette(bool enabled) { RecordedDocumentServices().textPaletteUpdates.push_back(enabled); }
bool ShowNotationBar(bool show) {
    DocumentServices& s = RecordedDocumentServices();
    const bool was = s.notationBarShown;
    s.notationBarShown = show;
    return was;
}
bool NotationBarWanted() { return RecordedDocumentServices().notationBarWanted; }
