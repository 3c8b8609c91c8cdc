// Record codecs of labels and texts. The caption (2300) and value display (2307) codecs
// fill the transfer columns of the type tables (engine/core/services/geometry_codecs.h).
#pragma once
#include <cstdint>

#include "engine/docio/transfer_context.h"

struct LabelSequence;
struct Sketch;
struct TableGridRecord;

// An object's label (2005): level, shown, use in tools, offset, path parameter, text.
ResultCode TransferLabelRecord(TransferContext* context);

// What the sequence codecs move: one sequence (2399, 2400 + k; null writes zeros and
// reads nothing), or all of a sketch's (the handheld block 1200).
struct LabelSequenceTarget {
    Sketch*        sketch;
    LabelSequence* sequence;
};
ResultCode TransferLabelSequenceState(TransferContext* context);
ResultCode TransferLabelSequences(TransferContext* context);

// Bytes of a caption part holding a text of that length, as embedded in 2307.
uint32_t MeasureCaptionRecord(uint32_t textLength, bool handheld);

// The cells of record 2317 after its header: rows x columns (from the grid record) cell
// texts, each "0" (empty) or one layout element. 35 for damaged text or counts, 100
// without memory, 4 when more than the padding follows the last cell. On failure no cell
// is kept.
ResultCode ParseTableCells(const uint8_t* text, uint32_t length, TableGridRecord* grid);
