// Small constructions for the calculation tests: value objects, calculations compiled
// from infix tokens, and the geometric parents of measurements.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <vector>

#include "engine/calc/expression_compiler.h"
#include "engine/calc/measurements.h"
#include "engine/calc/value_display.h"
#include "engine/calc/value_objects.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_object_ops.h"

namespace calc_test {

// A free point of the current sketch, made and recomputed by the engine.
inline SketchObject* FreePointAt(double x, double y) {
    const ObjectTemplate t = {kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0};
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    if (p) {
        ClassData<PointData>(p)->position = {x, y};
        RecomputeObject(p, nullptr, true);
    }
    return p;
}

inline PtrList ObjectList(std::initializer_list<SketchObject*> items) {
    PtrList list = 0;
    for (SketchObject* o : items) EXPECT_TRUE(PtrListAppend(&list, o));
    return list;
}

constexpr ExpressionToken kPlus = kClassOperator | kOpAdd;
constexpr ExpressionToken kMinus = kClassOperator | kOpSubtract;
constexpr ExpressionToken kTimes = kClassOperator | kOpMultiply;
constexpr ExpressionToken kOver = kClassOperator | kOpDivide;
constexpr ExpressionToken kPow = kClassOperator | kOpPower;
constexpr ExpressionToken kNeg = kClassOperator | kOpNegate;
constexpr ExpressionToken kOpen = kTokenOpen;
constexpr ExpressionToken kClose = kTokenClose;
constexpr ExpressionToken kDot = kTokenDecimalPoint;
constexpr ExpressionToken kX = kTokenVariable;
constexpr ExpressionToken kDegrees = kTokenAngleUnit + 1;
constexpr ExpressionToken kRadians = kTokenAngleUnit + 0;
constexpr ExpressionToken kCm = kTokenDistanceUnit + 1;
inline ExpressionToken Fn(FunctionCode f) { return kClassFunction | f; }
inline ExpressionToken Value(uint32_t i) { return ExpressionToken(kClassParentValue | i); }
inline ExpressionToken Call(uint32_t i) { return ExpressionToken(kClassFunctionCall | i); }

// Every test starts in pixels and degrees (calc_units_test.cpp resets them).
constexpr int32_t kTestDistanceUnit = 0;
constexpr int32_t kTestAngleUnit = 1;

// The units a Construction's sketch is made with.
inline int32_t gNewSketchDistanceUnit = kTestDistanceUnit;
inline int32_t gNewSketchAngleUnit = kTestAngleUnit;

// Sets the units of the current sketch, and of sketches made in the scope, and puts the
// test's units back afterwards.
struct SketchUnits {
    SketchUnits(int32_t distance, int32_t angle) { Set(distance, angle); }
    ~SketchUnits() { Set(kTestDistanceUnit, kTestAngleUnit); }
    static void Set(int32_t distance, int32_t angle) {
        gNewSketchDistanceUnit = distance;
        gNewSketchAngleUnit = angle;
        if (Sketch* s = CurrentSketch()) {
            s->settings.distanceUnit = distance;
            s->settings.angleUnit = angle;
        }
    }
};

// Storage of an object: the header with its class data right behind it.
template <typename T>
struct Stored {
    SketchObject header;
    T data;
};
static_assert(offsetof(Stored<ValueDisplay>, data) == sizeof(SketchObject));

// Owns the objects of one small construction.
class Construction {
public:
    // A sketch of its own, current while the construction lives; its parent lists live
    // in the sketch's arena. It takes the units in force where it is made.
    Construction() {
        sketch_ = CreateSketch(0, nullptr);
        EXPECT_NE(sketch_, nullptr);
        SetCurrentSketch(sketch_, &previous_);
        sketch_->settings.distanceUnit = gNewSketchDistanceUnit;
        sketch_->settings.angleUnit = gNewSketchAngleUnit;
    }
    ~Construction() {
        for (auto& m : measurements_) FreeMeasurementData(&m.header);
        for (auto& p : polygons_) FreePolygon(&p.header);
        for (auto& c : calcs_) FreeMeasurementData(&c.header);
        for (auto& c : calcs_) {
            FreeCompiledExpression(&c.data.compiled);
            if (c.data.infixTokens) FreeMemory(c.data.infixTokens);
        }
        FreeSketch(sketch_);
        SetCurrentSketch(previous_, nullptr);
    }

