// Test double of the command dialogs and of the flashing feedback: a dialog runs a
// script of edits (each followed by the change routine, as the user's edits are) and
// answers OK or Cancel; every flash is recorded.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

struct SketchObject;

struct DialogScript {
    std::vector<std::function<void(void* record)>> edits;
    bool ok = true;
};

struct RanDialog {
    int32_t kind;
    int32_t helpTopic;
    int32_t mode;
    bool    hadChangeRoutine;
};

// One cell frame a grid drew: its box, whether as a button face, whether pressed, and
// whether EndDialogCellFrame closed it.
struct CellFrame {
    int16_t left, top, right, bottom;
    bool    buttonFace;
    bool    pressed;
    bool    ended;
};

struct Flash {
    std::array<SketchObject*, 3> objects;
    int32_t step;
};

// The next dialogs run these scripts in order; a dialog without one is cancelled.
void ScriptDialogs(std::vector<DialogScript> scripts);
std::vector<RanDialog>& RanDialogs();
std::vector<Flash>& RecordedFlashes();
std::vector<CellFrame>& RecordedCellFrames();
void ResetDialogDoubles();
