#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/script_view.h"
#include "tests/support/custom_tool_doubles.h"

namespace {
ScriptViewRecord gView;
}  // namespace

ScriptViewRecord& RecordedScriptView() { return gView; }
void ResetScriptView() { gView = ScriptViewRecord{}; }

bool IsScriptViewVisible() { return gView.visible; }
void ShowScriptView(bool show) { gView.visible = show; }
void SetScriptViewCaption(const char* text) { gView.caption = text ? text : ""; }
void SetScriptViewTool(int32_t rowCount, const char* comment) {
    gView.rowCount = rowCount;
    gView.comment = comment ? comment : "";
    ++gView.toolsShown;
}
char* GetScriptViewComment() {
    auto* block = static_cast<char*>(AllocMemory(gView.comment.size() + 1, 0));
    if (block) std::memcpy(block, gView.comment.c_str(), gView.comment.size() + 1);
    return block;
}
void RefreshScriptViewStatus() { ++gView.statusRefreshes; }
void UpdateScriptStepList(int32_t rowCount, int32_t revealRow) {
    if (rowCount != 0) gView.rowCount = rowCount;
    gView.revealedRows.push_back(revealRow);
}
