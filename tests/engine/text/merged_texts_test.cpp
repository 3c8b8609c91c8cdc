#include "engine/text/merged_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/services/text_objects.h"
#include "engine/core/sketch_fixture.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "tests/engine/text/layout_test_util.h"
#include "tests/support/alerts_double.h"
#include "tests/support/shell_double.h"

namespace {

class MergedTextTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ResetAlertDoubles();
    }
    void TearDown() override {
        ResetAlertDoubles();
        SketchTest::TearDown();
    }

    SketchObject* Caption(const char* layoutText, int16_t x = 30, int16_t y = 40) {
        LayoutNode* tree = nullptr;
        EXPECT_EQ(ParseLayoutString(&tree, layoutText, nullptr), kLayoutParseOK);
        TextStyle style{};
        DefaultTextStyle(kClassCaption, &style);
        CaptionInit init{ tree, style, x, y };
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* c = ConstructObjectEx(&t, &init, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(c, nullptr);
        if (c) RecomputeAndRedrawObject(c);
        return c;
    }

    // A distance between two new points, named AB.
    SketchObject* Distance(double length) {
        SketchObject* a = PointAt(0, 0);
        SketchObject* b = PointAt(length, 0);
        SetObjectLabel(a, "A", false);
        SetObjectLabel(b, "B", false);
        SketchObject* m = Build(41, { a, b });
        EXPECT_NE(m, nullptr);
        return m;
    }

    void Select(std::initializer_list<SketchObject*> objects) {
        DeselectAll();
        for (SketchObject* o : objects) SelectSketchObject(o);
    }

    SketchObject* Newest() const {
        SketchObject* last = nullptr;
        for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) last = o;
        return last;
    }

    int32_t ObjectCount() const { return int32_t(SketchOrder().size()); }

    // What the text shows, as plain text.
    static std::string Shown(SketchObject* o) { return WriteLayout(CaptionDataOf(o)->layout, kWritePlainText); }
    static std::string Text(LayoutNode* tree) { return WriteLayout(tree); }

    // The text with its references written without what they show.
    static std::string Stored(SketchObject* o) {
        LayoutNode* copy = nullptr;
        EXPECT_EQ(CloneLayoutTreeCode(CaptionDataOf(o)->layout, &copy), kLayoutParseOK);
        for (LayoutNode* n = copy; n;) {
            if (n->kind == kLayoutAlternatives)
                while (AlternativeCount(n) > 0) RemoveAlternative(n, 1);
            if (n->firstChild && n->kind != kLayoutAlternatives) {
                n = n->firstChild;
                continue;
            }
            while (n && n != copy && !n->nextSibling) n = n->parent;
            n = (n && n != copy) ? n->nextSibling : nullptr;
        }
        std::string text = Text(copy);
        FreeLayoutNode(copy);
        return text;
    }

    static void Moved(SketchObject* point, double x, double y) {
        SetPointPosition(point, x, y, 1, nullptr, false);
        SketchObject* head = point;
        point->tempLink = nullptr;
        CollectDependents(&head, true);
        RecomputeObjects(head, true, nullptr);
    }
};

TEST_F(MergedTextTest, MergingACaptionAndAMeasurementShowsTheLiveValue) {
    SketchObject* area = Caption("<H<T'Area: '>>", 70, 90);
    SketchObject* m = Distance(50);
    const std::string value = Shown(m);
    Select({ area, m });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* merged = Newest();
    ASSERT_EQ(merged->constructionType, kTypeMergedText);
    EXPECT_EQ(merged->objectKind, kKindMergedText);
    EXPECT_EQ(Parents(merged), (std::vector<SketchObject*>{ area, m }));
    EXPECT_EQ(Stored(merged), "<H<?x1><?x2>>");
    // The first caption gives the place; both parents show through the merged text only.
    EXPECT_EQ(merged->bounds.left, 70);
    EXPECT_EQ(merged->bounds.top, 90);
    EXPECT_EQ(area->hidden, kHiddenAsConsumed);
    EXPECT_EQ(m->hidden, kHiddenAsConsumed);
    EXPECT_TRUE(IsSelected(merged));
    EXPECT_EQ(sketch->selectionHead->nextSelected, nullptr);
    const std::string before = Shown(merged);
    EXPECT_EQ(before.substr(0, 6), "Area: ");
    EXPECT_EQ(before, "Area: " + value.substr(value.find("= ") + 2));
    EXPECT_FALSE(HasOwnText(merged));
    int32_t slots = 0;
    PtrListSize(CaptionDataOf(merged)->valueSlots, &slots);
    EXPECT_EQ(slots, 2 * kSlotsPerReference);

    // Moving the measured point changes the shown value.
    Moved(Parents(m)[1], 80, 0);
    const std::string after = Shown(merged);
    const std::string moved = Shown(m);
    EXPECT_EQ(after, "Area: " + moved.substr(moved.find("= ") + 2));
    EXPECT_NE(before, after);

    // Undo takes the text away and shows its parts again; redo brings both back.
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_FALSE(IsLinkedIntoSketch(merged));
    EXPECT_EQ(area->hidden, kShown);
    EXPECT_EQ(m->hidden, kShown);
    EXPECT_TRUE(IsSelected(area) && IsSelected(m));
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_TRUE(IsLinkedIntoSketch(merged));
    EXPECT_EQ(area->hidden, kHiddenAsConsumed);
    EXPECT_EQ(m->hidden, kHiddenAsConsumed);
    EXPECT_EQ(Shown(merged), after);
}

