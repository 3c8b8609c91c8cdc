#include "engine/text/object_descriptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "named_objects.h"
#include "engine/text/number_text.h"
#include "engine/text/object_labels.h"
#include "engine/text/string_groups.h"

namespace {

class DescriptionTest : public NamedObjectsTest {
protected:


    static std::string Describe(SketchObject* o) {
        char text[512];
        DescribeObjectInto(o, text, sizeof text, false);
        return text;
    }

    static std::string Field(SketchObject* o, char code) {
        ObjectTextContext c{ o, 0 };
        const uint32_t n = ObjectDescriptionField(code, &c, 0, nullptr);
        std::string text(n, '\0');
        EXPECT_EQ(ObjectDescriptionField(code, &c, n, text.data()), n);
        return text;
    }

    // Construction data of the given bytes, as the transformations keep it.
    static PtrList Bytes(const std::vector<uint8_t>& bytes) {
        PtrList list = 0;
        const int32_t words = int32_t((bytes.size() + sizeof(void*) - 1) / sizeof(void*));
        EXPECT_TRUE(AllocPtrList(words, words, &list));
        std::memcpy(PtrListData(list), bytes.data(), bytes.size());
        return list;
    }
};

TEST_F(DescriptionTest, SentencesNameTheObjectAndItsParents) {
    SketchObject* a = Named("A");
    SketchObject* b = Named("B");
    SketchObject* c = Named("C");
    ClassData<PointData>(b)->position = { 10, 0 };
    RecomputeObject(b, nullptr, true);
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* m = Build(kTypeMidpoint, { ab });
    ASSERT_EQ(SetObjectLabel(m, "C", false), 0);
    // Descriptions use the labels as they are: the segment is numbered until its name
    // is asked for.
    EXPECT_EQ(Describe(m), "Midpoint C is the midpoint of Segment #1.");
    char name[kLabelBufferSize];
    GetObjectLabel(ab, kLabelFromParents, name, nullptr);
    EXPECT_EQ(Describe(m), "Midpoint C is the midpoint of Segment AB.");
    // A missing parent is named; several are counted.
    ab->exists = 0;
    m->exists = 0;
    EXPECT_EQ(Describe(m),
              "Midpoint C is the midpoint of Segment AB. It does not currently exist because Segment AB does not exist.");
    ab->exists = 1;

    SketchObject* polygon = Raw(kTypePolygonInterior, kClassPolygonInterior, kKindPolygonInterior, { a, b, c, a });
    EXPECT_NE(Describe(polygon).find("is a polygon of 3 vertices."), std::string::npos);
    EXPECT_EQ(Field(polygon, 'x'), "4");
    EXPECT_EQ(Field(polygon, 'Y'), "Points");
    EXPECT_EQ(Field(m, 'Y'), "Segment");
    EXPECT_EQ(Field(polygon, 'b'), "A");
    EXPECT_EQ(Field(polygon, 'C'), "Point B");
    // A code naming a parent the object does not have gives nothing.
    EXPECT_EQ(Field(m, 'c'), "");
    EXPECT_EQ(Field(m, 'C'), "");
}

TEST_F(DescriptionTest, ListsOfParents) {
    SketchObject* p[7];
    const char* names[7] = { "A", "B", "C", "D", "E", "F", "G" };
    for (int i = 0; i < 7; ++i) p[i] = Named(names[i]);
    SketchObject* button =
        Raw(kTypeActionButton, kClassActionButton, kKindActionButton, { p[0], p[3], p[1], p[4], p[2], p[5] });
    ClassData<int32_t>(button)[0] = 3;  // a move button
    EXPECT_EQ(Describe(button), "This button moves Points A, B, C to Points D, E, F.");
    SketchObject* rule = Raw(kTypeIterationRule, kClassIteration, 51, { p[0], p[1], p[2], p[3], p[4], p[5], p[6] });
    EXPECT_EQ(Field(rule, 'I'), "Points A, B, C, D, E, F...");
}

TEST_F(DescriptionTest, StoredValuesWithTheirUnits) {
    // A translation by 2 cm horizontally and 1 cm vertically: values at bytes 8 and 32,
    // the distance unit (1, cm) at byte 16.
    std::vector<uint8_t> data(56, 0);
    const double h = 2.0, v = 1.0;
    const int32_t cm = 1;
    std::memcpy(data.data() + 8, &h, 8);
    std::memcpy(data.data() + 16, &cm, 4);
    std::memcpy(data.data() + 32, &v, 8);
    SketchObject* a = Named("A");
    SketchObject* image = Raw(21, kClassPoint, kKindPoint, { a }, Bytes(data));
    ASSERT_EQ(SetObjectLabel(image, "A'", false), 0);
    char two[64], one[64];
    FormatNumberText(two, sizeof two, 2.0, false);
    FormatNumberText(one, sizeof one, 1.0, false);
    EXPECT_EQ(Describe(image), std::string("Point A' is the translation of Point A by ") + two + " cm horizontally and " +
                                   one + " cm vertically.");
    EXPECT_EQ(Field(image, '7'), two);
    EXPECT_EQ(Field(image, '5'), std::string(two) + " radians");
    // Too little data: the value is left out.
    SketchObject* bare = Raw(21, kClassPoint, kKindPoint, { a });
    EXPECT_EQ(Field(bare, '1'), "");
}

TEST_F(DescriptionTest, TemplatesChosenByCode) {
    SketchObject* a = Named("A");
    SketchObject* b = Named("B");
    SketchObject* c = Named("C");
    SketchObject* s = Build(kTypeSegment, { a, b });
    SketchObject* t = Build(kTypeSegment, { b, c });
    struct Case {
        const char* name;
        SketchObject* object;
        int32_t variant;
        int32_t item;
    };
    SketchObject* ratio2 = Raw(51, kClassMeasurement, 46, { s, t });
    SketchObject* ratio3 = Raw(51, kClassMeasurement, 46, { a, b, c });
    SketchObject* caption = Raw(kTypeFree, kClassCaption, kKindCaption, {});
    SketchObject* hide = Raw(kTypeActionButton, kClassActionButton, kKindActionButton, { a });
    SketchObject* toggle = Raw(kTypeActionButton, kClassActionButton, kKindActionButton, { a });
    ClassData<int32_t>(toggle)[2] = 4;
    SketchObject* moves = Raw(kTypeActionButton, kClassActionButton, kKindActionButton, { a, b, c, a });
    ClassData<int32_t>(moves)[0] = 3;
    const Case cases[] = {
        { "ratio of segments", ratio2, 0, 52 }, { "ratio of points", ratio3, 0, 53 },
        { "free caption", caption, 0, 99 },     { "hide button", hide, 0, 74 },
        { "hide or show", toggle, 0, 83 },      { "move", moves, 0, 77 },
        { "move to points", moves, 1, 82 },     { "segment", s, 0, 2 },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(DescriptionTemplateIndex(k.object, k.variant), k.item);
    }
    // Every template the sentence group holds reads verbatim, periods and blanks included.
    EXPECT_STREQ(GroupText(kGroupDescriptions, 6), "^A is centered at ^B with radius equal in length to ^C^#");
    EXPECT_STREQ(GroupText(kGroupDescriptions, 85),
                 "^A is the image of ^B parametrically colored in RGB by (^e, ^d, ^c) over domains from ^9 to ^0 .^#");
    EXPECT_STREQ(GroupText(kGroupNonexistence, 2), " It does not currently exist because ^A does not exist.");
}

TEST_F(DescriptionTest, HeapDescriptionsFailCleanly) {
    SketchObject* a = Named("A");
    char* text = DescribeObject(a, false);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Point A is an independent object.");
    FreeMemory(text);
    SetAllocFailureAfter(1);
    EXPECT_EQ(DescribeObject(a, false), nullptr);
    SetAllocFailureAfter(0);
}

}  // namespace
