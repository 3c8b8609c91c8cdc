// Stand-in: the sketch's character commands, until the interaction code offers them.
// Typed characters do nothing in a sketch.
#include "ui/engine_calls.h"

void HandleSketchChar(uint32_t) {}
