// The groups of the command-state registry. Every command row belongs to one; code that
// changes what a group's items show marks the group dirty (CmdStateInvalidate), and the
// registry refreshes it later.
#pragma once
#include <cstdint>

enum CommandGroup : uint8_t {
    kCommandGroupFixed           = 0,
    kCommandGroupSelection       = 1,
    kCommandGroupDocument        = 2,
    kCommandGroupPreferences     = 3,
    kCommandGroupSaveAndClose    = 4,
    kCommandGroupPaste           = 5,
    kCommandGroupUndo            = 6,
    kCommandGroupSelectionMotion = 7,   // the selection and animation
    kCommandGroupMotion          = 8,
    kCommandGroupToolbox         = 9,
    kCommandGroupSelectAll       = 10,
    kCommandGroupGraphForm       = 11,  // graph form and snapping
    kCommandGroupGridAndHidden   = 12,  // the grid and hidden objects
    kCommandGroupTraces          = 13,
    kCommandGroupTextEditing     = 14,
    kCommandGroupTextPalette     = 15,
};

constexpr uint32_t kCommandGroupCount = 16;
