#include "engine/docio/text_record_codecs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "codec_checks.h"
#include "seed_files.h"
#include "stream_bytes.h"
#include "engine/calc/value_display.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/packed_values.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/streams.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/plain_caption.h"

namespace {

// A seed of the text records fuzz target, named after the case.
void Seed(const std::string& prefix, std::string name, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return;
    for (char& c : name)
        if (c == ' ') c = '_';
    SaveFuzzSeed("text_records_fuzz", prefix + "_" + name, bytes);
}

constexpr FormatInfo kVersion3{ 1, 3, 3 };
constexpr FormatInfo kVersion2{ 1, 2, 2 };
constexpr FormatInfo kHandheld{ 1, 1, 1 };

class TextRecordTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
    }

    SketchObject* Caption(const char* plain) { return MakePlainCaption(plain); }

    static std::string Text(LayoutNode* node, uint32_t options = 0) {
        LayoutWriteContext w{ nullptr, nullptr, options, nullptr };
        std::string text(size_t(SerializeLayout(node, nullptr, &w)), '\0');
        SerializeLayout(node, text.data(), &w);
        return text;
    }

    static ResultCode Read(RecordCodecFn codec, void* object, const std::vector<uint8_t>& bytes, const FormatInfo& f) {
        return ReadCodecRecord(codec, object, bytes.data(), uint32_t(bytes.size()), f);
    }

    static std::vector<uint8_t> LabelRecord(uint16_t level, const std::string& text, double parameter) {
        std::vector<uint8_t> r(22, 0);
        PutLE16(r.data(), level);
        PutLE16(r.data() + 2, 1);
        PutLE16(r.data() + 6, uint16_t(-4));
        PutLE16(r.data() + 8, 3);
        PutLEReal(r.data() + 14, parameter);
        std::vector<uint8_t> counted(CountedStringSize(uint32_t(text.size())));
        PackCountedString(counted.data(), text.data(), uint32_t(text.size()));
        r.insert(r.end(), counted.begin(), counted.end());
        return r;
    }
};

TEST_F(TextRecordTest, CaptionTextsRoundTripInEveryForm) {
    SketchObject* c = Caption("ab\ncd");
    const std::string stored = Text(CaptionDataOf(c)->layout);
    LayoutNode* rows = LayoutFromPlainText("ab\ncd", 5, 1);
    const std::string plainRows = Text(rows);
    const std::string plain = Text(rows, kWritePlainText);
    FreeLayoutNode(rows);
    struct Case {
        const char* name;
        FormatInfo format;
        std::string readBack;  // the text of the tree read back
        uint32_t length;       // payload bytes
    };
    const uint32_t counted = CountedStringSize(uint32_t(stored.size()));
    const uint32_t plainCounted = CountedStringSize(uint32_t(plain.size()));
    const Case cases[] = {
        { "version 4", kCurrentPageFormat, stored, (16 + counted + 3) & ~3u },
        { "version 3", kVersion3, stored, (16 + counted + 3) & ~3u },
        // Older forms hold plain text: each line becomes a row.
        { "version 2", kVersion2, plainRows, (16 + plainCounted + 3) & ~3u },
        // The handheld form has no sub-record head and counts only what it writes.
        { "handheld", kHandheld, plainRows, (4 + plainCounted + 3) & ~3u },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<uint8_t> bytes = WriteThroughCodec(TransferCaptionData, c, k.format);
        EXPECT_EQ(bytes.size(), k.length);
        const size_t head = k.format.formatVersion == 1 ? 0 : 12;
        if (head) {
            EXPECT_EQ(GetLE32(bytes.data()), 2300u);
        }
        EXPECT_EQ(GetLE16(bytes.data() + head), 30);
        EXPECT_EQ(GetLE16(bytes.data() + head + 2), 40);
        Seed("caption", k.name, bytes);
        SketchObject* back = Caption(nullptr);
        ASSERT_EQ(Read(TransferCaptionData, back, bytes, k.format), kResultOK);
        EXPECT_EQ(Text(CaptionDataOf(back)->layout), k.readBack);
        EXPECT_EQ(back->bounds.left, 30);
        EXPECT_EQ(back->bounds.top, 40);
        const bool layoutText = k.format.formatVersion >= 3;
        EXPECT_EQ(MeasureCaptionRecord(uint32_t(layoutText ? stored.size() : plain.size()), k.format.formatVersion == 1),
                  k.length);
    }
}

