// The words of an action button's class data that the page operations read: link-to-page
// buttons carry the PageId of their target in memory and its page index in files.
// Stand-in: action buttons are not built yet. Their class data here holds only the
// words the page operations read; the real button record replaces it.
#pragma once
#include <cstdint>

#include "engine/core/services/action_buttons.h"

struct SketchObject;

constexpr int32_t kActionButtonClass  = 10;
constexpr int32_t kLinkToPageButton   = 5;

// Stand-in: the start of an action button's class data.
struct ActionButtonWords {
    int32_t  buttonKind;
    uint32_t buttonId;
    int16_t  linkTarget;  // PageId in memory, page index in files
};