    SketchObject* Point(double x, double y) {
        auto& p = points_.emplace_back();
        Header(p.header, 0, 1, 4);
        p.data.position = {x, y};
        return &p.header;
    }

    // Its form comes from the engine's own straight-object update; a segment on two
    // coinciding points does not exist.
    SketchObject* Segment(SketchObject* a, SketchObject* b) {
        auto& s = straights_.emplace_back();
        Header(s.header, kTypeSegment, kClassStraight, kKindSegment);
        SetParents(&s.header, {a, b});
        s.data.form.first = Pos(a);
        s.data.form.second = Pos(b);
        UpdateStraightForm(&s.header);
        return &s.header;
    }

    SketchObject* Circle(double cx, double cy, double r, int32_t objectClass = 3) {
        auto& c = circles_.emplace_back();
        Header(c.header, 0, objectClass, objectClass == 3 ? 19 : 20);
        c.data.centre = {cx, cy};
        c.data.radius = r;
        return &c.header;
    }

    // A polygon interior on vertex points made for it; it keeps its own vertices.
    SketchObject* Polygon(std::initializer_list<RealPoint> vertices) {
        auto& p = polygons_.emplace_back();
        Header(p.header, 0, 4, 15);
        std::vector<SketchObject*> corners;
        for (const RealPoint& v : vertices) corners.push_back(Point(v.x, v.y));
        SetParents(&p.header, corners);
        p.header.constructionType = kTypePolygonInterior;
        EXPECT_TRUE(InitPolygon(&p.header, nullptr));
        for (size_t i = 0; i < corners.size(); ++i) p.data.vertices[i] = Pos(corners[i]);
        FinishPolygon(&p.header);
        return &p.header;
    }

    // A real arc (screen angles) of class 12, or 13 with kind 26 sector / 27 segment.
    SketchObject* Arc(double cx, double cy, double r, double start, double end, int32_t objectClass = 12,
                      int32_t kind = 24) {
        auto& a = arcs_.emplace_back();
        Header(a.header, 0, objectClass, kind);
        a.data.centre = {cx, cy};
        a.data.radius = r;
        a.data.startAngle = start;
        a.data.endAngle = end;
        a.data.orientation = 1;
        a.data.startPoint = {cx + r * std::cos(start), cy + r * std::sin(start)};
        a.data.endPoint = {cx + r * std::cos(end), cy + r * std::sin(end)};
        a.header.exists = 1;
        FinishArc(&a.header, true);
        return &a.header;
    }

    SketchObject* StraightArc() {
        auto& a = arcs_.emplace_back();
        Header(a.header, 0, 12, 24);
        a.data.orientation = 0;
        a.header.exists = 1;
        FinishArc(&a.header, true);
        return &a.header;
    }

    SketchObject* CoordinateSystem(double ox, double oy, double unitX, double unitY) {
        auto& c = frames_.emplace_back();
        Header(c.header, 0, 8, 0);
        c.data.origin = {ox, oy};
        c.data.unitX = unitX;
        c.data.unitY = unitY;
        return &c.header;
    }

    SketchObject* Measurement(int32_t type, std::initializer_list<SketchObject*> parents) {
        auto& m = measurements_.emplace_back();
        Header(m.header, type, kMeasurementClass, 46);
        SetParents(&m.header, parents);
        return &m.header;
    }

    // A value object that already holds a value, as a measured parent of calculations.
    SketchObject* Given(double value, int32_t type = 41, bool defined = true) {
        SketchObject* m = Measurement(type, {});
        ValueDisplayOf(m)->value = value;
        ValueDisplayOf(m)->defined = defined ? 1 : 0;
        return m;
    }

