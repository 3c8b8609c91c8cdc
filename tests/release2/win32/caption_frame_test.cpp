// figlate's frame of the caption being edited: dotted in the text colour around a fill of
// the sketch's background, and the 5 by 5 handle at its bottom-right corner; the DC's mix
// mode and objects as they were afterwards.
#include "release2/draw/win32/caption_frame.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/platform/win32/render_fixture.h"

namespace {

class CaptionFrameTest : public RenderTest {};

TEST_F(CaptionFrameTest, DottedFrameOnTheBackgroundAndAFiveByFiveHandle) {
    const COLORREF background = RGB(255, 255, 0);
    const COLORREF text = RGB(0, 0, 200);
    SetBackground(background);
    canvas_.Fill(RGB(0, 255, 0));  // what lay under the frame: the fill covers it
    HDC dc = canvas_.dc();
    SetROP2(dc, R2_MASKPEN);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);

    const ScreenRect frame = { 20, 30, 120, 70 };
    DrawCaptionEditFrame(&port_, frame, text);
    DrawCaptionEditHandle(&port_, frame, text);

    // Inside: the background. Outside: untouched.
    EXPECT_EQ(canvas_.At(60, 50), background);
    EXPECT_EQ(canvas_.At(19, 50), RGB(0, 255, 0));
    EXPECT_EQ(canvas_.At(120, 50), RGB(0, 255, 0));
    // The top edge is dotted in the text colour: some of its pixels, not all.
    int inked = 0;
    for (int x = 20; x < 110; ++x) inked += canvas_.At(x, 30) == text;
    EXPECT_GT(inked, 20);
    EXPECT_LT(inked, 80);
    // The handle: exactly the 5 by 5 square at the corner.
    const RECT handle = { 115, 65, 120, 70 };
    for (int y = 60; y < 72; ++y)
        for (int x = 110; x < 122; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const POINT p = { x, y };
            if (PtInRect(&handle, p)) {
                EXPECT_EQ(canvas_.At(x, y), text);
            } else if (x < 119 && y < 69) {  // the frame's own right and bottom edges aside
                EXPECT_NE(canvas_.At(x, y), text);
            }
        }

    EXPECT_EQ(GetROP2(dc), R2_MASKPEN);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
}

}  // namespace
