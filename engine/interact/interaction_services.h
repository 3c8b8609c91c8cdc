// What the mouse handling and the object commands call of their neighbours, declared once
// here so that those files need not include each owner: locus handles
// (locus_commands.cpp), picture grips (picture_commands.cpp), axes' coordinate systems
// (graph_commands.cpp), tool playback (tool_playback.cpp), the Properties model
// (object_properties.cpp) and the parameter dialog (parameter_command.cpp).
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"
#include "engine/core/marks.h"
#include "engine/core/screen_types.h"
#include "engine/core/services/text_style.h"
#include "engine/text/object_labels.h"

struct Sketch;
struct SketchObject;

// ---- Sketch engine: hits, labels, coordinate systems ------------------------

bool HitTestLocusHandle(ScreenPoint point, SketchObject* locus);
bool BeginLocusRangeDrag(SketchObject* locus, ScreenPoint point);
void DragLocusRange(ScreenPoint point);
void EndLocusRangeDrag();
bool HitTestPictureGrip(ScreenPoint point, SketchObject* picture);
bool BeginPictureResize(SketchObject* picture, ScreenPoint point);
void DragPictureResize(ScreenPoint point, bool keepAspect);
void EndPictureResize();
// The coordinate system that an axis's marks rescale, or null when its unit is fixed.
SketchObject* GetAxisCoordinateSystem(SketchObject* axis);
// The sketch's automatic-label settings: labels of measured objects, labels of new points.

// ---- Formatted text: caption editing and merged texts -------------------------------

// The caption editor's (EditCaptionAt among them) and the merged texts'
// (SplitTextFromClick): both are built.
#include "engine/interact/caption_editing.h"
#include "engine/text/merged_texts.h"

// ---- Action buttons, tool playback, dialogs and bars --------------------------------

// The buttons' hit test, running state and creation are the action buttons' own.
#include "engine/interact/action_buttons.h"
bool ToolPlaybackStepping();
void ToolPlaybackFinish();
bool ToolPlaybackPlaying();
void StopToolPlayback();
// Objects that appear or disappear blink before the change shows.
void OpenLabelProperties(SketchObject* object);
void OpenObjectProperties(SketchObject* object);
void RunParameterDialog(SketchObject* parameter);

// ---- Motion engine ------------------------------------------------------------------

// Motions, speeds and the Motion Controller's visibility are the motion engine's.
#include "engine/interact/motion.h"
