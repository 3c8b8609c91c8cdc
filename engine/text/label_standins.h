// Stand-in: the object label operations that creation and recompute call, until object
// labels and their automatic sequences are built.
#pragma once
#include "engine/core/sketch_object.h"

void InitObjectLabel(SketchObject* object);
void ClearObjectLabel(SketchObject* object);
void PlaceObjectLabel(SketchObject* object);
// The plain text of an object's label, cut to the buffer.
void GetObjectLabelText(const SketchObject* object, char* buffer, uint32_t size);
// For tests: how many times labels were placed.
int  PlaceObjectLabelCount();

struct GraphicsPort;
// Stand-in: draws nothing until labels are drawn; counts calls for tests.
void DrawObjectLabel(GraphicsPort* port, SketchObject* object);
int  DrawObjectLabelCount();