TEST_F(TextRecordTest, DamagedCaptionRecordsSkipTheObject) {
    SketchObject* c = Caption("ab");
    const std::vector<uint8_t> good = WriteThroughCodec(TransferCaptionData, c, kCurrentPageFormat);
    std::vector<uint8_t> pastEnd = good;
    PutLE16(pastEnd.data() + 16, 500);  // a text count running past the payload
    std::vector<uint8_t> handheldPastEnd = WriteThroughCodec(TransferCaptionData, c, kHandheld);
    PutLE16(handheldPastEnd.data() + 4, 500);
    const std::string broken = "<H<T'a'>";
    std::vector<uint8_t> unparsed(16 + CountedStringSize(uint32_t(broken.size())), 0);
    uint8_t* at = unparsed.data();
    BeginSubRecord(&at, uint32_t(unparsed.size()), 2300, uint32_t(unparsed.size()), 4);
    PackCountedString(unparsed.data() + 16, broken.data(), uint32_t(broken.size()));
    std::vector<uint8_t> wrongTag = good;
    PutLE32(wrongTag.data(), 2301);
    struct Case {
        const char* name;
        const std::vector<uint8_t>& bytes;
        FormatInfo format;
        ResultCode rc;
    };
    const Case cases[] = {
        { "count past the payload", pastEnd, kCurrentPageFormat, kResultSkippedObject },
        { "handheld count past the payload", handheldPastEnd, kHandheld, kResultSkippedObject },
        { "text that does not parse", unparsed, kCurrentPageFormat, kResultSkippedObject },
        { "not a caption sub-record", wrongTag, kCurrentPageFormat, kResultDamaged },
        { "nothing", {}, kCurrentPageFormat, kResultDamaged },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Seed("caption", k.name, k.bytes);
        SketchObject* back = Caption("kept");
        EXPECT_EQ(Read(TransferCaptionData, back, k.bytes, k.format), k.rc);
        EXPECT_EQ(Text(CaptionDataOf(back)->layout, kWritePlainText), "kept");
    }
}

TEST_F(TextRecordTest, ValueDisplaysKeepTheirNameModeAndPrecision) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    SketchObject* ab = Build(kTypeSegment, { a, b });
    SketchObject* m = Build(40, { ab });
    ASSERT_NE(m, nullptr);
    ValueDisplay* d = ValueDisplayOf(m);
    d->precision = 5;
    SetValueDisplayMode(m, kDisplayCustomName, LayoutFromPlainText("side", 4, 0));
    struct Case {
        const char* name;
        FormatInfo format;
        int32_t mode;
        int32_t precision;
        const char* custom;  // plain text of the custom name read back, or null
    };
    const Case cases[] = {
        { "version 4", kCurrentPageFormat, kDisplayCustomName, 5, "side" },
        { "version 3", kVersion3, kDisplayCustomName, 5, "side" },
        { "version 2", kVersion2, kDisplayCustomName, 5, "side" },
        // The handheld form keeps no custom name and at most 4 decimals.
        { "handheld", kHandheld, kDisplayOriginalName, 4, nullptr },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<uint8_t> bytes = WriteThroughCodec(TransferMeasurementData, m, k.format);
        EXPECT_EQ(bytes.size() % 4, 0u);
        Seed("value", k.name, bytes);
        SketchObject* back = Build(40, { ab });
        ASSERT_EQ(Read(TransferMeasurementData, back, bytes, k.format), kResultOK);
        const ValueDisplay* r = ValueDisplayOf(back);
        EXPECT_EQ(r->displayMode, k.mode);
        EXPECT_EQ(r->precision, k.precision);
        if (k.custom) {
            ASSERT_NE(r->customLayout, nullptr);
            EXPECT_EQ(Text(r->customLayout, kWritePlainText), k.custom);
        } else {
            EXPECT_EQ(r->customLayout, nullptr);
        }
    }
    // Without a custom name the stored text is an empty layout.
    SetValueDisplayMode(m, kDisplayNoName, nullptr);
    std::vector<uint8_t> bytes = WriteThroughCodec(TransferMeasurementData, m, kCurrentPageFormat);
    SketchObject* back = Build(40, { ab });
    ASSERT_EQ(Read(TransferMeasurementData, back, bytes, kCurrentPageFormat), kResultOK);
    EXPECT_EQ(ValueDisplayOf(back)->displayMode, kDisplayNoName);
    EXPECT_EQ(ValueDisplayOf(back)->customLayout, nullptr);
    // A text count running past the payload skips the object; a tail cut short is damage.
    std::vector<uint8_t> pastEnd = bytes;
    PutLE16(pastEnd.data() + 16, 900);
    EXPECT_EQ(Read(TransferMeasurementData, back, pastEnd, kCurrentPageFormat), kResultSkippedObject);
    bytes.resize(bytes.size() - 4);
    EXPECT_EQ(Read(TransferMeasurementData, back, bytes, kCurrentPageFormat), kResultDamaged);
}

