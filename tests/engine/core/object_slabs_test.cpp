#include "engine/core/object_slabs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"

namespace {

// The header fields that AllocObject sets, and every byte of the class data.
void ExpectMadeAsAlone(const SketchObject* o, int32_t objectClass, const ObjectTemplate& t) {
    SketchObject* alone = AllocObject(objectClass, &t);
    ASSERT_NE(alone, nullptr);
    const size_t size = ObjectClassTable[objectClass].objectSize;
    alone->inSlab = o->inSlab;
    EXPECT_EQ(std::memcmp(o, alone, size), 0);
    alone->inSlab = 0;
    FreeObjectRecord(alone);
}

TEST(ObjectSlabs, RecordsAreMadeAsSingleOnesAndGoAwayInAnyOrder) {
    ObjectSlabFiller filler;
    filler.expected = 50;
    const uint64_t requests = AllocRequestCount();
    std::vector<SketchObject*> made;
    // More than one slab's worth, of classes of different sizes.
    const int32_t classes[] = { kClassPoint, kClassCaption, kClassStraight, kClassTable };
    for (int32_t i = 0; i < 600; ++i) {
        const int32_t c = classes[i % 4];
        const ObjectTemplate t = { kTypeFree, 1, 0, c, 2, kKindPoint, 0x112233u + uint32_t(i) };
        SketchObject* o = AllocObjectFromSlab(&filler, c, &t);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(o) % 8, 0u);
        EXPECT_EQ(o->inSlab, 1);
        if (i < 8) ExpectMadeAsAlone(o, c, t);
        made.push_back(o);
    }
    EXPECT_LT(AllocRequestCount() - requests, 100u);
    // Some records go before the filler ends, the rest after it, from both ends.
    for (size_t i = 0; i < made.size(); i += 3) FreeObjectRecord(made[i]);
    EndObjectSlabs(&filler);
    EXPECT_EQ(filler.slab, nullptr);
    for (size_t i = made.size(); i-- > 0;)
        if (i % 3) FreeObjectRecord(made[i]);
    // Each slab went with its last record: the sanitizers' leak check sees none left.
}

TEST(ObjectSlabs, WithoutMemoryForASlabARecordIsMadeAlone) {
    ObjectSlabFiller filler;
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SetAllocFailureAfter(1);
    SketchObject* alone = AllocObjectFromSlab(&filler, kClassPoint, &t);
    SetAllocFailureAfter(0);
    ASSERT_NE(alone, nullptr);
    EXPECT_EQ(alone->inSlab, 0);
    EXPECT_EQ(filler.slab, nullptr);
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(AllocObjectFromSlab(&filler, kClassPoint, &t), nullptr);
    SetAllocFailureAfter(0);
    FreeObjectRecord(alone);
    EndObjectSlabs(&filler);
}

}  // namespace
