#include "release2/platform/win32/port_text_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/services/later_release.h"
#include "engine/text/layout.h"
#include "platform/win32/render/port_text.h"
#include "release2/platform/win32/pictures.h"
#include "release2/platform/win32/platform_forms_win32.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

TextStyle Style(int16_t size, int16_t weight) {
    TextStyle s{};
    s.field[kStyleFont] = 1;
    s.field[kStyleSize] = size;
    s.field[kStyleWeight] = weight;
    s.field[kStyleSlant] = 1;
    s.field[kStyleUnderline] = 1;
    s.field[kStyleOvermark] = 1;
    s.field[kStyleWidth] = 1;
    return s;
}

// figlate's port text forms installed through the later-release table for the test.
class PortTextTest : public RenderTest {
protected:
    PortTextTest() {
        LaterReleaseForms forms = {};
        AddPlatformWin32Forms(&forms);
        InstallLaterForms(forms);
        state_.port = &port_;
    }
    ~PortTextTest() override {
        release2::PortFreeCaches();
        ResetLaterForms();
    }
    int32_t Alive() const {
        const release2::PortObjectCounts c = release2::PortCounts();
        return c.made - c.deleted;
    }
    LayoutDrawState state_{};
};

}  // namespace

TEST_F(PortTextTest, NestedStatesLeaveNoObjectInEitherOrderOfStyles) {
    const int32_t before = Alive();
    for (bool innerFirst : { false, true }) {
        SCOPED_TRACE(innerFirst);
        HDC dc = canvas_.dc();
        HGDIOBJ baseFont = GetCurrentObject(dc, OBJ_FONT);
        PortEnterTextState(dc);
        state_.style = Style(innerFirst ? 20 : 12, 1);
        PortApplyTextStyle(&state_);
        PortSelectStylePen(&state_, 1, 2);
        PortEnterTextState(dc);
        state_.style = Style(innerFirst ? 12 : 20, 2);
        PortApplyTextStyle(&state_);
        PortSelectStylePen(&state_, 3, 1);
        PortLeaveTextState(dc);
        // The outer state's font is the DC's again and still alive.
        EXPECT_EQ(GetObjectType(GetCurrentObject(dc, OBJ_FONT)), DWORD(OBJ_FONT));
        PortLeaveTextState(dc);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), baseFont);
        EXPECT_EQ(Alive(), before);
    }
}

TEST_F(PortTextTest, TheSameStyleTwiceMakesOneFontAndTheSamePenOne) {
    HDC dc = canvas_.dc();
    PortEnterTextState(dc);
    state_.style = Style(14, 1);
    const int32_t before = release2::PortCounts().made;
    PortApplyTextStyle(&state_);
    PortApplyTextStyle(&state_);
    PortSelectStylePen(&state_, 2, 1);
    PortSelectStylePen(&state_, 1, 2);
    EXPECT_EQ(release2::PortCounts().made - before, 2);
    state_.style.field[kStyleRed] = 200;  // a colour alone: the font stays, the pen changes
    PortApplyTextStyle(&state_);
    PortSelectStylePen(&state_, 2, 1);
    EXPECT_EQ(release2::PortCounts().made - before, 3);
    PortLeaveTextState(dc);
}

TEST_F(PortTextTest, OldStyleMetafilesMeasureAsTheScreenDoes) {
    HDC screen = GetDC(nullptr);
    HDC metafile = CreateMetaFileA(nullptr);
    state_.style = Style(16, 1);
    int32_t widths[2] = {}, height = 0;
    for (int i = 0; i < 2; ++i) {
        port_.dc = i == 0 ? screen : metafile;
        PortEnterTextState(port_.dc);
        PortApplyTextStyle(&state_);
        PortTextWidth(&state_, "Segment AB", 10, &widths[i], &height);
        PortLeaveTextState(port_.dc);
    }
    EXPECT_GT(widths[0], 0);
    EXPECT_EQ(widths[1], widths[0]);
    DeleteMetaFile(CloseMetaFile(metafile));
    ReleaseDC(nullptr, screen);
    port_.dc = canvas_.dc();
}

TEST_F(PortTextTest, GlyphPensGrowWithTheFont) {
    // 10 points at 96 pixels an inch is 13 pixels, 18 points 24.
    TextStyle small = Style(13, 1), large = Style(24, 1);
    EXPECT_EQ(GlyphPenWidth(&small), 1);
    EXPECT_EQ(GlyphPenWidth(&large), 2);
}
