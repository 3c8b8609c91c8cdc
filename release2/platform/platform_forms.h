// figlate's forms of the platform layer's operations, as entries of the later-release
// table: the portable ones here, the Windows ones in win32/platform_forms_win32.h.
#pragma once

#include "engine/core/services/later_release.h"

// Sets the portable platform entries of forms (the rest is left as it is).
void AddPlatformForms(LaterReleaseForms* forms);
// Fading steps after a trace until the countdown of every band has run out.
int32_t TraceFadeStepsToClear();
