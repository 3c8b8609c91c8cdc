#include "engine/docio/engine_document.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>

#include "engine/core/object_tables.h"
#include "engine/core/action_button_data.h"
#include "tests/engine/docio/document_fixture.h"

namespace {

using EngineDocumentTest = DocumentTest;

// A link-to-page button (or another button) put at the front of a page's order list.
// The page does not own it: Unlink before the page goes.
struct Button {
    alignas(SketchObject) uint8_t bytes[sizeof(SketchObject) + sizeof(ActionButtonData)] = {};
    SketchObject* object() { return reinterpret_cast<SketchObject*>(bytes); }
    ActionButtonData* words() { return ClassData<ActionButtonData>(object()); }
    void Link(Sketch* page, int32_t kind, uint32_t id, int16_t target) {
        object()->objectClass = kClassActionButton;
        words()->buttonType = kind;
        words()->buttonId = id;
        words()->buttonOptions = target;
        object()->nextInSketch = page->firstObject;
        page->firstObject = object();
        // Last in its draw-layer ring, as a linked object is.
        SketchObject*& head = page->layerHeads[ObjectClassTable[kClassActionButton].drawLayer];
        SketchObject* o = object();
        if (head == nullptr) {
            head = o->prevInLayer = o->nextInLayer = o;
        } else {
            o->prevInLayer = head->prevInLayer;
            o->nextInLayer = head;
            head->prevInLayer->nextInLayer = o;
            head->prevInLayer = o;
        }
        page_ = page;
    }
    void Unlink() {
        if (page_ == nullptr) return;
        page_->firstObject = object()->nextInSketch;
        SketchObject*& head = page_->layerHeads[ObjectClassTable[kClassActionButton].drawLayer];
        SketchObject* o = object();
        if (o->nextInLayer == o) {
            head = nullptr;
        } else {
            o->prevInLayer->nextInLayer = o->nextInLayer;
            o->nextInLayer->prevInLayer = o->prevInLayer;
            if (head == o) head = o->nextInLayer;
        }
        page_ = nullptr;
    }
    ~Button() { Unlink(); }
    Sketch* page_ = nullptr;
};

TEST_F(EngineDocumentTest, NewDocumentStartsEmpty) {
    EngineDocument* d = NewDocument();
    EXPECT_EQ(d->owner, this);
    EXPECT_EQ(d->documentValue, 1);
    EXPECT_EQ(d->initWord, 1);
    EXPECT_EQ(DocumentPageCount(d), 0);
    EXPECT_EQ(CurrentPageIndex(d), -1);
    EXPECT_EQ(CurrentPageIndex(nullptr), -1);
    EXPECT_EQ(DocumentPageAt(d, 0), nullptr);
    EXPECT_FALSE(IsDocumentModified(d));

    SetAllocFailureAfter(1);
    EngineDocument* none = nullptr;
    EXPECT_EQ(CreateEngineDocument(&none, nullptr), kResultOutOfMemory);
    EXPECT_EQ(none, nullptr);
}

TEST_F(EngineDocumentTest, FirstPageBecomesCurrentAndIdsStayUnique) {
    EngineDocument* d = NewDocument();
    Sketch* first = AddPage(d);
    Sketch* second = AddPage(d);
    EXPECT_EQ(d->currentPage, first);
    EXPECT_EQ(second->viewOwner, this);
    EXPECT_EQ(second->document, d);
    Sketch* copy = CreateSketch(0, nullptr);
    copy->pageId = first->pageId;
    ASSERT_EQ(InsertDocumentItem(d, copy, kDocumentItemPage, nullptr), kResultOK);
    EXPECT_NE(copy->pageId, first->pageId);
    EXPECT_EQ(DocumentPageCount(d), 3);
    EXPECT_EQ(d->currentPage, first);

    // A page inserted into an empty document becomes its current page.
    EngineDocument* e = NewDocument();
    Sketch* lone = CreateSketch(0, nullptr);
    ASSERT_EQ(InsertDocumentItem(e, lone, kDocumentItemPage, nullptr), kResultOK);
    EXPECT_EQ(e->currentPage, lone);

    // Many pages: every id carries bit 15 and none repeats.
    for (int i = 0; i < 200; ++i) AddPage(d);
    for (int32_t i = 0; i < DocumentPageCount(d); ++i) {
        Sketch* page = DocumentPageAt(d, i);
        EXPECT_NE(page->pageId & 0x8000, 0);
        EXPECT_FALSE(IsPageIdUsed(page, d)) << i;
        int32_t index = -2;
        EXPECT_EQ(FindPageById(d, page->pageId, &index), page);
        EXPECT_EQ(index, i);
    }
    int32_t index = 0;
    EXPECT_EQ(FindPageById(d, 0x1234, &index), nullptr);
    EXPECT_EQ(index, -1);
}

TEST_F(EngineDocumentTest, AddingUnderMemoryFailureLeavesTheDocumentAsItWas) {
    EngineDocument* d = NewDocument();
    AddPage(d);
    for (uint32_t n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        const int32_t pages = DocumentPageCount(d);
        const int32_t menus = DocumentMenuCount(d);
        SetAllocFailureAfter(n);
        void* item = nullptr;
        const ResultCode page = AddDocumentItem(d, &item, kDocumentItemPage, nullptr);
        SetAllocFailureAfter(n);
        const uint8_t bytes[4] = {1, 2, 3, 4};
        const ResultCode menu = AddMenuBlob(d, bytes, 4);
        SetAllocFailureAfter(0);
        EXPECT_EQ(DocumentPageCount(d), pages + (page == kResultOK ? 1 : 0));
        EXPECT_EQ(DocumentMenuCount(d), menus + (menu == kResultOK ? 1 : 0));
        if (page != kResultOK) {
            EXPECT_EQ(page, kResultOutOfMemory);
        }
        if (menu != kResultOK) {
            EXPECT_EQ(menu, kResultOutOfMemory);
        }
    }
}

TEST_F(EngineDocumentTest, RemovingPagesKeepsTheModifiedStateHonest) {
    EngineDocument* d = NewDocument();
    Sketch* a = AddPage(d);
    Sketch* b = AddPage(d);
    Sketch* c = AddPage(d);
    ASSERT_TRUE(RemoveDocumentItem(d, 1, kDocumentItemPage, true));  // empty, no changes
    EXPECT_FALSE(d->modified);
    EXPECT_EQ(DocumentPageAt(d, 1), c);
    AddUndoStep(c);
    RemovePage(d, c, true);
    EXPECT_TRUE(d->modified);
    EXPECT_EQ(DocumentPageCount(d), 1);
    EXPECT_FALSE(RemoveDocumentItem(d, 5, kDocumentItemPage, true));
    (void)a;
    (void)b;
}

TEST_F(EngineDocumentTest, GoingToAPageTellsTheViewsAndMakesItFront) {
    EngineDocument* d = NewDocument();
    AddPage(d);
    Sketch* second = AddPage(d);
    DocumentServices& ui = RecordedDocumentServices();
    EXPECT_EQ(GoToPage(d, 0), kResultOK);  // already current: nothing happens
    EXPECT_TRUE(ui.pagesShown.empty());
    const int32_t visibleBefore = RecordedViewRequests().visibleRectUpdates;
    ASSERT_EQ(GoToPage(d, 1), kResultOK);
    EXPECT_EQ(d->currentPage, second);
    ASSERT_EQ(ui.pagesShown.size(), 1u);
    EXPECT_EQ(ui.pagesShown[0].oldIndex, 0);
    EXPECT_EQ(ui.pagesShown[0].newIndex, 1);
    EXPECT_GT(RecordedViewRequests().visibleRectUpdates, visibleBefore);
    EXPECT_EQ(gEngine.frontSketch, second);
    EXPECT_EQ(gEngine.frontDocument, d);
    EXPECT_EQ(GoToPage(d, 2), kResultNoSuchPage);

    ui.pageVeto = 7;
    EXPECT_EQ(GoToPage(d, 0), 7);
    EXPECT_EQ(d->currentPage, second);

    // Removing the front page leaves no front sketch.
    ui.pageVeto = 0;
    RemovePage(d, second, true);
    EXPECT_EQ(gEngine.frontSketch, nullptr);
    EXPECT_EQ(d->currentPage, nullptr);
    EXPECT_EQ(GoToPage(d, 0), kResultOK);
    EXPECT_EQ(CurrentPageIndex(d), 0);
    EXPECT_EQ(GoToPage(d, -1), kResultOK);
    EXPECT_EQ(d->currentPage, nullptr);
}

TEST_F(EngineDocumentTest, GoToPageAndTargetPressesTheButtonWithThatId) {
    EXPECT_EQ(GoToPageAndTarget(0, 0), kResultNoSuchPage);  // no front document
    EngineDocument* d = NewDocument();
    AddPage(d);
    Sketch* second = AddPage(d);
    ASSERT_EQ(GoToPage(d, 1), kResultOK);  // makes the document front
    EXPECT_EQ(GoToPageAndTarget(2, 0), kResultNoSuchPage);
    Button button;
    button.Link(DocumentPageAt(d, 0), 1, 42, 0);
    EXPECT_EQ(GoToPageAndTarget(0, 41), kResultNoSuchButton);
    EXPECT_EQ(CurrentPageIndex(d), 0);
    EXPECT_EQ(GoToPageAndTarget(1, 0), kResultOK);
    EXPECT_EQ(d->currentPage, second);
    EXPECT_EQ(GoToPageAndTarget(0, 42), kResultOK);
}

TEST_F(EngineDocumentTest, PageLinksTravelAsIndexesAndComeBackAsIds) {
    EngineDocument* d = NewDocument();
    Sketch* first = AddPage(d);
    Sketch* second = AddPage(d);
    Button toSecond, toMissing, other;
    toSecond.Link(first, kButtonLinkToPage, 1, static_cast<int16_t>(second->pageId));
    toMissing.Link(first, kButtonLinkToPage, 2, static_cast<int16_t>(0x8001));
    other.Link(first, 1, 3, 99);
    ConvertPageLinks(d, first, true);
    EXPECT_EQ(toSecond.words()->buttonOptions, 1);
    EXPECT_EQ(toMissing.words()->buttonOptions, static_cast<int16_t>(0x8001));  // the id itself
    EXPECT_EQ(other.words()->buttonOptions, 99);
    ConvertPageLinks(d, first, false);
    EXPECT_EQ(toSecond.words()->buttonOptions, static_cast<int16_t>(second->pageId));
    EXPECT_EQ(toMissing.words()->buttonOptions, static_cast<int16_t>(0x8001));
    EXPECT_EQ(other.words()->buttonOptions, 99);

    // Writing the document leaves the buttons holding ids, also on a page with more
    // link buttons than the writer keeps aside.
    std::deque<Button> many(70);
    for (Button& b : many) b.Link(second, kButtonLinkToPage, 5, static_cast<int16_t>(first->pageId));
    Write(d);
    EXPECT_EQ(toSecond.words()->buttonOptions, static_cast<int16_t>(second->pageId));
    EXPECT_EQ(toMissing.words()->buttonOptions, static_cast<int16_t>(0x8001));
    for (Button& b : many) EXPECT_EQ(b.words()->buttonOptions, static_cast<int16_t>(first->pageId));
    // Buttons unlink in reverse order of linking, each from the front of its page.
    while (!many.empty()) many.pop_back();
}

TEST_F(EngineDocumentTest, ModifiedStateComesFromTheFlagThePagesAndTheTools) {
    EngineDocument* d = NewDocument();
    Sketch* page = AddPage(d);
    AddTool(d, "Tool");
    EXPECT_FALSE(IsDocumentModified(d));
    SetDocumentModified(d, true);
    EXPECT_TRUE(IsDocumentModified(d));
    SetDocumentModified(d, false);
    AddUndoStep(page);
    EXPECT_TRUE(IsDocumentModified(d));
    page->savedPosition = page->undoPosition;
    ToolListSetFlags(DocumentToolList(d), 0, 1);
    EXPECT_TRUE(IsDocumentModified(d));
    ToolListClearFlags(DocumentToolList(d), 0, 1);
    ToolListSetFlags(DocumentToolList(d), 0, 2);  // not a change flag
    EXPECT_FALSE(IsDocumentModified(d));
}

TEST_F(EngineDocumentTest, CopyNamesAvoidOpenDocumentsAndFitTheLimit) {
    DocumentServices& ui = RecordedDocumentServices();
    auto copyName = [](const char* name, uint32_t limit) {
        std::string buffer(limit, '\0');
        std::strncpy(buffer.data(), name, limit - 1);
        MakeCopyName(buffer.data(), limit);
        return std::string(buffer.c_str());
    };
    EXPECT_EQ(copyName("Triangle.yrn", 64), "Triangle copy.yrn");
    EXPECT_EQ(copyName("Notes", 64), "Notes copy");
    ui.openNames = {"triangle COPY.yrn"};
    EXPECT_EQ(copyName("Triangle.yrn", 64), "Triangle copy 2.yrn");
    ui.openNames = {"Triangle copy.yrn", "Triangle copy 2.yrn", "Triangle copy 3.yrn"};
    EXPECT_EQ(copyName("Triangle.yrn", 64), "Triangle copy 4.yrn");
    for (int i = 2; i <= 9; ++i) ui.openNames.insert("Triangle copy " + std::to_string(i) + ".yrn");
    EXPECT_EQ(copyName("Triangle.yrn", 64), "Triangle copy 10.yrn");

    // At the length limit the name is shortened so that the whole result fits.
    ui.openNames.clear();
    const std::string longName = std::string(26, 'x') + ".yrn";
    const std::string first = copyName(longName.c_str(), 32);
    EXPECT_EQ(first, std::string(22, 'x') + " copy.yrn");
    EXPECT_EQ(first.size(), 31u);
    ui.openNames = {first};
    for (int i = 2; i <= 9; ++i) ui.openNames.insert(std::string(20, 'x') + " copy " + std::to_string(i) + ".yrn");
    const std::string tenth = copyName(longName.c_str(), 32);
    EXPECT_EQ(tenth, std::string(19, 'x') + " copy 10.yrn");
    EXPECT_EQ(tenth.size(), 31u);
}

TEST_F(EngineDocumentTest, UntitledNamesSkipOpenOnesAndNeverGoBack) {
    DocumentServices& ui = RecordedDocumentServices();
    char name[32];
    MakeUntitledName(name, sizeof name);
    const int first = std::atoi(name + std::strlen("Untitled "));
    EXPECT_EQ(std::string(name), "Untitled " + std::to_string(first));
    ui.openNames = {"Untitled " + std::to_string(first + 1), "untitled " + std::to_string(first + 2)};
    MakeUntitledName(name, sizeof name);
    EXPECT_EQ(std::string(name), "Untitled " + std::to_string(first + 3));
    ui.openNames.clear();
    MakeUntitledName(name, sizeof name);
    EXPECT_EQ(std::string(name), "Untitled " + std::to_string(first + 4));
}

TEST_F(EngineDocumentTest, MenuBarComesFromTheBestUsableDescription) {
    DocumentServices& ui = RecordedDocumentServices();
    EngineDocument* d = NewDocument();
    AddMenu(d, {0xD0, 0xC0});
    ui.programMenu = {0x50, 0x60};
    // The document's own description is bad: the program's bar, shown already, stays;
    // forced, it is built again.
    ui.menuBuildResults = {3, 3, 0};
    EXPECT_EQ(BuildDocumentMenuBar(d, false), kResultOK);
    ASSERT_EQ(ui.menuBuilds.size(), 1u);
    EXPECT_EQ(ui.menuBuilds[0], (std::vector<uint8_t>{0xD0, 0xC0}));
    EXPECT_EQ(BuildDocumentMenuBar(d, true), kResultOK);
    ASSERT_EQ(ui.menuBuilds.size(), 3u);
    EXPECT_EQ(ui.menuBuilds[2], (std::vector<uint8_t>{0x50, 0x60}));
    // Every description unusable: the last failure is answered.
    ui.menuBuilds.clear();
    ui.menuBuildResults = {4, 4, 4};
    ui.menuBuildIndexReset = true;
    EXPECT_EQ(BuildDocumentMenuBar(d, true), 4);
    EXPECT_EQ(ui.menuBuilds.size(), 3u);

    // A document without one of its own leaves the program's bar alone unless forced.
    EngineDocument* plain = NewDocument();
    ui.menuBuilds.clear();
    EXPECT_EQ(BuildDocumentMenuBar(plain, false), kResultOK);
    EXPECT_TRUE(ui.menuBuilds.empty());
    EXPECT_EQ(BuildDocumentMenuBar(plain, true), kResultOK);
    EXPECT_EQ(ui.menuBuilds.size(), 1u);

    // After a document's own bar, the next document's bar is rebuilt.
    ui.menuBuilds.clear();
    ui.menuBuildResults.clear();
    ui.menuBuildIndexReset = true;
    EXPECT_EQ(BuildDocumentMenuBar(d, false), kResultOK);
    EXPECT_EQ(BuildDocumentMenuBar(plain, false), kResultOK);
    ASSERT_EQ(ui.menuBuilds.size(), 2u);
    EXPECT_EQ(ui.menuBuilds[1], (std::vector<uint8_t>{0x50, 0x60}));
}

TEST_F(EngineDocumentTest, FreeingTheFrontDocumentLeavesNoFrontSketch) {
    EngineDocument* d = NewDocument();
    AddPage(d);
    AddPage(d);
    AddTool(d, "Tool");
    AddMenu(d, {1, 2});
    ASSERT_EQ(GoToPage(d, 1), kResultOK);
    ASSERT_EQ(gEngine.frontDocument, d);
    Forget(d);
    FreeEngineDocument(d);
    EXPECT_EQ(gEngine.frontSketch, nullptr);
    EXPECT_EQ(gEngine.frontDocument, nullptr);
    EXPECT_EQ(RecordedDocumentServices().documentsFreed, std::vector<EngineDocument*>{d});
}

}  // namespace
