// The records of one sketch inside a page or custom-tool section: a page as records
// 1000 ... 1001, a tool body as a partial sketch 1002 ... 1003.
// Stand-in: the sketch body writer and reader over the sketch record are not built
// yet. These keep the framing, the page id and the title only, so that the document
// file around them can be written, read and tested; the real ones replace them.
#pragma once
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"

struct EngineDocument;
struct Sketch;

ResultCode WritePageSketch(StreamHandle stream, Sketch* page, const FormatInfo& format);
ResultCode WriteToolSketch(StreamHandle stream, Sketch* tool, const FormatInfo& format);
// A new sketch of the kind the format names, owned by the document (null for a tool).
// olderFormat hands the page to the reader of the older formats.
ResultCode ReadSketch(StreamHandle stream, Sketch** sketch, EngineDocument* document, void* owner,
                      bool olderFormat, const FormatInfo& format);
