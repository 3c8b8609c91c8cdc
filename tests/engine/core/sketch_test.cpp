#include "sketch_fixture.h"

#include <pthread.h>

#include <algorithm>

#include "engine/core/idle_tasks.h"
#include "engine/core/services/preferences.h"
#include "tests/support/sketch_hooks_double.h"

using SketchRecord = SketchTest;

TEST_F(SketchRecord, NewSketchStartsEmptyAndAllDirty) {
    EXPECT_EQ(sketch->firstObject, nullptr);
    EXPECT_EQ(sketch->selectionHead, nullptr);
    EXPECT_EQ(sketch->dirtyRect.left, -32640);
    EXPECT_EQ(sketch->dirtyRect.bottom, 32639);
    EXPECT_EQ(sketch->tracedArea.left, kEmptyScreenRect.left);
    EXPECT_EQ(sketch->settings.palette[0], ThePreferences().sketchSettings.palette[0]);
}

TEST(SketchLifecycle, CreationFailsCleanlyWithoutMemory) {
    for (uint32_t n : { 1u, 2u }) {
        SetAllocFailureAfter(n, true);
        EXPECT_EQ(CreateSketch(0, nullptr), nullptr) << n;
        SetAllocFailureAfter(0);
    }
}

TEST(SketchLifecycle, CurrentAndFrontSwitching) {
    Sketch* a = CreateSketch(0, nullptr);
    Sketch* b = CreateSketch(0, nullptr);
    ASSERT_TRUE(a && b);
    Sketch* before = nullptr;
    SetCurrentSketch(a, &before);
    MakeCurrentSketchFront();
    EXPECT_EQ(gEngine.frontSketch, a);
    EXPECT_EQ(gEngine.currentIsFront, 1);

    const uint32_t changes = a->structureChangeCount;
    Sketch* previous = nullptr;
    SetCurrentSketch(a, &previous);  // already current: nothing changes
    EXPECT_EQ(previous, a);
    EXPECT_EQ(a->structureChangeCount, changes);
    EXPECT_EQ(gEngine.currentIsFront, 1);

    // Lists made while a is current grow its arena; they are found again after a switch.
    std::vector<PtrList> lists;
    for (int i = 0; i < 400; ++i) {
        PtrList l = 0;
        for (int j = 0; j < 20; ++j) ASSERT_TRUE(PtrListAppend(&l, reinterpret_cast<void*>(uintptr_t(i * 100 + j + 1))));
        lists.push_back(l);
    }
    SetCurrentSketch(b, nullptr);
    EXPECT_EQ(gEngine.currentIsFront, 0);
    EXPECT_EQ(gEngine.currentSketch, b);
    SetCurrentSketch(a, nullptr);
    EXPECT_EQ(gEngine.currentIsFront, 1);
    for (int i = 0; i < 400; ++i) {
        EXPECT_EQ(PtrListItem(lists[i], 19), reinterpret_cast<void*>(uintptr_t(i * 100 + 20)));
    }

    // Freeing a sketch that is not current leaves the current one current.
    const int freed = SketchesFreedCount();
    FreeSketch(b);
    EXPECT_EQ(gEngine.currentSketch, a);
    EXPECT_EQ(SketchesFreedCount(), freed + 1);
    // Freeing the front sketch leaves no front sketch.
    FreeSketch(a);
    EXPECT_EQ(gEngine.frontSketch, nullptr);
    EXPECT_EQ(gEngine.currentSketch, nullptr);
    EXPECT_EQ(gEngine.currentIsFront, 0);
    SetCurrentSketch(before, nullptr);
    // Becoming the front sketch queued the refresh of the command states: let it run.
    while (RunIdleTaskPass()) {}
}

TEST(SketchLifecycle, FreeingTheFrontWhileNoSketchIsCurrent) {
    Sketch* a = CreateSketch(0, nullptr);
    ASSERT_NE(a, nullptr);
    Sketch* before = nullptr;
    SetCurrentSketch(a, &before);
    MakeCurrentSketchFront();
    SetCurrentSketch(nullptr, nullptr);
    FreeSketch(a);
    EXPECT_EQ(gEngine.frontSketch, nullptr);
    EXPECT_EQ(gEngine.frontDocument, nullptr);
    EXPECT_EQ(gEngine.currentSketch, nullptr);
    // With no sketch current, asking for a front gives none.
    MakeCurrentSketchFront();
    EXPECT_EQ(gEngine.frontSketch, nullptr);
    SetCurrentSketch(before, nullptr);
    while (RunIdleTaskPass()) {}
}

