#include "engine/core/ptr_list.h"

#include "engine/core/memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t W = sizeof(ArenaWord);

const ArenaWord* Words() { return reinterpret_cast<const ArenaWord*>(CurrentPtrListArena()); }
uint32_t ArenaWordsTotal() { return static_cast<uint32_t>(Words()[1] / W); }

// The holes as {word index, size}, in chain order.
std::vector<std::pair<uint32_t, uint32_t>> Holes() {
    std::vector<std::pair<uint32_t, uint32_t>> holes;
    for (ArenaWord h = Words()[0]; h != 0; h = Words()[h / W])
        holes.push_back({ static_cast<uint32_t>(h / W), static_cast<uint32_t>(Words()[h / W + 1]) });
    return holes;
}

// Blocks tile the arena exactly; holes are chained in address order, never touch,
// and are at least 3 words.
void ExpectArenaSound() {
    const auto holes = Holes();
    size_t nextHole = 0;
    uint32_t at = 2;
    bool previousWasHole = false;
    while (at < ArenaWordsTotal()) {
        if (nextHole < holes.size() && holes[nextHole].first == at) {
            EXPECT_FALSE(previousWasHole) << "touching holes at word " << at;
            EXPECT_GE(holes[nextHole].second, 2u);
            at += holes[nextHole].second + 1;
            ++nextHole;
            previousWasHole = true;
        } else {
            int32_t count = 0;
            const int32_t capacity = PtrListSize(at * W, &count);
            ASSERT_GE(capacity, 2) << "word " << at;
            EXPECT_LE(count, capacity);
            at += static_cast<uint32_t>(capacity) + 1;
            previousWasHole = false;
        }
    }
    EXPECT_EQ(at, ArenaWordsTotal());
    EXPECT_EQ(nextHole, holes.size()) << "a hole lies outside the walk";
}

// Distinct fake items; never dereferenced.
void* Item(uintptr_t n) { return reinterpret_cast<void*>(0x1000 + 8 * n); }

class PtrListTest : public ::testing::Test {
protected:
    void MakeArena(int32_t capacityWords) {
        PtrListArena* arena = nullptr;
        ASSERT_TRUE(CreatePtrListArena(&arena, capacityWords));
        SetCurrentPtrListArena(arena);
    }
    void SetUp() override { SetAllocFailureAfter(0); }
    void TearDown() override {
        SetAllocFailureAfter(0);
        FreeCurrentPtrListArena();
    }
    PtrList FromItems(std::initializer_list<uintptr_t> items) {
        PtrList list = 0;
        for (uintptr_t n : items) EXPECT_TRUE(PtrListAppend(&list, Item(n)));
        if (items.size() == 0) {
            EXPECT_TRUE(AllocPtrList(2, 0, &list));
        }
        return list;
    }
    std::vector<void*> ItemsOf(PtrList list) {
        int32_t count = 0;
        void** items = PtrListItems(list, &count);
        return std::vector<void*>(items, items + count);
    }
};

TEST_F(PtrListTest, NewArenaIsOneHole) {
    MakeArena(3);  // below 4 means 1024
    EXPECT_EQ(Words()[0], 2 * W);
    EXPECT_EQ(Words()[1], 1026 * W);
    EXPECT_EQ(Holes(), (std::vector<std::pair<uint32_t, uint32_t>>{ { 2, 1023 } }));
    EXPECT_EQ(PtrListArenaWordsInUse(), 3u);
}

TEST_F(PtrListTest, AppendGrowsTheCapacityByDoublingThenBy32) {
    MakeArena(1024);
    struct Case { int32_t items, capacity; };
    const Case cases[] = { { 1, 2 }, { 2, 2 }, { 3, 4 }, { 5, 8 }, { 17, 32 },
                           { 32, 32 }, { 33, 64 }, { 65, 96 }, { 97, 128 } };
    PtrList list = 0;
    int32_t appended = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        while (appended < c.items) ASSERT_TRUE(PtrListAppend(&list, Item(appended++)));
        int32_t count = 0;
        EXPECT_EQ(PtrListSize(list, &count), c.capacity);
        EXPECT_EQ(count, c.items);
    }
    for (int32_t i = 0; i < appended; ++i) EXPECT_EQ(PtrListItem(list, i), Item(i));
    ExpectArenaSound();
    FreePtrList(&list);
    EXPECT_EQ(list, 0u);
    EXPECT_EQ(Holes().size(), 1u);
}

