// What the document fuzz targets ask of every document that opens: it saves (a save may
// fail only for want of memory), the saved file opens with no worse result and the same
// pages, objects (class by class, in sketch order), tools and menu descriptions, and
// saved again it gives the same bytes.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/tables.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"

namespace fuzz_round_trip {

inline EngineDocument* Open(const void* data, uint32_t size, bool headerOnly, ResultCode* code) {
    StreamHandle h = 0;
    *code = OpenMemoryStreamCopy(data, size, &h);
    if (*code != kResultOK) return nullptr;
    EngineDocument* document = nullptr;
    bool copy = false;
    char* message = nullptr;
    *code = ReadEngineDocument(h, &document, &copy, nullptr, &message, headerOnly);
    DiscardStream(h);
    FreeMemory(message);
    if (IsFatalResult(*code) != (document == nullptr)) std::abort();
    return document;
}

inline bool SameContents(EngineDocument* a, EngineDocument* b) {
    if (DocumentPageCount(a) != DocumentPageCount(b) || DocumentToolCount(a) != DocumentToolCount(b) ||
        DocumentMenuCount(a) != DocumentMenuCount(b))
        return false;
    for (int32_t i = 0; i < DocumentPageCount(a); ++i) {
        const SketchObject* x = DocumentPageAt(a, i)->firstObject;
        const SketchObject* y = DocumentPageAt(b, i)->firstObject;
        for (; x && y; x = x->nextInSketch, y = y->nextInSketch)
            if (x->objectClass != y->objectClass) return false;
        if (x || y) return false;
    }
    return true;
}

// Whether a table of `b` kept fewer rows than the same table of `a` (a table too large for
// the memory at hand opens with its header rows alone).
inline bool TableCut(EngineDocument* a, EngineDocument* b) {
    for (int32_t i = 0; i < DocumentPageCount(a) && i < DocumentPageCount(b); ++i) {
        const SketchObject* x = DocumentPageAt(a, i)->firstObject;
        const SketchObject* y = DocumentPageAt(b, i)->firstObject;
        for (; x && y; x = x->nextInSketch, y = y->nextInSketch)
            if (x->objectClass == kClassTable && y->objectClass == kClassTable &&
                TableDataOf(y)->rowCount < TableDataOf(x)->rowCount)
                return true;
    }
    return false;
}

// The document written to memory (freed with FreeMemory); null when the write failed
// for want of memory. Any other failure aborts: what opened must save.
inline void* Save(EngineDocument* document, uint32_t* length) {
    StreamHandle h = 0;
    if (OpenMemoryStream(0, &h) != kResultOK) return nullptr;
    const ResultCode written = WriteEngineDocument(h, document, false);
    CloseStream(h);
    void* bytes = TakeStreamBytes(h, length);
    if (IsFatalResult(written)) {
        if (written != kResultOutOfMemory) std::abort();
        FreeMemory(bytes);
        return nullptr;
    }
    if (!bytes) std::abort();
    return bytes;
}

// `document` opened with `code`.
inline void CheckRoundTrip(EngineDocument* document, ResultCode code) {
    // A warning may leave no page at all (the user interface refuses such a document);
    // written out it holds nothing and reads back as unreadable.
    if (DocumentPageCount(document) == 0) return;
    uint32_t length = 0;
    void* bytes = Save(document, &length);
    if (!bytes) return;
    ResultCode again = 0;
    EngineDocument* reread = Open(bytes, length, false, &again);
    if (!reread && again != kResultOutOfMemory) std::abort();
    if (reread) {
        if (again > code) std::abort();
        if (!SameContents(document, reread)) std::abort();
        uint32_t secondLength = 0;
        void* second = Save(reread, &secondLength);
        if (second && (secondLength != length || std::memcmp(second, bytes, length) != 0)) std::abort();
        FreeMemory(second);
        FreeEngineDocument(reread);
    }
    FreeMemory(bytes);
}

}  // namespace fuzz_round_trip
