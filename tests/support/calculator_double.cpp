#include "tests/support/calculator_double.h"

#include <deque>

#include "engine/core/services/calculator.h"
#include "tests/support/clock_double.h"

namespace {
std::deque<CalculatorScript> gScripts;
std::vector<RanCalculator> gRan;
std::deque<MousePoll> gPolls;
std::vector<PopupEntry> gEntries;
std::vector<std::vector<int32_t>> gBoxes;
}  // namespace

void ScriptCalculator(std::vector<CalculatorScript> scripts) { gScripts.assign(scripts.begin(), scripts.end()); }
std::vector<RanCalculator>& RanCalculators() { return gRan; }
void ScriptMousePolls(std::vector<MousePoll> polls) { gPolls.assign(polls.begin(), polls.end()); }
PopupMenu* RecordingPopupMenu() { return reinterpret_cast<PopupMenu*>(&gEntries); }
std::vector<PopupEntry>& RecordedPopupEntries() { return gEntries; }
std::vector<std::vector<int32_t>>& RecordedSelectionBoxes() { return gBoxes; }

void ResetCalculatorDoubles() {
    gScripts.clear();
    gRan.clear();
    gPolls.clear();
    gEntries.clear();
    gBoxes.clear();
}

bool RunCalculatorDialog(int32_t mode, int32_t titleItem) {
    gRan.push_back({mode, titleItem});
    if (gScripts.empty()) return false;
    CalculatorScript script = gScripts.front();
    gScripts.pop_front();
    for (const auto& step : script.steps) step();
    return script.ok;
}

bool CalcMouseStillDown(ScreenPoint* point) {
    if (gPolls.empty()) return false;
    const MousePoll poll = gPolls.front();
    gPolls.pop_front();
    AdvanceTestTickCount(poll.elapsedMs);
    *point = poll.point;
    return true;
}

void DrawLayoutOnSelection(LayoutDrawState*, LayoutNode*, const ScreenRect* box, bool selected) {
    gBoxes.push_back({box->left, box->top, box->right, box->bottom, selected ? 1 : 0});
}

bool AppendPopupItem(PopupMenu*, int32_t kind, const char*, bool checked, bool ownerDrawn, uint32_t* counter,
                     uint32_t* id) {
    uint32_t next = 0;
    if (kind != kPopupSeparator) next = (*counter)++;
    if (id) *id = next;
    gEntries.push_back({kind, checked, ownerDrawn, next});
    return true;
}
