// The records of one sketch inside a page or custom-tool section: a page as records
// 1000 ... 1001, a tool body as a partial sketch 1002 ... 1003.
// Stand-in: the sketch body writer and reader over the sketch record are not built
// yet. These keep the framing, the page id and the title only, so that the document
// file around them can be written, read and tested; the real ones replace them.
#pragma once
#include "engine/core/sketch.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"

// A new sketch of the kind the format names, owned by `document` (null for a tool); a
// fatal code frees it (*out is then null).
ResultCode ReadSketch(StreamHandle stream, Sketch** out, EngineDocument* document, const FormatInfo& format);
// The handheld form is format version 1.
ResultCode WritePageSketch(StreamHandle stream, Sketch* page, bool handheld);
ResultCode WriteToolSketch(StreamHandle stream, Sketch* sketch);
