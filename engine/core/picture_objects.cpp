#include "engine/core/picture_objects.h"

// Stand-in: pictures keep no image handles yet; a copy starts without one.
bool CopyPictureData(const SketchObject*, SketchObject*) { return true; }
