// What the keys of the front sketch do: caption typing, the "+", "-" and "!" keys on the
// selection, Delete, the arrow nudge and toolbox steps; and two defaults of new objects
// that follow from the selection or the preferences.
#pragma once
#include <cstdint>

#include "engine/core/services/text_style.h"
#include "engine/core/sketch_keys.h"

// Inserts the text into the caption being edited, if any; true when the front sketch is
// in front.
bool TypeIntoCaption(const char* text);
// A front sketch is in front and no button is tracked (a tool run waiting with no button
// held is ended first).
bool CanActOnFrontSketch();
// The command row's item is enabled and the row may run now.
bool CommandRowEnabled(uint32_t row);
// Steps to the next (forward) or previous toolbox item, across the top level or within
// the current pop-out group, wrapping around; true when the current tool changed.
bool StepToolboxTool(bool forward, bool withinGroup);
// Starts nudging the selection by one unit in the arrow's direction (see NudgeArrowKey);
// true when a nudge runs.
bool NudgeSelection(uint16_t key);
// Gives the selected objects that show text the style's fields in mask (bit n: field n)
// and moves their sizes `step` rungs of the size ladder; unless onlyDefaults is set, the
// defaults of their text families take the style too.
void ApplyTextStyleToSelection(const TextStyle& style, uint32_t mask, bool onlyDefaults, int32_t step);

// ---- What the keys reach in code built elsewhere ---------------------------------------
struct SketchObject;
// The caption editor takes a character or a key (flags as HandleViewCommand's).
void CaptionEditorChar(uint32_t character);
void CaptionEditorKey(uint16_t key, uint16_t flags);
