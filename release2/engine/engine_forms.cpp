#include "release2/engine/engine_forms.h"

#include "engine/interact/construction_commands.h"
#include "engine/interact/menu_rules.h"
#include "release2/engine/command_forms.h"
#include "release2/engine/engine_revisions.h"
#include "release2/engine/legacy_helpers.h"
#include "release2/engine/plot_table_data.h"
#include "release2/engine/text_stacking.h"
#include "release2/engine/tool_prompts.h"
#include "release2/engine/undo_text.h"

namespace {

static_assert(kPredicateType15Source == kMenuRulePredicateCount);

int32_t LaterMenuPredicate(uint32_t predicate, uint32_t) {
    if (predicate == kPredicateType15Source) return IsType15Source() ? 1 : 0;
    return -1;
}

}  // namespace

void AddEngineForms(LaterReleaseForms* forms) {
    AddCommandForms(forms);
    forms->engine.shiftEnter = StackSelectedTextObjects;
    forms->engine.labelColorImage = AutoLabelNewObject;
    forms->engine.undoMenuText = BuildTypedUndoMenuText;
    forms->engine.toolMatchPrompt = ToolMatchPromptText;
    forms->engine.highlightStepRow = HighlightStepObject;
    forms->engine.sameCalculation = IsSameCalculation;
    forms->engine.menuPredicate = LaterMenuPredicate;
    forms->engine.legacyHelperObjects = CreateLegacyHelperObjects;
    forms->engine.fitCoordSystemUnits = FitCoordSystemUnits;
}
