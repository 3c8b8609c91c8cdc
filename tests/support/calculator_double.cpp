#include "tests/support/calculator_double.h"

#include <deque>

#include "engine/core/services/calculator.h"
#include "tests/support/clock_double.h"

namespace {
std::deque<CalculatorScript> gScripts;
std::vector<RanCalculator> gRan;
std::deque<MousePoll> gPolls;
}  // namespace

void ScriptCalculator(std::vector<CalculatorScript> scripts) { gScripts.assign(scripts.begin(), scripts.end()); }
std::vector<RanCalculator>& RanCalculators() { return gRan; }
void ScriptMousePolls(std::vector<MousePoll> polls) { gPolls.assign(polls.begin(), polls.end()); }

void ResetCalculatorDoubles() {
    gScripts.clear();
    gRan.clear();
    gPolls.clear();
    RecordedPopupEntries().clear();
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
