// Colours that follow values: the mapping onto 0..1, the spectrum, grey and HSV colours,
// and the images of type 79 that carry them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/construction_data.h"
#include "engine/core/parametric_color.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/docio/construction_data_codec.h"
#include "engine/docio/record_codecs.h"
#include "sketch_fixture.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) { return out << c.r << "," << c.g << "," << c.b; }

Rgb Color(uint32_t colorRef) { return { int(colorRef & 0xFF), int(colorRef >> 8 & 0xFF), int(colorRef >> 16 & 0xFF) }; }

PtrList ColorData(uint32_t modeWord, double from, double to) {
    uint8_t bytes[kParametricColorDataBytes];
    PackParametricColorData({ modeWord, from, to }, bytes);
    return DataBlock(bytes, sizeof bytes);
}

}  // namespace

TEST(ParametricColor, MapsValuesOntoTheUnitRange) {
    struct Case { double v, from, to; int32_t mode; double t; };
    const Case cases[] = {
        { 1.25, 0, 1, 1, 0.25 }, { 1.0, 0, 1, 1, 1 }, { 2.0, 0, 1, 1, 0 }, { 3.0, 0, 1, 1, 1 },
        { 1.25, 0, 1, 2, 0.75 }, { 2.0, 0, 1, 2, 0 }, { 2.5, 0, 1, 2, 0.5 },
        { -3, 0, 1, 0, 0 }, { 7, 0, 1, 0, 1 }, { 0.5, 0, 1, 0, 0.5 },
        { 0, 0, 10, 2, 0 }, { 5, 0, 10, 2, 0.5 }, { 10, 0, 10, 2, 1 }, { 15, 0, 10, 2, 0.5 }, { 20, 0, 10, 2, 0 },
        { -0.25, 0, 1, 1, 0.75 }, { -0.25, 0, 1, 2, 0.25 },
        // A reversed range runs the other way.
        { 2.5, 10, 0, 1, 0.75 },
        // Far beyond any integer: the parity is still taken.
        { 3e300, 0, 1, 2, 0 }, { 1e19 + 2048, 0, 1, 1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v << " in " << c.from << ".." << c.to << " mode " << c.mode);
        double t = -1;
        ASSERT_TRUE(MapParameterToUnit(c.v, c.from, c.to, c.mode, &t));
        EXPECT_DOUBLE_EQ(t, c.t);
    }
}

TEST(ParametricColor, ValuesWithoutAPlaceInTheRangeDoNotMap) {
    struct Case { double v, from, to; };
    const Case cases[] = {
        { 3, 2, 2 }, { 0, 0, 0 }, { 1, 0, kInf }, { 1, -kInf, 0 }, { kInf, 0, 1 }, { std::nan(""), 0, 1 },
        { 1e308, -1e308, 1e-300 },  // the quotient overflows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v << " in " << c.from << ".." << c.to);
        double t = 42;
        EXPECT_FALSE(MapParameterToUnit(c.v, c.from, c.to, 1, &t));
        EXPECT_EQ(t, 42);
        uint8_t r, g, b;
        EXPECT_FALSE(ParametricColorFromValue(c.v, c.from, c.to, 2, true, &r, &g, &b));
        EXPECT_FALSE(ParametricColorFrom3Values(0.5, c.v, 0.5, c.from, c.to, 2, true, &r, &g, &b));
    }
}

TEST(ParametricColor, SpectrumGreyAndThreeValueColours) {
    struct Case { const char* name; double a, b, c; int32_t values; bool flag; Rgb out; };
    const Case cases[] = {
        // One value over 0..1, mode 1: the spectrum's bands, exactly as truncated.
        { "violet", 0, 0, 0, 1, true, { 233, 0, 255 } },
        { "blue", 0.19, 0, 0, 1, true, { 0, 0, 254 } },
        { "green", 0.43, 0, 0, 1, true, { 0, 254, 2 } },
        { "red", 0.9, 0, 0, 1, true, { 255, 0, 0 } },
        { "orange", 0.7, 0, 0, 1, true, { 209, 169, 0 } },
        { "grey", 0.5, 0, 0, 1, false, { 127, 127, 127 } },
        // Three values: red, green, blue; or hue, saturation, value.
        { "rgb", 0.25, 0.5, 1, 3, true, { 63, 127, 255 } },
        { "hsv red", 0, 1, 1, 3, false, { 255, 0, 0 } },
        { "hsv green", 1.0 / 3, 1, 1, 3, false, { 0, 255, 0 } },
        { "hsv hue 1", 1, 1, 1, 3, false, { 255, 0, 255 } },
        { "hsv no saturation", 0.6, 0, 0.5, 3, false, { 127, 127, 127 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t r = 1, g = 1, b = 1;
        if (c.values == 1) ASSERT_TRUE(ParametricColorFromValue(c.a, 0, 1, 1, c.flag, &r, &g, &b));
        else ASSERT_TRUE(ParametricColorFrom3Values(c.a, c.b, c.c, 0, 1, 1, c.flag, &r, &g, &b));
        EXPECT_EQ((Rgb{ r, g, b }), c.out);
    }
}

namespace {

class ParametricImage : public SketchTest {};

}  // namespace

TEST_F(ParametricImage, OneValueColoursACopyOfTheSourceAndFollowsTheValue) {
    SketchObject* p = PointAt(40, 60);
    SketchObject* d = Value(5);
    SketchObject* image = Build(kTypeParametricColor, { p, d }, nullptr, ColorData(0x10 | 2, 0, 10));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->objectClass, kClassPoint);
    EXPECT_EQ(image->exists, 1);
    EXPECT_EQ(PointPosition(image).x, 40);
    EXPECT_EQ(PointPosition(image).y, 60);
    uint8_t r, g, b;
    ASSERT_TRUE(ParametricColorFromValue(5, 0, 10, 2, true, &r, &g, &b));
    EXPECT_EQ(Color(image->color), (Rgb{ r, g, b }));

    // Grey through the same range (of another point: images of the same parents are one
    // object); then the value becomes undefined and defined again.
    SketchObject* grey = Build(kTypeParametricColor, { PointAt(5, 5), d }, nullptr, ColorData(0x20 | 2, 0, 10));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(Color(grey->color), (Rgb{ 127, 127, 127 }));
    SetValue(d, 5, false);
    RecomputeSketch(false);
    EXPECT_EQ(image->exists, 0);
    EXPECT_EQ(grey->exists, 0);
    SetValue(d, kInf);
    RecomputeSketch(false);
    EXPECT_EQ(image->exists, 0);
    SetValue(d, 15);
    SetPointPosition(p, 70, 20, 1, nullptr, false);
    RecomputeSketch(false);
    EXPECT_EQ(image->exists, 1);
    EXPECT_EQ(PointPosition(image).x, 70);
    EXPECT_EQ(Color(grey->color), (Rgb{ 127, 127, 127 }));  // 15 runs back to the middle
}

TEST_F(ParametricImage, ThreeValuesTakeRedFromTheFirstPicked) {
    SketchObject* a = Value(0.25);
    SketchObject* b = Value(0.5);
    SketchObject* c = Value(1);
    SketchObject* p = PointAt(10, 10);
    // Parents keep the values newest first: C, B, A.
    SketchObject* image = Build(kTypeParametricColor, { p, c, b, a }, nullptr, ColorData(0x30 | 1, 0, 1));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Color(image->color), (Rgb{ 63, 127, 255 }));
    SketchObject* hsv = Build(kTypeParametricColor, { PointAt(20, 20), c, b, a }, nullptr, ColorData(0x40 | 1, 0, 1));
    ASSERT_NE(hsv, nullptr);
    uint8_t r, g, bl;
    ASSERT_TRUE(ParametricColorFrom3Values(0.25, 0.5, 1, 0, 1, 1, false, &r, &g, &bl));
    EXPECT_EQ(Color(hsv->color), (Rgb{ r, g, bl }));
}

