#include "platform/win32/clipboard.h"

#include <cstring>
#include <initializer_list>

#include "engine/core/clipboard_availability.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/memory.h"
#include "engine/core/print_state.h"
#include "engine/core/services/clipboard.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch.h"
#include "engine/docio/print_layout.h"
#include "platform/rules/clipboard_framing.h"
#include "platform/win32/pictures.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/ui_fonts.h"

namespace {

UINT gSketchFormat = 0;
UINT gLayoutFormat = 0;

constexpr int32_t kHundredthsOfMmPerInch = 2540;

HWND SketchWindow() {
    GraphicsPort* port = SketchViewPort(CurrentSketch());
    return port ? port->hwnd : nullptr;
}

void Complain(const char* text) { MessageBoxA(SketchWindow(), text, "", MB_OK); }

// The paste's message when the clipboard will not open; the later release words it its own way.
void ComplainCannotOpen() {
    if (auto form = LaterForms().platform.showClipboardError) return form(1418);
    Complain("Cannot open the Clipboard");
}


void FreeGlobal(HGLOBAL* g) {
    if (*g) GlobalFree(*g);
    *g = nullptr;
}

// Sets one format; the block belongs to the clipboard once it is taken.
void SetFormat(UINT format, HANDLE* data, const char* refused, bool* taken = nullptr) {
    if (!*data) return;
    if (SetClipboardData(format, *data)) {
        *data = nullptr;
        if (taken) *taken = true;
    } else {
        Complain(refused);
    }
}

}  // namespace

HGLOBAL MovableCopy(const void* head, uint32_t headSize, const void* bytes, uint32_t size, uint32_t extra) {
    const uint64_t total = uint64_t(headSize) + size + extra;
    if (total > 0x7FFFFFFF) return nullptr;
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(total ? total : 1));
    if (!g) return nullptr;
    auto* p = static_cast<uint8_t*>(GlobalLock(g));
    if (!p) {
        GlobalFree(g);
        return nullptr;
    }
    if (headSize) std::memcpy(p, head, headSize);
    if (size) std::memcpy(p + headSize, bytes, size);
    if (extra) std::memset(p + headSize + size, 0, extra);
    GlobalUnlock(g);
    return g;
}

bool RegisterClipboardFormats() {
    if (!gSketchFormat) gSketchFormat = RegisterClipboardFormatA(kSketchClipboardFormatName);
    if (!gLayoutFormat) gLayoutFormat = RegisterClipboardFormatA(kLayoutClipboardFormatName);
    return gSketchFormat && gLayoutFormat;
}

UINT SketchClipboardFormat() { return gSketchFormat; }
UINT LayoutClipboardFormat() { return gLayoutFormat; }

void UpdatePasteAvailability() {
    RegisterClipboardFormats();
    UpdateClipboardAvailability(gSketchFormat && IsClipboardFormatAvailable(gSketchFormat),
                                IsClipboardFormatAvailable(CF_TEXT),
                                gLayoutFormat && IsClipboardFormatAvailable(gLayoutFormat),
                                IsClipboardFormatAvailable(CF_ENHMETAFILE) || IsClipboardFormatAvailable(CF_DIB));
}

void PutClipboardBlock(UINT format, const void* bytes, uint32_t size) {
    HGLOBAL g = MovableCopy(nullptr, 0, bytes, size, 1);
    if (g && !SetClipboardData(format, g)) GlobalFree(g);
}

