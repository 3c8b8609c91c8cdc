#include "release2/engine/engine_forms.h"

#include "engine/interact/construction_commands.h"
#include "release2/engine/command_forms.h"
#include "release2/engine/plot_table_data.h"
#include "release2/engine/text_stacking.h"
#include "release2/engine/undo_text.h"

void AddEngineForms(LaterReleaseForms* forms) {
    AddCommandForms(forms);
    forms->engine.shiftEnter = StackSelectedTextObjects;
    forms->engine.labelColorImage = AutoLabelNewObject;
    forms->engine.undoMenuText = BuildTypedUndoMenuText;
    forms->engine.fitCoordSystemUnits = FitCoordSystemUnits;
}
