// Text-bearing objects through their class's slots: the frame of a highlighted object
// and the selection highlight, which leaves the object's own state as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/object_tables.h"
#include "engine/text/captions.h"
#include "platform/win32/render/object_style.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

class TextObjectDrawing : public RenderTest {
protected:
    SketchObject* Caption() {
        CaptionData* d;
        SketchObject* caption = MakeObject(kClassCaption, 0, kBlack, &d);
        caption->bounds = { 60, 60, 140, 100 };
        return caption;
    }
};

TEST_F(TextObjectDrawing, HighlightedObjectIsFramedInTheSelectionColour) {
    SketchObject* caption = Caption();
    caption->markFlags = 0x01;
    ObjectClassTable[kClassCaption].draw(&port_, caption);
    EXPECT_EQ(canvas_.At(58, 80), kSelection);
    EXPECT_EQ(canvas_.At(100, 58), kSelection);
    EXPECT_EQ(canvas_.At(62, 80), kWhite);
    EXPECT_EQ(canvas_.At(54, 80), kWhite);
}

TEST_F(TextObjectDrawing, SelectionFillsTheBoundsInsideAContrastFrame) {
    SketchObject* caption = Caption();
    caption->markFlags = 0x08;
    SetDimLevel(10);
    ObjectClassTable[kClassCaption].drawSelected(&port_, caption);
    EXPECT_EQ(canvas_.At(59, 80), kBlack);       // the contrast frame, 1 pixel out
    EXPECT_EQ(canvas_.At(60, 80), kWhite);       // outlined in the background colour
    EXPECT_EQ(canvas_.At(100, 80), kHighlight);  // filled with the highlight colour
    EXPECT_EQ(caption->markFlags, 0x08u);
    EXPECT_EQ(GetDimLevel(), 10);
    EXPECT_EQ(DimmedObject(), nullptr);
    SetDimLevel(0);
}

}  // namespace
