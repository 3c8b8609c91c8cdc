// Picture objects (class 16): an image from the clipboard shown in a screen rectangle,
// free, pinned by its top-left corner to a point (type 86), or stretched between two
// points (type 87). The rectangle is the object's bounds; width and height always
// follow it.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"
#include "engine/core/services/pictures.h"
#include "engine/core/sketch_object.h"

struct GraphicsPort;
struct OutputScale;

struct PictureData {
    int16_t        width;
    int16_t        height;
    int16_t        naturalWidth;   // the image's own size, set when it is attached
    int16_t        naturalHeight;
    PictureHandles handles;        // owned; released with the object
};

inline PictureData* PictureDataOf(SketchObject* picture) { return ClassData<PictureData>(picture); }
inline const PictureData* PictureDataOf(const SketchObject* picture) { return ClassData<PictureData>(picture); }

// Grips: 1 the top-left one, 0 the bottom-right one.
constexpr int32_t kGripTopLeft     = 1;
constexpr int32_t kGripBottomRight = 0;
// The moving corner of a resize stays this far from the fixed one; with the aspect kept
// a width this close to the natural one snaps to it.
constexpr int32_t kPictureMinimumSize = 12;
constexpr int32_t kPictureAspectSnap  = 6;

// The parameter block: {width, height, natural width, natural height}, or none.
int32_t InitPictureExtra(SketchObject* picture, void* parameter);
void    FreePictureExtra(SketchObject* picture);
void    UpdatePictureAtPoint(SketchObject* picture, SketchObject* const* parents);
void    UpdatePictureBetweenPoints(SketchObject* picture, SketchObject* const* parents);
// A point coordinate as a rectangle coordinate: clamped to 30000, else rounded half up.
int16_t PictureCoordinate(double c);
// width and height from the rectangle.
void    SyncPictureSize(SketchObject* picture);

bool PictureTopLeftGrip(const SketchObject* picture, ScreenRect* grip);
bool PictureBottomRightGrip(const SketchObject* picture, ScreenRect* grip);
void ClipGripToPicture(const SketchObject* picture, ScreenRect* grip);
// Only a selected picture has grips; where they overlap the top-left one wins.
bool PictureGripAt(const SketchObject* picture, ScreenPoint point, int32_t* grip);

// The scaled drawing of pictures: the bounds mapped by the print pass's scale and page
// offset (clamped to 30000) while the class's drawing runs.
void DrawPictureForPrint(GraphicsPort* port, SketchObject* picture, const OutputScale* scale);