TEST_F(TextRecordTest, LabelRecordsAreBoundedWhenRead) {
    SketchObject* p = FreePoint();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ResultCode rc;
        std::string text;
        bool placed;
    };
    const Case cases[] = {
        { "subscripted", LabelRecord(7, "P[12]", 0.5), kResultOK, "P[12]", true },
        // Longer than a typed label may be: cut as a typed one is.
        { "too long", LabelRecord(7, std::string(400, 'q'), 0.5), kResultOK, std::string(kMaxLabelLength, 'q'), true },
        // A path parameter that is not finite counts as not placed.
        { "NaN parameter", LabelRecord(6, "A", std::numeric_limits<double>::quiet_NaN()), kResultOK, "A", false },
        { "infinite parameter", LabelRecord(6, "A", HUGE_VAL), kResultOK, "A", false },
        { "level above 8", LabelRecord(9, "A", 0), kResultSkippedObject, "", false },
        { "short", std::vector<uint8_t>(20, 0), kResultDamaged, "", false },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Seed("label", k.name, k.bytes);
        ASSERT_EQ(SetObjectLabel(p, "", true), 0);
        EXPECT_EQ(Read(TransferLabelRecord, p, k.bytes, kCurrentPageFormat), k.rc);
        if (k.rc != kResultOK) continue;
        char text[kLabelBufferSize];
        GetObjectLabelText(p, text, sizeof text);
        EXPECT_EQ(text, k.text);
        EXPECT_EQ(p->label.offsetX, -4);
        EXPECT_EQ(p->label.offsetY, 3);
        EXPECT_EQ(p->label.shown, 1);
        EXPECT_EQ(p->label.pathParameter == kLabelNotPlaced, !k.placed);
        EXPECT_EQ(WriteThroughCodec(TransferLabelRecord, p, kCurrentPageFormat).size(),
                  22 + CountedStringSize(uint32_t(k.text.size())));
    }
}

// A label whose text finds no memory is not dropped in silence: the read fails with out
// of memory (the document does not open short of it).
TEST_F(TextRecordTest, LabelRecordsWithoutMemoryForTheirTextGiveOutOfMemory) {
    SketchObject* p = FreePoint();
    ASSERT_EQ(SetObjectLabel(p, "", true), 0);
    SetAllocFailureAfter(1);
    EXPECT_EQ(Read(TransferLabelRecord, p, LabelRecord(7, "Longer than inline", 0.5), kCurrentPageFormat),
              kResultOutOfMemory);
    SetAllocFailureAfter(0);
}

// Leaves the stack below the caller full of nonzero bytes.
[[gnu::noinline]] void DirtyStack() {
    volatile uint8_t junk[8192];
    for (uint32_t i = 0; i < sizeof junk; ++i) junk[i] = 0x5a;
}

