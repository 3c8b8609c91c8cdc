// The context handed to every record codec: one routine per record payload reads,
// measures, writes and (for undo) swaps through it.
// Stand-in: only the fields the object-header codec needs; the record-codec code of this
// folder owns this record and its field routines.
#pragma once
#include <cstdint>

enum TransferOp : int32_t {
    kTransferCopy    = 0,  // copy each field from the source side to the destination side
    kTransferMeasure = 1,  // add each field's size to the destination side's length
    kTransferSwap    = 2,  // exchange the object's fields with the saved copy (undo)
};

// Side kinds: 0 and 1 fields addressed from an object or a plain block, 2 a stored
// record, 5 and 7 fields at absolute addresses.
enum TransferSideKind : int32_t {
    kSideObject   = 0,
    kSideBlock    = 1,
    kSideRecord   = 2,
    kSideAbsolute = 5,
    kSideAbsolute2 = 7,
};

struct TransferSide {
    int32_t  kind;
    int32_t  length;           // bytes; -1 = not yet known (measure mode fills it in)
    uint8_t* cursor;
    void*    object;
    // Only meaningful on the side that is a stored record.
    int32_t  sketchKind;       // 1 page, 2 partial sketch
    int32_t  formatVersion;    // 4; 1 for the handheld form
    int32_t  settingsVersion;  // 4; 1 for the handheld form
};

struct TransferContext {
    int32_t      op;       // TransferOp
    int32_t      advance;  // nonzero: both cursors move past each field
    TransferSide source;
    TransferSide destination;
};
