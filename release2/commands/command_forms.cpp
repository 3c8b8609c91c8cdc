#include "release2/commands/command_forms.h"

#include "release2/commands/later_commands.h"
#include "release2/commands/plot_table_data.h"

void AddCommandForms(LaterReleaseForms* forms) {
    forms->commands.fitCoordSystemUnits = FitCoordSystemUnits;
    forms->commands.laterCommandRow = LaterCommandRow;
    forms->commands.laterMenuCodeRow = LaterMenuCodeRow;
    forms->commands.laterStateQuery = LaterStateQuery;
    forms->commands.runLaterExecutor = RunLaterExecutor;
    forms->commands.defaultMenuStream = LaterMenuStream;
}
