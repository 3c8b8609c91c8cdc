// Captions (class 0): objects that show a formatted text at a position, and the text
// data that measurements and calculations carry at the start of their class data, so
// that one set of routines measures, draws, styles and refreshes all three.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/text_objects.h"
#include "engine/core/sketch_object.h"

// The text data of captions, measurements and calculations; null for other classes.
CaptionData* CaptionDataOf(SketchObject* object);
const CaptionData* CaptionDataOf(const SketchObject* object);

// An init with a new empty-slot layout, the style and position; false without memory.
bool InitCaptionData(CaptionInit* init, const TextStyle* style, int32_t x, int32_t y);
// Installs a text: with no object, frees the init's tree. With no init (or for a caption
// made during custom-tool playback) the object goes to its default position. False when a
// step fails (the init's tree then stays the caller's).
bool SetObjectTextLayout(SketchObject* object, CaptionInit* init);
bool AllocCaptionSlots(SketchObject* object);
void ClearValueSlots(SketchObject* object);
void FreeCaptionData(SketchObject* object);

// Text-family relayout routines: measure the text and set the bounds with the caption's
// or the value display's margins.
int32_t UpdateCaptionBounds(SketchObject* object);
int32_t UpdateValueDisplayBounds(SketchObject* object);
// Draws the text at the object's bounds.
void DrawCaption(GraphicsPort* port, SketchObject* object);

// The older font record {flags: bit 0 bold, 1 italic, 2 underline; u16 size}.
struct OldFontRecord {
    uint8_t  flags;
    uint16_t size;
};
void StyleFromFontFlags(const OldFontRecord* font, TextStyle* style);
void FontFlagsFromStyle(const TextStyle* style, OldFontRecord* font);

// TextEditOps of captions and values.
TextStyle* CaptionTextStyleOf(SketchObject* object);
int32_t WriteCaptionText(SketchObject* object, void* writeContext);
void SetCaptionStyle(SketchObject* object, const TextStyle* style);
bool CaptionNeedsTextRefresh(const SketchObject* object, int32_t reason);
void RefreshCaptionSlots(SketchObject* object);
