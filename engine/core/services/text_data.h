// What the sketch engine needs of the text data that leads the class data of captions,
// measurements and calculations; the caption code (engine/text) defines it.
#pragma once

#include "engine/core/sketch_object.h"

// The text style kept in the object's text data; null for a class without text data.
TextStyle* TextDataStyleOf(SketchObject* object);

// Lays the object's text out again (after its style, geometry or content changed).
void RelayoutObjectText(SketchObject* object);
