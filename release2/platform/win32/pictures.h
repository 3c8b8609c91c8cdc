// The later release's sketch pictures: a rectangle of the sketch as an enhanced or an
// old-style metafile (for the clipboard and for picture files), the clipboard formats in
// their order with one message for each that is refused, and the drawing of picture
// objects through a memory bitmap.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/core/print_state.h"
#include "engine/core/screen_types.h"
#include "release2/platform/picture_layout.h"

struct GraphicsPort;
struct SketchObject;

namespace release2 {

// Set while an old-style metafile is rendered: such a DC cannot measure text, so text is
// measured on the screen.
bool MeasuringOnScreen();

// The mapping of `rect` for the current sketch's view: a copy of its port with the
// picture's line bounds, print settings for the picture's scale, the reference DC (the
// view's window DC; the caller does not release it). False without a current sketch or
// view, or when the rectangle gives no picture.
bool ComputePictureMapping(const ScreenRect& rect, bool enhanced, GraphicsPort* portCopy, PrintSettings* settings,
                           HDC* reference, PictureMapping* mapping);
HENHMETAFILE RenderSelectionMetafile(const ScreenRect& rect, const char* fileName);
// `frame` (0.01 mm) may be null.
HMETAFILE RenderSelectionWindowsMetafile(const ScreenRect& rect, RECT* frame);
// {MM_ANISOTROPIC, frame width, frame height, metafile} in movable memory, or null.
HGLOBAL MakeMetafilePict(const ScreenRect& rect);
// 0, 100 when the picture cannot be made or held, or the stream's error.
int32_t WritePlaceableMetafile(const ScreenRect& rect, const char* path);

// The document's picture save types ("Enhanced Metafile (*.emf)", "Windows Metafile
// (*.wmf)"): the area written is the current page's window, what the user sees of the
// page, with every shown object as printing draws them, selected or not. 0, 100, or the
// stream's error.
int32_t SaveSketchPicture(const char* path, bool enhanced);

// The calls the clipboard is set through; tests replace them to refuse.
struct ClipboardCalls {
    BOOL (WINAPI* open)(HWND);
    BOOL (WINAPI* empty)();
    HANDLE (WINAPI* set)(UINT, HANDLE);
    BOOL (WINAPI* close)();
};
// Null restores the system's.
void SetClipboardCalls(const ClipboardCalls* calls);
// Where the messages go; null restores the message box.
using ClipboardErrorSink = void (*)(int32_t stringId);
void SetClipboardErrorSink(ClipboardErrorSink sink);

constexpr int32_t kClipboardOpenFailed      = 1418;
constexpr int32_t kClipboardEmptyFailed     = 1419;
constexpr int32_t kClipboardMetafileFailed  = 1420;
constexpr int32_t kClipboardWmfFailed       = 1421;
constexpr int32_t kClipboardBitmapFailed    = 1422;
constexpr int32_t kClipboardScriptFailed    = 1423;
constexpr int32_t kClipboardTextFailed      = 1424;
constexpr int32_t kClipboardLayoutFailed    = 1425;
void ShowClipboardError(int32_t stringId);
// The message's own text (for the program's string table and when it lacks the item).
const char* ClipboardErrorText(int32_t stringId);

// Takes every block (heap blocks are freed); whatever the clipboard does not take is
// freed as well. True when the sketch data was set.
bool PutSelectionOnClipboard(bool renderPicture, const ScreenRect& rect, SketchObject* picture, char* text,
                             uint32_t textSize, char* layoutText, uint32_t layoutSize, uint8_t* objectData,
                             uint32_t objectSize, const void* header, uint32_t headerSize);

}  // namespace release2
