// Test double of the platform's pictures: an image is a packed DIB kept in a block, and
// its records go through the DIB chunk codec (metafiles never occur).
#pragma once
#include <cstdint>

#include "engine/docio/dib_chunks.h"

// A sound 24-bit DIB of the size (height negative: top-down rows).
GlobalBlock MakeTestDib(int32_t width, int32_t height);
// What the clipboard holds next (an empty block: no picture).
void SetClipboardPicture(const GlobalBlock& dib);
// The DIB a picture's handles keep, or null.
const GlobalBlock* PictureDib(const void* picture);
// Handles made and freed so far.
int32_t PictureHandlesLive();
