// Action buttons (class 10): captioned buttons whose targets are their parents. The
// class data lives here so that the type tables size it and the document codecs read
// it; what pressing does is the button code's (engine/interact).
#pragma once
#include <cstdint>

#include "engine/core/sketch_object.h"

enum ActionButtonType : int32_t {
    kButtonHide         = 0,
    kButtonShow         = 1,
    kButtonAnimate      = 2,
    kButtonMove         = 3,
    kButtonScroll       = 4,
    kButtonLinkToPage   = 5,
    kButtonLinkToTarget = 6,
    kButtonPresentation = 7,
};
constexpr int32_t kLastButtonType = kButtonPresentation;

// Hide/Show option bits.
constexpr int16_t kButtonSelectShown = 0x1;
constexpr int16_t kButtonFade        = 0x2;
constexpr int16_t kButtonToggles     = 0x4;

struct ActionButtonData {
    int32_t  buttonType;      // first word: the descriptions and the web export read it there
    int32_t  buttonId;        // stored as u16; 0 until a link names the button
    // Link to page: the target page's word, its PageId in memory and its page index in
    // files (the page operations convert it in place). Other types: their options.
    int16_t  buttonOptions;
    int16_t  buttonParam;
    int16_t  storedX, storedY;
    char*    linkTarget;      // owned, link to a target address only; null = empty
    int32_t  runningCount;
    int16_t  captionWidth, captionHeight;
    int16_t  frameWidth, frameHeight;
    int32_t  pageId;          // presentation in sequence: the index of the next member
    SketchObject* ownerPresentation;
    SketchObject* pendingNext;  // kNotPending when not in the pending list
    uint32_t pendingDeadline;
};

inline SketchObject* const kNotPending = reinterpret_cast<SketchObject*>(~uintptr_t(0));

// What a new button is made from; the link text is the block's until initExtra takes it.
struct ActionButtonInit {
    int32_t buttonType;
    int32_t buttonId;
    int16_t buttonOptions;
    int16_t buttonParam;
    int16_t x, y;
    char*   linkTarget;
};

// Bytes of record 2310's fixed part.
constexpr uint32_t kActionButtonRecordBytes = 12;

inline ActionButtonData* ActionButtonOf(SketchObject* object) {
    return object && object->objectClass == 10 ? ClassData<ActionButtonData>(object) : nullptr;
}
inline const ActionButtonData* ActionButtonOf(const SketchObject* object) {
    return object && object->objectClass == 10 ? ClassData<ActionButtonData>(object) : nullptr;
}

// initExtra of class 10: takes over an ActionButtonInit (null: an empty Hide button, as
// a button being read starts); with a null object it frees what the block owns.
int32_t InitActionButton(SketchObject* object, void* parameter);
// freeExtra of class 10.
void FreeActionButton(SketchObject* object);

// Whether stored parents fit the button's type, which pressing takes them as: points for
// Move and Scroll, buttons for a presentation. A button read without its record (type 0)
// takes any parents.
bool ButtonParentsFit(const SketchObject* button, const SketchObject* const* parents, uint32_t count);
// The same for a button of that type.
bool ActionButtonParentsFit(int32_t type, const SketchObject* const* parents, uint32_t count);
