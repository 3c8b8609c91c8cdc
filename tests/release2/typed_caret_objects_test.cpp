// Typed caret arguments that name sketch objects: the noun (in the chosen form) and label,
// or the label alone.
#include <gtest/gtest.h>

#include "engine/core/sketch_fixture.h"
#include "engine/text/object_labels.h"
#include "later_text_source.h"
#include "release2/text/typed_caret_args.h"

namespace {

class TypedCaretObjects : public SketchTest {};

TEST_F(TypedCaretObjects, NounAndLabelOfAnObject) {
    LaterTextsInstalled later;
    SketchObject* p = FreePoint();
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(SetObjectLabel(p, "P1", false), 0);
    const CaretArg args[] = {
        { kCaretArgNounLabel, 0, kLabelNumbered, nullptr, p },
        { kCaretArgLabel, 0, kLabelNumbered, nullptr, p },
        { kCaretArgNounLabel, 0, kLabelNumbered, nullptr, nullptr },
    };
    struct Case { const char* source; const char* out; };
    const Case cases[] = {
        { "Drag ^A.", "Drag Point P1." },
        { "Drag ^A|b.", "Drag a point P1." },
        { "[^B]", "[P1]" },
        { "[^C]", "[]" },  // no object
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        char out[64];
        SubstituteCaretArgs(c.source, out, args, 3, sizeof out);
        EXPECT_STREQ(out, c.out);
    }
}

}  // namespace
