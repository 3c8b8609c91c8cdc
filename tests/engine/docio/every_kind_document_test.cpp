// A document whose page holds one of each kind made by the graph, calculator, locus,
// iteration and table code: saved, opened and saved again it must give the same bytes
// and the same objects, and opening it with memory failing at any request ends in a
// clear code without a leak.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "document_fixture.h"
#include "seed_files.h"
#include "engine/calc/calc_fixture.h"
#include "engine/calc/calculation_objects.h"
#include "engine/calc/edit_record.h"
#include "engine/calc/parameters.h"
#include "engine/calc/tables.h"
#include "engine/core/action_button_data.h"
#include "engine/core/iterations.h"
#include "engine/core/memory.h"
#include "engine/core/locus.h"
#include "engine/core/parametric_color.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/transform_maps.h"
#include "engine/docio/sketch_io.h"

namespace {

constexpr int32_t kTypeDistance = 41;
constexpr int32_t kTypeCoordinates = 53;
constexpr int32_t kTypeLineEquation = 54;
constexpr int32_t kTypeCircleEquation = 55;
constexpr int32_t kTypePlottedXY = 71;
constexpr int32_t kTypePlottedPolar = 72;
constexpr int32_t kTypeTranslateFixed = 21;

PtrList ColorData(uint32_t modeWord, double from, double to) {
    uint8_t bytes[kParametricColorDataBytes];
    PackParametricColorData({ modeWord, from, to }, bytes);
    return DataBlock(bytes, sizeof bytes);
}

class EveryKindDocument : public DocumentTest {
protected:
    static PtrList Parents(std::initializer_list<SketchObject*> items) {
        PtrList list = 0;
        for (SketchObject* o : items) EXPECT_TRUE(PtrListAppend(&list, o));
        return list;
    }
    static SketchObject* Make(int32_t type, std::initializer_list<SketchObject*> parents, PtrList data = 0,
                              void* record = nullptr) {
        SketchObject* o = ConstructObject(type, record, parents.size() ? Parents(parents) : 0, data, true, false,
                                          nullptr);
        EXPECT_NE(o, nullptr) << "type " << type;
        if (o) RecomputeObject(o, nullptr, true);
        return o;
    }
    static SketchObject* Point(double x, double y) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
        SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(p, nullptr);
        if (p) SetPointPosition(p, x, y, 1, nullptr, false);
        return p;
    }
    static SketchObject* Expression(int32_t type, int32_t form, const std::vector<ExpressionToken>& tokens,
                                    std::initializer_list<SketchObject*> parents) {
        CalculationEditRecord r = EditRecord(form, tokens);
        SketchObject* o = Make(type, parents, 0, &r);
        ReleaseCalculationEditRecord(&r);
        return o;
    }

