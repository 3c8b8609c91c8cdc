// The value display: creation defaults, display parts and the tail of record 2307.
#include <cstring>

#include "engine/calc/calc_fixture.h"
#include "engine/calc/value_display.h"

using namespace calc_test;

TEST(ValueDisplay, NewMeasurementsTakeTheirRowsDefaults) {
    Construction k;
    SketchObject* a = k.Point(0, 0);
    SketchObject* b = k.Point(1, 1);
    SketchObject* c = k.Point(2, 0);
    struct Case {
        int32_t type;
        std::vector<SketchObject*> parents;
        uint16_t caption;
        int32_t precision;  // distances 1, angles 3, other values 4
    };
    int32_t* precision = CurrentSketch()->settings.precision;
    precision[0] = 1, precision[1] = 3, precision[2] = 4;
    const Case cases[] = {
        {41, {a, b}, 1, 1}, {45, {a, b, c}, 5, 3}, {46, {a}, 6, 1},
        {47, {a}, 7, 3},    {51, {a, b, c}, 16, 4}, {49, {a}, 13, 4},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.type);
        SketchObject* m = k.Measurement(t.type, {});
        k.SetParents(m, t.parents);
        ValueDisplayOf(m)->value = 7;
        ASSERT_EQ(InitMeasurementData(m, nullptr), 1);
        const ValueDisplay* d = ValueDisplayOf(m);
        EXPECT_EQ(d->captionTemplate, t.caption);
        EXPECT_EQ(d->precision, t.precision);
        EXPECT_EQ(d->displayMode, kDisplayOriginalName);
        EXPECT_EQ(d->value, 0);
        FreeMeasurementData(m);
    }
}

TEST(ValueDisplay, CreationRecordSettingsAreKeptInRange) {
    Construction k;
    SketchObject* m = k.Measurement(41, {});
    ValueDisplayInit record{};
    record.precision = 9;
    record.displayMode = 3;
    ASSERT_EQ(InitMeasurementData(m, &record), 1);
    EXPECT_EQ(ValueDisplayOf(m)->precision, 5);
    EXPECT_EQ(ValueDisplayOf(m)->displayMode, 3);
    FreeMeasurementData(m);
}

TEST(ValueDisplay, DisplayParts) {
    Construction k;
    SketchObject* m = k.Measurement(41, {});
    EXPECT_TRUE(MeasurementHasValue(m));
    EXPECT_EQ(MeasurementPartCount(m), 4);
    struct Case {
        int32_t part, mayChange, dropOnClear;
    };
    for (const Case& c : {Case{0, 1, 0}, Case{1, 1, 1}, Case{2, 0, 1}, Case{3, 0, 1}, Case{4, 1, 1}}) {
        SCOPED_TRACE(c.part);
        int32_t a = -1, b = -1;
        MeasurementPartInfo(m, c.part, &a, &b);
        EXPECT_EQ(a, c.mayChange);
        EXPECT_EQ(b, c.dropOnClear);
    }
}

TEST(ValueDisplay, RecordTailCurrentAndHandheldForms) {
    uint8_t tail[10];
    ASSERT_EQ(ValueDisplayTailLength(4), 6u);
    WriteValueDisplayTail(tail, 4, 2, 3);
    EXPECT_EQ(std::vector<uint8_t>(tail, tail + 6), (std::vector<uint8_t>{6, 0, 2, 0, 3, 0}));
    ValueDisplayTail read{};
    ASSERT_EQ(ReadValueDisplayTail(tail, 6, 4, "", 0, &read), kResultOK);
    EXPECT_EQ(read.displayMode, 2);
    EXPECT_EQ(read.precision, 3);

    // Out-of-range values read back clamped.
    const uint8_t wild[] = {6, 0, 9, 0, 7, 0};
    ASSERT_EQ(ReadValueDisplayTail(wild, 6, 4, "", 0, &read), kResultOK);
    EXPECT_EQ(read.displayMode, 3);
    EXPECT_EQ(read.precision, 5);
    EXPECT_EQ(ReadValueDisplayTail(wild, 5, 4, "", 0, &read), 35);

    // Handheld files keep no custom name and at most 4 decimals.
    ASSERT_EQ(ValueDisplayTailLength(1), 8u);
    WriteValueDisplayTail(tail, 1, 2, 5);
    EXPECT_EQ(std::vector<uint8_t>(tail, tail + 8), (std::vector<uint8_t>{0, 0, 0, 0, 1, 0, 4, 0}));
    ASSERT_EQ(ReadValueDisplayTail(tail, 8, 1, "", 0, &read), kResultOK);
    EXPECT_EQ(read.displayMode, kDisplayOriginalName);
    EXPECT_EQ(read.precision, 4);
}

TEST(ValueDisplay, OlderRecordsTurnTheirNameIntoADisplayMode) {
    struct Case {
        const char* what;
        int32_t version;
        uint16_t nameLength, nameFlag;
        const char* caption;
        int32_t mode;
        uint32_t customLength;
    };
    const Case cases[] = {
        {"name flag set", 1, 5, 1, "AB = 3 cm", kDisplayOriginalName, 0},
        {"no name", 1, 0, 0, "3 cm", kDisplayNoName, 0},
        {"name cut from the text", 1, 5, 0, "AB = 3 cm", kDisplayCustomName, 2},
        {"name of blanks and =", 2, 3, 0, " = 3 cm", kDisplayNoName, 0},
        {"name as long as the text", 2, 9, 0, "AB = 3 cm", kDisplayOriginalName, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint8_t bytes[10] = {};
        uint8_t* p = c.version == 2 ? bytes + 2 : bytes;
        if (c.version == 2) bytes[0] = 10;
        p[0] = uint8_t(c.nameLength);
        p[4] = uint8_t(c.nameFlag);
        p[6] = 9;  // precision, clamped
        ValueDisplayTail read{};
        ASSERT_EQ(ReadValueDisplayTail(bytes, ValueDisplayTailLength(c.version), c.version, c.caption,
                                       uint32_t(std::strlen(c.caption)), &read),
                  kResultOK);
        EXPECT_EQ(read.displayMode, c.mode);
        EXPECT_EQ(read.customLength, c.customLength);
        EXPECT_EQ(read.precision, 5);
        EXPECT_EQ(ReadValueDisplayTail(bytes, ValueDisplayTailLength(c.version) - 1, c.version, c.caption, 0, &read), 35);
    }
}
