// Builds the picture tests' sketches (no tests of its own: the file joins the test
// program through its name).
#include "tests/release2/win32/picture_sketch.h"

#include "tests/engine/core/sketch_fixture.h"

namespace {

Sketch* gPrevious = nullptr;

// The fixture's builders, used outside a test.
class Builder : public SketchTest {
public:
    void TestBody() override {}
    SketchObject* Point(double x, double y) { return PointAt(x, y); }
    SketchObject* Segment(SketchObject* a, SketchObject* b) { return Build(kTypeSegment, { a, b }); }
};

}  // namespace

Sketch* BeginSegmentSketch(double x1, double y1, double x2, double y2) {
    Sketch* sketch = CreateSketch(0, nullptr);
    if (!sketch) return nullptr;
    SetCurrentSketch(sketch, &gPrevious);
    // As a view would set them: the visible part is the whole window.
    sketch->windowRect = { 0, 0, 400, 300 };
    sketch->extent = sketch->windowRect;
    Builder b;
    SketchObject* p = b.Point(x1, y1);
    SketchObject* q = b.Point(x2, y2);
    SketchObject* s = p && q ? b.Segment(p, q) : nullptr;
    if (s) {
        s->color = 0;
        SelectSketchObject(s);  // a picture holds the selection
    }
    if (p) p->hidden = kHiddenByUser;
    if (q) q->hidden = kHiddenByUser;
    return sketch;
}

void EndPictureSketch(Sketch* sketch) {
    if (sketch) FreeSketch(sketch);
    SetCurrentSketch(gPrevious, nullptr);
    gPrevious = nullptr;
}
