#include "tests/support/dialogs_double.h"

#include <deque>

#include "engine/core/services/dialogs.h"

namespace {
std::deque<DialogScript> gScripts;
std::vector<RanDialog> gDialogs;
std::vector<Flash> gFlashes;
std::vector<CellFrame> gCellFrames;
}  // namespace

void ScriptDialogs(std::vector<DialogScript> scripts) {
    gScripts.assign(scripts.begin(), scripts.end());
}
std::vector<RanDialog>& RanDialogs() { return gDialogs; }
std::vector<Flash>& RecordedFlashes() { return gFlashes; }
std::vector<CellFrame>& RecordedCellFrames() { return gCellFrames; }
void ResetDialogDoubles() {
    gScripts.clear();
    gDialogs.clear();
    gFlashes.clear();
    gCellFrames.clear();
}

bool RunCommandDialog(int32_t kind, void* record, DialogChangeFn change, int32_t helpTopic, int32_t mode) {
    gDialogs.push_back({ kind, helpTopic, mode, change != nullptr });
    if (gScripts.empty()) return false;
    DialogScript script = gScripts.front();
    gScripts.pop_front();
    for (const auto& edit : script.edits) {
        edit(record);
        if (change) change(record);
    }
    return script.ok;
}

void FlashScriptStep(SketchObject* const objects[3], int32_t step) {
    gFlashes.push_back({ { objects[0], objects[1], objects[2] }, step });
}

void DrawDialogCellFrame(GraphicsPort*, const ScreenRect& cell, bool buttonFace, bool pressed) {
    gCellFrames.push_back({ cell.left, cell.top, cell.right, cell.bottom, buttonFace, pressed, false });
}

void EndDialogCellFrame(GraphicsPort*) {
    if (!gCellFrames.empty()) gCellFrames.back().ended = true;
}
