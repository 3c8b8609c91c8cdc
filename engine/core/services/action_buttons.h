// Action buttons as the sketch and document code reach them: objects that change or go
// away, and the page operations that read and rewrite link-to-page targets. The button
// code (engine/interact) defines them.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct GraphicsPort;
struct OutputScale;
struct SketchObject;

// Drops an action button's pending work when the object goes away.
void ActionButtonStop(SketchObject* object);
// Updates the hide and show buttons that act on an object after its hidden state changed.
void ActionButtonsOfObject(SketchObject* object);

// The target word of a link-to-page button (PageId in memory, page index in files),
// null for any other object.
int16_t* LinkToPageTarget(SketchObject* object);
// The id of an action button, 0 for any other object.
uint32_t ActionButtonId(const SketchObject* object);
// Runs the button's action as if clicked, without a parent presentation: 0 or an alert code.
ResultCode PressActionButton(SketchObject* button);
// The button's caption (from its type, its targets' names put in), at most size - 1
// characters; sets the label level it produced.
void ActionButtonCaption(SketchObject* button, char* text, uint32_t size, int32_t* level);
// Puts a button a tool's playback made at the buttons' default place, its frame laid
// out there.
void PlaceNewActionButton(SketchObject* button);
// Re-measures the button's caption and frame and sets its bounds.
void ActionButtonFrameMetrics(SketchObject* button);
// Draws the button at its position mapped through the output scale, its frame laid out
// on the output's device; its own bounds stay as they were.
void DrawActionButtonScaled(GraphicsPort* port, SketchObject* button, const OutputScale* scale);