TEST_F(MergedTextTest, ACustomTemplateNamesItsPartsAndKeepsItsOwnText) {
    SketchObject* first = Distance(10);
    SketchObject* second = Distance(20);
    SketchObject* third = Distance(30);
    // {3} and {1} name the third and the first measurement; {2} appears as a part
    // reference only; {7} names nothing and stays text.
    SketchObject* form = Caption("<H<T'=Sum {3} plus {1} and {1.1} {7}'>>");
    Select({ form, first, second, third });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* merged = Newest();
    ASSERT_EQ(merged->constructionType, kTypeMergedText);
    // Only the named objects are parents, renumbered in selection order.
    EXPECT_EQ(Parents(merged), (std::vector<SketchObject*>{ first, third }));
    EXPECT_EQ(Stored(merged), "<H<T4xSum ><?x2><T6x plus ><?x1><T5x and ><?x10001><T4x {7}>>");
    EXPECT_TRUE(HasOwnText(merged));
    // A template hides nothing; the template caption itself stays as it was.
    EXPECT_EQ(first->hidden, kShown);
    EXPECT_EQ(third->hidden, kShown);
    EXPECT_TRUE(IsLinkedIntoSketch(form));
    const std::string shown = Shown(merged);
    EXPECT_EQ(shown.substr(0, 4), "Sum ");
    const std::string thirdValue = Shown(third);
    EXPECT_NE(shown.find(thirdValue.substr(thirdValue.find("= ") + 2)), std::string::npos) << shown;

    // Splitting a template asks first; No leaves it.
    Select({ merged });
    ScriptQuestionAnswers({ false });
    ASSERT_EQ(SplitTextCommand(0), kResultOK);
    ASSERT_EQ(AskedQuestions().size(), 1u);
    EXPECT_EQ(AskedQuestions()[0].code, 125);
    EXPECT_TRUE(IsLinkedIntoSketch(merged));
    ScriptQuestionAnswers({ true });
    ASSERT_EQ(SplitTextCommand(0), kResultOK);
    EXPECT_FALSE(IsLinkedIntoSketch(merged));
}

TEST_F(MergedTextTest, TextsThatAreNoTemplateMergeAsReferences) {
    struct Case {
        const char* caption;
        int32_t     result;
    };
    const Case cases[] = {
        { "<H<T'Total'>>", kNotATemplate },
        { "<H<T'='>>", kNotATemplate },          // one character only
        { "<H<T'= {2}'>>", kNotATemplate },      // no {1}
        { "<H<T'{1} = '>>", kNotATemplate },     // no leading "="
        { "<H<T'= {1}'>>", kTemplateMade },
        { "<H<T'= {01}{1.0}{1}'>>", kTemplateMade },
    };
    SketchObject* m = Distance(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        SketchObject* objects[2] = { Caption(c.caption), m };
        int32_t count = 2;
        LayoutNode* tree = nullptr;
        TextStyle style{};
        EXPECT_EQ(TryCustomTemplate(objects, &count, &tree, &style), c.result);
        if (c.result != kTemplateMade) continue;
        EXPECT_EQ(count, 1);
        EXPECT_EQ(objects[0], m);
        ASSERT_NE(tree, nullptr);
        FreeLayoutNode(tree);
    }
    // Written forms other than the writer's own ("{01}", "{1.0}") stay text.
    SketchObject* objects[2] = { Caption("<H<T'= {01}{1.0}{1}'>>"), m };
    int32_t count = 2;
    LayoutNode* tree = nullptr;
    TextStyle style{};
    ASSERT_EQ(TryCustomTemplate(objects, &count, &tree, &style), kTemplateMade);
    EXPECT_EQ(Text(tree), "<H<TAx {01}{1.0}><?x1>>");
    FreeLayoutNode(tree);
    // A template naming none of the others makes nothing.
    SketchObject* alone[1] = { Caption("<H<T'= {1}'>>") };
    count = 1;
    EXPECT_EQ(TryCustomTemplate(alone, &count, &tree, &style), kTemplateFailed);
}

