// The engine's user-visible texts, addressed by (group, item), as every subsystem looks
// them up. The string-group tables and the rest of their operations are the text code's
// (engine/text/string_groups.h).
#pragma once
#include <cstdint>

// The text of (group, item), or "" when the pair is outside the table. Item numbers are
// often computed (3 x kind - 3, 12 + form, unit + 8), so every lookup is range-checked.
const char* GroupText(int32_t group, int32_t item);

// Group numbers the rest of the engine names.
enum StringGroup : int32_t {
    kGroupKindNouns        = 0,
    kGroupMenuItems        = 1,
    kGroupMenuTitles       = 2,
    kGroupMiscellany       = 3,
    kGroupCommandTips      = 4,
    kGroupAbout            = 5,
    kGroupMeasureTemplates = 6,
    kGroupUnits            = 7,
    kGroupUndoNames        = 8,
    kGroupAlerts           = 9,
    kGroupLabelSequences   = 10,
    kGroupDescriptions     = 11,
    kGroupNonexistence     = 12,
    kGroupLayoutTemplates  = 13,
    kGroupCalculator       = 14,
    kGroupToolMatching     = 15,
    kGroupStatusPrompts    = 16,
    kGroupMotionTexts      = 17,
    kGroupButtonCaptions   = 18,
    kGroupProgress         = 19,
    kGroupSymbolNames      = 20,
    kGroupHelpTargets      = 21,
    kGroupHelpMenu         = 22,
    kGroupHelpTexts        = 23,
};