    // The page's objects: a coordinate system with plotted points and the coordinates
    // and equations of objects on it; a parameter, a calculation of it, a function of it
    // and the function's plot over a range of its own; a locus; an iteration of a
    // translation with its images and table, showing its final step only; and a table of
    // a distance with two entries that no longer collects. Stored properties are set
    // away from their defaults so that a lost one shows.
    static void FillWithEveryKind(Sketch* page) {
        Sketch* previous = nullptr;
        SetCurrentSketch(page, &previous);
        page->windowRect = { 0, 0, 640, 480 };

        SketchObject* system = CreateCoordSystem(0, 0, 0, kGridSquare);
        ASSERT_NE(system, nullptr);
        const double plotted[2] = { 2, -1 };
        Make(kTypePlottedXY, { system }, DataBlock(plotted, sizeof plotted));
        Make(kTypePlottedPolar, { system }, DataBlock(plotted, sizeof plotted));
        SketchObject* a = Point(340, 200);
        SketchObject* b = Point(400, 260);
        Make(kTypeCoordinates, { a, system });
        Make(kTypeLineEquation, { Make(kTypeLine, { a, b }), system });
        Make(kTypeCircleEquation, { Make(kTypeCircleByPoint, { a, b }), system });

        using namespace calc_test;
        SketchObject* parameter = NewParameter(3);
        Expression(kTypeCalculation, kFormCalculation, { Value(0), kTimes, 2 }, { parameter });
        SketchObject* function = Expression(kTypeFunction, kFormYofX, { Value(0), kTimes, kX }, { parameter });
        // A plot whose range and sample count were changed by the user.
        SketchObject* plot = Make(kTypeFunctionPlot, { function, system });
        ASSERT_NE(plot, nullptr);
        LocusDataOf(plot)->lo = -2.5;
        LocusDataOf(plot)->hi = 7.25;
        ASSERT_TRUE(SetLocusSampleCount(plot, 77));

        // The midpoint of a segment from a centre to a point running round a circle.
        SketchObject* centre = Point(200, 200);
        SketchObject* circle = Make(kTypeCircleByPoint, { centre, Point(300, 200) });
        const double at[2] = { 1, 0 };
        SketchObject* driver = Make(kTypePointOnPath, { circle }, DataBlock(at, sizeof at));
        SketchObject* segment = Make(kTypeSegment, { centre, driver });
        SketchObject* traced = Make(kTypeMidpoint, { segment });
        SketchObject* locus = Make(kTypeLocus, { traced, circle, driver, segment, traced });
        ASSERT_NE(locus, nullptr);
        LocusDataOf(locus)->drawOption = 1;

        SketchObject* seed = Point(50, 50);
        const FixedDistanceEntry shift[2] = { { 10, 10, 0, 0 }, { 0, 0, 0, 0 } };
        SketchObject* next = Make(kTypeTranslateFixed, { seed }, DataBlock(shift, sizeof shift));
        Make(kTypeSegment, { seed, next });
        SketchObject* reach = Make(kTypeDistance, { centre, next });
        RecomputeSketch(false);
        SketchObject* iteration = IterateOneSeed(seed, next, 4, true);
        ASSERT_NE(iteration, nullptr);
        SetIterationProperty(iteration, kIterationFinalOnly, 1);
        SetIterationProperty(iteration, kIterationSeed, 12345);

        // Images coloured by one value and by three, and an iteration of a short segment
        // whose coloured image follows its distance from the centre; the segment itself
        // is hidden, so that only the coloured images show.
        Make(kTypeParametricColor, { Point(420, 60), reach }, ColorData(kColorModelSpectrum | 2, 0, 300));
        Make(kTypeParametricColor, { circle, reach, parameter, reach }, ColorData(kColorModelHsv | 1, -1, 4));
        SketchObject* colourSeed = Point(200, 40);
        const FixedDistanceEntry down[2] = { { 0, 0, 0, 0 }, { -12, -12, 0, 0 } };
        SketchObject* colourNext = Make(kTypeTranslateFixed, { colourSeed }, DataBlock(down, sizeof down));
        SketchObject* step = Make(kTypeSegment, { colourSeed, colourNext });
        Make(kTypeParametricColor, { step, Make(kTypeDistance, { centre, colourSeed }) },
             ColorData(kColorModelSpectrum | 1, 0, 5));
        ASSERT_EQ(SetObjectHidden(step, kHiddenByUser, false), kResultOK);
        RecomputeSketch(false);
        ASSERT_NE(IterateOneSeed(colourSeed, colourNext, 6, false), nullptr);

        SketchObject* table = Make(kTypeMeasurementTable, { reach });
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(AddTableEntry(table), kResultOK);
        SetTableCollectFlag(table, 0);

        // A button of each type, with fields away from their defaults; the Animate
        // button carries a motion record for its target.
        auto button = [&](int32_t type, int16_t options, std::initializer_list<SketchObject*> targets,
                          PtrList data = 0, const char* link = nullptr) {
            char* text = nullptr;
            if (link) {
                text = static_cast<char*>(AllocMemory(std::strlen(link) + 1, 0));
                std::strcpy(text, link);
            }
            ActionButtonInit init{ type, 3, options, 20, int16_t(500 + 10 * type), 400, text };
            PtrList parents = 0;
            for (SketchObject* o : targets) EXPECT_TRUE(PtrListAppend(&parents, o));
            SketchObject* made = ConstructObject(kTypeActionButton, &init, parents, data, true, false, nullptr);
            EXPECT_NE(made, nullptr);
            return made;
        };
        SketchObject* hide = button(kButtonHide, 5, { a, b });
        button(kButtonShow, 3, { table });
        const uint32_t record[8] = { 0x80000000u, 0x45000000u, 0, 0, 0, 0, 0, 0 };
        button(kButtonAnimate, 0, { driver }, DataBlock(record, sizeof record));
        SketchObject* move = button(kButtonMove, 2, { a, b });
        button(kButtonScroll, 1, { centre });
        button(kButtonLinkToPage, static_cast<int16_t>(page->pageId), {});
        button(kButtonLinkToTarget, 0, {}, 0, "sketchdoc://two.htm");
        button(kButtonPresentation, 0x21, { hide, move });
        RecomputeSketch(false);
        SetCurrentSketch(previous, nullptr);
    }

    // How many objects of each construction type the page holds.
    static std::map<int32_t, int32_t> TypeCounts(const Sketch* page) {
        std::map<int32_t, int32_t> counts;
        for (SketchObject* o = page->firstObject; o; o = o->nextInSketch) ++counts[o->constructionType];
        return counts;
    }

    std::vector<uint8_t> EveryKindFile(std::map<int32_t, int32_t>* counts) {
        EngineDocument* d = NewDocument();
        Sketch* page = AddPage(d, "Every kind");
        FillWithEveryKind(page);
        *counts = TypeCounts(page);
        StreamHandle h = 0;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteSketch(h, page, true, false), kResultOK);
        EXPECT_EQ(CloseStream(h), kResultOK);
        const std::vector<uint8_t> body = TakeStreamVector(h);
        SaveFuzzSeed("sketch_body_fuzz", "every_kind", body);
        SaveFuzzSeed("button_press_fuzz", "every_kind", body);
        const std::vector<uint8_t> file = Write(d);
        if (std::getenv("FIG_SEED_DIR")) {
            // The page as the clipboard holds a copy of it: its free objects are the givens.
            Sketch* previous = nullptr;
            SetCurrentSketch(page, &previous);
            for (SketchObject* o = page->firstObject; o; o = o->nextInSketch) {
                if (o->constructionType == kTypeFree) {
                    EXPECT_TRUE(PtrListAppend(&page->givenList, o));
                }
            }
            SetCurrentSketch(previous, nullptr);
            EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
            EXPECT_EQ(WriteSketch(h, page, false, false), kResultOK);
            EXPECT_EQ(CloseStream(h), kResultOK);
            SaveFuzzSeed("paste_fuzz", "every_kind", TakeStreamVector(h));
        }
        return file;
    }
};

}  // namespace

