// An Animate button's motion records: defaults, the records of a new button, the motions
// made from them, the Animate page's model and sentences, and the record in documents.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/calc/parameters.h"
#include "engine/calc/value_objects.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/codec_checks.h"
#include "engine/docio/packed_values.h"
#include "engine/docio/record_codecs.h"
#include "engine/interact/motion.h"
#include "engine/interact/motion_params.h"
#include "engine/text/object_labels.h"

namespace {

MotionParams Record(uint32_t flags, double speed, double seconds = 0, double low = 0, double high = 100) {
    MotionParams p{};
    p.motionFlags = flags;
    p.speed = PackReal32(speed);
    p.seconds = PackReal32(seconds);
    p.rangeLow = PackReal32(low);
    p.rangeHigh = PackReal32(high);
    return p;
}

constexpr uint32_t Direction(uint32_t d) { return d << kMotionDirectionShift; }

class MotionParamsTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        sketch->windowRect = { 0, 0, 400, 300 };
        free = Labelled(PointAt(5, 5), "A");
        segment = Labelled(Build(kTypeSegment, { PointAt(0, 0), PointAt(100, 0) }), "s");
        onSegment = Labelled(Build(kTypePointOnPath, { segment }, nullptr, Reals(0.5, 0)), "B");
        circle = Labelled(Build(kTypeCircleByPoint, { PointAt(200, 150), PointAt(250, 150) }), "c");
        onCircle = Labelled(Build(kTypePointOnPath, { circle }, nullptr, Reals(1, 0)), "C");
        parameter = Parameter(3);
    }

    static SketchObject* Labelled(SketchObject* o, const char* label) {
        EXPECT_NE(o, nullptr);
        if (o) SetObjectLabel(o, label, false);
        return o;
    }

    SketchObject* Parameter(double value) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCalculation, 1, kKindParameter, 0 };
        SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(p, nullptr);
        EXPECT_TRUE(SetParameterValue(p, value, false));
        UpdateFreeCalculation(p);
        SetDefaultParameterMotion(p);
        SetObjectLabel(p, "t", false);
        return p;
    }

    static PtrList Records(std::initializer_list<MotionParams> records) {
        PtrList list = 0;
        int32_t i = 0;
        for (const MotionParams& p : records) EXPECT_TRUE(StoreMotionParams(&list, i++, p));
        return list;
    }

    SketchObject* Button(std::initializer_list<SketchObject*> targets, std::initializer_list<MotionParams> records) {
        SketchObject* button = Build(66, targets, nullptr, Records(records));
        EXPECT_NE(button, nullptr);
        return button;
    }

    SketchObject *free, *segment, *onSegment, *circle, *onCircle, *parameter;
};

TEST_F(MotionParamsTest, DefaultsAndANewAnimateButtonsRecords) {
    MotionParams d;
    MotionParamsDefaults(&d);
    EXPECT_EQ(d.motionFlags, 0u);
    EXPECT_EQ(d.speed, 0x41c00000u);
    EXPECT_EQ(d.seconds, 0u);
    EXPECT_EQ(d.rangeLow, 0u);
    EXPECT_EQ(d.rangeHigh, 0x46c80000u);

    SketchObject* chain[] = { free, onSegment, onCircle, parameter };
    for (int32_t i = 0; i < 4; ++i) chain[i]->tempLink = i < 3 ? chain[i + 1] : nullptr;
    PtrList targets = 0, records = 0;
    ASSERT_EQ(ButtonTargetsFromSelection(free, &targets, &records), 0);
    EXPECT_EQ(Items(targets), (std::vector<SketchObject*>{ free, onSegment, onCircle, parameter }));
    ASSERT_EQ(MotionParamsCount(records), 4);
    // Medium speed forward, the segment's point both ways, the number by its settings.
    const uint32_t flags[] = { 0, Direction(2), 0 };
    for (int32_t i = 0; i < 3; ++i) {
        const MotionParams p = MotionParamsAt(records, i);
        EXPECT_EQ(p.motionFlags, flags[i]) << i;
        EXPECT_EQ(p.speed, 0x41c00000u);
    }
    MotionParams number;
    MotionParamsDefaults(&number);
    MotionParamsFromParameter(&number, parameter);
    const MotionParams made = MotionParamsAt(records, 3);
    EXPECT_EQ(std::memcmp(&made, &number, sizeof made), 0);
    EXPECT_EQ(MotionDirectionOf(number.motionFlags), 2);  // a plain parameter goes both ways
    EXPECT_DOUBLE_EQ(UnpackReal32(number.rangeLow), -100);
    EXPECT_EQ(RunningMotionCount(), 0);
    FreePtrList(&targets);
    FreePtrList(&records);
}

