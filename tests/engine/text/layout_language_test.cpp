#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "tests/engine/text/layout_templates.h"
#include "tests/engine/text/layout_test_util.h"

namespace {

struct ParseCase {
    const char* text;
    const char* written;
    ResultCode result;
};

TEST(LayoutLanguage, ParsesAndWritesEveryKind) {
    const ParseCase cases[] = {
        { "<Tx>", "<Tx>", 0 },
        { "<T''>", "<Tx>", 0 },
        { "<T'a>b'>", "<T3xa>b>", 0 },
        { "<T\"it's\">", "<T4xit's>", 0 },
        { "<T1xx>", "<T1xx>", 0 },
        { "<T3x<'>>", "<T3x<'>>", 0 },
        { "<!b0>", "<!B0>", 0 },
        { "<!>", "<!>", 0 },
        { "<0>", "<0>", 0 },
        { "<VQ<T'a'>>", "<VC<T1xa>>", 1 },
        { "<VR<T'a'><T'b'>>", "<VR<T1xa><T1xb>>", 0 },
        { "<S#C>", "<S#C>", 0 },
        { "<SU2W2#C<T'a'>>", "<S#CW2U2<T1xa>>", 0 },
        { "<SX5W2<T'a'>>", "<SW2<T1xa>>", 0 },
        { "<S+2<T'a'>>", "<S+2<T1xa>>", 0 },
        { "<?1<T'a'><T'b'>>", "<?1<T1xa><T1xb>>", 0 },
        { "<?x1F<T'a'>>", "<?x1F<T1xa>>", 0 },
        { "<?0>", "<?>", 0 },
        { "<%>", "<0>", 1 },
        { "<%'X2'>", "<0>", 1 },
        { "<%2xd0>", "<0>", 1 },
        { "<FQ3xabc>", "<0>", 0 },
        { "<F 0<T'q'><H>>", "<0>", 0 },
        { "<H>", "<H>", 0 },
        { "<H<T'a'><!70>>", "<H<T1xa><!70>>", 0 },
        { "<(<T'x'>>", "<(<T1xx>>", 0 },
        { "<[<T'x'>>", "<[<T1xx>>", 0 },
        { "<{<T'x'>>", "<{<T1xx>>", 0 },
        { "<|<T'x'>>", "<|<T1xx>>", 0 },
        { "<R<T'x'>>", "<R<T1xx>>", 0 },
        { "</<T'a'><T'b'>>", "</<T1xa><T1xb>>", 0 },
        { "<+<T'x'><T'2'>>", "<+<T1xx><T1x2>>", 0 },
        { "<-<T'x'><T'1'>>", "<-<T1xx><T1x1>>", 0 },
        { "<T'a'>and more", "<T1xa>", 0 },  // nothing after the root is read
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout(c.text, &result);
        EXPECT_EQ(result, c.result);
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(WriteLayout(tree.get()), c.written);
    }
}

TEST(LayoutLanguage, RefusesBadTextWithSyntaxError) {
    const char* const cases[] = {
        "", "T'a'", "<", "<X>", "<T'a'", "<T'abc>", "<T3xab>", "<T3ab>", "<T>",
        "<V<H>>",               // the "<" after V is its alignment letter
        "<?2<T'a'>>",           // shows an alternative it does not have
        "<H<T'a'>", "<H<T'a'>x>", "<%3xab>", "<%'ab>", "<%[ab>", "<S#C", "<?1<T'a'>",
        "<F", "<F 5xab>",
        // Numbers that would overflow or come out negative.
        "<!100000000>", "<!FFFFFFFF>", "<T100000000xa>", "<?1x100000000<T'a'>>",
        "<?100000000<T'a'>>", "<SW8000<T'a'>>", "<S#FFFFF<T'a'>>", "<%100000000x>",
        "<F 100000000x>",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout(text, &result);
        EXPECT_EQ(result, kLayoutParseSyntax);
        EXPECT_EQ(tree, nullptr);
    }
}

TEST(LayoutLanguage, TemplatesWriteBackToAFixedPoint) {
    // Texts that are errors as they stand: the second has a shown index beyond its one
    // alternative; the others are the language's own examples of bad text.
    const std::vector<std::string> expectedErrors = { "<?2<T'a'>>", "<V<H>>" };
    for (const char* text : kLayoutTemplates) {
        SCOPED_TRACE(text);
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout(text, &result);
        bool known = false;
        for (const std::string& e : expectedErrors) known |= e == text;
        if (known) {
            EXPECT_EQ(result, kLayoutParseSyntax);
            continue;
        }
        ASSERT_LE(result, kLayoutParseWarning);
        const std::string once = WriteLayout(tree.get());
        LayoutPtr again = ParseLayout(once, &result);
        ASSERT_LE(result, kLayoutParseWarning);
        EXPECT_EQ(WriteLayout(again.get()), once);
    }
}

// Builds a text run of the placeholder's content, so templates keep their contents.
ResultCode ContentAsText(LayoutNode** out, const char* content, int32_t length,
                         LayoutNode* parent, LayoutParseContext* context) {
    auto* seen = static_cast<std::vector<std::string>*>(context->user);
    if (seen) seen->emplace_back(content, static_cast<size_t>(length));
    *out = CreateLayoutNode(kLayoutTextRun, parent, 0);
    if (!*out) return kLayoutParseNoMemory;
    if (!SetTextRunBytes(*out, content, length)) {
        FreeLayoutNode(*out);
        *out = nullptr;
        return kLayoutParseNoMemory;
    }
    return kLayoutParseOK;
}

TEST(LayoutLanguage, PlaceholderCallbackGetsEachContentForm) {
    struct Case {
        const char* text;
        std::vector<std::string> contents;
    };
    const Case cases[] = {
        { "<%>", { "" } },
        { "<H<%0><T'('><%2xd0><T') = '><%2x+0>>", { "0", "d0", "+0" } },
        { "<H<%'X2'><T'='><%'1'><(<%'Y2'>>>", { "X2", "1", "Y2" } },
        { "<%[R<H<%0><(<%2xd0>><T' = '><%2x+0>>]>", { "R<H<%0><(<%2xd0>><T' = '><%2x+0>>" } },
        { "<%\"a'b\">", { "a'b" } },
        { "<H<T' '><S+2</<%a><%l>>>>", { "a", "l" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> seen;
        LayoutParseContext context{ nullptr, ContentAsText, &seen, 0 };
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout(c.text, &result, &context);
        EXPECT_EQ(result, kLayoutParseOK);
        EXPECT_NE(tree, nullptr);
        EXPECT_EQ(seen, c.contents);
    }
    // Every template also reaches a fixed point with its placeholders filled in.
    for (const char* text : kLayoutTemplates) {
        SCOPED_TRACE(text);
        LayoutParseContext context{ nullptr, ContentAsText, nullptr, 0 };
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout(text, &result, &context);
        if (result >= kLayoutParseNoMemory) continue;
        const std::string once = WriteLayout(tree.get());
        EXPECT_EQ(WriteLayout(ParseLayout(once).get()), once);
    }
}

ResultCode RefusePlaceholder(LayoutNode** out, const char*, int32_t, LayoutNode*,
                             LayoutParseContext*) {
    *out = nullptr;
    return kLayoutParseSyntax;
}

TEST(LayoutLanguage, PlaceholderRefusalFailsTheWholeText) {
    LayoutParseContext context{ nullptr, RefusePlaceholder, nullptr, 0 };
    ResultCode result = -1;
    LayoutPtr tree = ParseLayout("<H<T'a'><(<H<%'x'>>>>", &result, &context);
    EXPECT_EQ(result, kLayoutParseSyntax);
    EXPECT_EQ(tree, nullptr);
}

TEST(LayoutLanguage, EveryPrefixOfAValidTextIsASyntaxError) {
    for (const char* text : kLayoutTemplates) {
        LayoutPtr tree = ParseLayout(text);
        if (!tree) continue;
        const std::string written = WriteLayout(tree.get());
        for (size_t k = 0; k < written.size(); ++k) {
            // An exact-size heap copy, so that reading one byte too far is caught.
            std::unique_ptr<char[]> copy(new char[k + 1]);
            std::memcpy(copy.get(), written.data(), k);
            LayoutNode* root = nullptr;
            const ResultCode r = ParseLayoutString(&root, copy.get(), k, nullptr);
            ASSERT_EQ(r, kLayoutParseSyntax) << written.substr(0, k);
            ASSERT_EQ(root, nullptr);
        }
    }
}

TEST(LayoutLanguage, NestingDepthIsLimited) {
    auto nested = [](int32_t depth, const char* open) {
        std::string s;
        for (int32_t i = 0; i < depth; ++i) s += open;
        s += "<T'a'>";
        for (int32_t i = 0; i < depth; ++i) s += ">";
        return s;
    };
    ResultCode result = -1;
    LayoutPtr deepest = ParseLayout(nested(kMaxLayoutDepth - 1, "<H"), &result);
    EXPECT_EQ(result, kLayoutParseOK);
    ASSERT_NE(deepest, nullptr);
    // What the limit lets in can be measured, normalised, drawn, cloned and freed.
    const LayoutDrawState state = TestDrawState();
    MeasureLayout(deepest.get(), &state);
    EXPECT_EQ(deepest->width, 6);
    LayoutPtr clone(CloneLayoutTree(deepest.get()));
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(WriteLayout(clone.get()), WriteLayout(deepest.get()));
    deepest.reset(NormalizeLayout(deepest.release(), nullptr));
    EXPECT_EQ(WriteLayout(deepest.get()), "<T1xa>");

    for (const char* open : { "<H", "<?1", "<SW2", "<F 0", "</" }) {
        SCOPED_TRACE(open);
        EXPECT_EQ(ParseLayout(nested(kMaxLayoutDepth, open), &result), nullptr);
        EXPECT_EQ(result, kLayoutParseSyntax);
        EXPECT_EQ(ParseLayout(nested(100000, open), &result), nullptr);
        EXPECT_EQ(result, kLayoutParseSyntax);
    }
}

// A block that was broken to a width carries a wrap element as its last child; this
// reader keeps the rows as stored and writes back only those rows.
TEST(LayoutLanguage, WrapElementIsReadAndDroppedWithTheRowsKept) {
    // Five rows with break characters blank, none, blank, blank, none at width 200: one
    // level, masks B and 0 (the last group padded).
    const std::string rows = "<T'a'><T'b'><T'c'><T'd'><T'e'>";
    const std::string written = "<VL<T1xa><T1xb><T1xc><T1xd><T1xe>>";
    const struct {
        const char* element;
        const char* what;
    } cases[] = {
        { "<F1AxxC8x20xB0x>", "one level" },
        { "<F1AxxC8x20xB0x<F1AxxC8x2Dx40x>>", "a nested level for a higher character" },
        { "<F1Bxx5Ax20xB0Fx>", "masks for rows past the last, lower-case and odd digits" },
        { "<F1Exjunkxc8x20xb0x>", "text before the width, lower-case digits" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout("<VL" + rows + c.element + ">", &result);
        EXPECT_EQ(result, kLayoutParseOK);
        ASSERT_NE(tree, nullptr);
        int32_t count = 0;
        for (LayoutNode* r = tree->firstChild; r; r = r->nextSibling) {
            EXPECT_EQ(r->kind, kLayoutTextRun);
            ++count;
        }
        EXPECT_EQ(count, 5);
        EXPECT_EQ(WriteLayout(tree.get()), written);
    }
    // Where it stands among the rows does not matter, nor does the alignment.
    EXPECT_EQ(WriteLayout(ParseLayout("<VR<T'a'><F1AxxC8x20xB0x><T'b'>>").get()),
              "<VR<T1xa><T1xb>>");
    // Outside a block "<F" keeps its old reading as an empty slot.
    EXPECT_EQ(WriteLayout(ParseLayout("<F1AxxC8x20xB0x>").get()), "<0>");
    EXPECT_EQ(WriteLayout(ParseLayout("<H<T'a'><F1AxxC8x20xB0x>>").get()), "<H<T1xa><0>>");
}

TEST(LayoutLanguage, MalformedWrapElementFailsTheWholeText) {
    const char* const elements[] = {
        "<F1",
        "<F1>",                                // no length
        "<F1A>",                               // no 'x' after the length
        "<F19xxC8x20xB0x>",                    // the length does not reach a bracket
        "<F1FFxxC8x20xB0x>",                   // the length runs past the end
        "<F18xxx20xB0x>",                      // width 0
        "<F1BxxC8x120xB0x>",                   // a break character that is no byte
        "<F19xxC8x20xB0>",                     // masks not ended
        "<F1AxxC8x20xG0x>",                    // a mask digit that is not hexadecimal
        "<F1AxxC8x20xB0x<T'f'>>",              // anything but a level after the masks
        "<F1AxxC8x20xB0x<F1AxxC8x2Dx40x>",     // outer level not closed
        "<F1AxxC8x20xB0x<F1AxxC8x2Dx40x<0>>>", // inner level not closed
    };
    for (const char* element : elements) {
        SCOPED_TRACE(element);
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout(std::string("<VL<T'a'><T'b'>") + element + ">", &result);
        EXPECT_EQ(result, kLayoutParseSyntax);
        EXPECT_EQ(tree, nullptr);
    }
    // Nested levels count toward the nesting limit like elements do.
    auto levels = [](int32_t n) {
        std::string s = "<VL<T'a'>";
        for (int32_t i = 0; i < n; ++i) s += "<F1AxxC8x20xB0x";
        for (int32_t i = 0; i < n; ++i) s += ">";
        return s + ">";
    };
    ResultCode result = -1;
    EXPECT_NE(ParseLayout(levels(kMaxLayoutDepth - 1), &result), nullptr);
    EXPECT_EQ(result, kLayoutParseOK);
    for (int32_t n : { kMaxLayoutDepth, 100000 }) {
        EXPECT_EQ(ParseLayout(levels(n), &result), nullptr);
        EXPECT_EQ(result, kLayoutParseSyntax);
    }
}

TEST(LayoutLanguage, HexNumbers) {
    struct WriteCase { int32_t value; const char* text; };
    const WriteCase writes[] = {
        { 0, "" }, { 0xB0, "B0" }, { 0x100, "100" }, { 0x0FFFFFFF, "FFFFFFF" },
    };
    for (const WriteCase& c : writes) {
        char buffer[16] = {};
        char* cursor = buffer;
        EXPECT_EQ(WriteHexNumber(nullptr, c.value), static_cast<int32_t>(std::strlen(c.text)));
        EXPECT_EQ(WriteHexNumber(&cursor, c.value), static_cast<int32_t>(std::strlen(c.text)));
        EXPECT_STREQ(buffer, c.text);
    }
    struct ReadCase { const char* text; bool ok; int32_t value; int32_t used; };
    const ReadCase reads[] = {
        { "b0>", true, 0xB0, 2 }, { "x", true, 0, 0 }, { "FFFFFFF", true, 0x0FFFFFFF, 7 },
        { "000000001", true, 1, 9 }, { "10000000", false, 0x0FFFFFFF, 8 },
        { "FFFFFFFFFFFFFFFFFFFF<", false, 0x0FFFFFFF, 20 },
    };
    for (const ReadCase& c : reads) {
        SCOPED_TRACE(c.text);
        LayoutTextCursor cursor{ c.text, c.text + std::strlen(c.text), 0 };
        int32_t value = -1;
        EXPECT_EQ(ReadHexNumber(&cursor, &value), c.ok);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(cursor.next - c.text, c.used);
    }
}

// The copy a table or a merged text shows: the shown alternative only, stacked rows as
// one row when joined, and styles without font and size when flattened.
TEST(LayoutLanguage, FlattenedCopies) {
    struct Case { const char* text; bool flatten, join; const char* copy; };
    const Case cases[] = {
        { "<H<?2<T'a'><T'b'>><T'c'>>", false, false, "<H<T1xb><T1xc>>" },
        { "<VL<T'a'><T'b'>>", false, false, "<VL<T1xa><T1xb>>" },
        { "<VL<T'a'><T'b'>>", false, true, "<H<T1xa><T1x ><T1xb>>" },
        { "<SP2#CW2<T'a'>>", true, false, "<SW2<T1xa>>" },
        { "<SP2#CW2<T'a'>>", false, false, "<SP2#CW2<T1xa>>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutPtr tree = ParseLayout(c.text);
        ASSERT_NE(tree, nullptr);
        LayoutPtr copy(FlattenLayoutCopy(tree.get(), c.flatten, c.join));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(WriteLayout(copy.get()), c.copy);
    }
}

TEST(LayoutLanguage, WriteOptions) {
    struct Case { const char* text; uint32_t options; const char* written; };
    const Case cases[] = {
        { "<VL<T'a'><T'b'>>", kWriteRowsAsOneRow, "<H<T1xa><T1x ><T1xb>>" },
        { "<VL<T'a'><T'b'>>", kWritePlainText | kWriteRowsAsOneRow, "a b" },
        { "<VL<T'a'><T'b'>>", kWritePlainText, "a\r\nb" },
        { "<S#C<T'a'>>", kWriteSkipStyles, "<T1xa>" },
        { "<H<SW2<T'a'>><T'b'>>", kWriteSkipStyles, "<H<T1xa><T1xb>>" },
        { "<H<?2<T'a'><T'b'>><T'c'>>", kWriteShownAlternativeOnly, "<H<T1xb><T1xc>>" },
        { "<?0<T'a'>>", kWriteShownAlternativeOnly, "<0>" },
        { "<+<T'x'><T'2'>>", kWritePlainText, "(x^2)" },
        { "<-<T'x'><T'1'>>", kWritePlainText, "x[1]" },
        { "</<T'a'><H<T'b'><T'+c'>>>", kWritePlainText, "(a/b+c)" },
        { "<H<(<T'x'>><[<T'x'>><{<T'x'>><|<T'x'>><R<T'x'>>>", kWritePlainText,
          "(x)[x]{x}|x|sqrt(x)" },
        { "<H<!70><!71><!d0><!b0><!100><!101><!102><!999><!1120>>", kWritePlainText,
          "pithetaAngle degCircle Parallel Triangle ??" },
        { "<?2<T'a'><T'b'>>", kWritePlainText, "b" },
        { "<?0<T'a'>>", kWritePlainText, "" },
        { "<SW2<H<T'a'><0><T'b'>>>", kWritePlainText, "ab" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutPtr tree = ParseLayout(c.text);
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(WriteLayout(tree.get(), c.options), c.written);
    }
}

int32_t FontToFile(int32_t value, void*) { return value + 0x10; }
int32_t FontFromFile(int32_t value, void*) { return value - 0x10; }

int32_t WriteRunsAsGlyph(LayoutNode* node, char** cursor, int32_t* length,
                         LayoutWriteContext*) {
    if (node->kind != kLayoutTextRun) return 0;
    if (cursor) {
        std::memcpy(*cursor, "<!3F>", 5);
        *cursor += 5;
    }
    *length = 5;
    return 1;
}

TEST(LayoutLanguage, ContextCallbacksMapFontsAndWriteNodes) {
    LayoutParseContext parse{ FontFromFile, nullptr, nullptr, 0 };
    LayoutPtr tree = ParseLayout("<SP13W2<H<T'a'><!70>>>", nullptr, &parse);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(static_cast<StyleNode*>(tree.get())->style.field[kStyleFont], 3);
    LayoutWriteContext write{ FontToFile, nullptr, 0, nullptr };
    EXPECT_EQ(WriteLayout(tree.get(), 0, &write), "<SP13W2<H<T1xa><!70>>>");
    write = LayoutWriteContext{ nullptr, WriteRunsAsGlyph, 0, nullptr };
    EXPECT_EQ(WriteLayout(tree.get(), 0, &write), "<SP3W2<H<!3F><!70>>>");
}

TEST(LayoutLanguage, WriterLeavesTheTreeAsItWas) {
    LayoutPtr tree = ParseLayout("<H<T'a'><T'b'><T'c'>>");
    LayoutNode* middle = tree->firstChild->nextSibling;
    EXPECT_EQ(WriteLayout(middle), "<T1xb>");
    EXPECT_EQ(middle->parent, tree.get());
    EXPECT_EQ(middle->nextSibling, tree->firstChild->nextSibling->nextSibling);
    EXPECT_EQ(WriteLayout(tree.get()), "<H<T1xa><T1xb><T1xc>>");
}

TEST(LayoutLanguage, ValuesThatCannotBeWrittenComeOutReadable) {
    LayoutPtr tree = ParseLayout("<H<SW2<!1>><?1<T'a'>>>");
    auto* style = static_cast<StyleNode*>(tree->firstChild);
    style->style.field[kStyleSize] = -5;
    SetGlyphCode(style->firstChild, -1);
    tree->firstChild->nextSibling->value = -7;
    const std::string once = WriteLayout(tree.get());
    EXPECT_EQ(once, "<H<SW2<!>><?1<T1xa>>>");
    EXPECT_EQ(WriteLayout(ParseLayout(once).get()), once);
}

TEST(LayoutLanguage, CloneCopiesWholeTreesAlternativesIncluded) {
    LayoutPtr tree = ParseLayout("<H<?2x5<T'a'><SW2<T'b'>>><T'c'>>");
    LayoutNode* copy = nullptr;
    EXPECT_EQ(CloneLayoutTreeCode(tree.get(), &copy), kLayoutParseOK);
    LayoutPtr owned(copy);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, tree.get());
    EXPECT_EQ(WriteLayout(copy), WriteLayout(tree.get()));
    EXPECT_EQ(copy->firstChild->value, 5);
    LayoutPtr alternatives(CopyLayoutNode(tree->firstChild));  // their trees are its own data
    ASSERT_NE(alternatives, nullptr);
    EXPECT_EQ(WriteLayout(alternatives.get()), WriteLayout(tree->firstChild));
    LayoutPtr run(CopyLayoutNode(tree->firstChild->nextSibling));
    EXPECT_EQ(WriteLayout(run.get()), "<T1xc>");
}

TEST(LayoutLanguage, PlainTextBecomesALayout) {
    struct Case { const char* text; int32_t keep; const char* written; };
    const Case cases[] = {
        { "abc", 1, "<T3xabc>" },
        { "abc", 0, "<T3xabc>" },
        { "", 1, "<Tx>" },
        { "a\r\nb\n\nc", 1, "<VL<T1xa><T1xb><0><T1xc>>" },
        { "a\r\nb\n\nc", 0, "<T6xa b  c>" },
        { "a\n\rb\rc", 1, "<VL<T1xa><T1xb><T1xc>>" },
        { "a\n\rb\rc", 0, "<T5xa b c>" },
        { "a\n", 1, "<VL<T1xa><0>>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutPtr tree(LayoutFromPlainText(c.text, static_cast<int32_t>(std::strlen(c.text)), c.keep));
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(WriteLayout(tree.get()), c.written);
    }
}

TEST(LayoutLanguage, RunningOutOfMemoryIsReportedAndLeavesNothing) {
    const char* text = "<H<%'X2'><T'='><?1x3<T'a'><SW2<T'b'>>><(<VL<T'c'><T'd'>>></<!70><R<T'e'>>>>";
    for (uint32_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        SetAllocFailureAfter(n);
        ResultCode result = -1;
        LayoutPtr tree = ParseLayout(text, &result);
        LayoutNode* clone = nullptr;
        ResultCode cloneResult = tree ? CloneLayoutTreeCode(tree.get(), &clone) : 0;
        LayoutPtr ownedClone(clone);
        const bool parsed = tree != nullptr;
        SetAllocFailureAfter(0);
        if (!parsed) {
            EXPECT_EQ(result, kLayoutParseNoMemory);
            continue;
        }
        EXPECT_EQ(result, kLayoutParseWarning);
        if (clone) {
            EXPECT_EQ(WriteLayout(clone), WriteLayout(tree.get()));
            break;
        }
        EXPECT_EQ(cloneResult, kLayoutParseNoMemory);
    }
}

}  // namespace

namespace {

ResultCode BuildNothing(LayoutNode** out, const char*, int32_t, LayoutNode*, LayoutParseContext*) {
    *out = nullptr;
    return kLayoutParseOK;
}

TEST(LayoutLanguage, APlaceholderThatBuildsNothing) {
    LayoutParseContext context{ nullptr, BuildNothing, nullptr, 0 };
    ResultCode result = -1;
    // Inside an element it is simply not there; as the whole text there is no tree.
    LayoutPtr tree = ParseLayout("<H<T'a'><%'x'>>", &result, &context);
    EXPECT_EQ(result, kLayoutParseOK);
    EXPECT_EQ(WriteLayout(tree.get()), "<H<T1xa>>");
    EXPECT_EQ(ParseLayout("<%'x'>", &result, &context), nullptr);
    EXPECT_EQ(result, kLayoutParseSyntax);
    EXPECT_EQ(ParseLayout("<?0<%'x'>>", &result, &context), nullptr);
    EXPECT_EQ(result, kLayoutParseSyntax);
}

}  // namespace
