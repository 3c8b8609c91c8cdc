// A page saved as an HTML page hosting the construction applet: every object the applet
// supports is written as one line of the applet's "Construction" parameter, in the
// applet's own construction language; objects it does not support, and everything
// built on them, are left out and selected.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/sketch_object.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"

constexpr ResultCode kResultAppletWritten = 13;  // every object was written
constexpr ResultCode kResultAppletPartial = 14;  // some were not supported: they are selected

// One row of the applet's vocabulary; the first row that matches an object gives its
// line.
struct AppletVocabularyRow {
    int32_t     constructionType;
    int32_t     objectClass;     // 18 = any class
    int32_t     conditionKind;   // 0..6
    int32_t     conditionValue;
    const char* name;
    int32_t     arguments[5];    // argument codes; 0 = none
    int32_t     attributes;      // 0x1 hidden, 0x2 color, 0x8 thick, 0x10 traced
};
constexpr int32_t kAppletVocabularyRows = 60;
extern const AppletVocabularyRow AppletVocabulary[kAppletVocabularyRows];

// The applet's name of an expression token, or null.
const char* AppletToken(uint16_t token);

// Writes the front page of the document (made current while it is written) into the
// stream. `fileName` is the page file's name without its folder, for the title. 13 when
// every object was written, 14 when some were not (they are then the selection), the
// stream's code when writing failed (the page is then incomplete).
ResultCode WriteAppletPage(StreamHandle stream, EngineDocument* document, const char* fileName);

// The row for an object (of the current sketch), or null.
const AppletVocabularyRow* FindAppletVocabulary(SketchObject* object);
