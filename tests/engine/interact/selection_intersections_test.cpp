// Intersection counts of two objects as they stand. Kept apart from the command
// fixture: it needs the arcs' class data and nothing of the calculations.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "engine/core/arc_data.h"
#include "engine/core/circles.h"
#include "engine/core/object_tables.h"
#include "engine/core/straight_objects.h"
#include "engine/interact/selection_census.h"

namespace {

struct ObjectBlock {
    alignas(8) unsigned char bytes[sizeof(SketchObject) + 512];  // room for any class's data
};

class Objects {
public:
    SketchObject& Make(int32_t objectClass, int32_t kind, int32_t type) {
        ObjectBlock& block = blocks_.emplace_back();
        std::memset(block.bytes, 0, sizeof block.bytes);
        SketchObject& o = *reinterpret_cast<SketchObject*>(block.bytes);
        o.objectClass = objectClass;
        o.objectKind = kind;
        o.constructionType = type;
        o.exists = 1;
        return o;
    }
    SketchObject& Segment(RealPoint a, RealPoint b) {
        SketchObject& o = Make(kClassStraight, kKindSegment, kTypeSegment);
        ClassData<StraightData>(&o)->form = MakeLineForm(a, b);
        return o;
    }
    SketchObject& Circle(RealPoint c, double r) {
        SketchObject& o = Make(kClassCircle, kKindCircle, kTypeCircleByPoint);
        ClassData<CircleData>(&o)->centre = c;
        ClassData<CircleData>(&o)->radius = r;
        return o;
    }

private:
    std::deque<ObjectBlock> blocks_;
};

}  // namespace

TEST(SelectionIntersections, CountsOfTwoObjects) {
    Objects objects;
    SketchObject& across = objects.Segment({-10, 0}, {10, 0});
    SketchObject& short1 = objects.Segment({20, -5}, {20, 5});
    SketchObject& up = objects.Segment({0, -5}, {0, 5});
    SketchObject& circle = objects.Circle({0, 0}, 5);
    SketchObject& far = objects.Circle({100, 0}, 5);
    SketchObject& touching = objects.Circle({8, 0}, 5);
    SketchObject& flatArc = objects.Make(kClassArc, kKindArc, 82);
    // A straight arc keeps its chord: the first end point, then the second end
    // point's x and y in the radius and start-angle fields; orientation 0.
    ArcData* arc = ClassData<ArcData>(&flatArc);
    arc->centre = {-3, -3};
    arc->radius = -3;
    arc->startAngle = 3;
    arc->orientation = 0;
    struct Case { const SketchObject* a; const SketchObject* b; int32_t n; };
    const Case cases[] = {
        {&across, &up, 1}, {&across, &short1, 0}, {&across, &circle, 2}, {&circle, &up, 2},
        {&circle, &far, 0}, {&circle, &touching, 2}, {&across, &flatArc, 2}, {&far, &flatArc, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CountSelectionIntersections(c.a, c.b), c.n);
}

