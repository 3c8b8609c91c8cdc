#include "engine/core/object_tables.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

TEST(KindLattice, KindIsA) {
    struct Case { int32_t kind, category; bool expected; };
    const Case cases[] = {
        { 40, 4, true },    // an intersection is a point
        { 40, 7, false },
        { 14, 68, true },   // a segment is a distance
        { 43, 68, true },   // so is a distance measurement
        { 69, 22, false },  // a union never matches a plain category
        { 22, 72, true },   // a circle is a curve-or-arc, through the inner union
        { 69, 72, true },   // a union inside a larger union
        { 26, 73, true },   // an arc sector has an area
        { 4, 4, true },
        { 12, 71, true },   // a line can be transformed
        { 43, 71, false },  // a measurement cannot
        { 75, 1, false },   // outside the table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " is-a " << c.category);
        EXPECT_EQ(KindIsA(c.kind, c.category), c.expected);
    }
}

TEST(KindLattice, CommonKindTreatsZeroAsNoConstraint) {
    struct Case { int32_t a, b, expected; };
    const Case cases[] = {
        { 12, 13, 7 }, { 4, 0, 4 }, { 0, 4, 4 }, { 0, 0, 0 }, { 68, 69, 1 }, { 68, 68, 68 },
        { 11, 40, 4 }, { 14, 43, 1 }, { 44, 43, 28 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << ", " << c.b);
        EXPECT_EQ(CommonKind(c.a, c.b), c.expected);
    }
    // Callers fold a list starting from 0.
    const std::vector<int32_t> straights = { 12, 13, 14 };
    EXPECT_EQ(std::accumulate(straights.begin(), straights.end(), 0, CommonKind), 7);
    const std::vector<int32_t> one = { 40 };
    EXPECT_EQ(std::accumulate(one.begin(), one.end(), 0, CommonKind), 40);
}

TEST(KindLattice, ImagesTakeTheFirstGeneralKind) {
    EXPECT_EQ(ResolveImageKind(11), 4);   // image of a midpoint is a point
    EXPECT_EQ(ResolveImageKind(14), 14);  // image of a segment stays a segment
    EXPECT_EQ(ResolveImageKind(42), 12);  // a perpendicular's image is a line
    EXPECT_EQ(ResolveImageKind(33), 12);  // an axis's image is a line
}

TEST(TypeTables, RowsAreConsistent) {
    for (int32_t c = 0; c < kClassCount; ++c) {
        SCOPED_TRACE(c);
        const ObjectClassRecord& row = ObjectClassTable[c];
        EXPECT_EQ(row.classId, c);
        EXPECT_GE(row.objectSize, sizeof(SketchObject));
        EXPECT_TRUE(row.drawLayer <= 10 || row.drawLayer == kDrawLayerDecided);
        EXPECT_LT(row.colorSlot, 12);
        EXPECT_NE(row.labelFollowsGeometry, nullptr);
    }
    for (int32_t k = 1; k < kFirstUnionKind; ++k) {
        SCOPED_TRACE(k);
        EXPECT_LT(ObjectKindTable[k].parentKind, k);  // parents have lower numbers
    }
    for (int32_t t = 0; t < kConstructionTypeCount; ++t) {
        SCOPED_TRACE(t);
        const ConstructionTypeRecord& row = ConstructionTypeTable[t];
        EXPECT_TRUE(row.objectClass < kClassCount || row.objectClass == kClassOfImage);
        EXPECT_TRUE(row.objectKind < kFirstUnionKind || row.objectKind == kKindOfImage ||
                    row.objectKind == kKindOfLocus);
        EXPECT_TRUE(row.parentKindsIndex < ParentKindProgramSize ||
                    row.parentKindsIndex == kParentKindsByObject);
        for (const auto& mode : row.dragCodes) {
            for (uint8_t code : mode) EXPECT_LE(code, 7);
        }
    }
}

