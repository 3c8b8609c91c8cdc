#include "engine/interact/sketch_keys.h"

#include "engine/calc/tables.h"
#include "engine/calc/value_objects.h"
#include "engine/core/alerts.h"
#include "engine/core/iterations.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/shell.h"
#include "engine/core/sketch.h"
#include "engine/core/status_text.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/command_state.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/drag.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/motion.h"
#include "engine/interact/mouse.h"
#include "engine/interact/object_commands.h"
#include "engine/interact/toolbox.h"
#include "engine/text/object_text.h"
#include "engine/text/text_style.h"

namespace {

constexpr uint32_t kRowClear              = 30;
constexpr uint32_t kRowDelete             = 100;
constexpr int32_t kTextFamilyLabel        = 0;
constexpr int32_t kTextFamilyCount        = 5;

// Makes the front sketch current for the scope, restoring the previous one.
struct FrontSketchCurrent : CurrentSketchScope {
    FrontSketchCurrent() : CurrentSketchScope(gEngine.frontSketch) {}
};

bool IsArrow(uint16_t key) { return key >= kKeyLeft && key <= kKeyDown; }

bool PlusMinus(int32_t direction) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return false;
    bool used = false, numbers = false;
    int32_t depth = 0;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        if (IsParameterForm(o)) {
            numbers = true;
        } else if (o->objectClass == kClassLocus) {
            ScaleLocusSampleCount(o, direction > 0);
            used = true;
        } else if (o->objectClass == kClassIteratedImage || o->constructionType == kTypeIterationTable) {
            depth = direction;
        } else if (o->constructionType == kTypeMeasurementTable) {
            used = true;
            if (direction > 0) AddTableEntry(o);
            else if (TableCanRemoveEntry(o)) RemoveTableEntry(o);
            else RefusalBeep();
        }
    }
    if (numbers) {
        StepNumberMotions(direction);
        used = true;
    }
    if (depth) {
        IterationKeyStep(kIterationDepth, depth);
        used = true;
    }
    return used;
}

}  // namespace

bool HandleSketchChar(uint32_t character) {
    if (!gEngine.frontSketch) return false;
    FrontSketchCurrent front;
    if (IsCaptionEditing()) {
        CaptionEditorChar(character);
        return true;
    }
    bool used = false;
    if (character == '!') used = IterationKeyStep(kIterationSeed, 0);
    else if (character == '+') used = PlusMinus(1);
    else if (character == '-') used = PlusMinus(-1);
    if (used) ResetHoverPosition();
    return used;
}

bool TypeIntoCaption(const char* text) {
    if (!gEngine.frontSketch) return false;
    FrontSketchCurrent front;
    if (IsCaptionEditing()) {
        for (const char* c = text; *c; ++c) CaptionEditorChar(static_cast<unsigned char>(*c));
    }
    return true;
}

bool CanActOnFrontSketch() {
    if (!gEngine.frontSketch) return false;
    int32_t tracked = 0;
    if (GetMouseState(&tracked) == kMouseToolTracking && !tracked) {
        FrontSketchCurrent front;
        EndToolInProgress();
    }
    return GetMouseState() == kMouseIdle;
}

bool CommandRowEnabled(uint32_t row) {
    uint32_t slot = 0;
    if (!CmdStateFindItem(row, &slot)) return false;
    CmdStateRefreshItemNow(slot);
    int32_t enabled = 0;
    if (!CmdStateGetItem(slot, nullptr, nullptr, &enabled, nullptr) || !enabled) return false;
    return CmdRowIsAvailable(row);
}

bool HandleViewCommand(uint16_t key, uint16_t flags) {
    if (key == kKeyEscape) {
        EscapeCommand();
        return true;
    }
    if (gEngine.frontSketch) {
        FrontSketchCurrent front;
        if (IsCaptionEditing()) {
            CaptionEditorKey(key, flags & kKeyStepsToolbox);
            return true;
        }
    }
    if (key == kKeyEnter && (flags & kKeyStepsToolbox)) {
        if (auto form = LaterForms().engine.shiftEnter) {
            if (!CanActOnFrontSketch()) return true;
            FrontSketchCurrent front;
            form();
            return true;
        }
        return false;
    }
    if (key == kKeyBackspace || key == kKeyDelete) {
        if (!CanActOnFrontSketch()) return true;
        if (CommandRowEnabled(kRowClear) || CommandRowEnabled(kRowDelete)) {
            FrontSketchCurrent front;
            DeleteCommand(0);
        }
        return true;
    }
    if (!IsArrow(key) || !CanActOnFrontSketch()) return false;
    if (flags & kKeyStepsToolbox) {
        StepToolboxTool(key == kKeyRight || key == kKeyDown, key == kKeyLeft || key == kKeyRight);
        return true;
    }
    return NudgeSelection(key);
}

