// Action buttons: pressing, presentations, captions, frames and the bookkeeping of
// running buttons. The class data and its record are engine/core's action_button_data.h
// and docio's codec.
#pragma once
#include <cstdint>

#include "engine/core/action_button_data.h"
#include "engine/core/screen_types.h"
#include "engine/core/services/action_buttons.h"

// Runs a button, started by `presentation` (null: pressed by itself): 0 or an alert code.
ResultCode RunActionButton(SketchObject* button, SketchObject* presentation);
// Makes a button of `type` on the tempLink chain of targets with the type's defaults,
// linked into the current sketch (recorded for undo when asked); null and the code when
// it cannot be made. An Animate button takes the targets Animate would move, with a
// motion record each, and the selection's noun in its caption.
SketchObject* MakeActionButton(int32_t type, SketchObject* targets, bool undo, ResultCode* result);
// The Action Buttons command: makes the button and leaves it the only selected object;
// 0 or an alert code.
int32_t ActionButtonCreate(int32_t type, SketchObject* targets, bool interactive);
int32_t ActionButtonType(const SketchObject* button);

// The face is the part right of the colour tab: pressing there runs the button, while
// the tab (and the class's hit test, the whole frame) selects and drags it.
bool HitTestActionButton(ScreenPoint point, SketchObject* button);
bool IsButtonRunning(const SketchObject* button);

// A motion (or a member) owned by the button starts or ends running. What a
// presentation does when a member ends waits, while motions are being walked, until the
// walk is over, since it may stop other motions.
void CountButtonRun(SketchObject* button);
void ReleaseButtonRun(SketchObject* button);
void HoldButtonReleases();
void FlushButtonReleases();

// Switches a Hide/Show button between its two modes, caption included.
void ActionButtonSetShowMode(SketchObject* button, bool show);

// After a document opens: when the selection holds only action buttons, presses them
// oldest first, stopping at the first failure; true when at least one ran. `failure`
// (when given) gets the failing code.
bool PressSelectedButtons(ResultCode* failure);

// How deep presentations of presentations are pressed, stopped and released; deeper
// members are passed over.
constexpr int32_t kMaxPresentationDepth = 64;