TEST_F(SketchRecord, SelectionChainIsMostRecentFirst) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* c = FreePoint();
    SelectSketchObject(a);
    SelectSketchObject(b);
    SelectSketchObject(c);
    SelectSketchObject(b);  // already selected: no change
    EXPECT_EQ(sketch->selectionHead, c);
    EXPECT_EQ(c->nextSelected, b);
    EXPECT_EQ(b->nextSelected, a);
    EXPECT_EQ(a->nextSelected, nullptr);
    EXPECT_EQ(sketch->lastSelected[10], c);

    int32_t count = 0;
    PtrList list = 0;
    ASSERT_TRUE(CollectSelection(&count, &list, 2));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(PtrListItem(list, 0), a);
    EXPECT_EQ(PtrListItem(list, 2), c);
    int32_t counted = 0;
    EXPECT_EQ(PtrListSize(list, &counted), 5);
    FreePtrList(&list);

    EXPECT_EQ(LinkSelection(), c);
    EXPECT_EQ(c->tempLink, b);
    ASSERT_TRUE(CollectTempList(c, &count, &list, 0));
    EXPECT_EQ(PtrListItem(list, 0), a);  // reverse chain order
    FreePtrList(&list);

    DeselectSketchObject(b);
    EXPECT_EQ(c->nextSelected, a);
    EXPECT_EQ(b->nextSelected, kNotLinked);
    DeselectAll();
    EXPECT_EQ(sketch->selectionHead, nullptr);
    EXPECT_EQ(a->nextSelected, kNotLinked);
    EXPECT_EQ(sketch->lastSelected[10], nullptr);
    ASSERT_TRUE(CollectSelection(&count, &list, 0));
    EXPECT_EQ(list, 0u);
}

TEST_F(SketchRecord, PointLayerDrawingOrder) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* segment = Build(kTypeSegment, { a, b });
    SketchObject* free = FreePoint();
    SketchObject* onPath = Build(kTypePointOnPath, { segment });
    SketchObject* midpoint = Build(kTypeMidpoint, { segment });
    const auto order = LayerOrder(10);
    ASSERT_EQ(order.size(), 5u);
    // Dependent points first (newest first), then free points in the order they came,
    // then points on paths.
    EXPECT_EQ(order[0], midpoint);
    EXPECT_EQ(order[1], a);
    EXPECT_EQ(order[2], b);
    EXPECT_EQ(order[3], free);
    EXPECT_EQ(order[4], onPath);

    UnlinkObjectFromLayer(midpoint);
    EXPECT_EQ(sketch->layerHeads[10], a);
    LinkObjectIntoLayer(midpoint);
}

TEST_F(SketchRecord, StraightLayerDrawingOrder) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* line = Build(kTypeLine, { a, b });
    SketchObject* segment = Build(kTypeSegment, { a, b });
    SketchObject* ray = Build(kTypeRay, { a, b });
    const auto order = LayerOrder(6);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0], line);
    EXPECT_EQ(order[1], ray);
    EXPECT_EQ(order[2], segment);
}

// Unlinking and linking objects again in any order keeps every ring as the insertion
// rules build it from scratch, wherever the group boundary lies.
TEST_F(SketchRecord, LayerRingFollowsInsertionRulesThroughRelinks) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* segment = Build(kTypeSegment, { a, b });
    std::vector<SketchObject*> points = { a, b };
    for (int32_t i = 0; i < 8; ++i) {
        points.push_back(FreePoint());                             // group C
        points.push_back(Build(kTypeMidpoint, { segment }));       // group A
        points.push_back(Build(kTypePointOnPath, { segment }));    // group B
    }
    const auto group = [](const SketchObject* o) {
        if (o->constructionType == kTypeFree) return 'C';
        return o->constructionType == kTypePointOnPath ? 'B' : 'A';
    };
    std::vector<SketchObject*> model = LayerOrder(10);
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int32_t step = 0; step < 400; ++step) {
        // Take out a run of objects (sometimes the whole ring), then put them back in a
        // shuffled order.
        const uint32_t take = 1 + next(step % 50 == 0 ? uint32_t(points.size()) : 4);
        std::vector<SketchObject*> out;
        for (uint32_t i = 0; i < take && !model.empty(); ++i) {
            SketchObject* o = model[next(uint32_t(model.size()))];
            UnlinkObjectFromLayer(o);
            model.erase(std::find(model.begin(), model.end(), o));
            out.push_back(o);
        }
        ASSERT_EQ(LayerOrder(10), model) << "after unlinking, step " << step;
        while (!out.empty()) {
            const size_t k = next(uint32_t(out.size()));
            SketchObject* o = out[k];
            out.erase(out.begin() + static_cast<std::ptrdiff_t>(k));
            LinkObjectIntoLayer(o);
            const char g = group(o);
            if (model.empty() || g == 'A') {
                model.insert(model.begin(), o);
            } else if (g == 'B') {
                model.push_back(o);
            } else if (group(model.front()) == 'B') {
                model.insert(model.begin(), o);
            } else {
                auto at = std::find_if(model.begin(), model.end(),
                                       [&](const SketchObject* m) { return group(m) == 'B'; });
                model.insert(at, o);
            }
            ASSERT_EQ(LayerOrder(10), model) << "after linking, step " << step;
        }
    }
}

