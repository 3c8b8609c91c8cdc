// Object labels as creation, recompute and the drawing pass reach them. The label code
// (engine/text) defines them.
#pragma once
#include <cstdint>

struct GraphicsPort;
struct SketchObject;

// A new object's label: not placed, no text.
void InitObjectLabel(SketchObject* object);
// Frees the label's text and hides it.
void ClearObjectLabel(SketchObject* object);
// Places a shown label again after its object changed.
void PlaceObjectLabel(SketchObject* object);
// The plain text of an object's label, cut to the buffer.
void GetObjectLabelText(const SketchObject* object, char* buffer, uint32_t size);
// Makes the label again at a level (2: derived from the parents).
void GetObjectLabel(SketchObject* object, int32_t level);
// Tells the objects whose labels are made from this one's that it changed.
void PropagateLabelChange(SketchObject* object);
// Draws the object's label.
void DrawObjectLabel(GraphicsPort* port, SketchObject* object);
