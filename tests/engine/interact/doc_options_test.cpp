// Document Options with scripted dialogs: the pages and tools edited live, then kept or
// put back; the questions before pages go or links break; memory failing in the
// snapshots and in a page copy.
#include "engine/interact/doc_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/action_button_data.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/dialogs.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/page_links.h"
#include "tests/engine/docio/document_fixture.h"
#include "tests/support/alerts_double.h"
#include "tests/support/dialogs_double.h"

namespace {

class DocOptionsTest : public DocumentTest {
protected:
    EngineDocument* doc = nullptr;
    Sketch* pages[3] = {};

    void SetUp() override {
        DocumentTest::SetUp();
        ResetDialogDoubles();
        ResetAlertDoubles();
        doc = NewDocument();
        pages[0] = AddPage(doc, "One");
        pages[1] = AddPage(doc);
        pages[2] = AddPage(doc, "Three");
        FillSketch(pages[0], 0);
        Show(0);
        SetDocumentModified(doc, false);
    }
    void TearDown() override {
        ResetDialogDoubles();
        ResetAlertDoubles();
        gEngine.frontDocument = nullptr;
        DocumentTest::TearDown();
    }
    void Show(int32_t index) {
        ASSERT_EQ(GoToPage(doc, index), kResultOK);
        SetCurrentSketch(doc->currentPage, nullptr);
        gEngine.frontDocument = doc;
    }
    // The tabs as the dialog and the page tabs read them.
    std::string Tabs() const {
        std::string all;
        for (int32_t i = 0; i < DocumentPageCount(doc); ++i) {
            char name[kPageNameChars + 1];
            DocOptionsPageName(doc, i, name);
            if (i) all += '|';
            all += name;
        }
        return all;
    }
    std::string ToolNames() const {
        std::string all;
        ToolList* list = DocumentToolList(doc);
        for (int32_t i = 0; list && i < ToolListCount(list); ++i) {
            char name[kToolNameBytes];
            ToolListName(list, i, name, sizeof name);
            if (i) all += '|';
            all += name;
        }
        return all;
    }
    // A link-to-page button on `from` whose target is `to`.
    SketchObject* LinkButton(Sketch* from, Sketch* to) {
        Sketch* previous = nullptr;
        SetCurrentSketch(from, &previous);
        ResultCode rc = 0;
        SketchObject* b = MakeActionButton(kButtonLinkToPage, nullptr, false, &rc);
        EXPECT_EQ(rc, kResultOK);
        if (b) {
            ActionButtonOf(b)->buttonType = kButtonLinkToPage;
            *LinkToPageTarget(b) = static_cast<int16_t>(to->pageId);
        }
        SetCurrentSketch(previous, nullptr);
        return b;
    }
    std::vector<int32_t> Asked() const {
        std::vector<int32_t> codes;
        for (const AskedQuestion& q : AskedQuestions()) codes.push_back(q.code);
        return codes;
    }
    int32_t Run(std::vector<std::function<void(void*)>> edits, bool ok, int32_t flag = 1) {
        ScriptDialogs({ { std::move(edits), ok } });
        return DocOptionsRun(flag);
    }
};

EngineDocument* Doc(void* record) { return static_cast<DocOptionsRecord*>(record)->document; }

TEST_F(DocOptionsTest, PageNamesAndRenames) {
    struct Case { int32_t index; std::string text; bool named; std::string shown; };
    const std::string longText(100, 'n');
    const Case cases[] = {
        { 2, "3", false, "3" },          // its own number leaves it unnamed
        { 1, "", false, "2" },
        { 1, "Proof", true, "Proof" },
        { 0, longText, true, longText.substr(0, 80) },
        { 0, "2", true, "2" },           // another page's number is a name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DocOptionsRenamePage(doc, c.index, c.text.c_str()), kResultOK);
        char name[kPageNameChars + 1];
        EXPECT_EQ(DocOptionsPageName(doc, c.index, name), c.named);
        EXPECT_EQ(std::string(name), c.shown);
    }
    EXPECT_TRUE(IsDocumentModified(doc));

    // No change: nothing is marked.
    SetDocumentModified(doc, false);
    const int32_t rebuilds = RecordedDocumentServices().tabRebuilds;
    EXPECT_EQ(DocOptionsRenamePage(doc, 1, "Proof"), kResultOK);
    EXPECT_EQ(DocOptionsRenamePage(doc, 2, ""), kResultOK);
    EXPECT_EQ(DocOptionsRenamePage(doc, 2, "3"), kResultOK);
    EXPECT_FALSE(IsDocumentModified(doc));
    EXPECT_EQ(RecordedDocumentServices().tabRebuilds, rebuilds);

    SetAllocFailureAfter(1);
    EXPECT_EQ(DocOptionsRenamePage(doc, 1, "Lost"), kResultOutOfMemory);
    SetAllocFailureAfter(0);
    EXPECT_EQ(Tabs(), "2|Proof|3");
}

TEST_F(DocOptionsTest, RemovingTheShownPageShowsItsNeighbour) {
    struct Case { int32_t shown, removed; Sketch* expected; };
    for (const Case& c : { Case{ 1, 1, nullptr }, Case{ 2, 2, nullptr }, Case{ 0, 2, nullptr } }) {
        SCOPED_TRACE(std::to_string(c.shown) + " " + std::to_string(c.removed));
        Sketch* expected = c.shown != c.removed ? pages[c.shown]
                           : c.removed == 2    ? pages[1]
                                               : pages[2];
        Show(c.shown);
        Run({ [&](void* r) { DocOptionsDeletePage(Doc(r), c.removed); },
              [&](void* r) { EXPECT_EQ(Doc(r)->currentPage, expected); },
              [&](void*) { EXPECT_EQ(CurrentSketch(), expected); } },
            false);
        EXPECT_EQ(Tabs(), "One|2|Three");
        EXPECT_EQ(doc->currentPage, pages[c.shown]);
    }
    // The only page cannot go.
    EngineDocument* single = NewDocument();
    Sketch* only = AddPage(single);
    DocOptionsDeletePage(single, 0);
    EXPECT_EQ(DocumentPageAt(single, 0), only);
}

TEST_F(DocOptionsTest, EditsKeptOnOkAndPutBackOnCancel) {
    const std::string longName(120, 'L');
    ASSERT_EQ(SetSketchTitle(pages[1], longName.c_str()), kResultOK);
    doc->documentValue = 0;
    SetDocumentModified(doc, false);
    auto edits = [&] {
        return std::vector<std::function<void(void*)>>{
            [](void* r) { EXPECT_EQ(DocOptionsRenamePage(Doc(r), 1, "Proof"), kResultOK); },
            [](void* r) { MoveListEntry(Doc(r), 2, 0); },          // Three|One|Proof
            [](void* r) { DocOptionsDeletePage(Doc(r), 1); },      // Three|Proof
            [](void* r) {
                EXPECT_EQ(DocOptionsCopyPage(Doc(r), DocumentPageAt(Doc(r), 1), nullptr, nullptr), kResultOK);
                Doc(r)->documentValue = 1;
            },
        };
    };
    Run(edits(), false);
    EXPECT_EQ(DocumentPageCount(doc), 3);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(DocumentPageAt(doc, i), pages[i]);
    EXPECT_EQ(std::string(pages[1]->title), longName);  // whole, not cut to 80
    EXPECT_EQ(doc->currentPage, pages[0]);
    EXPECT_EQ(CurrentSketch(), pages[0]);
    EXPECT_FALSE(IsDocumentModified(doc));
    EXPECT_EQ(doc->documentValue, 0);
    EXPECT_TRUE(AskedQuestions().empty());

    ScriptQuestionAnswers({ true });
    Run(edits(), true);
    EXPECT_EQ(Asked(), std::vector<int32_t>{ 405 });
    EXPECT_EQ(Tabs(), "Three|Proof|Proof");
    EXPECT_NE(DocumentPageAt(doc, 2), pages[1]);
    EXPECT_NE(DocumentPageAt(doc, 2)->pageId, pages[1]->pageId);
    EXPECT_TRUE(IsDocumentModified(doc));
    EXPECT_EQ(doc->documentValue, 1);
    EXPECT_EQ(doc->currentPage, pages[1]);  // One was shown: removed, its next page shows
}

TEST_F(DocOptionsTest, BrokenLinkQuestionsAndTheirAnswers) {
    LinkButton(pages[0], pages[2]);
    struct Case { std::vector<bool> answers; std::vector<int32_t> asked; bool kept; };
    const Case cases[] = {
        { { false }, { 405 }, true },
        { { true, false }, { 405, 404 }, true },
        { { true, true }, { 405, 404 }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked.size());
        ResetAlertDoubles();
        if (c.answers.size() == 1) ScriptQuestionAnswers({ c.answers[0] });
        else ScriptQuestionAnswers({ c.answers[0], c.answers[1] });
        Run({ [](void* r) { DocOptionsDeletePage(Doc(r), 2); } }, true);
        EXPECT_EQ(Asked(), c.asked);
        EXPECT_EQ(Tabs(), c.kept ? "One|2|Three" : "One|2");
    }
    ASSERT_GE(AskedQuestions().size(), 2u);
    EXPECT_EQ(AskedQuestions()[0].caption, "Pages Removed");
    EXPECT_NE(AskedQuestions()[0].text.find("Do you want really want"), std::string::npos);
    EXPECT_EQ(AskedQuestions()[1].caption, "Broken Link");
    EXPECT_EQ(DocOptionsLinkButtons(doc, pages[0], false), 1);
}

TEST_F(DocOptionsTest, ALinkIsBrokenWithoutItsPageOrItsTargetButton) {
    SketchObject* link = LinkButton(pages[0], pages[2]);
    SketchObject* target = LinkButton(pages[2], pages[1]);  // any action button will do
    ASSERT_TRUE(link && target);
    ActionButtonOf(target)->buttonId = 7;
    struct Case { int16_t targetButton; bool pageThere; bool exists; };
    const Case cases[] = { { 0, true, true }, { 7, true, true }, { 8, true, false }, { 0, false, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.targetButton);
        ActionButtonOf(link)->buttonParam = c.targetButton;
        *LinkToPageTarget(link) = static_cast<int16_t>(c.pageThere ? pages[2]->pageId : 0x8001);
        EXPECT_EQ(LinkButtonTargetExists(doc, link), c.exists);
        EXPECT_EQ(DocOptionsLinkButtons(doc, pages[0], false), c.exists ? 0 : 1);
    }
    EXPECT_TRUE(LinkButtonTargetExists(doc, target));
}

TEST_F(DocOptionsTest, BrokenLinksShownAndSelected) {
    SketchObject* broken = LinkButton(pages[0], pages[2]);
    SketchObject* fine = LinkButton(pages[0], pages[1]);
    ASSERT_TRUE(broken && fine);
    *LinkToPageTarget(broken) = static_cast<int16_t>(0x8001);
    ASSERT_EQ(ChangeObjectHidden(broken, kHiddenByUser, false), kResultOK);
    SelectSketchObject(fine);
    EXPECT_EQ(DocOptionsLinkButtons(doc, pages[0], true), 1);
    EXPECT_EQ(broken->hidden, kShown);
    EXPECT_TRUE(IsSelected(broken));
    EXPECT_FALSE(IsSelected(fine));
}

TEST_F(DocOptionsTest, APageAddedAndRemovedAsksNothing) {
    Run({ [](void* r) { EXPECT_EQ(DocOptionsCopyPage(Doc(r), DocumentPageAt(Doc(r), 0), nullptr, nullptr), kResultOK); },
          [](void* r) { DocOptionsDeletePage(Doc(r), 3); } },
        true);
    EXPECT_TRUE(AskedQuestions().empty());
    EXPECT_EQ(Tabs(), "One|2|Three");
}

TEST_F(DocOptionsTest, CopiedPageKeepsItsLinkTargets) {
    SketchObject* link = LinkButton(pages[0], pages[2]);
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(DocOptionsCopyPage(doc, pages[0], nullptr, nullptr), kResultOK);
    Sketch* copy = DocumentPageAt(doc, 3);
    ASSERT_NE(copy, nullptr);
    int32_t links = 0;
    for (SketchObject* o = copy->firstObject; o; o = o->nextInSketch) {
        if (int16_t* target = LinkToPageTarget(o)) {
            EXPECT_EQ(static_cast<uint16_t>(*target), pages[2]->pageId);
            ++links;
        }
    }
    EXPECT_EQ(links, 1);
    EXPECT_EQ(DocOptionsLinkButtons(doc, copy, false), 0);
    EXPECT_EQ(copy->document, doc);
    EXPECT_EQ(CurrentSketch(), pages[0]);
}

TEST_F(DocOptionsTest, EachAllocationOfACopyFailingLeavesTheDocument) {
    LinkButton(pages[0], pages[2]);
    bool copied = false;
    for (uint32_t n = 1; !copied && n < 400; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        const ResultCode rc = DocOptionsCopyPage(doc, pages[0], nullptr, nullptr);
        SetAllocFailureAfter(0);
        copied = rc == kResultOK;
        EXPECT_EQ(DocumentPageCount(doc), copied ? 4 : 3);
        EXPECT_EQ(CurrentSketch(), pages[0]);
    }
    EXPECT_TRUE(copied);
}

TEST_F(DocOptionsTest, EachAllocationOfTheSnapshotsFailingMeansNoDialog) {
    AddTool(doc, "Alpha");
    AddTool(doc, "Beta");
    bool ran = false;
    for (uint32_t n = 1; !ran && n < 50; ++n) {
        SCOPED_TRACE(n);
        ResetDialogDoubles();
        ResetAlertDoubles();
        ScriptDialogs({ { { [](void* r) { DocOptionsRenamePage(Doc(r), 0, "Changed"); } }, false } });
        SetAllocFailureAfter(n);
        const int32_t result = DocOptionsRun(1);
        SetAllocFailureAfter(0);
        ran = !RanDialogs().empty();
        if (!ran) {
            EXPECT_EQ(result, 0);
            ASSERT_EQ(ShownAlerts().size(), 1u);
            EXPECT_EQ(ShownAlerts()[0].code, 100);
        }
        EXPECT_EQ(Tabs(), "One|2|Three");
        EXPECT_EQ(ToolNames(), "Alpha|Beta");
    }
    EXPECT_TRUE(ran);
}

TEST_F(DocOptionsTest, ToolsRenamedReorderedAndCopiedIn) {
    AddTool(doc, "Alpha");
    AddTool(doc, "Beta");
    AddTool(doc, "Gamma");
    auto edits = [&] {
        return std::vector<std::function<void(void*)>>{
            [](void* r) {
                EXPECT_EQ(static_cast<DocOptionsRecord*>(r)->view, 1);
                EXPECT_EQ(CustomToolCount(), 3);
                EXPECT_EQ(CustomToolName(1, nullptr, 0), 5);
                char name[kToolNameBytes];
                EXPECT_EQ(CustomToolName(2, name, sizeof name), 6);
                EXPECT_STREQ(name, "Gamma");
                CustomToolRename(0, "First");
                CustomToolRename(2, "Third");
                DocOptionsMoveTool(2, 0);  // Third|First|Beta
                DocOptionsDeleteTool(2);   // Third|First
            },
            [this](void*) {
                // Copy Tool appends to the document's list, then tells the model.
                AddTool(doc, "Copied");
                EXPECT_EQ(DocOptionsAddTool(), 1);
                DocOptionsMoveTool(2, 1);  // Third|Copied|First
            },
        };
    };
    EXPECT_EQ(Run(edits(), false, 0), 1);
    ASSERT_EQ(RanDialogs().size(), 1u);
    EXPECT_EQ(RanDialogs()[0].kind, kDialogDocumentOptions);
    EXPECT_EQ(RanDialogs()[0].helpTopic, 40);
    EXPECT_EQ(ToolNames(), "Alpha|Beta|Gamma");
    EXPECT_FALSE(IsDocumentModified(doc));
    for (int32_t i = 0; i < 3; ++i) EXPECT_FALSE(ToolListTestFlags(DocumentToolList(doc), i, 0xFF & ~kToolChangedFlags));

    EXPECT_EQ(Run(edits(), true, 0), 1);
    EXPECT_EQ(ToolNames(), "Third|Copied|First");
    EXPECT_TRUE(IsDocumentModified(doc));
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(ToolListTestFlags(DocumentToolList(doc), i, kToolMarkChanged));
        EXPECT_FALSE(ToolListTestFlags(DocumentToolList(doc), i, kToolMarkRemoved | kToolMarkRenamed | 32));
    }
}

TEST_F(DocOptionsTest, ToolsFollowTheDialogEvenWhenThePageQuestionIsDeclined) {
    AddTool(doc, "Alpha");
    AddTool(doc, "Beta");
    ScriptQuestionAnswers({ false });
    Run({ [](void* r) {
        DocOptionsDeletePage(Doc(r), 1);
        DocOptionsMoveTool(1, 0);
    } }, true);
    EXPECT_EQ(Asked(), std::vector<int32_t>{ 405 });
    EXPECT_EQ(Tabs(), "One|2|Three");
    EXPECT_EQ(ToolNames(), "Beta|Alpha");
}

}  // namespace
