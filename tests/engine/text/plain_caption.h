// A free caption in the current sketch, at (30, 40), holding plain text with its line
// breaks as rows; null text leaves it without one.
#pragma once
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/object_creation.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"

inline SketchObject* MakePlainCaption(const char* plain) {
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassCaption, 1, kKindCaption, 0 };
    SketchObject* c = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    EXPECT_NE(c, nullptr);
    if (plain) {
        CaptionInit init{ LayoutFromPlainText(plain, int32_t(std::strlen(plain)), 1), {}, 30, 40 };
        EXPECT_TRUE(SetObjectTextLayout(c, &init));
    }
    return c;
}