TEST_F(PtrListTest, SplitOnlyWhenThreeWordsRemain) {
    MakeArena(10);  // one hole of size 9
    PtrList whole = 0;
    ASSERT_TRUE(AllocPtrListRaw(7, &whole, false));  // 9 = 7 + 2: no split
    int32_t count = -1;
    EXPECT_EQ(PtrListSize(whole, &count), 9);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(Holes().empty());
    FreePtrList(&whole);

    PtrList part = 0;
    ASSERT_TRUE(AllocPtrListRaw(6, &part, false));  // 9 = 6 + 3: split
    EXPECT_EQ(PtrListSize(part, &count), 6);
    EXPECT_EQ(Holes(), (std::vector<std::pair<uint32_t, uint32_t>>{ { 9, 2 } }));
    ExpectArenaSound();
}

TEST_F(PtrListTest, FreeingThreeAdjacentListsInAnyOrderLeavesOneHole) {
    std::array<int, 3> order = { 0, 1, 2 };
    do {
        MakeArena(40);
        PtrList lists[3] = {};
        for (PtrList& l : lists) ASSERT_TRUE(AllocPtrListRaw(4, &l, false));
        PtrList keep = 0;  // a list after them keeps the tail hole apart
        ASSERT_TRUE(AllocPtrListRaw(22, &keep, false));
        for (int i : order) {
            FreePtrList(&lists[i]);
            ExpectArenaSound();
        }
        EXPECT_EQ(Holes(), (std::vector<std::pair<uint32_t, uint32_t>>{ { 2, 14 } }));
        FreeCurrentPtrListArena();
    } while (std::next_permutation(order.begin(), order.end()));
    MakeArena(4);  // for TearDown
}

TEST_F(PtrListTest, ListsKeepTheirItemsWhileTheArenaGrowsAndMoves) {
    MakeArena(4);
    PtrList a = 0, b = 0;
    const uint32_t startWords = ArenaWordsTotal();
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(PtrListAppend(&a, Item(i)));
        if (i % 3 == 0) {
            ASSERT_TRUE(PtrListAppend(&b, Item(100000 + i)));
        }
    }
    // Growth happens in whole steps of 2048 words.
    EXPECT_GT(ArenaWordsTotal(), startWords);
    EXPECT_EQ((ArenaWordsTotal() - startWords) % kPtrListArenaGrowWords, 0u);
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(PtrListItem(a, i), Item(i));
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(PtrListItem(b, i), Item(100000 + 3 * i));
    ExpectArenaSound();
    EXPECT_EQ(PtrListArenaWordsInUse(), 3u + 3001 + 1001);
}

// Every growth follows a trim of the whole arena, so growing a large arena by one fixed
// step at a time made filling it cost the square of its size. Once large, it grows by
// whole steps in proportion to its size: a few dozen growths reach 600,000 words, where
// fixed steps took some three hundred; small arenas still grow one step at a time.
TEST_F(PtrListTest, ALargeArenaGrowsInProportionToItsSize) {
    MakeArena(4);
    std::vector<PtrList> lists;
    uint32_t size = ArenaWordsTotal();
    int32_t growths = 0;
    uint32_t smallestLargeStep = UINT32_MAX;
    while (ArenaWordsTotal() < 600000) {
        PtrList list = 0;
        ASSERT_TRUE(PtrListAppend(&list, Item(lists.size())));
        lists.push_back(list);
        if (ArenaWordsTotal() == size) continue;
        const uint32_t step = ArenaWordsTotal() - size;
        EXPECT_EQ(step % kPtrListArenaGrowWords, 0u);
        if (size < 8 * kPtrListArenaGrowWords) EXPECT_EQ(step, kPtrListArenaGrowWords);
        else smallestLargeStep = std::min(smallestLargeStep, step);
        size = ArenaWordsTotal();
        ++growths;
    }
    EXPECT_LT(growths, 60);
    EXPECT_GE(smallestLargeStep, kPtrListArenaGrowWords);
    for (size_t i = 0; i < lists.size(); i += 997) ASSERT_EQ(PtrListItem(lists[i], 0), Item(i));
    ExpectArenaSound();
}