TEST_F(MergedTextTest, AReferenceToAPartTheParentDoesNotOfferShowsNothing) {
    // A caption offers parts 0 and 1; stored references to its parts 5 and 0xFFF must
    // neither show nor ask for those parts.
    SketchObject* shown = Caption("<H<T'shown'>>");
    LayoutNode* tree = nullptr;
    ASSERT_EQ(ParseLayoutString(&tree, "<H<T'a'><?x50001><?xFFF0001><?x10001>>", nullptr), kLayoutParseOK);
    PtrList parents = List({ shown });
    const ObjectTemplate t = { kTypeMergedText, 0, 0, kClassCaption, 1, kKindMergedText, 0 };
    CaptionInit init{ tree, {}, 0, 0 };
    SketchObject* merged = ConstructObjectEx(&t, &init, parents, 0, nullptr, nullptr, false);
    ASSERT_NE(merged, nullptr);
    RecomputeAndRedrawObject(merged);
    LayoutNode* five = CaptionDataOf(merged)->layout->firstChild->nextSibling;
    LayoutNode* top = five->nextSibling;
    LayoutNode* one = top->nextSibling;
    EXPECT_EQ(AlternativeCount(five), 0);
    EXPECT_EQ(AlternativeCount(top), 0);
    EXPECT_EQ(AlternativeCount(one), 1);
    EXPECT_EQ(Shown(merged), "ashown");
    DropChangedParts(merged);
    EXPECT_EQ(AlternativeCount(one), 0);
}

TEST_F(MergedTextTest, ARecordNotRebuiltIsRebuiltByTheNextRefresh) {
    SketchObject* shown = Caption("<H<T'x'>>");
    Select({ shown });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* merged = Newest();
    LayoutNode* reference = CaptionDataOf(merged)->layout->firstChild;
    LayoutNode* built = ShownAlternative(reference, nullptr);
    ASSERT_NE(built, nullptr);
    // Nothing changed: kept, with the stamp lowered ...
    UpdateReferences(merged, true);
    EXPECT_EQ(ShownAlternative(reference, nullptr), built);
    // ... so that the refresh after it builds the part again.
    UpdateReferences(merged, true);
    EXPECT_NE(ShownAlternative(reference, nullptr), built);
    // Without only-changed, a part that is shown stays.
    built = ShownAlternative(reference, nullptr);
    UpdateReferences(merged, false);
    UpdateReferences(merged, false);
    EXPECT_EQ(ShownAlternative(reference, nullptr), built);
}

// A name never changes with its object's generation: renaming the object refreshes the
// text through its value slots, which drop the shown name.
TEST_F(MergedTextTest, RenamingAShownObjectRefreshesTheText) {
    SketchObject* a = PointAt(3, 4);
    SetObjectLabel(a, "A", false);
    Select({ a });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* merged = Newest();
    EXPECT_EQ(Shown(merged), "A");
    EXPECT_EQ(a->hidden, kShown);  // a point has no value to hide
    ASSERT_EQ(SetObjectLabel(a, "Q", false), 0);
    EXPECT_EQ(Shown(merged), "Q");
}

TEST_F(MergedTextTest, APeggedTextStaysCentredOnItsPointWhileItIsDragged) {
    SketchObject* p = PointAt(100, 80);
    SketchObject* label = Caption("<H<T'Here'>>");
    Select({ label, p });
    ASSERT_EQ(MergeTextCommand(1), kResultOK);
    SketchObject* pegged = Newest();
    ASSERT_EQ(pegged->constructionType, kTypePeggedText);
    EXPECT_EQ(Parents(pegged), (std::vector<SketchObject*>{ p, label }));
    EXPECT_EQ(Shown(pegged), "Here");
    EXPECT_TRUE(IsSelected(pegged));
    const int32_t width = pegged->bounds.right - pegged->bounds.left;
    const int32_t height = pegged->bounds.bottom - pegged->bounds.top;
    ASSERT_GT(width, 0);
    const struct { double x, y; } path[] = { { 100, 80 }, { 250.4, 30.6 }, { -20.5, -7.5 }, { 29000, -29000 } };
    for (const auto& at : path) {
        SCOPED_TRACE(at.x);
        Moved(p, at.x, at.y);
        const int32_t x = RoundToScreen(at.x), y = RoundToScreen(at.y);
        EXPECT_EQ(pegged->bounds.left, x - width / 2);
        EXPECT_EQ(pegged->bounds.top, y - height / 2);
        EXPECT_EQ(pegged->bounds.right - pegged->bounds.left, width);
        EXPECT_EQ(pegged->bounds.bottom - pegged->bounds.top, height);
    }
    // Undo takes it away; split from a click asks its own question.
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_FALSE(IsLinkedIntoSketch(pegged));
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    ScriptQuestionAnswers({ true });
    SplitTextFromClick(pegged);
    ASSERT_EQ(AskedQuestions().size(), 1u);
    EXPECT_EQ(AskedQuestions()[0].code, 123);
    EXPECT_FALSE(IsLinkedIntoSketch(pegged));
}

