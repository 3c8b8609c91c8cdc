#include "release2/platform/win32/platform_forms_win32.h"

#include "engine/core/screen_types.h"
#include "release2/platform/win32/picture_drawing.h"
#include "release2/platform/win32/pictures.h"
#include "release2/platform/win32/trace_fading_win32.h"

namespace {

bool PutSelection(bool renderPicture, ScreenRect* rect, SketchObject* picture, char* text, uint32_t textSize,
                  char* layoutText, uint32_t layoutSize, uint8_t* objectData, uint32_t objectSize, const void* header,
                  uint32_t headerSize) {
    const ScreenRect area = rect ? *rect : ScreenRect{};
    return release2::PutSelectionOnClipboard(renderPicture, area, picture, text, textSize, layoutText, layoutSize,
                                             objectData, objectSize, header, headerSize);
}

}  // namespace

void AddPlatformWin32Forms(LaterReleaseForms* forms) {
    forms->platform.fadeTracesStep = release2::FadeTracesStep;
    forms->platform.putSelectionOnClipboard = PutSelection;
    forms->platform.renderPicture = release2::DrawPictureViaMemoryBitmap;
}
