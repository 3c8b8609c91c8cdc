// The commands only the later release has: its command rows past the shared table, their
// menu codes, state queries and executors, and the menu bar built into it, which offers
// them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/interact/command_table.h"

// Each later row, code, query and executor slot numbers on from the shared table's.
constexpr uint32_t kPlotTableDataRow = kCommandRowCount;
constexpr uint32_t kPlotTableDataCode = kMenuCodeCount;
constexpr uint8_t  kQueryPlotTableData = kCommandStateQueryCount;
constexpr uint16_t kPlotTableDataExecutor = kCommandExecutorCount;
// The Graph menu offers Plot Table Data after this code's item (Plot Points).
constexpr uint16_t kPlotPointsCode = 58;

const CommandRow* LaterCommandRow(uint32_t row);
bool LaterMenuCodeRow(uint32_t code, uint32_t* row);
bool LaterStateQuery(uint8_t query, uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                     uint16_t* executor, int32_t* argument);
int32_t RunLaterExecutor(uint16_t executor, int32_t argument);
// The shared menu bar with the later commands added; the shared one should that fail.
const uint8_t* LaterMenuStream(size_t* length);