TEST_F(ParametricImage, StoredFormsWithoutAColourDoNotExistButKeepTheirBytes) {
    SketchObject* p = PointAt(10, 10);
    SketchObject* a = Value(0.25);
    SketchObject* b = Value(0.5);
    struct Case { const char* name; std::vector<SketchObject*> parents; double from, to; };
    const Case cases[] = {
        { "two values", { p, a, b }, 0, 1 },
        { "four values", { p, a, b, a, b }, 0, 1 },
        { "no value", { p }, 0, 1 },
        { "empty range", { p, a }, 3, 3 },
        { "infinite end", { p, a }, 0, kInf },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtrList parents = 0;
        for (SketchObject* o : c.parents) ASSERT_TRUE(PtrListAppend(&parents, o));
        const ObjectTemplate t = { kTypeParametricColor, 0, 0, kClassPoint, 1, kKindPoint, 0 };
        SketchObject* image =
            ConstructObjectEx(&t, nullptr, parents, ColorData(0x30 | 1, c.from, c.to), nullptr, nullptr, false);
        ASSERT_NE(image, nullptr);
        RecomputeObject(image, nullptr, true);
        EXPECT_EQ(image->exists, 0);
        uint8_t bytes[kParametricColorDataBytes];
        ASSERT_TRUE(ReadConstructionData(image, bytes, sizeof bytes));
        const ParametricColorData kept = UnpackParametricColorData(bytes);
        EXPECT_EQ(kept.modeWord, 0x31u);
        EXPECT_EQ(kept.to, c.to);
    }
}

TEST_F(ParametricImage, RecordKeepsTheModeWordAndRangeInFileOrder) {
    SketchObject* image = Build(kTypeParametricColor, { PointAt(10, 10), Value(0.5) }, nullptr,
                                ColorData(0x20 | 1, -2.5, 7.75));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(MeasureCodecRecord(TransferConstructionData, image, kCurrentPageFormat), 24u);
    uint8_t buffer[40] = {};
    TransferContext ctx;
    BeginWriteContext(&ctx, buffer, 24, image, kCurrentPageFormat);
    ASSERT_EQ(TransferConstructionData(&ctx), kResultOK);
    EXPECT_EQ(GetLE16(buffer), ConstructionTypeTable[kTypeParametricColor].storedCode);
    EXPECT_EQ(GetLE32(buffer + 4), 0x21u);
    EXPECT_EQ(GetLEReal(buffer + 8), -2.5);
    EXPECT_EQ(GetLEReal(buffer + 16), 7.75);

    // Read back with another range: the colour follows it.
    PutLE32(buffer + 4, 0x21);
    PutLEReal(buffer + 8, 0);
    PutLEReal(buffer + 16, 1);
    EXPECT_EQ(ReadCodecRecord(TransferConstructionData, image, buffer, 24, kCurrentPageFormat), kResultOK);
    RecomputeSketch(false);
    EXPECT_EQ(Color(image->color), (Rgb{ 127, 127, 127 }));
    EXPECT_EQ(ReadCodecRecord(TransferConstructionData, image, buffer, 28, kCurrentPageFormat), 4);
    EXPECT_EQ(ReadCodecRecord(TransferConstructionData, image, buffer, 23, kCurrentPageFormat), 35);
    EXPECT_EQ(ReadCodecRecord(TransferConstructionData, image, buffer, 4, kCurrentPageFormat), 35);
}
