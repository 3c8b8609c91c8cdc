#include "release2/ui/window_forms.h"

#include <algorithm>

#include "engine/core/services/motions.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"

namespace {

constexpr uint32_t kCloseMenuCode = 89;
// A running or paused animation outlives the close box: the close command asks first.
constexpr uint32_t kKeepAnimationMask = 6;
constexpr int32_t kRowGap = 6;
constexpr uint32_t kCalculatorTimerMs = 500;

bool No() { return false; }
bool Yes() { return true; }
uint32_t CalculatorTimerMs() { return kCalculatorTimerMs; }

}  // namespace

bool ChildCloseCommand() {
    uint32_t row = 0, slot = 0;
    if (!MenuCodeToCommandRow(kCloseMenuCode, &row) || !CmdStateFindItem(row, &slot)) return true;
    CurrentSketchScope front(gEngine.frontSketch);
    EndActivitiesExcept(kKeepAnimationMask);
    uint16_t text = 0, variant = 0;
    int32_t enabled = 0, argument = 0;
    if (CmdStateGetItem(slot, &text, &variant, &enabled, &argument) && enabled) CmdStateExecuteItem(slot);
    return true;
}

BarWrapSize WrapBarByChunks(const BarButtonExtent* buttons, int32_t count, int32_t buttonHeight, int32_t limit,
                            bool* rowEnds) {
    if (rowEnds) std::fill(rowEnds, rowEnds + std::max(count, 0), false);
    BarWrapSize size{ 0, 0 };
    int32_t row = 0;
    bool rowUsed = false;
    for (int32_t start = 0; start < count;) {
        // The chunk: from `start` up to the next plain separator.
        int32_t end = start + 1;
        while (end < count && !buttons[end].plainSeparator) ++end;
        int32_t chunk = 0;
        for (int32_t i = start; i < end; ++i) chunk += std::max(buttons[i].width, 0);
        const bool leadingSeparator = buttons[start].plainSeparator && buttons[start].width > 0;
        if (chunk > 0) {
            if (!rowUsed) {
                row = chunk;
                size.height = buttonHeight;
                rowUsed = true;
            } else if (row + chunk <= limit) {
                row += chunk;
            } else {
                size.width = std::max(size.width, row);
                row = leadingSeparator ? chunk - buttons[start].width : chunk;
                size.height += buttonHeight + kRowGap;
                if (rowEnds && leadingSeparator) rowEnds[start] = true;
            }
        }
        start = end;
    }
    size.width = std::max(size.width, row);
    return size;
}

void FloatingBarSize(const BarButtonExtent* buttons, int32_t count, int32_t buttonHeight, int32_t borderX,
                     int32_t borderY, int32_t* width, int32_t* height, bool* rowEnds) {
    const int32_t firstLimit = *width - borderX;
    const BarWrapSize first = WrapBarByChunks(buttons, count, buttonHeight, firstLimit, nullptr);
    const int32_t heightLimit = std::max(*height - borderY, first.height);
    int32_t chosen = first.width;
    for (;;) {
        const BarWrapSize narrower = WrapBarByChunks(buttons, count, buttonHeight, chosen - 1, nullptr);
        if (narrower.height > heightLimit || narrower.width >= chosen) break;
        chosen = narrower.width;
    }
    WrapBarByChunks(buttons, count, buttonHeight, chosen, rowEnds);
    *width = chosen + borderX;
    *height = heightLimit + borderY;
}

void AddWindowForms(LaterReleaseForms* forms) {
    LaterWindowForms& w = forms->window;
    w.usesClipboardPolling = No;
    w.childCloseCommand = ChildCloseCommand;
    w.floatingBarSize = FloatingBarSize;
    w.sheetsWithoutApply = Yes;
    w.newToolNameOnly = Yes;
    w.calculatorTimerMs = CalculatorTimerMs;
}