TEST_F(MergedTextTest, MergeTextToPointNeedsAPointAndOneOtherObject) {
    SketchObject* p = PointAt(1, 1);
    SketchObject* q = PointAt(2, 2);
    SketchObject* c = Caption("<H<T'c'>>");
    const int32_t objects = ObjectCount();
    const int32_t beeps = RefusalBeepCount();
    Select({ c });
    MergeTextCommand(1);
    Select({ c, Caption("<H<T'd'>>") });
    MergeTextCommand(1);
    Select({ p, q, c });
    MergeTextCommand(1);
    EXPECT_EQ(RefusalBeepCount(), beeps + 3);
    EXPECT_EQ(ObjectCount(), objects + 1);  // the second caption only
    EXPECT_EQ(UndoDepth(), 0);
}

TEST_F(MergedTextTest, SplittingDeletesTheTextOrHidesItWhenOthersDependOnIt) {
    SketchObject* c = Caption("<H<T'c'>>");
    SketchObject* m = Distance(3);
    Select({ c, m });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* inner = Newest();
    // A merged text of the merged text: the inner one is hidden and has a dependent.
    SketchObject* d = Caption("<H<T'd'>>");
    Select({ inner, d });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* outer = Newest();
    ASSERT_EQ(outer->constructionType, kTypeMergedText);
    EXPECT_EQ(inner->hidden, kHiddenAsConsumed);
    EXPECT_EQ(Shown(outer), Shown(inner) + "d");
    SketchObject* subject = nullptr;
    EXPECT_TRUE(FindMergedTextSubject(outer, &subject));
    EXPECT_EQ(subject, m);

    ScriptQuestionAnswers({ true });
    SplitTextFromClick(inner);
    EXPECT_EQ(AskedQuestions().back().code, 122);
    EXPECT_TRUE(IsLinkedIntoSketch(inner));
    EXPECT_EQ(inner->hidden, kHiddenByUser);
    EXPECT_EQ(c->hidden, kShown);
    EXPECT_EQ(m->hidden, kShown);
    EXPECT_TRUE(IsSelected(c) && IsSelected(m));
    // Undo hides the parts again and puts the text back as it was.
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(inner->hidden, kHiddenAsConsumed);
    EXPECT_EQ(c->hidden, kHiddenAsConsumed);
    EXPECT_EQ(m->hidden, kHiddenAsConsumed);

    // Without dependents the text goes; undo brings it back.
    ASSERT_TRUE(SplitText(outer));
    EXPECT_FALSE(IsLinkedIntoSketch(outer));
    EXPECT_EQ(inner->hidden, kShown);
    EXPECT_EQ(d->hidden, kShown);
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_TRUE(IsLinkedIntoSketch(outer));
    EXPECT_EQ(inner->hidden, kHiddenAsConsumed);
}

TEST_F(MergedTextTest, TheSubjectIsTheOneValueShown) {
    SketchObject* m1 = Distance(3);
    SketchObject* m2 = Distance(4);
    SketchObject* c = Caption("<H<T'c'>>");
    Select({ c, m1, m2 });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* both = Newest();
    SketchObject* subject = nullptr;
    EXPECT_FALSE(FindMergedTextSubject(both, &subject));
    Select({ Caption("<H<T'e'>>") });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    EXPECT_FALSE(FindMergedTextSubject(Newest(), &subject));
    EXPECT_FALSE(FindMergedTextSubject(c, &subject));
}

