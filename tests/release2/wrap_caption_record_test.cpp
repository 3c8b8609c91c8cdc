// A wrapped caption saved and read again, by figlate and by figmantle.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/sketch_fixture.h"
#include "engine/docio/codec_checks.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/streams.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/text/captions.h"
#include "engine/text/plain_caption.h"
#include "layout_forms_installed.h"
#include "release2/text/wrap_width.h"
#include "tests/engine/text/layout_test_util.h"

namespace {

class WrapCaptionRecord : public SketchTest {
protected:
    void SetUp() override {
        SketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
    }

    SketchObject* ReadBack(const std::vector<uint8_t>& bytes) {
        SketchObject* back = MakePlainCaption(nullptr);
        EXPECT_EQ(ReadCodecRecord(TransferCaptionData, back, bytes.data(), uint32_t(bytes.size()), kCurrentPageFormat),
                  kResultOK);
        return back;
    }
};

std::string Rows(LayoutNode* tree) { return WriteLayout(tree, kWritePlainText); }

TEST_F(WrapCaptionRecord, FiglateKeepsTheWidthFigmantleTheRows) {
    const LayoutDrawState state = TestDrawState();
    std::vector<uint8_t> bytes;
    {
        LaterLayoutInstalled later;
        SketchObject* c = MakePlainCaption("aaa bbb ccc dd");
        LayoutNode*& layout = CaptionDataOf(c)->layout;
        ASSERT_TRUE(SetLayoutWrapWidth(&layout, 50, 1));
        MeasureLayout(layout, &state);
        FitLayoutWrapWidth(layout, &state);
        ASSERT_EQ(Rows(layout), "aaa bbb\r\nccc dd");
        ASSERT_EQ(GetLayoutWrapWidth(layout, nullptr), 43);
        bytes = WriteThroughCodec(TransferCaptionData, c, kCurrentPageFormat);
        SketchObject* back = ReadBack(bytes);
        LayoutNode* read = CaptionDataOf(back)->layout;
        MeasureLayout(read, &state);
        EXPECT_EQ(Rows(read), "aaa bbb\r\nccc dd");
        EXPECT_EQ(GetLayoutWrapWidth(read, nullptr), 43);
        EXPECT_EQ(WriteLayout(read), WriteLayout(layout));
    }
    // figmantle: the same rows, hard, and nothing wrapped to write back.
    SketchObject* back = ReadBack(bytes);
    LayoutNode* read = CaptionDataOf(back)->layout;
    MeasureLayout(read, &state);
    EXPECT_EQ(Rows(read), "aaa bbb\r\nccc dd");
    EXPECT_EQ(GetLayoutWrapWidth(read, nullptr), 0);
    EXPECT_EQ(WriteLayout(read).find("<F"), std::string::npos);
}

}  // namespace