bool PutSelectionOnClipboard(bool renderPicture, ScreenRect* rect, SketchObject* picture, char* text,
                             uint32_t textSize, char* layoutText, uint32_t layoutSize, uint8_t* objectData,
                             uint32_t objectSize, const void* header, uint32_t headerSize) {
    if (auto form = LaterForms().platform.putSelectionOnClipboard)
        return form(renderPicture, rect, picture, text, textSize, layoutText, layoutSize, objectData, objectSize,
                    header, headerSize);
    PictureHandles images{};
    if (picture) CopyPictureHandles(picture, &images);
    if (renderPicture) {
        if (images.metafile) DeleteEnhMetaFile(static_cast<HENHMETAFILE>(images.metafile));
        images.metafile = RenderSelectionMetafile(rect);
    }
    RegisterClipboardFormats();
    HANDLE objects = nullptr, plain = nullptr, layout = nullptr;
    if (objectData) {
        // The u32 header length, the header, then the objects.
        uint8_t head[4 + 64];
        if (headerSize <= 64) {
            std::memcpy(head, &headerSize, 4);
            std::memcpy(head + 4, header, headerSize);
            objects = MovableCopy(head, 4 + headerSize, objectData, objectSize, 0);
        }
    }
    if (text) plain = MovableCopy(nullptr, 0, text, textSize, 1);
    if (layoutText) layout = MovableCopy(nullptr, 0, layoutText, layoutSize, 1);
    FreeMemory(objectData);
    FreeMemory(text);
    FreeMemory(layoutText);

    HANDLE metafile = images.metafile, dib = images.dib;
    auto freeAll = [&] {
        if (metafile) DeleteEnhMetaFile(static_cast<HENHMETAFILE>(metafile));
        if (dib) GlobalFree(dib);
        for (HANDLE* g : { &objects, &plain, &layout }) FreeGlobal(reinterpret_cast<HGLOBAL*>(g));
    };
    if (!OpenClipboard(nullptr)) {
        Complain("Cannot open the Clipboard");
        freeAll();
        return false;
    }
    if (!EmptyClipboard()) {
        Complain("Cannot empty the Clipboard");
        CloseClipboard();
        freeAll();
        return false;
    }
    bool objectsTaken = false;
    if (metafile) SetFormat(CF_ENHMETAFILE, &metafile, "Unable to set Clipboard picture metafile data");
    else if (dib) SetFormat(CF_DIB, &dib, "Unable to set Clipboard picture dib data");
    SetFormat(gSketchFormat, &objects, "Unable to set Clipboard script data", &objectsTaken);
    SetFormat(CF_TEXT, &plain, "Unable to set Clipboard text data");
    SetFormat(gLayoutFormat, &layout, "Unable to set Clipboard MFS data");
    CloseClipboard();
    freeAll();  // what the clipboard refused
    UpdatePasteAvailability();
    return objectsTaken;
}

void PutTextOnClipboard(char* layoutText, uint32_t layoutSize, char* text, uint32_t textSize) {
    RegisterClipboardFormats();
    if (OpenClipboard(nullptr)) {
        if (EmptyClipboard()) {
            if (layoutText) PutClipboardBlock(gLayoutFormat, layoutText, layoutSize);
            if (text) PutClipboardBlock(CF_TEXT, text, textSize);
        }
        CloseClipboard();
    }
    FreeMemory(layoutText);
    FreeMemory(text);
    UpdatePasteAvailability();
}