TEST_F(MergedTextTest, ACaptionEditIsUndoneAndRedoneAndItsShowersFollow) {
    SketchObject* c = Caption("<H<T'old'>>");
    Select({ c });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* shower = Newest();
    EXPECT_EQ(Shown(shower), "old");
    const int32_t width = c->bounds.right - c->bounds.left;
    LayoutNode* tree = nullptr;
    ASSERT_EQ(ParseLayoutString(&tree, "<H<T'much longer'>>", nullptr), kLayoutParseOK);
    ASSERT_TRUE(RecordCaptionEditUndo(c, tree));
    EXPECT_EQ(Text(CaptionDataOf(c)->layout), "<H<TBxmuch longer>>");
    EXPECT_GT(c->bounds.right - c->bounds.left, width);
    EXPECT_EQ(Shown(shower), "much longer");
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    EXPECT_EQ(Text(CaptionDataOf(c)->layout), "<H<T3xold>>");
    EXPECT_EQ(c->bounds.right - c->bounds.left, width);
    EXPECT_EQ(Shown(shower), "old");
    ASSERT_EQ(UndoReplay(kUndoDirectionRedo), kResultOK);
    EXPECT_EQ(Shown(shower), "much longer");
    // Both sides of the history free the trees they hold (the sanitizer sees leaks).
    ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
    UndoTrimHistory(sketch, 0);
}

// Every allocation of each operation fails in turn: the operation fails cleanly (the
// sketch as it was, nothing leaked) or succeeds whole.
TEST_F(MergedTextTest, OutOfMemoryInEveryOperation) {
    SketchObject* c = Caption("<H<T'Area: '>>");
    SketchObject* m = Distance(7);
    SketchObject* form = Caption("<H<T'=x {1} y {2}'>>");
    SketchObject* p = PointAt(5, 5);
    struct Operation {
        const char* name;
        std::vector<SketchObject*> selection;
        int32_t argument;
    };
    const Operation merges[] = {
        { "merge", { c, m }, 0 }, { "template", { form, c, m }, 0 }, { "to point", { p, m }, 1 },
    };
    for (const Operation& op : merges) {
        SCOPED_TRACE(op.name);
        bool done = false;
        for (int32_t n = 1; n < 200 && !done; ++n) {
            DeselectAll();
            for (SketchObject* o : op.selection) SelectSketchObject(o);
            const int32_t objects = ObjectCount();
            const int32_t depth = UndoDepth();
            SetAllocFailureAfter(n);
            MergeTextCommand(op.argument);
            SetAllocFailureAfter(0);
            done = ObjectCount() == objects + 1;
            if (!done) {
                EXPECT_EQ(UndoDepth(), depth);
                EXPECT_EQ(c->hidden, kShown);
                EXPECT_EQ(m->hidden, kShown);
                EXPECT_TRUE(IsSelected(op.selection[0]));
                continue;
            }
            EXPECT_EQ(UndoDepth(), depth + 1);
            ASSERT_EQ(UndoReplay(kUndoDirectionUndo), kResultOK);
            UndoDropRedo(nullptr);
        }
        EXPECT_TRUE(done);
    }

    Select({ c, m });
    ASSERT_EQ(MergeTextCommand(0), kResultOK);
    SketchObject* merged = Newest();
    bool split = false;
    for (int32_t n = 1; n < 50 && !split; ++n) {
        SetAllocFailureAfter(n);
        split = SplitText(merged);
        SetAllocFailureAfter(0);
        if (!split) {
            EXPECT_TRUE(IsLinkedIntoSketch(merged));
        }
    }
    EXPECT_TRUE(split);
    EXPECT_EQ(m->hidden, kShown);

    bool edited = false;
    for (int32_t n = 1; n < 50 && !edited; ++n) {
        LayoutNode* tree = nullptr;
        ASSERT_EQ(ParseLayoutString(&tree, "<H<T'new'>>", nullptr), kLayoutParseOK);
        SetAllocFailureAfter(n);
        edited = RecordCaptionEditUndo(c, tree);
        SetAllocFailureAfter(0);
        EXPECT_EQ(Shown(c), edited ? "new" : "Area: ");
    }
    EXPECT_TRUE(edited);

    LayoutNode* tree = nullptr;
    ASSERT_EQ(ParseLayoutString(&tree, "<H<SP1#C<T'a'>><?1<T'b'>>>", nullptr), kLayoutParseOK);
    LayoutNode* copy = nullptr;
    for (int32_t n = 1; n < 50 && !copy; ++n) {
        SetAllocFailureAfter(n);
        copy = FlattenLayoutCopy(tree, true, true);
        SetAllocFailureAfter(0);
    }
    ASSERT_NE(copy, nullptr);
    FreeLayoutNode(copy);
    FreeLayoutNode(tree);
}

}  // namespace
