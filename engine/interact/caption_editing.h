// Editing a caption where it stands: the object is hidden and an edit session on a copy
// of its text is drawn in its place inside a white frame. When editing ends the edited
// text replaces the object's through an undoable step, an emptied caption is deleted and
// a new one is recorded as a creation. The style commands act on the session's selection
// while editing and on the selected captions otherwise.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/screen_types.h"
#include "engine/core/services/text_style.h"

struct LayoutEditSession;
struct SketchObject;

// Results of BeginCaptionEditing besides 0 and the port's own error.
constexpr ResultCode kCaptionEditNoMemory  = 100;
constexpr ResultCode kCaptionEditNoSession = 101;

// Starts editing the object's text in the current sketch (the new flag: a caption made
// for this edit, which is recorded as a creation when it gets text).
ResultCode BeginCaptionEditing(SketchObject* object, bool isNew);
// Starts editing an object's text; with no object a new empty free caption is made at the
// point and edited (and not left behind when its edit cannot begin). 100 without memory.
ResultCode EditCaptionAt(SketchObject* object, ScreenPoint point);
// The session of the front sketch, or null.
LayoutEditSession* ActiveEditSession();
// The object being edited, or null.
SketchObject* EditedObject();
// The top-left of the bounds of an object whose class shows a caption's text.
bool TextOriginOfObject(const SketchObject* object, ScreenPoint* origin);

// Sets one style field, or back to plain when the current style already has that value.
bool ToggleStyleField(int32_t field, int16_t value, bool onlyDefaults);
// The style at the caret of the session, else the common style of the selected captions.
bool GetCurrentTextStyle(TextStyle* style);
// With a session its selection takes the style's non-zero fields; otherwise the selected
// objects take them, each object's size then moving `step` rungs (-1, 0 or +1) along the
// size ladder, and unless keepDefaults (Shift held) their text families' defaults take
// the style too.
void ApplyTextStyle(const TextStyle& style, int32_t step, bool keepDefaults);
// keepDefaults (Shift held): the sketch's default colours stay as they are.
void ApplyTextColor(uint32_t color, uint32_t keepDefaults);
// Scrolls the front sketch so that the caret (with a margin) is in view.
void ScrollToEditorCaret();

// What the mouse, the keys and the commands ask of the current sketch's editor.
bool IsCaptionEditing();
// The editor's frame (in sketch coordinates); false when nothing is edited.
bool CaptionEditorRect(ScreenRect* rect);
void TrackEditorMouse(ScreenPoint point, bool shift);
// Ends editing, keeping what was typed (EndSketchActivity for the caption-editing bit).
void EndCaptionEditing();
void DeleteEditorSelection();
void SelectAllEditorText();