TEST(TypeTables, SpotValues) {
    const ConstructionTypeRecord& vector = ConstructionTypeTable[kTypeTranslateByVector];
    const uint8_t translate[5] = { 1, 2, 2, 0, 0 };
    const uint8_t rotate[5] = { 1, 3, 3, 0, 0 };
    EXPECT_EQ(0, memcmp(vector.dragCodes[0], translate, 5));
    EXPECT_EQ(0, memcmp(vector.dragCodes[1], rotate, 5));
    EXPECT_EQ(vector.transformOp, 0);
    EXPECT_EQ(ConstructionTypeTable[kTypeReflection].transformOp, 18);
    EXPECT_EQ(ConstructionTypeTable[kTypeParametricColor].transformOp, 20);
    EXPECT_EQ(ConstructionTypeTable[58].transformOp, 19);
    EXPECT_EQ(ConstructionTypeTable[0].measureFunction, 19);
    EXPECT_EQ(ConstructionTypeTable[89].measureFunction, 17);
    EXPECT_EQ(ConstructionTypeTable[73].implicitParent, 3);
    EXPECT_EQ(ConstructionTypeTable[66].dragCodes[2][4], 7);
    EXPECT_EQ(ConstructionTypeTable[63].dragCodes[0][1], 4);
    EXPECT_EQ(ConstructionTypeTable[63].dragCodes[1][1], 0);
    EXPECT_EQ(ConstructionTypeTable[kTypeSegment].nonexistenceReason, 6);
    EXPECT_EQ(ConstructionTypeTable[kTypeActionButton].nonexistenceReason, 0);
    EXPECT_EQ(ConstructionTypeTable[kTypePerpendicular].anchorParent, 1);
    EXPECT_EQ(ConstructionTypeTable[55].textSlots, 37);
    EXPECT_EQ(ConstructionTypeTable[kTypeFree].descriptionTemplate, 111);
}

TEST(StoredCodes, MapsInvertTheCodeColumns) {
    for (int32_t t = 0; t < kConstructionTypeCount; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(ConstructionTypeFromCode(ConstructionTypeTable[t].storedCode), t);
    }
    EXPECT_EQ(ConstructionTypeFromCode(93), kNoConstructionType);
    EXPECT_EQ(ConstructionTypeFromCode(0xffff), kNoConstructionType);
    for (int32_t k = 0; k < kObjectKindCount; ++k) {
        SCOPED_TRACE(k);
        const int32_t expected = (k >= 65 && k <= 67) ? kNoKind : k;  // tables read back as none
        EXPECT_EQ(ObjectKindFromCode(ObjectKindTable[k].storedCode), expected);
    }
    for (uint32_t code : { 20u, 21u, 22u, 24u, 25u, 26u, 29u, 30u, 31u, 32u, 85u, 1000u }) {
        EXPECT_EQ(ObjectKindFromCode(code), kNoKind) << code;
    }
    EXPECT_EQ(ObjectClassFromCode(17), 17);
    EXPECT_EQ(ObjectClassFromCode(18), kNoClass);
}

TEST(ParentChecks, DistinctMasks) {
    SketchObject a{}, b{}, c{};
    SketchObject* aba[] = { &a, &b, &a };
    SketchObject* aab[] = { &a, &a, &b };
    SketchObject* abc[] = { &a, &b, &c };
    SketchObject* aaa[] = { &a, &a, &a };
    EXPECT_TRUE(CheckParentsDistinct(kTypeAngleBisector, aba, 3));   // 0x60c
    EXPECT_FALSE(CheckParentsDistinct(kTypeAngleBisector, aab, 3));
    EXPECT_TRUE(CheckParentsDistinct(kTypeSegment, abc, 2));         // 0xff
    EXPECT_FALSE(CheckParentsDistinct(kTypeSegment, aab, 2));
    EXPECT_TRUE(CheckParentsDistinct(kTypePolygonInterior, aab, 3)); // 0x1
    EXPECT_FALSE(CheckParentsDistinct(kTypePolygonInterior, aaa, 3));
    EXPECT_TRUE(CheckParentsDistinct(kTypeMidpoint, aaa, 1));        // 0
    EXPECT_FALSE(CheckParentsDistinct(26, aba, 3));                  // 0xe: 0, 1, 2
    EXPECT_TRUE(CheckParentsDistinct(26, abc, 3));
}

TEST(ParentChecks, ParentKindProgram) {
    struct Case { int32_t type, index, count, expected; };
    const Case cases[] = {
        { kTypeMidpoint, 0, 1, 14 },
        { kTypeSegment, 1, 2, 4 },
        { kTypeCircleByRadius, 1, 2, 68 },
        { kTypePerpendicular, 1, 2, 7 },
        { 11, 1, 2, 8 },
        { kTypePointOnPath, 0, 1, 5 },
        { kTypeTranslateByVector, 0, 3, 71 },
        { kTypeTranslateByVector, 2, 3, 4 },
        { 47, 0, 1, 23 },   // arc angle of an arc
        { 47, 0, 3, 22 },   // of a circle from one point to another
        { 47, 2, 3, 4 },
        { 51, 1, 2, 14 },   // ratio of two segments
        { 51, 2, 3, 4 },    // three-point ratio
        { kTypeIterationRule, 0, 2, kParentKindsByObjectRule },
        { kTypeActionButton, 0, 1, kParentKindsByObjectRule },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " parent " << c.index);
        EXPECT_EQ(RequiredParentKind(c.type, c.index, c.count, nullptr), c.expected);
    }
    SketchObject value{};
    value.objectKind = 62;  // calculations take any parent's own kind
    EXPECT_EQ(RequiredParentKind(kTypeCalculation, 3, 4, &value), 62);
}