// The pad byte after a label's text is written as 0, whatever the stack held before.
TEST_F(TextRecordTest, LabelRecordsPadTheirTextWithZero) {
    SketchObject* p = FreePoint();
    ASSERT_EQ(SetObjectLabel(p, "AB", true), 0);
    DirtyStack();
    const std::vector<uint8_t> bytes = WriteThroughCodec(TransferLabelRecord, p, kCurrentPageFormat);
    ASSERT_EQ(bytes.size(), 22 + CountedStringSize(2));
    EXPECT_EQ(bytes.back(), 0);
}

TEST_F(TextRecordTest, LabelStatesOfSequences) {
    LabelSequence q{ 0, 0, 9 };
    LabelSequenceTarget one{ sketch, &q };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ResultCode rc;
        LabelSequence after;
    };
    const Case cases[] = {
        { "state", { 3, 0, 2, 0, 0, 0 }, kResultOK, { 3, 2, 1 } },
        { "longer", { 3, 0, 2, 0, 0, 0, 7, 7 }, kResultLongerRecord, { 3, 2, 1 } },
        { "short", { 3, 0, 2, 0 }, kResultDamaged, { 0, 0, 9 } },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Seed("sequence", k.name, k.bytes);
        q = { 0, 0, 9 };
        EXPECT_EQ(Read(TransferLabelSequenceState, &one, k.bytes, kCurrentPageFormat), k.rc);
        EXPECT_EQ(q.position, k.after.position);
        EXPECT_EQ(q.round, k.after.round);
        EXPECT_EQ(q.number, k.after.number);
    }

    // The handheld block: 13 entries by stored class code, entry 11 the numbered format.
    LabelSequenceTarget all{ sketch, nullptr };
    sketch->labelSequences[1] = { 5, 2, 7 };
    sketch->labelSequences[kNumberedLabelSequence] = { 0, 3, 7 };
    std::vector<uint8_t> block = WriteThroughCodec(TransferLabelSequences, &all, kHandheld);
    ASSERT_EQ(block.size(), 78u);
    Seed("sequence", "block", block);
    EXPECT_EQ(GetLE16(block.data() + 6), 5);
    EXPECT_EQ(GetLE16(block.data() + 6 * 11 + 2), 3);
    InitLabelSequences(sketch);
    EXPECT_EQ(Read(TransferLabelSequences, &all, block, kHandheld), kResultOK);
    EXPECT_EQ(sketch->labelSequences[1].position, 5);
    EXPECT_EQ(sketch->labelSequences[1].number, 1);
    EXPECT_EQ(sketch->labelSequences[kNumberedLabelSequence].round, 3);
    // Any entry out of range: the whole block is ignored.
    std::vector<uint8_t> wild = block;
    PutLE16(wild.data() + 6 * 4, 513);
    PutLE16(wild.data() + 6 * 1, 9);
    EXPECT_EQ(Read(TransferLabelSequences, &all, wild, kHandheld), kResultOK);
    EXPECT_EQ(sketch->labelSequences[1].position, 5);
    block.push_back(0);
    block.push_back(0);
    EXPECT_EQ(Read(TransferLabelSequences, &all, block, kHandheld), kResultLongerRecord);
    block.resize(70);
    EXPECT_EQ(Read(TransferLabelSequences, &all, block, kHandheld), kResultDamaged);
}

