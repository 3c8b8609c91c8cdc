// How a locus of a traced object comes into being, as the document readers reach it:
// the parent list is the chain of objects between driver and traced object. The locus
// commands (engine/interact) define it.
#pragma once

#include "engine/core/ptr_list.h"

struct SketchObject;

// Traced object, path, then the chain from the driver to the traced object in sketch
// order; 0 when the driver does not drive the traced object without the path (or no
// memory: *outOfMemory).
PtrList BuildLocusParents(SketchObject* traced, SketchObject* driver, SketchObject* path, bool* outOfMemory);