TEST_F(MotionParamsTest, ApplyingRecordsRemakesEachMotion) {
    onCircle->tempLink = nullptr;
    struct Case { uint32_t flags; double speed; int32_t type; int32_t endMode; int32_t keepGoing; };
    const Case cases[] = {
        { Direction(0), 3, kMotionAlongPath, kEndWrap, -1 },
        { Direction(1) | kMotionFlagOnceOnly, 5, kMotionAlongPath, kEndOnceAround, -1 },
        { Direction(2), 1, kMotionAlongPath, kEndBounce, -1 },
        { Direction(3), 3, kMotionRandomOnPath, -1, 1 },
        { Direction(3) | kMotionFlagOnceOnly, 3, kMotionRandomOnPath, -1, 0 },
        { Direction(5), 5, kMotionAlongPath, kEndWrap, -1 },  // left as made: a circle wraps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        // The targets are listed in another order than the motions: found by search.
        PtrList targets = List({ free, onCircle, onSegment });
        PtrList records = Records({ Record(0, 2), Record(c.flags, c.speed), Record(0, 1) });
        Motion* motions = CreateMotionsForSelection(onCircle);  // the circle's point only
        ASSERT_NE(motions, nullptr);
        ApplyMotionParams(motions, targets, records);
        EXPECT_EQ(motions->type, c.type);
        const double speed = MotionDirectionOf(c.flags) >= 4 ? 3 * SpeedUnit() : c.speed * SpeedUnit();
        EXPECT_DOUBLE_EQ(MotionSpeed(motions), speed);
        if (c.type == kMotionAlongPath) {
            EXPECT_EQ(motions->data.alongPath.endMode, c.endMode);
            EXPECT_EQ(motions->data.alongPath.reverse, MotionDirectionOf(c.flags) == 1);
            EXPECT_EQ(motions->data.alongPath.path, circle);
        } else {
            EXPECT_EQ(motions->data.randomOnPath.keepGoing, c.keepGoing);
            EXPECT_EQ(motions->data.randomOnPath.path, circle);
        }
        FinishMotion(motions);
        FreePtrList(&targets);
        FreePtrList(&records);
    }
    // A random free point takes the speed only; a custom 6 is twice medium.
    free->tempLink = nullptr;
    PtrList targets = List({ free });
    PtrList records = Records({ Record(kMotionFlagCustomSpeed | Direction(1), 6) });
    Motion* m = CreateMotionsForSelection(free);
    ApplyMotionParams(m, targets, records);
    EXPECT_EQ(m->type, kMotionRandomFree);
    EXPECT_DOUBLE_EQ(MotionSpeed(m), 2 * 3 * SpeedUnit());
    FinishMotion(m);
    FreePtrList(&targets);
    FreePtrList(&records);
}

TEST_F(MotionParamsTest, NumberTargetsFollowTheirParameter) {
    // A record of another unit kind is refilled; a bidirectional one loses once only.
    MotionParams stale = Record(Direction(2) | kMotionFlagOnceOnly | (uint32_t(kMotionUnitAngle) << kMotionUnitShift), 9);
    SketchObject* button = Button({ parameter, free }, { stale, Record(kMotionFlagOnceOnly, 3) });
    RefreshNumberTargets(button);
    MotionParams expected;
    MotionParamsDefaults(&expected);
    MotionParamsFromParameter(&expected, parameter);
    MotionParams refreshed = MotionParamsAt(button->constructionData, 0);
    EXPECT_EQ(refreshed.speed, expected.speed);
    EXPECT_EQ(refreshed.motionFlags, expected.motionFlags & ~kMotionFlagOnceOnly);
    EXPECT_EQ(MotionParamsAt(button->constructionData, 1).motionFlags, kMotionFlagOnceOnly);  // not a number
}

