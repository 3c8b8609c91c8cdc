// Stand-in: the character commands of the interaction code, until it offers them.
// Characters do nothing in a sketch.
#include "ui/engine_calls.h"

void HandleSketchChar(uint32_t) {}