TEST_F(SketchRecord, RestoreDependencyOrderMovesChildrenBehindParents) {
    SketchObject* p = FreePoint();
    SketchObject* between = FreePoint();
    SketchObject* q = FreePoint();
    SketchObject* r = FreePoint();
    SketchObject* pr = Build(kTypeSegment, { p, r });
    SketchObject* tail = FreePoint();
    // p gets a parent (q) that lies later in the sketch order.
    ASSERT_TRUE(SetObjectParents(p, List({ q })));
    RestoreDependencyOrder(p, true, false);
    const std::vector<SketchObject*> expected = { between, q, p, r, pr, tail };
    EXPECT_EQ(SketchOrder(), expected);
    // Positions follow the order.
    uint32_t position = 0;
    for (SketchObject* o : SketchOrder()) EXPECT_EQ(o->traversalStamp, position++);

    // A child whose latest parent is the moved object follows it.
    ASSERT_TRUE(SetObjectParents(r, List({ tail })));
    RestoreDependencyOrder(r, true, false);
    const std::vector<SketchObject*> after = { between, q, p, tail, r, pr };
    EXPECT_EQ(SketchOrder(), after);
    UnlinkFromParents(p);
    UnlinkFromParents(r);
}

constexpr size_t kSmallStackBytes = 256 * 1024;

TEST_F(SketchRecord, RestoreDependencyOrderOnADeepChain) {
    // Each link of the chain is the parent of the next; then the first gets a parent
    // behind the whole chain, so every level moves.
    constexpr int kDepth = 40000;
    SketchObject* head = FreePoint();
    std::vector<SketchObject*> chain;
    for (int i = 0; i < kDepth; ++i) {
        chain.push_back(FreePoint());
        if (i > 0) {
            ASSERT_TRUE(SetObjectParents(chain[i], List({ chain[i - 1] })));
        }
    }
    SketchObject* anchor = FreePoint();
    SketchObject* tail = FreePoint();
    ASSERT_TRUE(SetObjectParents(chain[0], List({ anchor })));
    // On a thread whose stack could not hold one frame per level: the repair must not
    // recurse along the chain.
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, kSmallStackBytes), 0);
    pthread_t thread;
    auto restore = [](void* root) -> void* {
        RestoreDependencyOrder(static_cast<SketchObject*>(root), true, false);
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, restore, chain[0]), 0);
    ASSERT_EQ(pthread_join(thread, nullptr), 0);
    pthread_attr_destroy(&attributes);

    std::vector<SketchObject*> expected = { head, anchor };
    expected.insert(expected.end(), chain.begin(), chain.end());
    expected.push_back(tail);
    ASSERT_EQ(SketchOrder(), expected);
    uint32_t position = 0;
    for (SketchObject* o : SketchOrder()) ASSERT_EQ(o->traversalStamp, position++);
    EXPECT_EQ(sketch->lastObject, tail);
}