bool NudgeSelection(uint16_t key) {
    if (!IsArrow(key) || !gEngine.frontSketch) return false;
    FrontSketchCurrent front;
    if (RestoreMemoryReserve() || !gEngine.frontSketch->selectionHead) return false;
    static constexpr int8_t kStep[4][2] = { { -1, 0 }, { 1, 0 }, { 0, -1 }, { 0, 1 } };
    const int8_t* step = kStep[key - kKeyLeft];
    // Held arrows are polled each frame (the drag steps); the first press starts the drag.
    const bool starting = !DragInProgress(gEngine.frontSketch);
    const ResultCode code = NudgeArrowKey(step[0], step[1], true);
    if (code) {
        ShowAlertByCode(code, 0);
        return false;
    }
    if (starting && DragInProgress(gEngine.frontSketch)) ClearStatusTextProvider(0);
    return DragInProgress(gEngine.frontSketch);
}

bool StepToolboxTool(bool forward, bool withinGroup) {
    int32_t item = kToolboxNone, member = kToolboxNone;
    GetToolboxSelection(&item, &member);
    if (withinGroup && (item == kToolboxNone || member == kToolboxNone)) return false;
    const int32_t toolBefore = CurrentToolId();
    // Stepping across the top level: the current group is the item that steps.
    int32_t group = withinGroup ? item : kToolboxNone;
    int32_t index = withinGroup ? member : item;
    for (int32_t tries = 0;; ++tries) {
        const int32_t count = ToolboxVisibleCount(group);
        if (count == 0 || tries > count) return false;
        if (index == kToolboxNone || index < 1 || index > count) index = forward ? 0 : count + 1;
        index = forward ? (index >= count ? 1 : index + 1) : (index <= 1 ? count : index - 1);
        const int32_t newItem = group == kToolboxNone ? index : group;
        const int32_t newMember = group == kToolboxNone ? kToolboxNone : index;
        int32_t tool = 0;
        ToolboxItemInfo(newItem, newMember, &tool, nullptr, nullptr, nullptr);
        const bool custom = tool == kToolCustomButton || tool == kToolCustom;
        if (custom && !CurrentCustomToolSketch()) {
            // No custom tool to choose: step on across the top level.
            if (group != kToolboxNone) {
                index = group;
                group = kToolboxNone;
            }
            continue;
        }
        SelectToolboxItem(newItem, newMember);
        break;
    }
    return CurrentToolId() != toolBefore;
}

void ApplyTextStyleToSelection(const TextStyle& style, uint32_t mask, bool onlyDefaults, int32_t step) {
    Sketch* sketch = CurrentSketch();
    if (!sketch) return;
    TextStyle masked{};
    for (int32_t f = 0; f < kStyleFieldCount; ++f) {
        if (mask & (1u << f)) masked.field[f] = style.field[f];
    }
    Preferences& prefs = ThePreferences();
    bool familyUsed[kTextFamilyCount] = {};
    int16_t commonSize = 0;
    bool sameSize = true, any = false;
    for (SketchObject* o = sketch->selectionHead; o; o = o->nextSelected) {
        const ObjectClassRecord& row = ObjectClassTable[o->objectClass];
        int32_t family = -1;
        if (row.labelFollowsGeometry && row.labelFollowsGeometry(o)) family = kTextFamilyLabel;
        else if (row.textFamily >= 0 && row.textFamily < kTextFamilyCount) family = row.textFamily;
        if (family < 0) continue;
        ApplyTextStyleToObject(o, &masked, step);
        if (!onlyDefaults) OverrideTextStyle(&prefs.defaultTextStyles[family], &masked);
        familyUsed[family] = true;
        const int16_t size = o->textStyle.field[kStyleSize];
        if (!any) commonSize = size;
        else if (size != commonSize) sameSize = false;
        any = true;
    }
    if (any && sameSize && commonSize > 0) {
        for (int32_t f = 0; f < kTextFamilyCount; ++f) {
            if (familyUsed[f]) prefs.defaultTextStyles[f].field[kStyleSize] = commonSize;
        }
    }
    CmdStateInvalidate(kCommandGroupTextEditing);
}
