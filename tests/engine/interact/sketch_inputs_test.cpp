#include <gtest/gtest.h>

#include "engine/core/sketch.h"
#include "engine/interact/neighbour_services.h"

// The inputs the command states read of a sketch (snapping, ...) are
// the sketch's own for as long as it lives, however many sketches there are.
TEST(SketchCommandInputs, NineSketchesKeepTheirOwnAndANewSketchStartsIdle) {
    Sketch* sketches[9];
    for (int32_t i = 0; i < 9; ++i) {
        sketches[i] = CreateSketch(0, nullptr);
        ASSERT_NE(sketches[i], nullptr);
        CommandInputsOf(sketches[i]).captionCanUndo = i + 1;
    }
    for (int32_t i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(CommandInputsOf(sketches[i]).captionCanUndo, i + 1);
    }
    for (Sketch* s : sketches) FreeSketch(s);

    // Nothing of a freed sketch carries over to the next one, wherever it is allocated.
    for (Sketch*& s : sketches) {
        s = CreateSketch(0, nullptr);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(CommandInputsOf(s).captionCanUndo, 0);
    }
    for (Sketch* s : sketches) FreeSketch(s);
}
