#include "release2/commands/command_forms.h"

#include "release2/commands/plot_table_data.h"

void AddCommandForms(LaterReleaseForms* forms) {
    forms->commands.fitCoordSystemUnits = FitCoordSystemUnits;
}
