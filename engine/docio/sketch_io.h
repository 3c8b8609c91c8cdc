// Reading and writing the records of a real sketch: a page, or a partial sketch for
// custom-tool bodies and clipboard copies, through the body reader and writer and the
// class and construction-type codecs of the type tables.
#pragma once
#include <cstdint>

#include "engine/core/sketch.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"

// Makes a new sketch owned by `document` and reads either form into it. A page read
// without a fatal code is recomputed; a fatal code frees the sketch (*out is then null).
ResultCode ReadSketch(StreamHandle stream, Sketch** out, EngineDocument* document, const FormatInfo& format);

// The full form (page flag) or the partial form; the handheld form is format version 1.
ResultCode WriteSketch(StreamHandle stream, Sketch* sketch, bool page, bool handheld);
ResultCode WritePageSketch(StreamHandle stream, Sketch* page, bool handheld);
ResultCode WriteToolSketch(StreamHandle stream, Sketch* sketch);

// Whether stored parents suit the object's construction type: enough of them for the
// kinds the type names first, each of the kind its position asks for, and distinct
// where the type needs that. 35 when not.
ResultCode CheckStoredParents(int32_t type, SketchObject* const* parents, uint32_t count);
// The part of those checks that looks at the count and the parents' kinds, not at which
// objects they are.
ResultCode CheckStoredParentKinds(int32_t type, SketchObject* const* parents, uint32_t count);
