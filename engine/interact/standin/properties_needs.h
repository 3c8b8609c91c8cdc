// Stand-in: routines of the action-button and custom-tool code that the Properties model
// and the help glue call before that code is here (properties_needs.cpp). Each goes when
// its owner's header declares it.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

struct SketchObject;

// Opens a link target (a help topic, a web address) and answers the code to show.
ResultCode OpenLinkTarget(const char* target);
// A given of the custom tool being shown changed.
void GivenPropertiesChanged(SketchObject* object, bool modified);
// The current sketch is the body of a custom tool with recorded steps.
bool InToolBodyMode();
// Switches a Hide/Show button's type and caption.
void ActionButtonSetShowMode(SketchObject* button, bool show);
// A toggling Hide/Show button takes the mode its targets' visibility asks for.
void UpdateToggleButton(SketchObject* button);
// A button's automatic caption made afresh from its type and targets.
void RegenerateButtonCaption(SketchObject* button);