TEST_F(SketchRecord, RestoreDependencyOrderPutsEveryParentFirst) {
    // Random constructions on up to three earlier parents. Then an object gets a parent
    // that lies later (the object itself checked), or earlier objects become children of
    // a later one (only its children checked). Afterwards every parent precedes its
    // children, what does not depend on the changed object keeps its order, and the
    // stamps are the positions.
    uint32_t seed = 7;
    auto next = [&](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    constexpr uint32_t kCount = 30;
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        FreeSketch(sketch);
        sketch = CreateSketch(0, nullptr);
        ASSERT_NE(sketch, nullptr);
        SetCurrentSketch(sketch, nullptr);
        std::vector<SketchObject*> objects;
        for (uint32_t i = 0; i < kCount; ++i) {
            objects.push_back(FreePoint());
            PtrList parents = 0;
            for (uint32_t k = i ? next(4) : 0; k > 0; --k) {
                ASSERT_TRUE(PtrListAppend(&parents, objects[next(i)]));
            }
            ASSERT_TRUE(SetObjectParents(objects[i], parents));
        }
        auto dependsOn = [&](SketchObject* o, SketchObject* on) {  // o is on or below `on`
            std::vector<SketchObject*> work = { on };
            while (!work.empty()) {
                SketchObject* w = work.back();
                work.pop_back();
                if (w == o) return true;
                for (SketchObject* c : Children(w)) work.push_back(c);
            }
            return false;
        };
        auto addParent = [&](SketchObject* child, SketchObject* parent) {
            std::vector<SketchObject*> parents = Parents(child);
            parents.push_back(parent);
            UnlinkFromParents(child);
            PtrList list = 0;
            for (SketchObject* p : parents) ASSERT_TRUE(PtrListAppend(&list, p));
            ASSERT_TRUE(SetObjectParents(child, list));
        };

        const bool checkItself = round % 2 == 0;
        SketchObject* root = objects[next(kCount)];
        for (uint32_t tries = 0; tries < 4; ++tries) {
            SketchObject* other = objects[next(kCount)];
            if (checkItself && other->traversalStamp > root->traversalStamp && !dependsOn(other, root)) {
                addParent(root, other);
            } else if (!checkItself && other->traversalStamp < root->traversalStamp && !dependsOn(root, other)) {
                addParent(other, root);
            }
        }
        std::vector<SketchObject*> unaffected;
        for (SketchObject* o : SketchOrder()) {
            if (!dependsOn(o, root) || (o == root && !checkItself)) unaffected.push_back(o);
        }

        RestoreDependencyOrder(root, checkItself, false);
        const std::vector<SketchObject*> order = SketchOrder();
        ASSERT_EQ(order.size(), size_t(kCount));
        for (uint32_t i = 0; i < kCount; ++i) {
            ASSERT_EQ(order[i]->traversalStamp, i);
            for (SketchObject* p : Parents(order[i])) EXPECT_LT(p->traversalStamp, i);
        }
        std::vector<SketchObject*> kept;
        for (SketchObject* o : order) {
            if (std::find(unaffected.begin(), unaffected.end(), o) != unaffected.end()) kept.push_back(o);
        }
        EXPECT_EQ(kept, unaffected);
    }
}

TEST_F(SketchRecord, DirtyRectangleAndTitle) {
    sketch->dirtyRect = kEmptyScreenRect;
    SketchObject* a = FreePoint();
    a->bounds = { 10, 20, 14, 24 };
    AddObjectToDirtyRect(a);
    EXPECT_EQ(sketch->dirtyRect.left, 10);
    EXPECT_EQ(sketch->dirtyRect.bottom, 24);
    a->hidden = kHiddenByUser;
    a->bounds = { -50, -50, -40, -40 };
    AddObjectToDirtyRect(a);  // hidden: not added
    EXPECT_EQ(sketch->dirtyRect.left, 10);
    const ScreenRect* all = UnionDirtyRect(nullptr);
    EXPECT_EQ(all->left, -20000);
    EXPECT_EQ(all->right, 20000);

    EXPECT_EQ(SetSketchTitle(sketch, "Page 1"), kResultOK);
    EXPECT_STREQ(sketch->title, "Page 1");
    SetAllocFailureAfter(1, true);
    EXPECT_EQ(SetSketchTitle(sketch, "Page 2"), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_STREQ(sketch->title, "Page 1");  // kept
    EXPECT_EQ(SetSketchTitle(sketch, nullptr), kResultOK);
    EXPECT_EQ(sketch->title, nullptr);
}

TEST_F(SketchRecord, EffectiveKindOfToolGivens) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    GivenKindEntry table[2] = { { b, kKindCircle }, { a, kKindMidpoint } };
    sketch->givenKinds = table;
    sketch->givenKindCount = 2;
    a->givenIndex = 1;
    EXPECT_EQ(EffectiveKind(a), kKindMidpoint);
    EXPECT_EQ(EffectiveKind(b), kKindPoint);  // not a given
    a->givenIndex = 2;                        // beyond the table
    EXPECT_EQ(EffectiveKind(a), kKindPoint);
    sketch->givenKinds = nullptr;
    sketch->givenKindCount = 0;
    a->givenIndex = -1;
}
