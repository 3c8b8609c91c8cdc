// Record 2310: the class data of action buttons.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/action_button_data.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/transfer_context.h"
#include "tests/engine/docio/codec_checks.h"

namespace {

struct ButtonBlock {
    alignas(8) unsigned char bytes[sizeof(SketchObject) + sizeof(ActionButtonData)] = {};
    SketchObject* object() { return reinterpret_cast<SketchObject*>(bytes); }
    ActionButtonData* data() { return ActionButtonOf(object()); }
    ButtonBlock(int32_t type, const char* link = nullptr) {
        object()->objectClass = kClassActionButton;
        char* text = nullptr;
        if (link != nullptr) {
            text = static_cast<char*>(AllocMemory(std::strlen(link) + 1, 0));
            std::strcpy(text, link);
        }
        ActionButtonInit init{ type, 3, 5, 7, 0, 0, text };
        InitActionButton(object(), &init);
    }
    ~ButtonBlock() { FreeActionButton(object()); }
};

TEST(ActionButtonRecord, EachTypeRoundTripsWithItsLinkTextPaddedToFour) {
    // Reads of a link address: "" has a counted string of 4 bytes (16 in all), "ab" 6 (20).
    struct Case { int32_t type; const char* link; uint32_t bytes; };
    const Case cases[] = {
        { kButtonHide, nullptr, 12 }, { kButtonShow, nullptr, 12 }, { kButtonAnimate, nullptr, 12 },
        { kButtonMove, nullptr, 12 }, { kButtonScroll, nullptr, 12 }, { kButtonLinkToPage, nullptr, 12 },
        { kButtonLinkToTarget, nullptr, 16 }, { kButtonLinkToTarget, "ab", 20 },
        { kButtonLinkToTarget, "http://example.org/x", 36 }, { kButtonPresentation, nullptr, 12 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ButtonBlock b(c.type, c.link), blank(kButtonHide);
        // The position is written from the bounds, which the geometry record gives back.
        b.object()->bounds = blank.object()->bounds = ScreenRect{ -4, 300, 60, 320 };
        const std::vector<uint8_t> bytes = WriteThroughCodec(TransferActionButtonData, b.object(), kCurrentPageFormat);
        ASSERT_EQ(bytes.size(), c.bytes);
        EXPECT_EQ(GetLE16(bytes.data()), c.type);
        EXPECT_EQ(int16_t(GetLE16(bytes.data() + 8)), -4);
        EXPECT_EQ(GetLE16(bytes.data() + 10), 300);
        ExpectCodecRoundTrip(TransferActionButtonData, b.object(), blank.object(), sizeof b.bytes, kCurrentPageFormat);
        ButtonBlock read(kButtonHide);
        ASSERT_EQ(ReadCodecRecord(TransferActionButtonData, read.object(), bytes.data(), uint32_t(bytes.size()),
                                  kCurrentPageFormat), kResultOK);
        EXPECT_EQ(read.data()->buttonType, c.type);
        EXPECT_EQ(read.data()->buttonOptions, 5);
        EXPECT_EQ(read.data()->buttonParam, 7);
        EXPECT_EQ(read.data()->buttonId, 3);
        if (c.link != nullptr) {
            EXPECT_STREQ(read.data()->linkTarget, c.link);
        }
    }
}

TEST(ActionButtonRecord, DamageWarningsAndTheOlderPageWord) {
    struct Case { std::vector<uint8_t> bytes; FormatInfo format; ResultCode rc; int32_t type; int16_t options; };
    const FormatInfo older{ 1, 3, 3 };
    const Case cases[] = {
        { { 1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0 }, kCurrentPageFormat, 35, kButtonHide, 0 },      // 11 bytes
        { { 8, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, kCurrentPageFormat, 9, kButtonHide, 0 },    // no such type
        { { 1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, kCurrentPageFormat, 4, kButtonShow, 2 },
        { { 5, 0, 0xff, 0xff, 0, 0, 0, 0, 0, 0, 0, 0 }, older, 0, kButtonLinkToPage, 0 },
        { { 5, 0, 0xff, 0xff, 0, 0, 0, 0, 0, 0, 0, 0 }, kCurrentPageFormat, 0, kButtonLinkToPage, -1 },
        // A link text running past the record.
        { { 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 'a', 'b' }, kCurrentPageFormat, 35, kButtonHide, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        ButtonBlock b(kButtonHide);
        b.data()->buttonOptions = 0;
        std::vector<uint8_t> exact(c.bytes);
        EXPECT_EQ(ReadCodecRecord(TransferActionButtonData, b.object(), exact.data(), uint32_t(exact.size()), c.format),
                  c.rc);
        EXPECT_EQ(b.data()->buttonType, c.type);
        EXPECT_EQ(b.data()->buttonOptions, c.options);
    }
}

}  // namespace