    // A calculation (or function, by form) compiled from infix tokens over `parents`;
    // the compile result is in LastResult().
    SketchObject* Calc(std::initializer_list<ExpressionToken> tokens, std::initializer_list<SketchObject*> parents = {},
                       int32_t form = kFormCalculation, const char* label = "c") {
        auto& stored = calcs_.emplace_back();
        CalculationData& c = stored.data;
        Header(stored.header, form == kFormCalculation ? 52 : 75, kCalculationClass,
               form == kFormCalculation ? 46 : 54);
        SetLabel(&stored.header, label);
        c.form = form;
        c.infixCount = uint32_t(tokens.size());
        c.infixTokens = static_cast<ExpressionToken*>(AllocMemory(tokens.size() * sizeof(ExpressionToken) + 2, 0));
        std::copy(tokens.begin(), tokens.end(), c.infixTokens);
        std::vector<SketchObject*> list(parents);
        InfixExpression infix{form, c.infixCount, c.infixTokens};
        ParentArray fresh{nullptr, 0};
        lastResult_ = CompileExpression(&infix, list.data(), uint32_t(list.size()), nullptr, &c.compiled, &fresh,
                                        &lastPosition_);
        if (lastResult_ == kCompileOK) {
            list.assign(fresh.items, fresh.items + fresh.count);
            FreeParentArray(&fresh);
        }
        SetParents(&stored.header, list);
        if (lastResult_ == kCompileOK && form == kFormCalculation) SetCalculationKind(&stored.header);
        return &stored.header;
    }

    int32_t LastResult() const { return lastResult_; }
    uint32_t LastPosition() const { return lastPosition_; }

    void SetParents(SketchObject* o, std::initializer_list<SketchObject*> parents) {
        SetParents(o, std::vector<SketchObject*>(parents));
    }
    void SetParents(SketchObject* o, const std::vector<SketchObject*>& parents) {
        FreePtrList(&o->parents);
        for (SketchObject* p : parents) EXPECT_TRUE(PtrListAppend(&o->parents, p));
    }

    // Short labels sit in the label block itself; longer ones point at the caller's text.
    // A typed label: nothing generates another over it.
    static void SetLabel(SketchObject* o, const char* text) {
        size_t n = std::strlen(text);
        o->label.level = 7;
        std::memset(&o->label.text, 0, sizeof o->label.text);
        if (n <= 4) {
            std::memcpy(o->label.text.inlineText, text, n);
            o->label.heapLength = 0;
        } else {
            o->label.text.heapText = const_cast<char*>(text);
            o->label.heapLength = uint16_t(n);
        }
    }

    static RealPoint Pos(const SketchObject* p) { return ClassData<PointData>(p)->position; }

private:
    // The whole record (header and class data) starts zeroed, as the allocator leaves it.
    static void Header(SketchObject& h, int32_t type, int32_t objectClass, int32_t kind) {
        h.parents = 0;
        h.constructionType = type;
        h.objectClass = objectClass;
        h.objectKind = kind;
        h.exists = 1;
        h.givenIndex = -1;
    }

    std::deque<Stored<PointData>> points_;
    std::deque<Stored<StraightData>> straights_;
    std::deque<Stored<CircleData>> circles_;
    std::deque<Stored<PolygonData>> polygons_;
    std::deque<Stored<ArcData>> arcs_;
    std::deque<Stored<CoordSystemData>> frames_;
    std::deque<Stored<ValueDisplay>> measurements_;
    std::deque<Stored<CalculationData>> calcs_;
    Sketch* sketch_ = nullptr;
    Sketch* previous_ = nullptr;
    int32_t lastResult_ = 0;
    uint32_t lastPosition_ = 0;
};

// Evaluates a calculation; NaN when undefined.
inline double Eval(SketchObject* calc) {
    EvaluateCalculation(calc, ParentItemsOf(calc));
    const ValueDisplay* d = ValueDisplayOf(calc);
    return d->defined ? d->value : NAN;
}

}  // namespace calc_test