// The page on a button: current target i (1-based), its controls loaded or stored.
class MotionPageTest : public MotionParamsTest {
protected:
    MotionParamsPage Page(SketchObject* button, int32_t current) {
        MotionParamsPage page{};
        page.targets = button->parents;
        page.records = &button->constructionData;
        page.current = current;
        MotionParamsSync(&page);
        return page;
    }
    std::string Sentence(SketchObject* button, int32_t index) {
        MotionParamsPage page = Page(button, index + 1);
        char text[256];
        const uint32_t n = DescribeMotionTarget(&page, index, text, sizeof text);
        EXPECT_EQ(n, std::strlen(text));
        return text;
    }
};

TEST_F(MotionPageTest, EachTargetIsDescribedByItsTemplate) {
    SketchObject* origin = PointAt(200, 200);
    const double unitLength = 40;
    SketchObject* unit = Labelled(Build(56, { origin }, nullptr, DataBlock(&unitLength, sizeof unitLength)), "U");
    SketchObject* mid = Labelled(Build(kTypeMidpoint, { segment }), "M");
    struct Case { SketchObject* target; MotionParams record; const char* sentence; };
    const Case cases[] = {
        { free, Record(kMotionFlagOnceOnly, 5), "Point A randomly on the plane at fast speed (once only)." },
        { onSegment, Record(0, 1), "Point B forward along Segment s at slow speed." },
        { onSegment, Record(Direction(2) | kMotionFlagOnceOnly, 3), "Point B bidirectionally along Segment s at medium speed." },
        { onCircle, Record(Direction(1) | kMotionFlagCustomSpeed, 6), "Point C clockwise around Circle c at speed 2.0." },
        { onCircle, Record(Direction(0), 4.5), "Point C counter-clockwise around Circle c at speed 1.5." },
        { onCircle, Record(Direction(3) | kMotionFlagOnceOnly, 3), "Point C randomly around Circle c  (once only)." },
        { unit, Record(0, 3), "Unit Point U along its axis at medium speed." },
        { mid, Record(0, 3), "Midpoint M by animating its parents." },
        { parameter, Record(Direction(3), 1, 1, -5, 5), "t randomly between -5.0 and 5.0." },
        { parameter, Record(Direction(4) | kMotionFlagOnceOnly, 1, 1, -5, 5), "t randomly between -5.0 and 5.0 (once only)." },
        { parameter, Record(Direction(2) | kMotionFlagOnceOnly, 1, 1, 0, 10), "t continuously between 0.0 and 10.0." },
        { parameter, Record(Direction(0) | kMotionFlagDiscrete, 1, 1, 0, 2.5), "t increasing discretely from 0.0 to 2.5." },
        { parameter, Record(Direction(1) | kMotionFlagOnceOnly, 1, 1, 0, 10), "t decreasing continuously from 10.0 to 0.0 (once only)." },
    };
    // The speed text of a random once-only point is empty, the blank before it stays.
    for (const Case& c : cases) {
        SketchObject* button = Button({ c.target }, { c.record });
        EXPECT_EQ(Sentence(button, 0), c.sentence);
    }
}

