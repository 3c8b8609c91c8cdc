// Stand-in: see interact_standins.h.
#include "engine/interact/interact_standins.h"

namespace {
Preferences gPreferences = [] {
    Preferences p{};
    PreferencesDefaults(&p);
    return p;
}();
}  // namespace

Preferences& ThePreferences() { return gPreferences; }

void PreferencesDefaults(Preferences* p) {
    *p = Preferences{};
    p->defaultLineStyle = 1;
    // Colours per slot: points, straights, circles, interiors, ..., text.
    const uint32_t colors[kColorSlotCount] = {
        0xff0000, 0x000000, 0x000000, 0x80ffff, 0x000000, 0x800080,
        0x000000, 0x000000, 0x808080, 0x000000, 0x000000, 0x000000,
    };
    for (int32_t i = 0; i < kColorSlotCount; ++i) p->sketchSettings.colorSlots[i] = colors[i];
    p->sketchSettings.distanceUnit = 1;
    p->sketchSettings.angleUnit = 1;
    for (TextStyle& s : p->defaultTextStyles) s = TextStyle{ { 1, 12, 1, 1, 1, 1, 1, 0, 0, 0, 0 } };
}

void SyncAnimationState(Sketch*, Sketch*) {}
void EndActivitiesExcept(uint32_t) {}
void NotifyMotionsObjectChanged(SketchObject*, int32_t, int32_t) {}
void ActionButtonStop(SketchObject*) {}
void ActionButtonsOfObject(SketchObject*) {}
void UpdateToolSketchName(Sketch*) {}
void ShowToolStatus(Sketch*, void*) {}
