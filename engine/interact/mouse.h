// Mouse handling in the front sketch: what lies under the pointer, a small state
// machine for the held button (select, drag, marquee, action button, label, locus
// handle, picture grip, scrolling, or the construction tool's run), the cursor kind
// and status prompt of a hover, and double-clicks. The view calls the entry points
// with its sketch made current and the pointer already a 16-bit sketch point.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct SketchObject;

// Mouse flags the view passes.
constexpr uint32_t kMouseShift      = 0x03;  // both bits set while Shift is held
constexpr uint32_t kMouseKeepSelect = 0x02;
constexpr uint32_t kMouseConstrain  = 0x01;
constexpr uint32_t kMouseRight      = 0x04;
constexpr uint32_t kMouseDoubleDown = 0x08;
constexpr uint32_t kMouseAlt        = 0x10;

enum MouseState : int32_t {
    kMouseIdle           = 0,
    kMouseDragPending    = 1,
    kMouseDragging       = 2,
    kMouseButtonPressed  = 3,
    kMouseLabelDrag      = 4,
    kMouseMarquee        = 5,
    kMouseScrolling      = 6,
    kMouseLocusHandle    = 7,
    kMousePictureResize  = 8,
    kMouseToolTracking   = 9,
    // The later release: the width handle of a selected caption is dragged.
    kMouseCaptionWidth   = 10,
};

// Which piece of an object a hit found (flags).
constexpr uint32_t kHitOutline      = 0x01;
constexpr uint32_t kHitIntersection = 0x02;
constexpr uint32_t kHitButtonFace   = 0x04;
constexpr uint32_t kHitLabel        = 0x08;
constexpr uint32_t kHitLocusHandle  = 0x10;
constexpr uint32_t kHitAxisMark     = 0x20;
constexpr uint32_t kHitPictureGrip  = 0x40;

// Cursor kinds the view maps to cursors.
enum CursorKind : int32_t {
    kCursorArrow = 0, kCursorOverObject = 1, kCursorStretch = 2, kCursorActionButton = 3,
    kCursorMenuOverNothing = 4, kCursorMenu = 5, kCursorTool = 9, kCursorTextNothing = 10,
    kCursorTextLabelToggle = 11, kCursorOverLabel = 12, kCursorEditText = 13,
    kCursorScrollHand = 14, kCursorScrolling = 15, kCursorRescaleX = 16, kCursorRescaleY = 17,
};

// Pixels the button may move, and milliseconds it may be held still, before a press on
// an object becomes a drag.
constexpr int32_t  kDragStartDistance = 6;
constexpr uint32_t kDragStartDelayMs  = 500;
// A marquee narrower and lower than this selects nothing.
constexpr int32_t  kMarqueeMinimum = 8;

// The first object under the point (null for none), searching the draw layers from the
// top. selectedUnder (or null) receives the first selected object under the point;
// allObjects also finds objects that are not selectable; parts (or null) receives the
// part flags of the first object, or the label or axis mark hit when no object is.
SketchObject* HitTestSketch(ScreenPoint point, SketchObject** selectedUnder, bool allObjects,
                            uint32_t* parts);

void SketchMouseDown(uint32_t flags, ScreenPoint point);
void SketchMouseHover(uint32_t flags, ScreenPoint point, int32_t unused);
void SketchMouseUp(uint32_t flags, ScreenPoint point);
void SketchDoubleClick(uint32_t flags, ScreenPoint point);
// The pointer left the sketch's window with no button held: a construction tool's run
// that has taken no click yet ends, so its provisional point does not stay behind; the
// next move into the window starts it again.
void SketchMouseLeave();

// The state, and whether a button is tracked (tracked may be null).
int32_t GetMouseState(int32_t* tracked = nullptr);
void    SetMouseState(int32_t state);
// Forgets the hover memory so that the next hover is worked out again.
void    ResetHoverPosition();
// The intersection found by the last hit test with part 0x02; false when there is none.
bool    GetIntersectionHit(SketchObject** first, SketchObject** second, int32_t* type,
                           RealPoint* point);
// The cursor kind of the last hover or button-down, and setting it (the tools).
int32_t MouseCursorKind();
void    SetMouseCursorKind(int32_t kind);
// Ends any gesture and forgets every object the mouse state remembers (a sketch that
// goes away, tests).
void    ResetMouseState();
