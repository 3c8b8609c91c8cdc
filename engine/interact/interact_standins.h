// Stand-in: the services of the tools, commands and motion subsystem that the sketch
// engine calls, reduced to what the engine relies on until that subsystem is built.
#pragma once
#include <cstdint>

#include "engine/core/sketch.h"
#include "engine/interact/command_state.h"
#include "engine/text/text_style.h"

// Stand-in: the preference record, only the fields the sketch engine reads.
struct Preferences {
    int32_t        defaultLineStyle;
    SketchSettings sketchSettings;     // copied into every new sketch
    TextStyle      defaultTextStyles[5];  // per text family 0..4
};
Preferences& ThePreferences();
void PreferencesDefaults(Preferences* preferences);

void SyncAnimationState(Sketch* oldFront, Sketch* newFront);
void EndActivitiesExcept(uint32_t keepMask);
void NotifyMotionsObjectChanged(SketchObject* object, int32_t change, int32_t gone);
void ActionButtonStop(SketchObject* object);
void ActionButtonsOfObject(SketchObject* object);
void UpdateToolSketchName(Sketch* toolSketch);
void ShowToolStatus(Sketch* sketch, void* unused);
