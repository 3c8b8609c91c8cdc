// Action buttons as the document's page operations see them: link-to-page buttons
// carry the PageId of their target in memory and its page index in files.
// Stand-in: action buttons are not built yet. Their class data here holds only the
// words the page operations read; the real button record replaces it.
#pragma once
#include <cstdint>

struct SketchObject;

constexpr int32_t kActionButtonClass  = 10;
constexpr int32_t kLinkToPageButton   = 5;

// Stand-in: the start of an action button's class data.
struct ActionButtonWords {
    int32_t  buttonKind;
    uint32_t buttonId;
    int16_t  linkTarget;  // PageId in memory, page index in files
};

// The target word of a link-to-page button, null for any other object.
int16_t* LinkToPageTarget(SketchObject* object);
// The id of an action button, 0 for any other object.
uint32_t ActionButtonId(const SketchObject* object);
// Runs the button's action as if clicked, without a parent presentation.
void     PressActionButton(SketchObject* button);
