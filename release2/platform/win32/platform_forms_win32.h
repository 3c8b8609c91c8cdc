// figlate's Windows forms of the platform layer: trace fading, the clipboard's pictures
// and the drawing of picture objects.
#pragma once

#include "engine/core/services/later_release.h"

void AddPlatformWin32Forms(LaterReleaseForms* forms);
