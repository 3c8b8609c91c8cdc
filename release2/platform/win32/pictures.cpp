#include "release2/platform/win32/pictures.h"

#include <cstring>
#include <initializer_list>

#include "engine/core/drawing_pass.h"
#include "engine/core/geometry.h"
#include "engine/core/memory.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/preferences.h"
#include "engine/core/sketch.h"
#include "engine/docio/print_layout.h"
#include "engine/docio/streams.h"
#include "platform/win32/clipboard.h"
#include "platform/win32/pictures.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/object_style.h"
#include "platform/win32/ui_fonts.h"

namespace release2 {

namespace {

bool gMeasureOnScreen = false;
// Set while a picture file of the whole page is made: every shown object is drawn, as
// for printing, not only the selection.
bool gWholePage = false;

constexpr ClipboardCalls kSystemClipboard = { OpenClipboard, EmptyClipboard, SetClipboardData, CloseClipboard };
ClipboardCalls gClipboard = kSystemClipboard;
ClipboardErrorSink gErrorSink = nullptr;

struct ErrorText {
    int32_t id;
    const char* text;
};
constexpr ErrorText kClipboardErrors[] = {
    { kClipboardOpenFailed, "Cannot open the clipboard." },
    { kClipboardEmptyFailed, "Cannot empty the clipboard." },
    { kClipboardMetafileFailed, "Unable to copy enhanced metafile to the clipboard." },
    { kClipboardWmfFailed, "Unable to copy windows metafile to the clipboard." },
    { kClipboardBitmapFailed, "Unable to copy bitmap to the clipboard." },
    { kClipboardScriptFailed, "Unable to copy script to clipboard.." },
    { kClipboardTextFailed, "Unable to copy text to clipboard." },
    { kClipboardLayoutFailed, "Unable to copy formatted text to clipboard." },
};

int32_t PictureScale() {
    const int32_t s = ThePreferences().clipboardScale;
    return s > 0 ? s : 1;
}
int32_t ScreenDpi() {
    const int32_t d = ThePreferences().resolution;
    return d > 0 ? d : 96;
}

// The sketch drawn as for printing, into a metafile DC whose mapping mode is set.
void RenderSketchIntoMetafile(GraphicsPort* port, const PictureMapping& m, PrintSettings* settings) {
    HDC dc = port->dc;
    SetWindowExtEx(dc, m.windowExtentX, m.windowExtentY, nullptr);
    if (!gMeasureOnScreen) SetViewportExtEx(dc, m.viewportExtentX, m.viewportExtentY, nullptr);
    SetWindowOrgEx(dc, m.windowOriginX, m.windowOriginY, nullptr);
    if (!gMeasureOnScreen) SetViewportOrgEx(dc, 0, 0, nullptr);
    Sketch* sketch = CurrentSketch();
    CurrentSketchScope scope(sketch);
    UseUiFontsForDpi(settings->resolution);
    ComputePrintExtent(true);
    SetPrintingToPage(false);  // a picture, not paper: pens keep their picture widths
    BeginPrintPage(sketch, 0, settings);
    PrintState().pageOffsetX = 0;
    PrintState().pageOffsetY = 0;
    const OutputScale saved = CurrentOutputScale;
    const OutputScale scale = { 1, PrintState().scale, 0, 0 };
    CurrentOutputScale = scale;
    PaintBackgroundScaled(port, sketch, &scale);
    if (gWholePage) DrawSketchForPrint(port, &sketch->windowRect, &scale);
    else DrawSketchPicture(port, &scale);
    CurrentOutputScale = saved;
    EndPrinting(sketch);
    RestoreUiFonts();
}

// A heap block copied to movable memory with a NUL after it; the heap block is freed.
HGLOBAL CopyBlockToGlobal(char* block, uint32_t size) {
    if (!block) return nullptr;
    HGLOBAL g = MovableCopy(nullptr, 0, block, size, 1);
    FreeMemory(block);
    return g;
}

void FreeMetafilePict(HGLOBAL block) {
    if (!block) return;
    if (auto* pict = static_cast<METAFILEPICT*>(GlobalLock(block))) {
        if (pict->hMF) DeleteMetaFile(pict->hMF);
        GlobalUnlock(block);
    }
    GlobalFree(block);
}

HWND SketchWindow() {
    GraphicsPort* port = SketchViewPort(CurrentSketch());
    return port ? port->hwnd : nullptr;
}

}  // namespace

bool MeasuringOnScreen() { return gMeasureOnScreen; }

bool ComputePictureMapping(const ScreenRect& rect, bool enhanced, GraphicsPort* portCopy, PrintSettings* settings,
                           HDC* reference, PictureMapping* mapping) {
    Sketch* sketch = CurrentSketch();
    GraphicsPort* view = SketchViewPort(sketch);
    if (!sketch || !view || !view->windowDC) return false;
    *portCopy = *view;
    *reference = view->windowDC;
    const int32_t s = PictureScale(), d = ScreenDpi();
    InitPrintSettings(settings);
    settings->resolution = s * d;
    settings->pageWidth = int16_t(s * (rect.right - rect.left));
    settings->pageHeight = int16_t(s * (rect.bottom - rect.top));
    const int32_t percent = settings->scalePercent > 0 ? int32_t(settings->scalePercent + 0.5) : 100;
    const PictureMappingInput in = { rect, s, d, percent,
                                     GetDeviceCaps(*reference, HORZSIZE), GetDeviceCaps(*reference, VERTSIZE),
                                     GetDeviceCaps(*reference, HORZRES), GetDeviceCaps(*reference, VERTRES) };
    if (!ComputePictureMappingNumbers(in, enhanced, mapping)) return false;
    const PictureBox& b = mapping->lineBounds;
    portCopy->lineBounds = { b.left, b.top, b.right, b.bottom };
    portCopy->paintRect = portCopy->lineBounds;
    return true;
}

HENHMETAFILE RenderSelectionMetafile(const ScreenRect& rect, const char* fileName) {
    GraphicsPort port{};
    PrintSettings settings{};
    HDC reference = nullptr;
    PictureMapping m{};
    if (!ComputePictureMapping(rect, true, &port, &settings, &reference, &m)) return nullptr;
    const RECT frame = { m.frame.left, m.frame.top, m.frame.right, m.frame.bottom };
    HDC dc = CreateEnhMetaFileA(reference, fileName, &frame, "Velmora\0");
    if (!dc) return nullptr;
    const int oldMode = SetMapMode(dc, MM_ANISOTROPIC);
    port.dc = dc;
    RenderSketchIntoMetafile(&port, m, &settings);
    SetMapMode(dc, oldMode);
    return CloseEnhMetaFile(dc);
}

HMETAFILE RenderSelectionWindowsMetafile(const ScreenRect& rect, RECT* frame) {
    GraphicsPort port{};
    PrintSettings settings{};
    HDC reference = nullptr;
    PictureMapping m{};
    if (!ComputePictureMapping(rect, false, &port, &settings, &reference, &m)) return nullptr;
    if (frame) *frame = { m.frame.left, m.frame.top, m.frame.right, m.frame.bottom };
    HDC dc = CreateMetaFileA(nullptr);
    if (!dc) return nullptr;
    port.dc = dc;
    gMeasureOnScreen = true;
    RenderSketchIntoMetafile(&port, m, &settings);
    HMETAFILE metafile = CloseMetaFile(dc);
    gMeasureOnScreen = false;
    return metafile;
}

HGLOBAL MakeMetafilePict(const ScreenRect& rect) {
    RECT frame{};
    HMETAFILE metafile = RenderSelectionWindowsMetafile(rect, &frame);
    if (!metafile) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
    auto* pict = block ? static_cast<METAFILEPICT*>(GlobalLock(block)) : nullptr;
    if (!pict) {
        if (block) GlobalFree(block);
        DeleteMetaFile(metafile);
        return nullptr;
    }
    pict->mm = MM_ANISOTROPIC;
    pict->xExt = frame.right - frame.left;
    pict->yExt = frame.bottom - frame.top;
    pict->hMF = metafile;
    GlobalUnlock(block);
    return block;
}

int32_t WritePlaceableMetafile(const ScreenRect& rect, const char* path) {
    HMETAFILE metafile = RenderSelectionWindowsMetafile(rect, nullptr);
    if (!metafile) return kResultOutOfMemory;
    ResultCode rc = kResultOutOfMemory;
    const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    HGLOBAL bits = size ? GlobalAlloc(GMEM_FIXED, size) : nullptr;
    uint8_t header[kPlaceableHeaderBytes];
    HDC desktop = GetDC(GetDesktopWindow());
    const int32_t unitsPerInch = desktop ? GetDeviceCaps(desktop, LOGPIXELSX) : 96;
    if (desktop) ReleaseDC(GetDesktopWindow(), desktop);
    const int32_t s = PictureScale();
    if (bits && GetMetaFileBitsEx(metafile, size, bits) == size &&
        BuildPlaceableHeader(s * (rect.right - rect.left), s * (rect.bottom - rect.top), unitsPerInch, header)) {
        StreamHandle stream = 0;
        rc = OpenFileStreamForWrite(path, &stream);
        if (rc == kResultOK) {
            rc = StreamWrite(stream, header, sizeof header);
            if (rc == kResultOK) rc = StreamWrite(stream, bits, size);
            const ResultCode closed = CloseStream(stream);
            if (rc == kResultOK) rc = closed;
        }
    }
    if (bits) GlobalFree(bits);
    DeleteMetaFile(metafile);
    return rc;
}

int32_t SaveSketchPicture(const char* path, bool enhanced) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || ScreenRectIsEmpty(sketch->windowRect)) return kResultOutOfMemory;
    const ScreenRect area = sketch->windowRect;
    gWholePage = true;
    int32_t rc = kResultOK;
    if (!enhanced) {
        rc = WritePlaceableMetafile(area, path);
    } else if (HENHMETAFILE metafile = RenderSelectionMetafile(area, path)) {
        DeleteEnhMetaFile(metafile);
    } else {
        rc = kResultOutOfMemory;
    }
    gWholePage = false;
    return rc;
}

