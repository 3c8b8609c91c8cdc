#include "release2/platform/win32/platform_forms_win32.h"

#include "engine/core/screen_types.h"
#include "release2/platform/win32/picture_drawing.h"
#include "release2/platform/win32/pictures.h"
#include "release2/platform/win32/port_text_win32.h"
#include "release2/platform/win32/trace_fading_win32.h"

namespace {

bool PutSelection(bool renderPicture, ScreenRect* rect, SketchObject* picture, char* text, uint32_t textSize,
                  char* layoutText, uint32_t layoutSize, uint8_t* objectData, uint32_t objectSize, const void* header,
                  uint32_t headerSize) {
    const ScreenRect area = rect ? *rect : ScreenRect{};
    return release2::PutSelectionOnClipboard(renderPicture, area, picture, text, textSize, layoutText, layoutSize,
                                             objectData, objectSize, header, headerSize);
}

int32_t EnterTextState(void* dc) { return release2::PortEnterTextState(static_cast<HDC>(dc)); }
void LeaveTextState(void* dc) { release2::PortLeaveTextState(static_cast<HDC>(dc)); }

}  // namespace

void AddPlatformWin32Forms(LaterReleaseForms* forms) {
    forms->platform.fadeTracesStep = release2::FadeTracesStep;
    forms->platform.putSelectionOnClipboard = PutSelection;
    forms->platform.showClipboardError = release2::ShowClipboardError;
    forms->platform.renderPicture = release2::DrawPictureViaMemoryBitmap;
    forms->platform.enterTextState = EnterTextState;
    forms->platform.leaveTextState = LeaveTextState;
    forms->platform.applyTextStyle = release2::PortApplyTextStyle;
    forms->platform.selectStylePen = release2::PortSelectStylePen;
    forms->platform.textWidth = release2::PortTextWidth;
    forms->platform.fontMetrics = release2::PortGetTextMetrics;
    forms->platform.beginOutline = release2::PortBeginOutline;
    forms->platform.endOutline = release2::PortEndOutline;
    forms->platform.glyphPenWidth = release2::GlyphPenWidth;
    forms->platform.freePortCaches = release2::PortFreeCaches;
}
