// Picking from a dialog by sketch points through the real hit test: refused objects,
// highlights that were there before, the filter hearing that nothing is hot; the dialog
// focus object; the help glue's alerts.
#include <gtest/gtest.h>

#include <vector>

#include "engine/core/sketch_fixture.h"
#include "engine/interact/pick_session.h"
#include "engine/text/object_labels.h"
#include "tests/support/alerts_double.h"

namespace {

struct PickLog {
    SketchObject*              refuse = nullptr;  // the filter refuses this object
    std::vector<SketchObject*> filtered;
    std::vector<SketchObject*> accepted;
    std::vector<SketchObject*> rejected;
};

bool Filter(SketchObject* o, void* user) {
    auto* log = static_cast<PickLog*>(user);
    log->filtered.push_back(o);
    return o != nullptr && o != log->refuse;
}
int32_t Applied(void*) { return 7; }
void Accept(SketchObject* o, void* user, PickApplyFn* apply) {
    static_cast<PickLog*>(user)->accepted.push_back(o);
    *apply = Applied;
}
void Reject(SketchObject* o, void* user, PickApplyFn*) { static_cast<PickLog*>(user)->rejected.push_back(o); }

bool Highlighted(const SketchObject* o) { return (o->stateFlags & kObjectHot) != 0; }

class PickSessionTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetAlertDoubles();
    }
    void TearDown() override {
        PickSessionEnd();
        SetDialogFocusObject(nullptr);
        ResetAlertDoubles();
        SketchTest::TearDown();
    }
    static ScreenPoint At(int16_t x, int16_t y) { return { x, y }; }
};

}  // namespace

TEST_F(PickSessionTest, RefusedObjectIsNotHotAndReachesTheRejectCallback) {
    SketchObject* a = PointAt(100, 100);
    SketchObject* b = PointAt(200, 100);
    PickLog log;
    log.refuse = b;
    PickSessionBegin(Filter, Accept, Reject, &log);

    EXPECT_TRUE(PickSessionHover(At(100, 100)));
    EXPECT_TRUE(Highlighted(a));
    log.filtered.clear();
    EXPECT_FALSE(PickSessionHover(At(200, 100)));  // refused: a is no longer hot
    EXPECT_FALSE(Highlighted(a));
    EXPECT_FALSE(Highlighted(b));
    EXPECT_EQ(log.filtered, (std::vector<SketchObject*>{ b, nullptr }));

    PickApplyFn apply = nullptr;
    EXPECT_TRUE(PickSessionClick(At(200, 100), &apply));
    EXPECT_EQ(log.rejected, std::vector<SketchObject*>{ b });
    EXPECT_EQ(apply, nullptr);
    EXPECT_TRUE(PickSessionClick(At(400, 400), &apply));  // over nothing: null
    EXPECT_EQ(log.rejected.back(), nullptr);

    // Nothing hot and nothing under the pointer: the filter is not asked again.
    log.filtered.clear();
    EXPECT_FALSE(PickSessionHover(At(400, 400)));
    EXPECT_TRUE(log.filtered.empty());

    EXPECT_TRUE(PickSessionClick(At(100, 100), &apply));
    EXPECT_EQ(log.accepted, std::vector<SketchObject*>{ a });
    ASSERT_NE(apply, nullptr);
    EXPECT_EQ(apply(&log), 7);

    // A dialog that found the object itself runs the apply routine after its own save.
    log.accepted.clear();
    EXPECT_TRUE(PickSessionClick(a, &apply));
    EXPECT_EQ(log.accepted, std::vector<SketchObject*>{ a });
    EXPECT_EQ(PickSessionApply(apply), 7);
    EXPECT_EQ(PickSessionApply(nullptr), 0);

    // Without a reject callback a refused click is nobody's.
    PickSessionEnd();
    PickSessionBegin(Filter, Accept, nullptr, &log);
    EXPECT_FALSE(PickSessionClick(At(200, 100), &apply));
}

TEST_F(PickSessionTest, HighlightSetBeforeIsKept) {
    SketchObject* a = PointAt(100, 100);
    SketchObject* b = PointAt(200, 100);
    a->stateFlags |= kObjectHot;
    PickLog log;
    PickSessionBegin(Filter, Accept, nullptr, &log);
    EXPECT_TRUE(PickSessionHover(At(100, 100)));
    EXPECT_TRUE(PickSessionHover(At(200, 100)));
    EXPECT_TRUE(Highlighted(a));  // it was highlighted before the session
    EXPECT_TRUE(Highlighted(b));

    log.filtered.clear();
    PickSessionCancelHot();
    EXPECT_FALSE(Highlighted(b));
    EXPECT_EQ(log.filtered, std::vector<SketchObject*>{ nullptr });

    EXPECT_TRUE(PickSessionHover(At(200, 100)));
    log.filtered.clear();
    PickSessionEnd();
    EXPECT_FALSE(Highlighted(b));
    EXPECT_TRUE(Highlighted(a));
    EXPECT_EQ(log.filtered, std::vector<SketchObject*>{ nullptr });
    EXPECT_FALSE(PickSessionActive());
}

TEST_F(PickSessionTest, FocusObjectShownLabelledAndGivenBack) {
    SketchObject* hidden = PointAt(100, 100);
    ChangeObjectHidden(hidden, kHiddenByUser, false);
    SketchObject* labelled = PointAt(200, 100);
    ASSERT_EQ(SetObjectLabel(labelled, "Q", false), 0);
    labelled->stateFlags |= kObjectHot;
    SketchObject* unnamed = PointAt(300, 100);

    SetDialogFocusObject(hidden);
    EXPECT_EQ(hidden->hidden, kShown);
    EXPECT_TRUE(Highlighted(hidden));

    SetDialogFocusObject(labelled);
    EXPECT_EQ(hidden->hidden, kHiddenByUser);
    EXPECT_FALSE(Highlighted(hidden));
    EXPECT_EQ(labelled->label.shown, 1);  // a typed label, not shown: shown for the focus

    SetDialogFocusObject(unnamed);
    EXPECT_EQ(labelled->label.shown, 0);
    EXPECT_TRUE(Highlighted(labelled));   // highlighted before: left as found
    EXPECT_EQ(unnamed->label.shown, 0);   // no label of level 3 or more to show

    SetDialogFocusObject(nullptr);
    EXPECT_FALSE(Highlighted(unnamed));
    EXPECT_EQ(DialogFocusObject(), nullptr);
}

TEST_F(PickSessionTest, HelpTopicsReportWhatTheLinkAnswers) {
    OpenHelpTopic(0);  // the empty item: nothing to open, nothing to say
    EXPECT_TRUE(ShownAlerts().empty());
    OpenHelpTopic(1);
    ASSERT_EQ(ShownAlerts().size(), 1u);
    EXPECT_EQ(ShownAlerts()[0].code, 408);
    EXPECT_EQ(ShownAlerts()[0].caption, "Help Not Found");
}