TEST_F(PtrListTest, TrimCutsSlackIntoHoles) {
    struct Case { int32_t capacity, count, slack, trimmed; };
    const Case cases[] = {
        { 64, 5, 4, 9 },
        { 8, 2, 4, 8 },   // would free only 2 words: left alone
        { 10, 0, 4, 4 },
        { 10, 0, 0, 2 },  // never below 2
        { 9, 5, 0, 5 },
        { 7, 5, 0, 7 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity * 100 + c.count * 10 + c.slack);
        MakeArena(200);
        PtrList list = 0, after = 0;
        ASSERT_TRUE(AllocPtrList(c.capacity, c.count, &list));
        ASSERT_TRUE(AllocPtrList(2, 2, &after));
        TrimPtrLists(c.slack);
        int32_t count = 0;
        EXPECT_EQ(PtrListSize(list, &count), c.trimmed);
        EXPECT_EQ(count, c.count);
        ExpectArenaSound();
        FreeCurrentPtrListArena();
    }
    MakeArena(4);  // for TearDown
}

TEST_F(PtrListTest, AllocationTrimsOtherListsBeforeGrowing) {
    MakeArena(100);
    PtrList roomy = 0;
    ASSERT_TRUE(AllocPtrList(97, 3, &roomy));  // takes the whole arena
    EXPECT_TRUE(Holes().empty());
    PtrList next = 0;
    ASSERT_TRUE(AllocPtrList(20, 0, &next));
    EXPECT_EQ(ArenaWordsTotal(), 102u);
    int32_t count = 0;
    EXPECT_EQ(PtrListSize(roomy, &count), 7);
    ExpectArenaSound();
}

// A trim before growth may be skipped only while it would change nothing: every way a
// list can gain slack after a trim brings the next one back.
TEST_F(PtrListTest, GrowthTrimsListsThatGainedSlackSinceTheLastTrim) {
    struct Case {
        void (*shrink)(PtrList* list);
        int32_t capacity, count;  // after the second growth
    };
    const Case cases[] = {
        { [](PtrList* list) { PtrListSetCount(*list, 5); }, 9, 5 },
        { [](PtrList* list) {
              PtrListSetCount(*list, 34);  // 2 words of slack: nothing to trim yet
              static int marker;
              std::fill_n(PtrListData(*list), 34, &marker);
              PtrListData(*list)[2] = nullptr;
              PtrListRemove(*list, nullptr, false);
          }, 37, 33 },
        { [](PtrList* list) {
              PtrListSetCount(*list, 0);
              for (int i = 0; i < 5; ++i) ASSERT_TRUE(PtrListAppend(list, nullptr));
          }, 9, 5 },
    };
    for (size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(k);
        MakeArena(100);
        PtrList full = 0, big = 0, bigger = 0;
        ASSERT_TRUE(AllocPtrList(40, 40, &full));
        ASSERT_TRUE(AllocPtrList(200, 200, &big));  // trims (nothing to shorten), then grows
        int32_t count = 0;
        EXPECT_EQ(PtrListSize(full, &count), 40);
        cases[k].shrink(&full);
        ASSERT_TRUE(AllocPtrList(3000, 0, &bigger));  // must trim again before growing
        EXPECT_EQ(PtrListSize(full, &count), cases[k].capacity);
        EXPECT_EQ(count, cases[k].count);
        ExpectArenaSound();
        FreeCurrentPtrListArena();
    }
    MakeArena(4);  // for TearDown
}

