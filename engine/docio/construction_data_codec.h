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
