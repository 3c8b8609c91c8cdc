// Picture objects (class 16): an image from the clipboard shown in a screen rectangle,
// free, pinned by its top-left corner to a point, or stretched between two points.
#pragma once
#include <cstdint>

#include "engine/core/sketch_object.h"

// Gives a copied picture the source's image; false without memory for the copy (an
// image that cannot be copied leaves the copy without one).
bool CopyPictureData(const SketchObject* source, SketchObject* copy);