TEST_F(PtrListTest, FailedGrowthKeepsListsAndArena) {
    MakeArena(4);
    PtrList list = 0;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(PtrListAppend(&list, Item(i)));  // takes the whole hole
    EXPECT_TRUE(Holes().empty());
    const PtrList before = list;
    SetAllocFailureAfter(1, true);
    EXPECT_FALSE(PtrListAppend(&list, Item(3)));
    EXPECT_EQ(list, before);
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{ Item(0), Item(1), Item(2) }));
    PtrList other = 12345;
    EXPECT_FALSE(AllocPtrListRaw(10, &other, true));
    EXPECT_EQ(other, 0u);
    int32_t count = -1;
    EXPECT_EQ(CopyPtrListUnique(list, false, &count), 0u);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ArenaWordsTotal(), 6u);
    SetAllocFailureAfter(0);
    ASSERT_TRUE(PtrListAppend(&list, Item(3)));
    EXPECT_EQ(ItemsOf(list), (std::vector<void*>{ Item(0), Item(1), Item(2), Item(3) }));
    ExpectArenaSound();
}

// A reserve grows the arena once, counting the room of the hole at its end; the lists
// it was made for then fit without the arena moving. A failed reserve changes nothing.
TEST_F(PtrListTest, ReserveGrowsOnceForTheListsToCome) {
    MakeArena(1024);
    PtrList first = FromItems({ 1, 2, 3 });  // 8 words from the front of the one hole
    EXPECT_TRUE(ReservePtrListArena(1000));
    EXPECT_EQ(ArenaWordsTotal(), 1026u);  // the end hole already spans 1018 words
    SetAllocFailureAfter(1, true);
    EXPECT_FALSE(ReservePtrListArena(30000));
    SetAllocFailureAfter(0);
    EXPECT_EQ(ArenaWordsTotal(), 1026u);
    EXPECT_TRUE(ReservePtrListArena(30000));
    const uint32_t total = ArenaWordsTotal();
    EXPECT_EQ(total, 2u + 8u + 30000u);  // the end hole's room counts
    const ArenaWord* where = Words();
    std::vector<PtrList> lists(10000);
    for (PtrList& list : lists) ASSERT_TRUE(AllocPtrList(2, 2, &list));
    EXPECT_EQ(Words(), where);
    EXPECT_EQ(ArenaWordsTotal(), total);
    EXPECT_EQ(ItemsOf(first), (std::vector<void*>{ Item(1), Item(2), Item(3) }));
    ExpectArenaSound();
}

