// The codecs of record 2003 on real objects: the construction data of the types whose
// extra block is laid out by a transformation row, and the dispatch to a construction
// type's own block routine.
#pragma once
#include <cstdint>

#include "engine/docio/transfer_context.h"

// The object side of the context is a SketchObject whose constructionData list holds
// the in-memory block (the row's fixedWords words, packed into the list's items).
// Reading maps the stored construction code (an unknown one gives 9) and makes the list.
ResultCode TransferKindData(TransferContext* context, int32_t layout);

// Record 2003: reading checks the stored construction code first (unknown: 9); then the
// object's construction type's own routine runs.
ResultCode TransferConstructionData(TransferContext* context);

// The generic codec of a construction-data block of `byteCount` bytes kept packed in the
// object's constructionData list (blockSize bytes in memory): a code word (the stored
// construction code; with idMode 1 the stored kind code of the first parent above it),
// then the data, plainly or through `convert` (ConvertRealFields for reals). Reading
// checks the codes (unknown: 9), makes the list (100 when it cannot), takes at most
// blockSize bytes (longer: warning 4) and zero-fills a shorter block (warning 3).
ResultCode TransferCountedBlock(TransferContext* context, uint32_t byteCount, uint32_t blockSize, int32_t idMode,
                                FieldConvertFn convert);

// A block of 32-bit words after the code word, one word in each item of the object's
// constructionData list, copied as is: the record length minus 4 when reading, the
// list's count × 4 when writing. Swapping exchanges the lists.
ResultCode TransferRawBlock(TransferContext* context);
