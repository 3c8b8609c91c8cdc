// Stand-in: in-place caption editing (the edit session drawn in the object's place) is
// not built; this begins it only as far as the sketch's record of the edited caption,
// and refuses a new caption (101, no session): nothing could end its edit and delete it
// while it is empty.
#pragma once
#include "engine/core/result_codes.h"

struct SketchObject;

// Starts editing the object's text; isNew when the object was made for this edit.
ResultCode BeginCaptionEditing(SketchObject* object, bool isNew);
