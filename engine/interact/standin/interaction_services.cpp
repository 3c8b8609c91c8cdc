// Stand-in: the least of the
// dialogs and bars that the mouse and the object commands call
// (see interaction_services.h). Each goes when its owner is built.
#include "engine/interact/interaction_services.h"

#include "engine/core/geometry.h"
#include "engine/core/sketch.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/neighbour_services.h"


void OpenLabelProperties(SketchObject*) {}
void OpenObjectProperties(SketchObject*) {}