TEST_F(MotionPageTest, TheControlsShownFollowTheTargetAndItsChoices) {
    using M = uint32_t;
    constexpr M dir = 1u << kMotionControlDirection, speed = 1u << kMotionControlSpeedChoice,
                custom = 1u << kMotionControlCustomSpeed, once = 1u << kMotionControlOnceOnly,
                range = 1u << kMotionControlLow | 1u << kMotionControlHigh, rate = 1u << kMotionControlRate,
                secs = 1u << kMotionControlSeconds, discrete = 1u << kMotionControlDiscrete;
    SketchObject* mid = Build(kTypeMidpoint, { segment });
    struct Case { SketchObject* target; MotionParams record; M mask; int32_t onceState; };
    const Case cases[] = {
        { onSegment, Record(0, 3), dir | speed | once, 3 },
        { onSegment, Record(Direction(2), 4), dir | speed | custom | once, 2 },
        { onSegment, Record(Direction(3) | kMotionFlagOnceOnly, 3), dir | once, 3 },
        { onSegment, Record(Direction(3), 3), dir | speed | once, 3 },
        { free, Record(kMotionFlagCustomSpeed, 3), speed | custom, 0 },
        { mid, Record(0, 3), 0, 0 },
        { parameter, Record(Direction(3), 1, 1), range | dir | once | secs, 3 },
        { parameter, Record(Direction(3) | kMotionFlagOnceOnly, 1, 1), range | dir | once, 3 },
        { parameter, Record(Direction(2) | kMotionFlagDiscrete, 1, 1), range | dir | once | rate | secs | discrete, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.record.motionFlags << " " << c.target->constructionType);
        SketchObject* button = Button({ c.target }, { c.record });
        MotionParamsPage page = Page(button, 1);
        EXPECT_EQ(page.controlMask, c.mask);
        EXPECT_EQ(page.states[kMotionControlOnceOnly], c.onceState);
        for (int32_t k = 0; k < kMotionControlCount; ++k) {
            if (k != kMotionControlOnceOnly) {
                EXPECT_EQ(page.states[k], (c.mask >> k & 1) ? 3 : 0) << k;
            }
        }
    }
    // No target: nothing.
    SketchObject* button = Button({ free }, { Record(0, 3) });
    EXPECT_EQ(Page(button, 2).controlMask, 0u);
}

TEST_F(MotionPageTest, EditedControlsAreStoredInOrder) {
    SketchObject* button = Button({ onCircle, parameter }, { Record(0, 3), Record(0, 1, 1, 0, 10) });
    MotionParamsPage page = Page(button, 1);
    EXPECT_EQ(page.speedChoice, 1);
    // "other..." 2 is stored as 6, and shows the custom box: the layout changes.
    page.speedChoice = 3;
    page.customSpeed = 2;
    EXPECT_EQ(MotionParamsSync(&page), 1);
    MotionParams p = MotionParamsAt(button->constructionData, 0);
    EXPECT_DOUBLE_EQ(UnpackReal32(p.speed), 6);
    EXPECT_TRUE(p.motionFlags & kMotionFlagCustomSpeed);
    EXPECT_EQ(MotionParamsSync(&page), 0);
    // Back to a preset clears the custom bit.
    page.speedChoice = 2;
    MotionParamsSync(&page);
    p = MotionParamsAt(button->constructionData, 0);
    EXPECT_EQ(p.speed, PackReal32(5));
    EXPECT_FALSE(p.motionFlags & kMotionFlagCustomSpeed);

    // The number: the page puts what is typed in order.
    page.current = 2;
    EXPECT_EQ(MotionParamsSync(&page), 1);
    struct Case { double low, high, rate, seconds; double storedLow, storedHigh, storedRate, storedSeconds; };
    const Case cases[] = {
        { 4, 4, 2, 1, 4, 5, 2, 1 },
        { 9, 3, 0, 0, 3, 9, 1, 1 },
        { -2, 8, -7, 0.5, -2, 8, 7, 0.5 },
    };
    for (const Case& c : cases) {
        page.low = c.low;
        page.high = c.high;
        page.rate = c.rate;
        page.seconds = c.seconds;
        page.direction = 1;
        page.onceOnly = 1;
        page.discrete = 1;
        MotionParamsSync(&page);
        p = MotionParamsAt(button->constructionData, 1);
        EXPECT_DOUBLE_EQ(UnpackReal32(p.rangeLow), c.storedLow);
        EXPECT_DOUBLE_EQ(UnpackReal32(p.rangeHigh), c.storedHigh);
        EXPECT_DOUBLE_EQ(UnpackReal32(p.speed), c.storedRate);
        EXPECT_DOUBLE_EQ(UnpackReal32(p.seconds), c.storedSeconds);
        EXPECT_EQ(p.motionFlags, Direction(1) | kMotionFlagOnceOnly | kMotionFlagDiscrete);
        EXPECT_DOUBLE_EQ(page.high, c.storedHigh);  // the page shows what was stored
    }
}

// Record 2003 of an action button: the code word, then 32 bytes a target; formats 3 and
// older one word a target.
class MotionRecordTest : public MotionParamsTest {};