void SetClipboardCalls(const ClipboardCalls* calls) { gClipboard = calls ? *calls : kSystemClipboard; }
void SetClipboardErrorSink(ClipboardErrorSink sink) { gErrorSink = sink; }

const char* ClipboardErrorText(int32_t stringId) {
    for (const ErrorText& e : kClipboardErrors)
        if (e.id == stringId) return e.text;
    return "";
}

void ShowClipboardError(int32_t stringId) {
    if (gErrorSink) {
        gErrorSink(stringId);
        return;
    }
    char text[256] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), UINT(stringId), text, sizeof text) <= 0)
        lstrcpynA(text, ClipboardErrorText(stringId), sizeof text);
    MessageBoxA(SketchWindow(), text, "", MB_OK);
}

bool PutSelectionOnClipboard(bool renderPicture, const ScreenRect& rect, SketchObject* picture, char* text,
                             uint32_t textSize, char* layoutText, uint32_t layoutSize, uint8_t* objectData,
                             uint32_t objectSize, const void* header, uint32_t headerSize) {
    PictureHandles images{};
    HGLOBAL metafilePict = nullptr;
    if (picture) {
        CopyPictureHandles(picture, &images);
    } else if (renderPicture) {
        images.metafile = RenderSelectionMetafile(rect, nullptr);
        metafilePict = MakeMetafilePict(rect);
    }
    RegisterClipboardFormats();
    HANDLE objects = nullptr;
    if (objectData && headerSize <= 64) {
        // The u32 header length, the header, then the objects.
        uint8_t head[4 + 64];
        std::memcpy(head, &headerSize, 4);
        if (headerSize) std::memcpy(head + 4, header, headerSize);
        objects = MovableCopy(head, 4 + headerSize, objectData, objectSize, 0);
    }
    FreeMemory(objectData);
    HANDLE plain = CopyBlockToGlobal(text, textSize);
    HANDLE layout = CopyBlockToGlobal(layoutText, layoutSize);

    HANDLE metafile = images.metafile, dib = images.dib, pict = metafilePict;
    auto freeAll = [&] {
        if (metafile) DeleteEnhMetaFile(static_cast<HENHMETAFILE>(metafile));
        if (dib) GlobalFree(dib);
        FreeMetafilePict(static_cast<HGLOBAL>(pict));
        for (HANDLE g : { objects, plain, layout })
            if (g) GlobalFree(g);
        metafile = dib = pict = objects = plain = layout = nullptr;
    };
    if (!gClipboard.open(nullptr)) {
        ShowClipboardError(kClipboardOpenFailed);
        freeAll();
        return false;
    }
    if (!gClipboard.empty()) {
        ShowClipboardError(kClipboardEmptyFailed);
        gClipboard.close();
        freeAll();
        return false;
    }
    bool objectsTaken = false;
    // A format the clipboard takes is its own; one it refuses stays ours and is freed below.
    auto set = [&](UINT format, HANDLE* data, int32_t refused) {
        if (!*data) return false;
        if (!gClipboard.set(format, *data)) {
            ShowClipboardError(refused);
            return false;
        }
        *data = nullptr;
        return true;
    };
    if (metafile) set(CF_ENHMETAFILE, &metafile, kClipboardMetafileFailed);
    else set(CF_DIB, &dib, kClipboardBitmapFailed);
    set(CF_METAFILEPICT, &pict, kClipboardWmfFailed);
    objectsTaken = set(SketchClipboardFormat(), &objects, kClipboardScriptFailed);
    set(CF_TEXT, &plain, kClipboardTextFailed);
    set(LayoutClipboardFormat(), &layout, kClipboardLayoutFailed);
    gClipboard.close();
    freeAll();
    UpdatePasteAvailability();
    return objectsTaken;
}

}  // namespace release2
