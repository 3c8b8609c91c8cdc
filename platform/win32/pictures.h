// The platform's side of picture objects: the image handles (an enhanced metafile or a
// packed DIB in global memory), their drawing with dimming, and their copies for the
// clipboard.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/services/pictures.h"

struct GraphicsPort;
struct SketchObject;

// The dim levels: 0 draws the image, 20 or more nothing.
constexpr int32_t kPictureHalfDim = 10;
constexpr int32_t kPictureDimLevels = 20;
// destination AND (pattern OR source)
constexpr DWORD kRopAndUnlessPattern = 0x00A803A9;

void RenderPicture(GraphicsPort* port, SketchObject* picture);
void DrawPictureFrame(GraphicsPort* port, SketchObject* picture, bool selected);
void FillPictureGrips(GraphicsPort* port, SketchObject* picture);
// ANDs the source onto the destination with `level` twentieths of its pixels left out.
void BlitWithPatternMask(HDC destination, int32_t x, int32_t y, int32_t width, int32_t height, HDC source,
                         int32_t sourceX, int32_t sourceY, int32_t level);
// An 8 x 8 monochrome pattern whose set bits scatter evenly as the level grows.
HBITMAP MakeDimPattern(int32_t level);

// The picture's own image for the clipboard: a copy of its metafile, else a movable
// global copy of its DIB; nothing when it has neither (or memory is short).
void CopyPictureHandles(const SketchObject* picture, PictureHandles* handles);
// A packed DIB drawn into a new enhanced metafile at its natural size, or null.
HENHMETAFILE DibToMetafile(const uint8_t* dib, uint32_t size);
// The image's natural size in screen pixels at `dpi`: from the metafile's frame, else the
// DIB's header. False without a usable image size.
bool PictureNaturalSize(const PictureHandles& handles, int32_t dpi, int32_t* width, int32_t* height);
