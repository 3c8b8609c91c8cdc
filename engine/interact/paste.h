// Pasting sketch data from the clipboard: the copied objects are read as a partial
// sketch and cloned into the current sketch, placed by the paste offset, as one step.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"

struct EngineDocument;
struct Sketch;

// The clipboard bytes of a partial sketch and the rectangle the objects had when they
// were copied. 0, or the reader's code, 100 or 202 with the sketch as it was.
ResultCode PasteSketchData(const uint8_t* bytes, uint32_t length, const ScreenRect* rect);

// After a copy: a paste into the page copied from lands 20 units right and down of the
// originals, one into any other page of the document is centred in its window.
void NotePasteSource(EngineDocument* document, Sketch* copiedFrom);

// Identifies the window position a page is seen at; a paste into a page that was
// scrolled since the last copy or paste is centred again.
int32_t PageWindowPositionKey(const Sketch* sketch);
