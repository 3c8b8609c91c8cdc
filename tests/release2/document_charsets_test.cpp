#include "release2/platform/document_charsets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/services/document_io.h"
#include "engine/core/services/later_release.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"
#include "engine/text/code_tables.h"
#include "release2/platform/platform_forms.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "tests/engine/core/sketch_fixture.h"

namespace {

class DocumentCharsets : public SketchTest {
protected:
    static char* Heap(const std::string& s) {
        auto* p = static_cast<char*>(AllocMemory(s.size() + 1, 0));
        std::memcpy(p, s.c_str(), s.size() + 1);
        return p;
    }
    std::string Label(SketchObject* o) {
        char buffer[kLabelBufferSize];
        uint32_t length = 0;
        GetObjectLabel(o, o->label.level, buffer, &length);
        return std::string(buffer, length);
    }
};

}  // namespace

TEST_F(DocumentCharsets, MacTextsOfTheSketchAndItsLabelsBecomeWindowsText) {
    sketch->title = Heap("Page \xB9");
    SketchObject* a = PointAt(10, 10);
    SketchObject* b = PointAt(20, 20);
    SketchObject* c = PointAt(30, 30);
    ASSERT_EQ(SetObjectLabel(a, "\xDB" "A", false), 0);
    // 60 pi signs would be 120 letters: too long, the label stays.
    ASSERT_EQ(SetObjectLabel(b, std::string(60, '\xB9').c_str(), false), 0);
    ASSERT_EQ(SetObjectLabel(c, "plain", false), 0);

    ConvertDocumentTexts(sketch, kCharsetWindows);  // already the program's set: no pass
    EXPECT_STREQ(sketch->title, "Page \xB9");
    EXPECT_EQ(Label(a), "\xDB" "A");

    ConvertDocumentTexts(sketch, kCharsetMac);
    EXPECT_STREQ(sketch->title, "Page pi");
    EXPECT_EQ(Label(a), "\xA4" "A");
    EXPECT_EQ(Label(b), std::string(60, '\xB9'));
    EXPECT_EQ(Label(c), "plain");
}

TEST_F(DocumentCharsets, LayoutRunsConvertOnlyWhenChanged) {
    LayoutNode* tree = LayoutFromPlainText("r\xB9 \xDB", 4, 0);
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(ConvertLayoutTexts(tree, kCharsetMac, kCharsetWindows));
    std::string text;
    ForEachLayoutNode(tree, [&](LayoutNode* n) {
        int32_t length = 0;
        if (n->kind == kLayoutTextRun) {
            const char* run = GetTextRun(n, &length);
            text.append(run, size_t(length));
        }
        return true;
    });
    EXPECT_EQ(text, "rpi \xA4");
    LayoutNode* plain = LayoutFromPlainText("plain", 5, 0);
    EXPECT_FALSE(ConvertLayoutTexts(plain, kCharsetMac, kCharsetWindows));
    FreeLayoutNode(plain);

    // Out of memory: the run is kept and nothing reports a change.
    LayoutNode* other = LayoutFromPlainText("\xB9", 1, 0);
    SetAllocFailureAfter(1, true);
    EXPECT_FALSE(ConvertLayoutTexts(other, kCharsetMac, kCharsetWindows));
    SetAllocFailureAfter(0);
    FreeLayoutNode(other);
    FreeLayoutNode(tree);
}

// The sketch reader converts only in the later release and only for a document in
// another character set; the format stores none, so current documents are never passed.
TEST_F(DocumentCharsets, ReaderConvertsThroughTheLaterReleaseOnly) {
    ASSERT_TRUE(InitStreamTable());
    SketchObject* a = PointAt(10, 10);
    ASSERT_EQ(SetObjectLabel(a, "x\xDB", false), 0);
    StreamHandle out = 0;
    ASSERT_EQ(OpenMemoryStream(0, &out), kResultOK);
    ASSERT_EQ(WritePageSketch(out, sketch, false), kResultOK);
    CloseStream(out);
    uint32_t length = 0;
    void* bytes = TakeStreamBytes(out, &length);
    ASSERT_NE(bytes, nullptr);

    LaterReleaseForms forms = {};
    AddPlatformForms(&forms);
    struct Case { bool later; int32_t charset; const char* label; };
    const Case cases[] = { { false, 2, "x\xDB" }, { true, 3, "x\xDB" }, { true, 2, "x\xA4" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.later) InstallLaterForms(forms);
        StreamHandle in = 0;
        ASSERT_EQ(OpenMemoryStreamCopy(bytes, length, &in), kResultOK);
        FormatInfo format = kCurrentPageFormat;
        format.charset = c.charset;
        Sketch* read = nullptr;
        EXPECT_FALSE(IsFatalResult(ReadSketch(in, &read, nullptr, format)));
        DiscardStream(in);
        ResetLaterForms();
        ASSERT_NE(read, nullptr);
        SketchObject* point = read->firstObject;
        ASSERT_NE(point, nullptr);
        EXPECT_EQ(Label(point), c.label);
        FreeSketch(read);
    }
    FreeMemory(bytes);
}

TEST(TraceFadingForms, LaterReleaseFadesInQuarterStepsUntilEveryCycleHasRun) {
    LaterReleaseForms forms = {};
    AddPlatformForms(&forms);
    EXPECT_EQ(forms.platform.traceFadeStepsToClear(), 32 * 4 + 1);
    Sketch sketch{};
    sketch.settings.traceFade = 1;
    EXPECT_EQ(forms.platform.traceFadeTicks(&sketch), 8);
}
