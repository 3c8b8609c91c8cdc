// figlate's command table: the rows it has in place of shared ones or past them, its
// state queries and executors past the shared slots, the menu codes of its own rows, and
// its built-in menu bar (the shared one with its own items added).
#pragma once
#include <cstdint>

#include "engine/core/services/later_release.h"
#include "engine/interact/command_table.h"

// Row, menu code, state-query slot and executor slot of the label command.
constexpr uint32_t kLabelCommandRow = 112;
constexpr uint32_t kLabelCommandMenuCode = 85;
constexpr uint8_t  kQuerySaveAs = 18;
constexpr uint8_t  kQueryLabel = 19;
constexpr uint16_t kLabelCommandExecutor = 63;
// Row, menu code, state-query slot and executor slot of Plot Table Data (menu code 115 is
// the first past the shared map).
constexpr uint32_t kPlotTableDataRow = 113;
constexpr uint32_t kPlotTableDataMenuCode = 115;
constexpr uint8_t  kQueryPlotTableData = 20;
constexpr uint16_t kPlotTableDataExecutor = 64;
// Group 1 items of the label command's texts.
constexpr uint16_t kLaterItemLabelMultiple = 198;  // "Label &Multiple Objects..."
constexpr uint16_t kLaterItemLabelObject   = 199;  // "Label Ob&ject..."

// The state of "Save As": with Shift "Save &As HTML..." and argument 2 (save as a web
// page), else "Save &As..." and argument 1; executor 8; enabled with a current sketch.
bool SaveAsMenuState(uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant, uint16_t* executor,
                     int32_t* argument);
// The state of the label command: enabled for one object that can show a label or a
// value, or for several objects.
bool LabelMenuState(uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant, uint16_t* executor,
                    int32_t* argument);
// The state of Plot Table Data: enabled when the one selected object of the current
// sketch is a table.
bool PlotTableDataMenuState(uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                            uint16_t* executor, int32_t* argument);

const CommandRow* LaterCommandRow(uint32_t row);
bool LaterMenuCodeToRow(uint32_t code, uint32_t* row);
// The shared menu bar with the label command after "Show Labels" and Plot Table Data after
// "Plot Points"; the shared bar should that fail.
const uint8_t* LaterDefaultMenuStream(uint32_t* length);

// Sets the command entries of forms.
void AddCommandForms(LaterReleaseForms* forms);