uint8_t* PasteSketchDataFromClipboard(uint32_t* size, void* header, uint32_t headerSize) {
    *size = 0;
    RegisterClipboardFormats();
    if (!OpenClipboard(nullptr)) {
        ComplainCannotOpen();
        return nullptr;
    }
    uint8_t* result = nullptr;
    HANDLE data = gSketchFormat ? GetClipboardData(gSketchFormat) : nullptr;
    const auto* block = data ? static_cast<const uint8_t*>(GlobalLock(data)) : nullptr;
    if (block) {
        const SIZE_T available = GlobalSize(data);
        uint32_t offset = 0, length = 0;
        if (available <= 0x7FFFFFFF &&
            UnframeSketchData(block, uint32_t(available), headerSize, &offset, &length)) {
            result = static_cast<uint8_t*>(AllocMemory(length ? length : 1, 0));
            if (result) {
                std::memcpy(header, block + 4, headerSize);
                std::memcpy(result, block + offset, length);
                *size = length;
            }
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return result;
}

ResultCode ReadClipboardData(int32_t kind, uint8_t** out, uint32_t* size) {
    *out = nullptr;
    *size = 0;
    RegisterClipboardFormats();
    const UINT format = kind == kClipboardSketchData ? gSketchFormat
                        : kind == kClipboardPlainText ? UINT(CF_TEXT)
                                                      : gLayoutFormat;
    if (!OpenClipboard(nullptr)) return kResultClipboardUnreadable;
    ResultCode rc = kResultClipboardUnreadable;
    HANDLE data = format ? GetClipboardData(format) : nullptr;
    const auto* block = data ? static_cast<const uint8_t*>(GlobalLock(data)) : nullptr;
    if (block) {
        const SIZE_T available = GlobalSize(data);
        // A block of no bytes has no room for the NUL that ends it: nothing to paste.
        if (available > 0 && available <= 0x7FFFFFFF) {
            *out = static_cast<uint8_t*>(AllocMemory(available, 0));
            if (*out) {
                std::memcpy(*out, block, available);
                (*out)[available - 1] = 0;
                *size = uint32_t(available);
                rc = kResultOK;
            } else {
                rc = kResultOutOfMemory;
            }
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return rc;
}

HENHMETAFILE RenderSelectionMetafile(ScreenRect* rect) {
    Sketch* sketch = CurrentSketch();
    GraphicsPort* view = SketchViewPort(sketch);
    if (!sketch || !view || !view->windowDC) return nullptr;
    GraphicsPort port = *view;
    HDC reference = view->windowDC;
    const int32_t f = ThePreferences().clipboardScale > 0 ? ThePreferences().clipboardScale : 1;
    const int32_t dpi = ThePreferences().resolution > 0 ? ThePreferences().resolution : 96;

    const int32_t hSize = GetDeviceCaps(reference, HORZSIZE), vSize = GetDeviceCaps(reference, VERTSIZE);
    const int32_t hRes = GetDeviceCaps(reference, HORZRES), vRes = GetDeviceCaps(reference, VERTRES);
    if (hSize <= 0 || vSize <= 0 || hRes <= 0 || vRes <= 0) return nullptr;
    // Pixels that are not square: the picture is stretched so that it keeps its shape.
    const int64_t across = int64_t(vRes) * hSize, down = int64_t(hRes) * vSize;
    if (across > down) {
        rect->right = int16_t(rect->left + MulDiv(rect->right - rect->left, vRes * hSize, hRes * vSize));
    } else if (across < down) {
        rect->bottom = int16_t(rect->top + MulDiv(rect->bottom - rect->top, hRes * vSize, vRes * hSize));
    }
    const int32_t width = rect->right - rect->left, height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0) return nullptr;

    PrintSettings settings{};
    InitPrintSettings(&settings);
    settings.scalePercent = 100;
    settings.pageWidth = int16_t(f * width);
    settings.pageHeight = int16_t(f * height);
    settings.resolution = dpi * f;
    const RECT inner = { f * (rect->left + 1), f * (rect->top + 1), f * (rect->right - 1), f * (rect->bottom - 1) };
    port.lineBounds = inner;
    port.paintRect = inner;

    const RECT frame = { f * rect->left * kHundredthsOfMmPerInch / dpi, f * rect->top * kHundredthsOfMmPerInch / dpi,
                         f * rect->right * kHundredthsOfMmPerInch / dpi,
                         f * rect->bottom * kHundredthsOfMmPerInch / dpi };
    HDC dc = CreateEnhMetaFileA(reference, nullptr, &frame, "Velmora\0");
    if (!dc) return nullptr;
    const int oldMode = SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, int(100.0 * width + 0.5), int(100.0 * height + 0.5), nullptr);
    SetViewportExtEx(dc, int(int64_t(width) * hRes * kHundredthsOfMmPerInch / (int64_t(dpi) * hSize)),
                     int(int64_t(height) * vRes * kHundredthsOfMmPerInch / (int64_t(dpi) * vSize)), nullptr);
    port.dc = dc;
    {
        CurrentSketchScope scope(sketch);
        UseUiFontsForDpi(dpi * f);
        ComputePrintExtent(true);
        // A picture, not paper: pens keep their picture widths.
        SetPrintingToPage(false);
        BeginPrintPage(sketch, 0, &settings);
        PrintState().pageOffsetX = 0;
        PrintState().pageOffsetY = 0;
        const OutputScale saved = CurrentOutputScale;
        const OutputScale scale = { 1, PrintState().scale, 0, 0 };
        CurrentOutputScale = scale;
        PaintBackgroundScaled(&port, sketch, &scale);
        DrawSketchPicture(&port, &scale);
        CurrentOutputScale = saved;
        EndPrinting(sketch);
        RestoreUiFonts();
    }
    SetMapMode(dc, oldMode);
    return CloseEnhMetaFile(dc);
}
