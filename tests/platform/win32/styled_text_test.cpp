// A line of styled text drawn for a dimmed object takes a colour moved toward the
// background; other text keeps its style's colour.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/services/fonts.h"
#include "engine/core/sketch_object.h"
#include "engine/text/text_style.h"
#include "platform/win32/fonts.h"
#include "platform/win32/render/object_style.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

class StyledText : public RenderTest {
protected:
    StyledText() {
        static const bool fonts = BuildFontList();
        EXPECT_TRUE(fonts);
        FillTextStyle(&style_, 1);
        style_.field[kStyleFont] = 0;
        style_.field[kStyleSize] = 24;
        style_.field[kStyleScriptLevel] = 0;
        style_.field[kStyleRed] = 1;  // black
        style_.field[kStyleGreen] = 1;
        style_.field[kStyleBlue] = 1;
        savedLevel_ = GetDimLevel();
        SetDimLevel(kFixedDimLevel);
    }
    ~StyledText() override { RestoreDimLevel(savedLevel_); }
    void Draw(const SketchObject* object) {
        canvas_.Fill(kWhite);
        const StyledTextLine line = { &port_, "MMMM", 4, &style_, 0, 10, 10, object };
        DrawStyledTextLine(&line);
    }
    TextStyle style_{};
    int32_t savedLevel_ = 0;
};

TEST_F(StyledText, ADimmedObjectsTextMovesTowardTheBackground) {
    SketchObject object{};
    Draw(&object);
    EXPECT_GT(canvas_.Count(kBlack), 0);

    object.markFlags = kMarkDimmed;
    Draw(&object);
    EXPECT_EQ(canvas_.Count(kBlack), 0);
    const RECT drawn = canvas_.Extent(kWhite);
    EXPECT_FALSE(IsRectEmpty(&drawn));  // still drawn, only lighter
}

}  // namespace
