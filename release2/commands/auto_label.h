// Automatic labels of new points in the later release: each site that makes an object
// hands it here once it exists.
#pragma once

struct SketchObject;

// When the current sketch labels new points automatically and the object is a shown
// point, its label is shown (and redrawn). Answers the object.
SketchObject* AutoLabelNewObject(SketchObject* object);
