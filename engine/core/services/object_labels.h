// Object labels as creation, recompute, the drawing pass and the sketch reach them. The
// label code (engine/text/object_labels.h) defines them.
#pragma once
#include <cstdint>

struct GraphicsPort;
struct Sketch;
struct SketchObject;

// A new object's label: level 1 (numbered) for objects of a text family below 5 that no
// construction hides, else no text; not placed, offset (8, 5).
void InitObjectLabel(SketchObject* object);
// Frees the label's text and hides it.
void ClearObjectLabel(SketchObject* object);
// Places a shown label again after its object changed.
void PlaceObjectLabel(SketchObject* object);
// The plain text of an object's label, cut to the buffer.
void GetObjectLabelText(const SketchObject* object, char* buffer, uint32_t size);
// Makes the label at least that level (2: derived from the parents), telling what is
// named after it.
void GetObjectLabel(SketchObject* object, int32_t level);
// Tells the objects whose labels are made from this one's that it changed.
void PropagateLabelChange(SketchObject* object);
// A typed label (level 7), told to what is named after it; answers 0.
int32_t SetObjectLabel(SketchObject* object, const char* text, bool eraseFirst);
// Draws the object's label.
void DrawObjectLabel(GraphicsPort* port, SketchObject* object);
// Resets the sketch's automatic label sequences.
void InitLabelSequences(Sketch* sketch);
