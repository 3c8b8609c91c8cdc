// The clipboard formats of sketches: registered by name in every process (their numbers
// differ between window servers), framed and set in a fixed order, and reported to the
// engine so that Paste knows what it may use.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/screen_types.h"

constexpr const char* kSketchClipboardFormatName = "YRN400ScriptFormat";
constexpr const char* kLayoutClipboardFormatName = "YRN400MfsFormat";

// True when both private formats are registered.
bool RegisterClipboardFormats();
UINT SketchClipboardFormat();
UINT LayoutClipboardFormat();
// Reports the four formats Paste may use to the engine.
void UpdatePasteAvailability();
// The selection drawn as an enhanced metafile (the rectangle is first corrected for
// pixels that are not square), or null.
HENHMETAFILE RenderSelectionMetafile(ScreenRect* rect);
// Movable memory holding `head`, then `bytes`, then `extra` zero bytes; null when the
// total passes 2 GB or memory is short.
HGLOBAL MovableCopy(const void* head, uint32_t headSize, const void* bytes, uint32_t size, uint32_t extra);
// Sets a copy of the bytes with a NUL after them as the format's data on the open
// clipboard; nothing when memory is short.
void PutClipboardBlock(UINT format, const void* bytes, uint32_t size);
