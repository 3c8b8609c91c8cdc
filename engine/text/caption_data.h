// The text data of text-bearing objects: it leads the class data of captions (class 0),
// measurements (class 7) and calculations (class 11), so one set of caption routines
// serves all three.
#pragma once
#include <cstdint>

#include "engine/core/ptr_list.h"
#include "engine/text/text_style.h"

struct LayoutNode;

struct CaptionData {
    PtrList     valueSlots;  // the ValueSlotList (merged texts: their reference records)
    int32_t     editing;     // set while the text is edited in place; not refreshed then
    LayoutNode* layout;      // owned root of the text
    TextStyle   style;       // the text's own style, kept beside the header's copy
};

// What creators hand over: the layout root (taken over), the style and the position.
struct CaptionInit {
    LayoutNode* layout;
    TextStyle   style;
    int32_t     x;
    int32_t     y;
};