TEST_F(MotionRecordTest, FullFormStoresEachFieldLittleEndian) {
    MotionParams d;
    MotionParamsDefaults(&d);
    SketchObject* button = Button({ free, onCircle }, { d, Record(Direction(3) | kMotionFlagOnceOnly, 4, 0.5, -1, 2) });
    const std::vector<uint8_t> bytes = WriteThroughCodec(TransferMotionParams, button, kCurrentPageFormat);
    ASSERT_EQ(bytes.size(), 4u + 64u);
    EXPECT_EQ(GetLE16(bytes.data()), ConstructionTypeTable[66].storedCode);
    EXPECT_EQ(GetLE32(&bytes[4 + 4]), 0x41c00000u);   // speed 3
    EXPECT_EQ(GetLE32(&bytes[4 + 16]), 0x46c80000u);  // high 100
    EXPECT_EQ(GetLE32(&bytes[36]), 0xb0000000u);
    EXPECT_DOUBLE_EQ(UnpackReal32(GetLE32(&bytes[36 + 12])), -1);

    SketchObject* blank = Button({ free, onCircle }, {});
    ExpectCodecRoundTrip(TransferMotionParams, button, blank, sizeof(SketchObject), kCurrentPageFormat);
}

TEST_F(MotionRecordTest, FormatThreeKeepsOneWordWithTheNearestPreset) {
    const FormatInfo three = { 1, 3, 3 };
    struct Case { double speed; uint32_t index; };
    const Case cases[] = { { 1, 0 }, { 2, 0 }, { 2.1, 1 }, { 4, 1 }, { 4.5, 2 }, { 50, 2 }, { 0, 0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        SketchObject* button = Button({ onCircle }, { Record(Direction(1) | kMotionFlagOnceOnly | kMotionFlagCustomSpeed, c.speed) });
        const std::vector<uint8_t> bytes = WriteThroughCodec(TransferMotionParams, button, three);
        ASSERT_EQ(bytes.size(), 8u);
        EXPECT_EQ(GetLE32(&bytes[4]), 0x90000000u | c.index);
        // Read back: the preset's speed, seconds 0.01, the top bits.
        SketchObject* read = Button({ onCircle }, {});
        TransferContext context;
        BeginReadContext(&context, bytes.data(), uint32_t(bytes.size()), read, three);
        ASSERT_EQ(TransferMotionParams(&context), 0);
        const MotionParams p = MotionParamsAt(read->constructionData, 0);
        EXPECT_EQ(p.motionFlags, 0x90000000u);
        EXPECT_DOUBLE_EQ(UnpackReal32(p.speed), 1 + 2.0 * c.index);
        EXPECT_NEAR(UnpackReal32(p.seconds), 0.01, 1e-9);
    }
    // The old form moves points only.
    SketchObject* button = Button({ parameter }, { Record(0, 3) });
    TransferContext context;
    std::vector<uint8_t> room(64);
    BeginWriteContext(&context, room.data(), uint32_t(room.size()), button, three);
    EXPECT_EQ(TransferMotionParams(&context), 10);
}

TEST_F(MotionRecordTest, DamagedRecordsAreToldAndNothingIsLost) {
    SketchObject* button = Button({ free }, { Record(0, 3) });
    const std::vector<uint8_t> good = WriteThroughCodec(TransferMotionParams, button, kCurrentPageFormat);
    struct Case { std::vector<uint8_t> bytes; ResultCode code; int32_t records; };
    std::vector<uint8_t> longer = good;
    longer.push_back(7);
    std::vector<uint8_t> unknown = good;
    unknown[0] = 0xff;
    unknown[1] = 0x7f;
    const Case cases[] = {
        { { 1, 2 }, 35, 1 },
        { longer, 4, 1 },
        { unknown, 9, 1 },
        { std::vector<uint8_t>(good.begin(), good.begin() + 4), 0, 0 },
    };
    for (const Case& c : cases) {
        SketchObject* read = Button({ free }, { Record(0, 1) });
        TransferContext context;
        BeginReadContext(&context, c.bytes.data(), uint32_t(c.bytes.size()), read, kCurrentPageFormat);
        EXPECT_EQ(TransferMotionParams(&context), c.code);
        EXPECT_EQ(MotionParamsCount(read->constructionData), c.records);
    }
}

}  // namespace
