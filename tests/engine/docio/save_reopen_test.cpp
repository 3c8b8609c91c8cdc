// What a page holds after it is saved, opened and saved again: the same texts, boxes,
// labels and fonts, and the same bytes. Each page is also a seed of the body fuzz target.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "seed_files.h"
#include "stream_bytes.h"
#include "engine/core/sketch_fixture.h"
#include "engine/calc/edit_record.h"
#include "engine/core/action_button_data.h"
#include "engine/core/memory.h"
#include "engine/core/services/fonts.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/sketch_records.h"
#include "engine/docio/streams.h"
#include "engine/text/plain_caption.h"
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
    static SketchObject* NewCaption(const char* text) { return MakePlainCaption(text); }
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

// A calculation hidden after its text was laid out (by the Hide command, or by Properties,
// which shows a hidden object while its sheet is open) writes the box it reads back.
TEST_F(SaveReopenTest, HiddenCalculationsWriteTheBoxTheyReadBack) {
    SketchObject* shown = NewParameter(2.5);
    ASSERT_NE(shown, nullptr);
    SketchObject* hidden = NewParameter(1234.5678);
    ASSERT_NE(hidden, nullptr);
    ASSERT_GT(hidden->bounds.right - hidden->bounds.left, 20);
    ASSERT_EQ(ChangeObjectHidden(hidden, kHiddenByUser, false), kResultOK);
    const std::vector<uint8_t> page = Save(sketch);
    SaveFuzzSeed("sketch_body_fuzz", "hidden_calculation", page);
    Sketch* back = OpenAndCheckSaves(page);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->firstObject->nextInSketch->hidden, kHiddenByUser);
    EXPECT_TRUE(Save(back) == page) << "the page opened writes another box";
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

namespace {

// Every button type keeps its fields through a save; a link to page keeps its page word
// (a page index in files), which would otherwise send the reopened link nowhere. Each
// page is a body seed.
TEST_F(SaveReopenTest, ActionButtonsOfEveryTypeKeepTheirFieldsAndPageWord) {
    // The page grows by one button (and its targets) a type.
    for (int32_t type = kButtonHide; type <= kLastButtonType; ++type) {
        SCOPED_TRACE(type);
        SketchObject* p = FreePoint();
        SketchObject* target = p;
        if (type == kButtonPresentation) {
            ActionButtonInit hide{ kButtonHide, 0, 7, 0, 10, 10, nullptr };
            target = ConstructObject(kTypeActionButton, &hide, List({ p }), 0, true, false, nullptr);
            ASSERT_NE(target, nullptr);
        }
        char* link = nullptr;
        if (type == kButtonLinkToTarget) {
            link = static_cast<char*>(AllocMemory(20, 0));
            std::strcpy(link, "pages/two.html");
        }
        ActionButtonInit init{ type, 4, int16_t(type == kButtonLinkToPage ? 1 : 3), 250, 40, 50, link };
        const bool hasTargets = type != kButtonLinkToPage && type != kButtonLinkToTarget;
        SketchObject* b = ConstructObject(kTypeActionButton, &init, hasTargets ? List({ target }) : 0, 0, true,
                                          false, nullptr);
        ASSERT_NE(b, nullptr);
        const std::vector<uint8_t> page = Save(sketch);
        SaveFuzzSeed("sketch_body_fuzz", ("action_button_type_" + std::to_string(type)).c_str(), page);
        Sketch* back = OpenAndCheckSaves(page);
        ASSERT_NE(back, nullptr);
        const ActionButtonData* read = nullptr;
        for (SketchObject* o = back->firstObject; o != nullptr; o = o->nextInSketch)
            if (const ActionButtonData* d = ActionButtonOf(o); d != nullptr && d->buttonType == type && d->buttonId == 4) read = d;
        ASSERT_NE(read, nullptr);
        // It stands where it stood, its frame laid out again round its caption.
        for (SketchObject* o = back->firstObject; o != nullptr; o = o->nextInSketch) {
            if (ActionButtonOf(o) != read) continue;
            EXPECT_EQ(o->bounds.left, 40);
            EXPECT_EQ(o->bounds.top, 50);
            EXPECT_GT(o->bounds.right, 40 + read->captionWidth);
        }
        EXPECT_EQ(read->buttonId, 4);
        EXPECT_EQ(read->buttonOptions, type == kButtonLinkToPage ? 1 : 3);
        EXPECT_EQ(read->buttonParam, 250);
        EXPECT_EQ(read->runningCount, 0);
        EXPECT_EQ(read->pendingNext, kNotPending);
        if (type == kButtonLinkToTarget) {
            EXPECT_STREQ(read->linkTarget, "pages/two.html");
        } else {
            EXPECT_EQ(read->linkTarget, nullptr);
        }
    }
}

}  // namespace

namespace {

// A Move button whose stored targets are no points, or a presentation of no buttons, is
// damage: pressing would take their class data as a point's or a button's.
TEST_F(SaveReopenTest, ButtonTargetsOfTheWrongClassAreDamage) {
    SketchObject* c = NewCaption("not a point");
    ActionButtonInit show{ kButtonShow, 0, 0, 0, 0, 0, nullptr };
    ASSERT_NE(ConstructObject(kTypeActionButton, &show, List({ c }), 0, true, false, nullptr), nullptr);
    const std::vector<uint8_t> fits = Save(sketch);
    ASSERT_NE(Open(fits), nullptr);
    for (int32_t type : { kButtonMove, kButtonScroll, kButtonPresentation }) {
        SCOPED_TRACE(type);
        const size_t at = Find(fits, 2310);
        ASSERT_NE(at, std::string::npos);
        std::vector<uint8_t> bytes = fits;
        PutLE16(bytes.data() + at + 8, uint16_t(type));
        SaveFuzzSeed("sketch_body_fuzz", "button_wrong_targets_" + std::to_string(type), bytes);
        EXPECT_EQ(Open(bytes, kResultDamaged), nullptr);
    }
}

// A Move button's last parent without a partner takes no part in the moves: whatever it
// is, the button reads.
TEST_F(SaveReopenTest, AMoveButtonsUnpairedLastParentMayBeAnything) {
    SketchObject* c = NewCaption("not a point");
    ActionButtonInit move{ kButtonMove, 0, 1, 0, 0, 0, nullptr };
    ASSERT_NE(ConstructObject(kTypeActionButton, &move, List({ FreePoint(), FreePoint(), c }), 0, true, false, nullptr),
              nullptr);
    const std::vector<uint8_t> page = Save(sketch);
    Sketch* back = Open(page);
    ASSERT_NE(back, nullptr);
    const SketchObject* read = nullptr;
    for (SketchObject* o = back->firstObject; o != nullptr; o = o->nextInSketch)
        if (ActionButtonOf(o) != nullptr) read = o;
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(ActionButtonOf(read)->buttonType, kButtonMove);
}

}  // namespace
