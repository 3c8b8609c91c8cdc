// The document's OLE native data: what a container stores for an embedded sketch and
// hands back when it loads it again. The bytes are the engine document in its normal
// stored form, so they come back through the engine's reader like an opened file.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct EngineDocument;

// The whole document as one AllocMemory block the caller frees. A fatal result answers
// no bytes: the container is told of the failure rather than given nothing.
ResultCode StoreNativeData(EngineDocument* document, void** bytes, uint32_t* length);

// Reads bytes a container kept (outside bytes: any length, any content). A warning
// answers the document; a fatal code, or a document without a page (40), answers none.
// *message, when set, is the reader's own text for the result (the caller frees it).
ResultCode LoadNativeData(const void* bytes, uint32_t length, void* owner, EngineDocument** document,
                          char** message);
