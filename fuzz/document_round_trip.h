// What the document fuzz targets ask of every document that opens: it saves (a save may
// fail only for want of memory), the saved file opens with no worse result and the same
// pages, objects (class by class, in sketch order), tools and menu descriptions, and
// saved again it gives the same bytes.
#pragma once
#include <cstddef>
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

// The document written (into *bytes, freed by the caller) and opened again: null when it
// has no page (a warning may leave none; written out it reads back as unreadable) or
// memory ran out on either way. Any other failure aborts.
inline EngineDocument* SaveAndReopen(EngineDocument* document, void** bytes, uint32_t* length, ResultCode* again) {
    *bytes = nullptr;
    if (DocumentPageCount(document) == 0) return nullptr;
    *bytes = Save(document, length);
    if (!*bytes) return nullptr;
    EngineDocument* reread = Open(*bytes, *length, false, again);
    if (!reread && *again != kResultOutOfMemory) std::abort();
    return reread;
}

// Whether the reread document writes the bytes it was read from (true when memory ran
// out on the way).
inline bool WritesSameBytes(EngineDocument* reread, const void* bytes, uint32_t length) {
    uint32_t secondLength = 0;
    void* second = Save(reread, &secondLength);
    const bool same = !second || (secondLength == length && std::memcmp(second, bytes, length) == 0);
    FreeMemory(second);
    return same;
}

// Written and read back, a document that still has pages holds what it held, and writes
// the same bytes again.
inline void CheckContentsSurvive(EngineDocument* document) {
    uint32_t length = 0;
    ResultCode again = 0;
    void* bytes = nullptr;
    EngineDocument* reread = SaveAndReopen(document, &bytes, &length, &again);
    if (reread && (!SameContents(document, reread) || !WritesSameBytes(reread, bytes, length))) __builtin_trap();
    FreeEngineDocument(reread);
    FreeMemory(bytes);
}

// `document` opened with `code`.
inline void CheckRoundTrip(EngineDocument* document, ResultCode code) {
    uint32_t length = 0;
    ResultCode again = 0;
    void* bytes = nullptr;
    EngineDocument* reread = SaveAndReopen(document, &bytes, &length, &again);
    if (reread) {
        if (again > code) std::abort();
        if (!SameContents(document, reread)) std::abort();
        if (!WritesSameBytes(reread, bytes, length)) std::abort();
        FreeEngineDocument(reread);
    }
    FreeMemory(bytes);
}

// Input bytes that steer a target's choices, taken in turn and from the start again.
struct Steer {
    const uint8_t* bytes;
    size_t         size;
    size_t         at;
    uint8_t Next() { return size == 0 ? 0 : bytes[at++ % size]; }
};

// Input of the steered targets: one byte n, n bytes that steer, then the document. The
// document opened from it, or null when the input is too short or too long or the
// document does not open.
inline EngineDocument* OpenSteered(const uint8_t* data, size_t size, Steer* steer) {
    if (size < 1 || size > (1u << 20)) return nullptr;
    const size_t n = data[0];
    if (size < 1 + n) return nullptr;
    *steer = Steer{ data + 1, n, 0 };
    InitStreamTable();
    ResultCode code = 0;
    return Open(data + 1 + n, uint32_t(size - 1 - n), false, &code);
}

// Calls visit(sketch) with each page of the document the current sketch in turn.
template <typename Visit>
void ForEachPage(EngineDocument* document, Visit visit) {
    for (int32_t page = 0; page < DocumentPageCount(document); ++page) {
        Sketch* sketch = DocumentPageAt(document, page);
        Sketch* previous = nullptr;
        SetCurrentSketch(sketch, &previous);
        visit(sketch);
        SetCurrentSketch(previous, nullptr);
    }
}

}  // namespace fuzz_round_trip
