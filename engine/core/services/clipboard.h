// The system clipboard as the edit commands use it: the platform frames the engine's
// payloads, puts them on the clipboard in a fixed order and reads them back.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"

struct SketchObject;

// What ReadClipboardData reads.
enum ClipboardKind : int32_t {
    kClipboardSketchData = 0,  // the private sketch-objects format
    kClipboardPlainText  = 1,
    kClipboardLayoutText = 2,  // the private layout-language format
};

// The header the edit commands put before copied objects: the selection's rectangle as
// four i16 (left, top, right, bottom).
constexpr uint32_t kSketchDataHeaderBytes = 8;

// ReadClipboardData: the clipboard could not be opened, or holds no such data.
constexpr ResultCode kResultClipboardUnreadable = 101;

// Takes ownership of the three engine blocks (AllocMemory) and frees them, whatever
// happens; the header stays the caller's. With `renderPicture` the picture is a rendering
// of `rect`, else the picture object's own image when one is given. True when the object
// data reached the clipboard; false for every failure (each shown to the user) and when
// no object data was given.
bool PutSelectionOnClipboard(bool renderPicture, ScreenRect* rect, SketchObject* picture,
                             char* text, uint32_t textSize, char* layoutText, uint32_t layoutSize,
                             uint8_t* objectData, uint32_t objectSize, const void* header,
                             uint32_t headerSize);
// The caption editor's copy: takes and frees both blocks (null when absent).
void PutTextOnClipboard(char* layoutText, uint32_t layoutSize, char* text, uint32_t textSize);
// The copied objects after a header of exactly `headerSize` bytes, which is copied into
// `header`: a new engine block (the caller frees it) of *size bytes, or null when the
// clipboard holds none, cannot be opened (shown to the user), is framed another way or
// memory is short.
uint8_t* PasteSketchDataFromClipboard(uint32_t* size, void* header, uint32_t headerSize);
// A copy of the format of `kind` in a new engine block whose last byte is NUL; 0, 101
// (no clipboard or no such data) or 100 (memory).
ResultCode ReadClipboardData(int32_t kind, uint8_t** block, uint32_t* size);