TEST_F(PtrListTest, RemoveIndexAndItemAccess) {
    MakeArena(100);
    PtrList ordered = FromItems({ 1, 2, 3, 2, 4 });
    PtrListRemove(ordered, Item(2), true);
    EXPECT_EQ(ItemsOf(ordered), (std::vector<void*>{ Item(1), Item(3), Item(2), Item(4) }));
    PtrListRemove(ordered, Item(1), false);  // the last item takes its place
    EXPECT_EQ(ItemsOf(ordered), (std::vector<void*>{ Item(4), Item(3), Item(2) }));
    PtrListRemove(ordered, Item(9), true);
    PtrListRemove(ordered, Item(2), false);
    EXPECT_EQ(ItemsOf(ordered), (std::vector<void*>{ Item(4), Item(3) }));
    EXPECT_EQ(PtrListIndexOf(ordered, Item(3)), 1);
    EXPECT_EQ(PtrListIndexOf(ordered, Item(9)), -1);
    EXPECT_EQ(PtrListItem(ordered, 2), nullptr);
    EXPECT_EQ(PtrListItem(ordered, -1), nullptr);

    int32_t count = 7;
    EXPECT_EQ(PtrListItems(0, &count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(PtrListSize(0, &count), 0);
    EXPECT_EQ(PtrListIndexOf(0, Item(1)), -1);
    EXPECT_EQ(PtrListItem(0, 0), nullptr);
    PtrList none = 0;
    FreePtrList(&none);
    PtrListRemove(0, Item(1), true);
}

TEST_F(PtrListTest, EqualityWithAndWithoutReversal) {
    MakeArena(200);
    struct Case { std::initializer_list<uintptr_t> a, b; bool allow, equal, reversed; };
    const Case cases[] = {
        { { 1, 2, 3 }, { 3, 2, 1 }, false, false, false },
        { { 1, 2, 3 }, { 3, 2, 1 }, true, true, true },
        { { 1, 2, 3 }, { 1, 2, 3 }, true, true, false },
        { { 1, 2, 1 }, { 1, 2, 1 }, true, true, false },  // same order wins
        { { 1, 2 }, { 1, 2, 3 }, true, false, false },
        { { 1, 2, 3 }, { 2, 3, 1 }, true, false, false },
        { {}, {}, false, true, false },
    };
    for (const Case& c : cases) {
        PtrList a = FromItems(c.a), b = FromItems(c.b);
        bool reversed = !c.reversed;
        EXPECT_EQ(PtrListEqual(a, b, c.allow, &reversed), c.equal);
        EXPECT_EQ(reversed, c.reversed);
        FreePtrList(&a);
        FreePtrList(&b);
    }
    bool reversed = true;
    EXPECT_TRUE(PtrListEqual(0, 0, true, &reversed));
    EXPECT_FALSE(reversed);
}

TEST_F(PtrListTest, UniqueCopiesAndCyclicRuns) {
    MakeArena(200);
    struct Case { std::initializer_list<uintptr_t> in; bool cyclic; std::vector<uintptr_t> out; int32_t runs; };
    const Case cases[] = {
        { { 1, 1, 2, 1 }, true, { 1, 2 }, 2 },
        { { 1, 2, 1, 3 }, false, { 1, 2, 3 }, 4 },
        { { 1, 2, 1, 3 }, true, { 1, 2, 1, 3 }, 4 },
        { { 5, 5, 5 }, true, { 5 }, 1 },
        { { 5, 5, 5 }, false, { 5 }, 1 },
        { { 1, 2 }, true, { 1, 2 }, 2 },
    };
    for (const Case& c : cases) {
        PtrList source = FromItems(c.in);
        EXPECT_EQ(PtrListCountCyclicRuns(source), c.runs);
        int32_t count = -1;
        PtrList copy = CopyPtrListUnique(source, c.cyclic, &count);
        ASSERT_NE(copy, 0u);
        std::vector<void*> expected;
        for (uintptr_t n : c.out) expected.push_back(Item(n));
        EXPECT_EQ(ItemsOf(copy), expected);
        EXPECT_EQ(count, static_cast<int32_t>(expected.size()));
        FreePtrList(&copy);
        FreePtrList(&source);
    }
    int32_t count = -1;
    EXPECT_EQ(CopyPtrListUnique(0, true, &count), 0u);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(PtrListCountCyclicRuns(0), 0);
}

TEST_F(PtrListTest, CountStaysWithinCapacity) {
    MakeArena(100);
    PtrList list = 0;
    ASSERT_TRUE(AllocPtrList(3, 3, &list));
    int32_t count = 0;
    const int32_t capacity = PtrListSize(list, &count);
    EXPECT_EQ(count, 3);
    PtrListSetCount(list, capacity + 10);
    PtrListSize(list, &count);
    EXPECT_EQ(count, capacity);
    PtrListSetCount(list, -4);
    PtrListSize(list, &count);
    EXPECT_EQ(count, 0);
    PtrList huge = 1;
    EXPECT_FALSE(AllocPtrListRaw(kMaxPtrListCapacity + 1, &huge, true));
    EXPECT_EQ(huge, 0u);
}

}  // namespace