TEST_F(EveryKindDocument, SavedOpenedAndSavedAgainKeepsEveryByteAndObject) {
    std::map<int32_t, int32_t> counts;
    const std::vector<uint8_t> first = EveryKindFile(&counts);
    SaveFuzzSeed("document_read_fuzz", "every_kind", first);
    for (int32_t type : std::initializer_list<int32_t>{ kTypeCoordinateSystem, kTypePlottedXY, kTypePlottedPolar, kTypeCoordinates, kTypeLineEquation,
                          kTypeCircleEquation, kTypeCalculation, kTypeFunction, kTypeFunctionPlot, kTypeLocus,
                          kTypeIterationRule, kTypeIteratedImage, kTypeIterationTable, kTypeMeasurementTable,
                          kTypeParametricColor }) {
        EXPECT_GE(counts[type], 1) << "type " << type;
    }

    ReadResult back = Read(first);
    ASSERT_EQ(back.code, kResultOK);
    ASSERT_EQ(DocumentPageCount(back.document), 1);
    EXPECT_EQ(TypeCounts(DocumentPageAt(back.document, 0)), counts);
    const std::vector<uint8_t> second = Write(back.document);
    EXPECT_EQ(second, first);

    // Recomputed after opening, it still saves as it was; the coloured images exist and
    // the iteration of one carries a colour per image, not all the same.
    // Opening recomputes each object as it reads it: what it leaves is what a recompute
    // of the whole page makes, the iteration (computed from its images, which follow it)
    // included.
    const auto state = [](const Sketch* s) {
        std::vector<int32_t> values;
        for (SketchObject* o = s->firstObject; o; o = o->nextInSketch)
            values.insert(values.end(), { o->exists, o->bounds.left, o->bounds.top, o->bounds.right, o->bounds.bottom });
        return values;
    };
    Sketch* previous = nullptr;
    Sketch* page = DocumentPageAt(back.document, 0);
    SetCurrentSketch(page, &previous);
    const std::vector<int32_t> opened = state(page);
    RecomputeSketch(false);
    EXPECT_EQ(state(page), opened);
    std::vector<uint32_t> imageColours;
    for (SketchObject* o = page->firstObject; o; o = o->nextInSketch) {
        if (o->constructionType == kTypeParametricColor) {
            EXPECT_EQ(o->exists, 1);
        }
        if (o->objectClass != kClassIteratedImage || !IteratedImageDataOf(o)->perSampleColour) continue;
        const IteratedImageData* d = IteratedImageDataOf(o);
        ASSERT_GE(d->recordSize, 4u);
        for (int32_t i = 0; i < d->imageCount; ++i) {
            uint32_t c;
            std::memcpy(&c, d->images + size_t(i) * d->recordSize + d->recordSize - 4, 4);
            imageColours.push_back(c);
        }
    }
    SetCurrentSketch(previous, nullptr);
    ASSERT_EQ(imageColours.size(), 6u);
    EXPECT_NE(imageColours.front(), imageColours.back());
    EXPECT_EQ(Write(back.document), first);
}

TEST_F(EveryKindDocument, OpeningWithMemoryFailingAtAnyRequestEndsInOutOfMemory) {
    std::map<int32_t, int32_t> counts;
    const std::vector<uint8_t> file = EveryKindFile(&counts);
    bool succeeded = false;
    for (uint32_t n = 1; !succeeded; ++n) {
        SCOPED_TRACE(n);
        StreamHandle h = 0;
        ASSERT_EQ(OpenMemoryStreamCopy(file.data(), static_cast<uint32_t>(file.size()), &h), kResultOK);
        EngineDocument* r = nullptr;
        bool copy = false;
        char* message = nullptr;
        SetAllocFailureAfter(n);
        const ResultCode rc = ReadEngineDocument(h, &r, &copy, this, &message, false);
        SetAllocFailureAfter(0);
        DiscardStream(h);
        FreeMemory(message);
        if (rc == kResultOK) {
            succeeded = true;
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(TypeCounts(DocumentPageAt(r, 0)), counts);
            // The whole document: a value or label the recompute could not make would
            // show in its save.
            EXPECT_TRUE(Write(r) == file) << "saved differently";
        } else {
            ASSERT_EQ(rc, kResultOutOfMemory);
            EXPECT_EQ(r, nullptr);
        }
        FreeEngineDocument(r);
        ASSERT_LT(n, 100000u);
    }
}
