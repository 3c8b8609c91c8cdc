// What a page holds after it is saved, opened and saved again: the same texts, boxes,
// labels and fonts, and the same bytes. Each page is also a seed of the body fuzz target.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "seed_files.h"
#include "stream_bytes.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/services/fonts.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/sketch_records.h"
#include "engine/docio/streams.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"

namespace {

class SaveReopenTest : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
    }
    void TearDown() override {
        for (Sketch* s : opened_) FreeSketch(s);
        SketchTest::TearDown();
    }
    static std::vector<uint8_t> Save(Sketch* s) {
        StreamHandle h = 0;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteSketch(h, s, true, false), kResultOK);
        EXPECT_EQ(CloseStream(h), kResultOK);
        return TakeStreamVector(h);
    }
    Sketch* Open(const std::vector<uint8_t>& bytes, ResultCode expected = kResultOK) {
        StreamHandle h = 0;
        EXPECT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        Sketch* back = nullptr;
        EXPECT_EQ(ReadSketch(h, &back, nullptr, kCurrentPageFormat), expected);
        DiscardStream(h);
        if (back) opened_.push_back(back);
        return back;
    }
    // Opens `bytes` and saves them; opened and saved once more they must not change.
    Sketch* OpenAndCheckSaves(const std::vector<uint8_t>& bytes, ResultCode expected = kResultOK) {
        Sketch* back = Open(bytes, expected);
        if (!back) return nullptr;
        const std::vector<uint8_t> first = Save(back);
        Sketch* again = Open(first);
        if (again) {
            EXPECT_TRUE(Save(again) == first) << "the second save differs";
        }
        return back;
    }
    static size_t Find(const std::vector<uint8_t>& bytes, uint32_t tag, size_t nth = 0) {
        for (size_t at = 0; at + 8 <= bytes.size(); at += 8 + GetLE32(bytes.data() + at))
            if (GetLE32(bytes.data() + at + 4) == tag && nth-- == 0) return at;
        return std::string::npos;
    }
    static size_t Count(const std::vector<uint8_t>& bytes, uint32_t tag) {
        size_t n = 0;
        while (Find(bytes, tag, n) != std::string::npos) ++n;
        return n;
    }
    static SketchObject* NewCaption(const char* text) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
        SketchObject* c = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        EXPECT_NE(c, nullptr);
        CaptionInit init{ LayoutFromPlainText(text, int32_t(std::strlen(text)), 1), {}, 30, 40 };
        EXPECT_TRUE(SetObjectTextLayout(c, &init));
        return c;
    }
    static std::string Label(const SketchObject* o) {
        char text[kLabelBufferSize];
        GetObjectLabelText(o, text, sizeof text);
        return text;
    }

private:
    std::vector<Sketch*> opened_;
};

// A caption's box is measured in the size it was saved with, not the default one (its
// label, read before its style, lays the text out once in the default style).
TEST_F(SaveReopenTest, CaptionsOpenMeasuredInTheirOwnTextSize) {
    SketchObject* c = NewCaption("Big");
    ASSERT_EQ(SetObjectLabel(c, "Note", false), 0);
    TextStyle style = c->textStyle;
    style.field[kStyleSize] = 29;
    SetCaptionStyle(c, &style);
    RelayoutObjectText(c, false);
    const int32_t height = c->bounds.bottom - c->bounds.top;
    const std::vector<uint8_t> page = Save(sketch);
    SaveFuzzSeed("sketch_body_fuzz", "caption_size_29", page);
    Sketch* back = OpenAndCheckSaves(page);
    ASSERT_NE(back, nullptr);
    SketchObject* read = back->firstObject;
    EXPECT_EQ(read->textStyle.field[kStyleSize], 29);
    EXPECT_EQ(read->bounds.bottom - read->bounds.top, height);
}

// A label stored as derived from the parents (level 2) is written as it was read: left
// out, the next open names the object anew from the sequence.
TEST_F(SaveReopenTest, LabelsDerivedFromParentsAreWrittenAsRead) {
    SketchObject* p = FreePoint();
    ASSERT_EQ(SetObjectLabel(p, "t[6]", false), 0);
    p->label.level = kLabelFromParents;
    const std::vector<uint8_t> page = Save(sketch);
    SaveFuzzSeed("sketch_body_fuzz", "label_level_2", page);
    Sketch* back = OpenAndCheckSaves(page);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Label(back->firstObject), "t[6]");
    EXPECT_EQ(back->firstObject->label.level, kLabelFromParents);
}

// A style naming a font beyond the file's font table opens in the default font, with
// the warning of a record not understood; the save then lists that font by name once.
TEST_F(SaveReopenTest, FontsBeyondTheFontTableBecomeTheDefaultFont) {
    SketchObject* c = NewCaption("Face");
    TextStyle style = c->textStyle;
    style.field[kStyleFont] = 3;
    SetCaptionStyle(c, &style);
    std::vector<uint8_t> page = Save(sketch);
    ASSERT_EQ(Count(page, kTagFont), 1u);
    const size_t entry = Find(page, kTagTextStyle);
    ASSERT_NE(entry, std::string::npos);
    PutLE16(page.data() + entry + 8, 9);  // the style's file font number
    SaveFuzzSeed("sketch_body_fuzz", "font_beyond_the_table", page);
    Sketch* back = OpenAndCheckSaves(page, kResultLongerRecord);
    ASSERT_NE(back, nullptr);
    int16_t standard = 0;
    FindFontNumber(&standard, nullptr);
    EXPECT_EQ(back->firstObject->textStyle.field[kStyleFont], standard);
    const std::vector<uint8_t> saved = Save(back);
    ASSERT_EQ(Count(saved, kTagFont), 1u);
    EXPECT_GT(GetLE32(saved.data() + Find(saved, kTagFont)), 5u) << "a font record without a name";
}

}  // namespace
