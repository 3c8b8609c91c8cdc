// A change of the sketch's colours chooses the highlight of selected objects again and
// redraws the views, but only for the colour changes and a sketch shown in a view.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/services/colors.h"
#include "platform/rules/colors.h"
#include "tests/platform/win32/render_fixture.h"
#include "tests/support/views_double.h"

namespace {

GraphicsPort* gViewPort = nullptr;
GraphicsPort* ViewPortLookup(Sketch*) { return gViewPort; }

class SelectionColor : public RenderTest {
protected:
    SelectionColor() { SetSketchPortLookup(ViewPortLookup); }
    ~SelectionColor() override {
        gViewPort = nullptr;
        SetSketchPortLookup(nullptr);
    }
};

TEST_F(SelectionColor, ColourChangesChooseAgainAndRedrawOnlyWithAView) {
    sketch_->settings.palette[kColorSlotBackground] = RGB(0, 0, 64);  // now dark
    const SelectionColors expected = SelectionColorsFor(RGB(0, 0, 64), kHighlight);
    constexpr COLORREF kStale = RGB(1, 2, 3);
    port_.selectionColor = kStale;
    const int32_t rebuilds = RecordedViewRequests().viewRebuilds;

    RefreshSelectionColor(6);  // no view shows the sketch
    EXPECT_EQ(port_.selectionColor, kStale);
    gViewPort = &port_;
    RefreshSelectionColor(5);  // not a colour change
    EXPECT_EQ(port_.selectionColor, kStale);
    EXPECT_EQ(RecordedViewRequests().viewRebuilds, rebuilds);

    for (int32_t kind : { 6, 7 }) {
        port_.selectionColor = kStale;
        port_.contrastColor = kStale;
        RefreshSelectionColor(kind);
        EXPECT_EQ(port_.selectionColor, expected.selection) << kind;
        EXPECT_EQ(port_.contrastColor, expected.contrast) << kind;
    }
    EXPECT_EQ(RecordedViewRequests().viewRebuilds, rebuilds + 2);
}

}  // namespace