TEST_F(TextRecordTest, LabelsAndSequencesSurviveASaveAndReload) {
    SketchObject* a = FreePoint();
    SketchObject* b = FreePoint();
    ASSERT_EQ(SetObjectLabel(a, "P[12]", false), 0);
    SetLabelShown(b, true, nullptr, true);  // takes "A" from the sequence
    for (bool handheld : { false, true }) {
        SCOPED_TRACE(handheld);
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
        ASSERT_EQ(WriteSketch(h, sketch, true, handheld), kResultOK);
        ASSERT_EQ(CloseStream(h), kResultOK);
        std::vector<uint8_t> bytes = TakeStreamVector(h);
        SaveFuzzSeed("sketch_body_fuzz", handheld ? "labels_handheld" : "labels", bytes);
        ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        Sketch* back = nullptr;
        ASSERT_EQ(ReadSketch(h, &back, nullptr, handheld ? kHandheld : kCurrentPageFormat), kResultOK);
        DiscardStream(h);
        SketchObject* first = back->firstObject;
        ASSERT_NE(first, nullptr);
        char text[kLabelBufferSize];
        GetObjectLabelText(first, text, sizeof text);
        EXPECT_STREQ(text, "P[12]");
        EXPECT_EQ(first->label.subscriptAt, 1);
        EXPECT_EQ(first->label.heapLength, 5);
        EXPECT_EQ(first->label.level, kLabelGiven);
        EXPECT_EQ(first->nextInSketch->label.shown, 1);
        // The next point letter goes on from where the page stopped.
        EXPECT_EQ(back->labelSequences[1].position, 1);
        FreeSketch(back);
    }
}

}  // namespace

namespace {

// A font used only inside a caption's text is listed by the page, and the text carries
// the page's number for it: read back, the text names the same font.
TEST_F(TextRecordTest, FontsInsideTextsGoThroughThePagesFontList) {
    SketchObject* c = Caption(nullptr);
    LayoutParseContext p{ nullptr, nullptr, nullptr, 0 };
    LayoutNode* tree = nullptr;
    ASSERT_EQ(ParseLayoutString(&tree, "<H<T1xa><SP4<T1xb>>>", &p), kLayoutParseOK);
    CaptionInit init{ tree, c->textStyle, 5, 5 };
    ASSERT_TRUE(SetObjectTextLayout(c, &init));
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    ASSERT_EQ(WriteSketch(h, sketch, true, false), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    std::vector<uint8_t> bytes = TakeStreamVector(h);
    SaveFuzzSeed("sketch_body_fuzz", "caption_font", bytes);
    const std::string face = "Times New Roman";
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), face.begin(), face.end()), bytes.end());
    // The caption's own font (Arial, first in the list) is 0, Times New Roman 1.
    const std::string stored = "<SP1<T1xb>>";
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), stored.begin(), stored.end()), bytes.end());
    ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
    Sketch* back = nullptr;
    ASSERT_EQ(ReadSketch(h, &back, nullptr, kCurrentPageFormat), kResultOK);
    DiscardStream(h);
    EXPECT_EQ(Text(CaptionDataOf(back->firstObject)->layout), "<H<T1xa><SP4<T1xb>>>");
    FreeSketch(back);
}

}  // namespace

namespace {

// A merged text's record keeps its references; read into a merged text of the same
// parents they are found again, and one naming a part its parent does not offer shows
// nothing.
TEST_F(TextRecordTest, MergedTextRecordsKeepTheirReferences) {
    SketchObject* c = Caption("named");
    RecomputeObject(c, nullptr, true);
    LayoutNode* tree = nullptr;
    ASSERT_EQ(ParseLayoutString(&tree, "<H<T'a '><?x1><?x30001>>", nullptr), kLayoutParseOK);
    const ObjectTemplate t = { kTypeMergedText, 0, 0, kClassCaption, 1, kKindMergedText, 0 };
    CaptionInit init{ tree, {}, 3, 4 };
    SketchObject* merged = ConstructObjectEx(&t, &init, List({ c }), 0, nullptr, nullptr, false);
    ASSERT_NE(merged, nullptr);
    RecomputeObject(merged, nullptr, true);
    const std::vector<uint8_t> bytes = WriteThroughCodec(TransferCaptionData, merged, kCurrentPageFormat);
    Seed("merged_text", "references", bytes);
    SketchObject* back = ConstructObjectEx(&t, nullptr, List({ c }), 0, nullptr, nullptr, false);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(Read(TransferCaptionData, back, bytes, kCurrentPageFormat), kResultOK);
    int32_t slots = 0;
    PtrListSize(CaptionDataOf(back)->valueSlots, &slots);
    EXPECT_EQ(slots, 8);
    RecomputeObject(back, nullptr, true);
    EXPECT_EQ(Text(CaptionDataOf(back)->layout, kWritePlainText), "a named");
}

}  // namespace
