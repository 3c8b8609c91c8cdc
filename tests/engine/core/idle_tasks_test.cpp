#include "engine/core/idle_tasks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gCalls;

// A task with a name and a scripted behaviour; the IdleTask comes first so that the
// callback can find its owner.
struct NamedTask {
    IdleTask task = {};
    std::string name;
    int32_t answer = 1;
    std::function<void()> during;
};

int32_t RecordCall(IdleTask* task, int32_t finish) {
    auto* owner = reinterpret_cast<NamedTask*>(task);
    gCalls.push_back(owner->name + (finish != 0 ? "!" : ""));
    if (owner->during) owner->during();
    return owner->answer;
}

class IdleTasksTest : public ::testing::Test {
protected:
    std::vector<NamedTask*> made;
    NamedTask* Make(const char* name, int32_t answer = 1) {
        auto* t = new NamedTask;
        t->name = name;
        t->answer = answer;
        made.push_back(t);
        return t;
    }
    void Queue(NamedTask* t, int32_t priority) { AddIdleTask(&t->task, RecordCall, priority); }
    void SetUp() override { gCalls.clear(); }
    void TearDown() override {
        for (NamedTask* t : made) {
            RemoveIdleTask(&t->task);
            delete t;
        }
        EXPECT_FALSE(RunIdleTaskPass());
    }
};

TEST_F(IdleTasksTest, HigherPrioritiesFirstNewestFirstAmongEquals) {
    NamedTask* a = Make("a10", 0);
    NamedTask* b = Make("b2", 0);
    NamedTask* c = Make("c20", 0);
    NamedTask* d = Make("d10", 0);
    NamedTask* e = Make("e0", 0);
    Queue(a, 10);
    Queue(b, 2);
    Queue(c, 20);
    Queue(d, 10);
    EXPECT_FALSE(IsUrgentIdleTaskPending());
    Queue(e, 0);
    EXPECT_TRUE(IsUrgentIdleTaskPending());
    // Every task answers 0, so each pass shows the next group in list order.
    EXPECT_TRUE(RunIdleTaskPass());
    EXPECT_TRUE(RunIdleTaskPass());
    EXPECT_FALSE(RunIdleTaskPass());
    EXPECT_EQ(gCalls, (std::vector<std::string>{ "e0", "c20", "d10", "a10", "b2" }));
    EXPECT_EQ(a->task.queued, 0);
}

TEST_F(IdleTasksTest, APassRunsEveryPassTasksAndOnlyTheHighestOtherGroup) {
    NamedTask* t[] = { Make("p0a"), Make("p0b"), Make("p20a"), Make("p20b"), Make("p10") };
    Queue(t[4], 10);
    Queue(t[2], 20);
    Queue(t[3], 20);
    Queue(t[0], 0);
    Queue(t[1], 0);
    EXPECT_TRUE(RunIdleTaskPass());
    EXPECT_EQ(gCalls, (std::vector<std::string>{ "p0b", "p0a", "p20b", "p20a" }));
    EXPECT_EQ(t[4]->task.queued, 1);
}

TEST_F(IdleTasksTest, CallbacksMayChangeTheListDuringAPass) {
    NamedTask* self = Make("self");
    NamedTask* victim = Make("victim");
    NamedTask* after = Make("after");
    NamedTask* added = Make("added");
    // Queued in reverse: the list runs self, victim, after.
    Queue(after, 5);
    Queue(victim, 5);
    Queue(self, 5);
    self->during = [&] {
        RemoveIdleTask(&self->task);
        RemoveIdleTask(&victim->task);
        Queue(added, 0);  // joins the list, but not this pass
    };
    self->answer = 0;  // already gone: not unqueued twice
    EXPECT_TRUE(RunIdleTaskPass());
    EXPECT_EQ(gCalls, (std::vector<std::string>{ "self", "after" }));
    EXPECT_EQ(victim->task.queued, 0);
    EXPECT_EQ(self->task.queued, 0);
    gCalls.clear();
    EXPECT_TRUE(RunIdleTaskPass());
    EXPECT_EQ(gCalls, (std::vector<std::string>{ "added", "after" }));
}

TEST_F(IdleTasksTest, AddingAQueuedTaskChangesNothing) {
    NamedTask* a = Make("a");
    NamedTask* b = Make("b");
    Queue(a, 10);
    Queue(b, 10);
    AddIdleTask(&a->task, RecordCall, 20);  // already queued
    EXPECT_EQ(a->task.priority, 10);
    EXPECT_TRUE(RunIdleTaskPass());
    EXPECT_EQ(gCalls, (std::vector<std::string>{ "b", "a" }));
    RemoveIdleTask(&a->task);
    gCalls.clear();
    EXPECT_TRUE(RunIdleTaskPass());
    EXPECT_EQ(gCalls, (std::vector<std::string>{ "b" }));
}

TEST_F(IdleTasksTest, RunToEndFinishesAndUnqueues) {
    NamedTask* t = Make("t");
    int32_t rounds = 0;
    t->during = [&] { t->answer = ++rounds < 3 ? 1 : 0; };
    Queue(t, 2);
    RunIdleTaskToEnd(&t->task);
    EXPECT_EQ(gCalls, (std::vector<std::string>{ "t!", "t!", "t!" }));
    EXPECT_EQ(t->task.queued, 0);

    // A task that leaves the list by itself stops the run at once.
    NamedTask* quits = Make("q");
    quits->during = [&] { RemoveIdleTask(&quits->task); };
    Queue(quits, 2);
    gCalls.clear();
    RunIdleTaskToEnd(&quits->task);
    EXPECT_EQ(gCalls, (std::vector<std::string>{ "q!" }));
    RunIdleTaskToEnd(&quits->task);  // not queued: not called
    EXPECT_EQ(gCalls.size(), 1u);
}

}  // namespace
